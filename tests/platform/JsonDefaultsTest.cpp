#include "platform/linux/settings/JsonDefaults.h"

#include "TempFolder.h"
#include "platform/posix/UniqueFd.h"

#include <fcntl.h>
#include <functional>
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>
#include <set>
#include <sys/file.h>
#include <sys/stat.h>

using namespace vigilo;
namespace fs = std::filesystem;

namespace {

std::vector<fs::path> filesIn(const fs::path& folder) {
    std::vector<fs::path> names;
    for (const auto& entry : fs::directory_iterator(folder)) {
        names.push_back(entry.path().filename());
    }
    std::sort(names.begin(), names.end());
    return names;
}

/// `{"nested": [[...]], "soundEnabled": false}`, its containers nested `depth` deep.
std::string nestedDocument(int depth) {
    const auto arrays = static_cast<std::size_t>(depth - 1);
    return R"({"nested": )" + std::string(arrays, '[') + std::string(arrays, ']') +
           R"(, "soundEnabled": false})";
}

TimePoint march1st() {
    using namespace std::chrono;
    return sys_days(2026y / March / 1) + 10h + 123ms;
}

} // namespace

TEST(JsonDefaults, EveryTypeSurvivesReopening) {
    const TempFolder home;
    const fs::path folder = home.path() / "vigilo";
    const std::map<std::string, DefaultsValue> values{
        {"flag", true},
        {"off", false},
        {"count", std::int64_t{-42}},
        {"big", std::int64_t{9'007'199'254'740'993}}, // not exact as a double
        {"ratio", 2.0},
        {"fraction", 0.45},
        {"text", std::string("чай \"и\" кофе")},
        {"list", StringList{"org.mozilla.firefox", "", "a b"}},
        {"empty list", StringList{}},
        {"bytes", Bytes{0, 1, 2, 0xfe, 0xff}},
        {"date", march1st()},
        {"before 1970", TimePoint{} - std::chrono::milliseconds(1500)},
    };
    {
        JsonDefaults store(folder);
        for (const auto& [key, value] : values) {
            store.set(key, value);
        }
    }
    const JsonDefaults reopened(folder);
    for (const auto& [key, value] : values) {
        EXPECT_EQ(reopened.value(key), std::optional(value)) << key;
    }
    EXPECT_EQ(reopened.value("missing"), std::nullopt);
}

TEST(JsonDefaults, WritesTheDocumentedFormat) {
    const TempFolder home;
    JsonDefaults store(home.path());
    store.set("ratio", 2.0);
    store.set("count", std::int64_t{2});
    store.set("bytes", Bytes{'h', 'i', '!'});
    store.set("date", march1st());

    const auto written = nlohmann::json::parse(readFile(home.path() / "defaults.json"));
    EXPECT_TRUE(written["ratio"].is_number_float());
    EXPECT_TRUE(written["count"].is_number_integer());
    EXPECT_EQ(written["bytes"], nlohmann::json({{"data", "aGkh"}}));
    EXPECT_EQ(written["date"], nlohmann::json({{"date", "2026-03-01T10:00:00.123Z"}}));
}

TEST(JsonDefaults, RemoveForgetsTheKeyInTheFile) {
    const TempFolder home;
    JsonDefaults store(home.path());
    store.set("resumeAwakeSince", march1st());
    store.set("resumeManuallyOn", true);
    store.remove("resumeAwakeSince");
    store.remove("never there");

    const JsonDefaults reopened(home.path());
    EXPECT_EQ(reopened.value("resumeAwakeSince"), std::nullopt);
    EXPECT_EQ(reopened.value("resumeManuallyOn"), std::optional<DefaultsValue>(true));
}

TEST(JsonDefaults, KeepsEntriesItCannotReadAcrossWrites) {
    const TempFolder home;
    const std::string foreign = R"({
        "nested": {"a": [1, {"b": null}]},
        "nothing": null,
        "mixed": ["a", 1],
        "badDate": {"date": "yesterday"},
        "badBytes": {"data": "!!"},
        "huge": 18446744073709551615
    })";
    writeFile(home.path() / "defaults.json", foreign);

    JsonDefaults store(home.path());
    for (const char* key : {"nested", "nothing", "mixed", "badDate", "badBytes", "huge"}) {
        EXPECT_EQ(store.value(key), std::nullopt) << key;
    }
    store.set("soundEnabled", false);

    auto expected = nlohmann::json::parse(foreign);
    expected["soundEnabled"] = false;
    EXPECT_EQ(nlohmann::json::parse(readFile(home.path() / "defaults.json")), expected);
}

