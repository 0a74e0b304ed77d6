#include "platform/linux/JsonDefaults.h"

#include "TempFolder.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>
#include <set>

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