TEST(JsonDefaults, ReplacesTheFileWithoutLeavingTemporaryFiles) {
    const TempFolder home;
    JsonDefaults store(home.path());
    for (int i = 0; i < 5; ++i) {
        store.set("batteryThreshold", std::int64_t{i});
    }
    EXPECT_EQ(filesIn(home.path()), std::vector<fs::path>{"defaults.json"});
    const auto written = nlohmann::json::parse(readFile(home.path() / "defaults.json"));
    EXPECT_EQ(written, nlohmann::json({{"batteryThreshold", 4}}));
}

TEST(JsonDefaults, CreatesAPrivateFolder) {
    const TempFolder home;
    const fs::path folder = home.path() / "config" / "vigilo";
    JsonDefaults store(folder);
    EXPECT_FALSE(fs::exists(folder)); // reading alone creates nothing
    store.set("hidesMetrics", true);
    EXPECT_EQ(fs::status(folder).permissions() & fs::perms::all, fs::perms::owner_all);
}

TEST(JsonDefaults, MovesACorruptFileAsideAndStartsEmpty) {
    const TempFolder home;
    const std::string garbage = std::string("{\"soundEnabled\": tr") + '\0' + "\xff garbage";
    writeFile(home.path() / "defaults.json", garbage);

    JsonDefaults store(home.path());
    EXPECT_EQ(store.value("soundEnabled"), std::nullopt);

    auto files = filesIn(home.path());
    ASSERT_EQ(files.size(), 1U);
    EXPECT_TRUE(files[0].string().starts_with("defaults.json.corrupt-")) << files[0];
    EXPECT_EQ(readFile(home.path() / files[0]), garbage);

    store.set("soundEnabled", true);
    EXPECT_EQ(nlohmann::json::parse(readFile(home.path() / "defaults.json")),
              nlohmann::json({{"soundEnabled", true}}));
    EXPECT_EQ(readFile(home.path() / files[0]), garbage);
}

TEST(JsonDefaults, NeverOverwritesAnEarlierCorruptCopy) {
    const TempFolder home;
    // Two corrupt files within the same second get two names.
    writeFile(home.path() / "defaults.json", "first");
    const JsonDefaults first(home.path());
    writeFile(home.path() / "defaults.json", "[\"not an object\"]");
    const JsonDefaults second(home.path());

    const auto files = filesIn(home.path());
    ASSERT_EQ(files.size(), 2U);
    std::set<std::string> contents;
    for (const auto& file : files) {
        EXPECT_TRUE(file.string().starts_with("defaults.json.corrupt-")) << file;
        contents.insert(readFile(home.path() / file));
    }
    EXPECT_EQ(contents, (std::set<std::string>{"first", "[\"not an object\"]"}));
}

TEST(JsonDefaults, KeepsValuesInMemoryWhenTheFolderCannotBeWritten) {
    const TempFolder home;
    writeFile(home.path() / "blocker", "a file where a folder should be");
    JsonDefaults store(home.path() / "blocker" / "vigilo");

    store.set("batteryThreshold", std::int64_t{30});
    store.set("soundEnabled", false);
    store.remove("soundEnabled");

    EXPECT_EQ(store.value("batteryThreshold"), std::optional<DefaultsValue>(std::int64_t{30}));
    EXPECT_EQ(store.value("soundEnabled"), std::nullopt);
}

TEST(JsonDefaults, MovesDocumentsNestedTooDeeplyAside) {
    struct Case {
        int depth;
        bool read;
    };
    for (const auto [depth, read] :
         {Case{2, true}, Case{64, true}, Case{65, false}, Case{100'000, false}}) {
        const TempFolder home;
        const std::string text = nestedDocument(depth);
        writeFile(home.path() / "defaults.json", text);

        JsonDefaults store(home.path());
        store.set("batteryThreshold", std::int64_t{30});

        const auto files = filesIn(home.path());
        if (read) {
            EXPECT_EQ(store.value("soundEnabled"), std::optional<DefaultsValue>(false)) << depth;
            EXPECT_EQ(files, std::vector<fs::path>{"defaults.json"}) << depth;
        } else {
            EXPECT_EQ(store.value("soundEnabled"), std::nullopt) << depth;
            ASSERT_EQ(files.size(), 2U) << depth;
            EXPECT_EQ(readFile(home.path() / files[1]), text) << depth;
            EXPECT_EQ(nlohmann::json::parse(readFile(home.path() / "defaults.json")),
                      nlohmann::json({{"batteryThreshold", 30}}));
        }
    }
}

TEST(JsonDefaults, IndentationDoesNotGrowWithNesting) {
    const TempFolder home;
    const std::string text = nestedDocument(64);
    writeFile(home.path() / "defaults.json", text);

    JsonDefaults store(home.path());
    store.set("batteryThreshold", std::int64_t{30});

    const std::string written = readFile(home.path() / "defaults.json");
    auto expected = nlohmann::json::parse(text);
    expected["batteryThreshold"] = 30;
    EXPECT_EQ(nlohmann::json::parse(written), expected);
    EXPECT_LT(written.size(), text.size() + 40) << written;
}

TEST(JsonDefaults, LeavesAnythingButARegularFileAlone) {
    const std::map<std::string, std::function<void(const fs::path&)>> setups{
        {"FIFO", [](const fs::path& at) { ASSERT_EQ(::mkfifo(at.c_str(), 0600), 0); }},
        {"folder",
         [](const fs::path& at) {
             fs::create_directory(at);
             writeFile(at / "notes", "mine");
         }},
        {"link to a FIFO",
         [](const fs::path& at) {
             ASSERT_EQ(::mkfifo((at.parent_path() / "pipe").c_str(), 0600), 0);
             fs::create_symlink("pipe", at);
         }},
        {"link to a device", [](const fs::path& at) { fs::create_symlink("/dev/null", at); }},
    };
    for (const auto& [name, setUp] : setups) {
        const TempFolder home;
        const fs::path file = home.path() / "defaults.json";
        setUp(file);
        const auto type = fs::symlink_status(file).type();
        const auto files = filesIn(home.path());

        // Runs here, in the test's thread: a blocking open would never return.
        JsonDefaults store(home.path());
        EXPECT_EQ(store.value("soundEnabled"), std::nullopt) << name;
        store.set("soundEnabled", false);

        EXPECT_EQ(store.value("soundEnabled"), std::optional<DefaultsValue>(false)) << name;
        EXPECT_EQ(fs::symlink_status(file).type(), type) << name;
        EXPECT_EQ(filesIn(home.path()), files) << name;
    }
}

TEST(JsonDefaults, RemovesTemporaryFilesOfInterruptedSavesAtStart) {
    struct Planted {
        std::string name;
        bool heldBySave;
        bool removed;
    };
    const std::vector<Planted> planted{
        {".defaults.json.a1B2c3", false, true},
        {".defaults.json.000000", false, true},
        {".defaults.json.Zz9Zz9", true, false},
        {".defaults.json.tmp", false, false},
        {".defaults.json.a1B2c3d", false, false},
        {".other.json.a1B2c3", false, false},
        {"defaults.json.corrupt-20260301T100000Z", false, false},
    };
    const TempFolder home;
    writeFile(home.path() / "defaults.json", R"({"soundEnabled": false})");
    std::vector<UniqueFd> held;
    std::vector<fs::path> kept{"defaults.json"};
    for (const auto& [name, heldBySave, removed] : planted) {
        writeFile(home.path() / name, R"({"half": "writ)");
        if (heldBySave) {
            held.emplace_back(::open((home.path() / name).c_str(), O_RDONLY | O_CLOEXEC));
            ASSERT_EQ(::flock(held.back().get(), LOCK_EX), 0);
        }
        if (!removed) {
            kept.emplace_back(name);
        }
    }
    std::sort(kept.begin(), kept.end());

    const JsonDefaults store(home.path());

    EXPECT_EQ(filesIn(home.path()), kept);
    EXPECT_EQ(store.value("soundEnabled"), std::optional<DefaultsValue>(false));
}

TEST(JsonDefaults, WritesThroughALinkIntoItsTargetsFolder) {
    const TempFolder home;
    const fs::path folder = home.path() / "config" / "vigilo";
    const fs::path dotfiles = home.path() / "dotfiles";
    fs::create_directories(folder);
    fs::create_directories(dotfiles);
    writeFile(dotfiles / "vigilo.json", R"({"soundEnabled": false, "unknown": [1]})");
    const fs::path link = "../../dotfiles/vigilo.json";
    fs::create_symlink(link, folder / "defaults.json");

    JsonDefaults store(folder);
    EXPECT_EQ(store.value("soundEnabled"), std::optional<DefaultsValue>(false));
    store.set("hidesMetrics", true);

    ASSERT_TRUE(fs::is_symlink(fs::symlink_status(folder / "defaults.json")));
    EXPECT_EQ(fs::read_symlink(folder / "defaults.json"), link);
    EXPECT_EQ(
        nlohmann::json::parse(readFile(dotfiles / "vigilo.json")),
        nlohmann::json::parse(R"({"soundEnabled": false, "unknown": [1], "hidesMetrics": true})"));
    EXPECT_EQ(filesIn(dotfiles), std::vector<fs::path>{"vigilo.json"});
    EXPECT_EQ(filesIn(folder), std::vector<fs::path>{"defaults.json"});
}

TEST(JsonDefaults, MovesACorruptTargetAsideAndKeepsTheLink) {
    const TempFolder home;
    fs::create_directories(home.path() / "dotfiles");
    writeFile(home.path() / "dotfiles" / "vigilo.json", "{garbage");
    fs::create_symlink(home.path() / "dotfiles" / "vigilo.json", home.path() / "defaults.json");

    JsonDefaults store(home.path());
    store.set("hidesMetrics", true);

    EXPECT_TRUE(fs::is_symlink(fs::symlink_status(home.path() / "defaults.json")));
    const auto aside = filesIn(home.path() / "dotfiles");
    ASSERT_EQ(aside.size(), 2U);
    EXPECT_TRUE(aside[1].string().starts_with("vigilo.json.corrupt-")) << aside[1];
    EXPECT_EQ(nlohmann::json::parse(readFile(home.path() / "dotfiles" / "vigilo.json")),
              nlohmann::json({{"hidesMetrics", true}}));
}

TEST(JsonDefaults, KeepsTheFilesMode) {
    for (const auto mode : {fs::perms(0644), fs::perms(0444), fs::perms(0600), fs::perms(0640)}) {
        const TempFolder home;
        const fs::path file = home.path() / "defaults.json";
        writeFile(file, R"({"soundEnabled": false})");
        fs::permissions(file, mode);

        JsonDefaults(home.path()).set("hidesMetrics", true);

        EXPECT_EQ(fs::status(file).permissions(), mode) << int(mode);
        EXPECT_EQ(JsonDefaults(home.path()).value("hidesMetrics"),
                  std::optional<DefaultsValue>(true))
            << int(mode);
    }
}

TEST(JsonDefaults, DatesTheClockCannotHoldReadAsAbsent) {
    using namespace std::chrono;
    const auto at = [](sys_days day, seconds time) { return TimePoint(day + time); };
    const std::vector<std::pair<std::string, std::optional<TimePoint>>> cases{
        {"0000-01-01T00:00:00.000Z", std::nullopt},
        {"1677-09-21T00:12:43.999Z", std::nullopt},
        {"1677-09-21T00:12:44.000Z", at(1677y / September / 21, 12min + 44s)},
        {"2262-04-11T23:47:15.000Z", at(2262y / April / 11, 23h + 47min + 15s)},
        {"2262-04-11T23:47:16.900Z", std::nullopt},
        {"9999-12-31T23:59:59.999Z", std::nullopt},
        {"99999-01-01T00:00:00.000Z", std::nullopt},
        {"-001-01-01T00:00:00.000Z", std::nullopt},
    };
    for (const auto& [text, expected] : cases) {
        const TempFolder home;
        writeFile(home.path() / "defaults.json",
                  nlohmann::json({{"resumeAwakeSince", {{"date", text}}}}).dump());
        const JsonDefaults store(home.path());
        EXPECT_EQ(store.value("resumeAwakeSince"),
                  expected ? std::optional<DefaultsValue>(*expected) : std::nullopt)
            << text;
    }
}
