#include "model/RunningAppsWatcher.h"

#include "fakes/FakeDefaults.h"
#include "fakes/FakeScheduler.h"
#include "fakes/FakeWorkspace.h"

#include <gtest/gtest.h>

namespace vigilo {
namespace {

using App = RunningAppsWatcher::App;
using Names = std::vector<std::string>;

const App claude{
    "Claude",
    {"com.anthropic.claudefordesktop", "com.anthropic.Claude", "claude-desktop", "process:claude"}};
const App chatGPT{"ChatGPT", {"com.openai.chat", "com.openai.codex", "process:codex"}};
const App gemini{"Gemini", {"com.google.GeminiMacOS", "process:gemini"}};
const App dsh{"DSH", {"com.deepseek.dsh"}};

Bytes bytes(std::string_view text) {
    return {text.begin(), text.end()};
}

class RunningAppsWatcherTest : public ::testing::Test {
protected:
    fakes::FakeDefaults defaults;
    Settings settings{defaults};
    fakes::FakeWorkspace workspace;
    fakes::FakeScheduler scheduler;

    std::unique_ptr<RunningAppsWatcher> makeWatcher() {
        return std::make_unique<RunningAppsWatcher>(settings, workspace, scheduler);
    }
    std::string storedCustomText() const {
        const auto& data = std::get<Bytes>(defaults.values.at("customWatchedApps"));
        return {data.begin(), data.end()};
    }
    StringList storedStrings(const std::string& key) const {
        return std::get<StringList>(defaults.values.at(key));
    }
    void offerBundle(const std::string& location, Workspace::Bundle bundle) {
        workspace.bundles[location] = std::move(bundle);
    }
};

TEST_F(RunningAppsWatcherTest, FirstStartListsTheBuiltInAppsNoneEnabledAndStoresNothing) {
    workspace.running = {"com.anthropic.claudefordesktop"};
    const auto watcher = makeWatcher();
    EXPECT_EQ(watcher->allApps(), (std::vector<App>{claude, chatGPT, gemini, dsh}));
    EXPECT_TRUE(watcher->enabledIDs().empty());
    EXPECT_TRUE(watcher->runningNames().empty());
    EXPECT_TRUE(defaults.values.empty());
}

TEST_F(RunningAppsWatcherTest, SavesTheListInTheStoredFormAndLoadsItBack) {
    offerBundle("/apps/Foo.app", {"org.foo.Foo", "Фу", "Foo"});
    {
        const auto watcher = makeWatcher();
        ASSERT_TRUE(watcher->add("/apps/Foo.app"));
        watcher->setEnabled(chatGPT, true);
        watcher->remove(gemini);
    }
    EXPECT_EQ(storedCustomText(), R"([{"name":"Фу","bundleIDs":["org.foo.Foo"]}])");
    EXPECT_EQ(storedStrings("watchedApps"), (StringList{"com.openai.chat", "org.foo.Foo"}));
    EXPECT_EQ(storedStrings("hiddenWatchedApps"), StringList{"com.google.GeminiMacOS"});

    const auto reloaded = makeWatcher();
    const App foo{"Фу", {"org.foo.Foo"}};
    EXPECT_EQ(reloaded->allApps(), (std::vector<App>{claude, chatGPT, dsh, foo}));
    EXPECT_TRUE(reloaded->isEnabled(foo));
    EXPECT_TRUE(reloaded->isEnabled(chatGPT));
    EXPECT_FALSE(reloaded->isEnabled(claude));
}

TEST_F(RunningAppsWatcherTest,
       LoadDropsEntriesThatRepeatABuiltInOrHaveNoIdentifierAndRewritesAtOnce) {
    defaults.values["customWatchedApps"] =
        bytes(R"([{"name":"Mine","bundleIDs":["org.mine"]},)"
              R"({"name":"Codex","bundleIDs":["org.other","com.openai.codex"]},)"
              R"({"name":"Empty","bundleIDs":[]},)"
              R"({"bundleIDs":["org.second"],"name":"Second","extra":1}])");
    const auto watcher = makeWatcher();
    EXPECT_EQ(watcher->customApps(),
              (std::vector<App>{{"Mine", {"org.mine"}}, {"Second", {"org.second"}}}));
    EXPECT_EQ(
        storedCustomText(),
        R"([{"name":"Mine","bundleIDs":["org.mine"]},{"name":"Second","bundleIDs":["org.second"]}])");
    EXPECT_TRUE(storedStrings("watchedApps").empty());
}

TEST_F(RunningAppsWatcherTest, UnreadableStoredValuesCountAsEmptyAndAreLeftAlone) {
    for (const auto& stored :
         {bytes("not json"), bytes(R"([{"name":"No ids"}])"),
          bytes(R"([{"name":"Bad","bundleIDs":[1]}])"), bytes(R"({"name":"x"})")}) {
        defaults.values = {{"customWatchedApps", stored},
                           {"watchedApps", std::string("com.openai.chat")},
                           {"hiddenWatchedApps", std::int64_t{1}}};
        const auto watcher = makeWatcher();
        EXPECT_TRUE(watcher->customApps().empty());
        EXPECT_TRUE(watcher->enabledIDs().empty());
        EXPECT_EQ(watcher->allApps().size(), 4U);
        EXPECT_EQ(std::get<Bytes>(defaults.values.at("customWatchedApps")), stored);
    }
    // Text is not data: the key is treated as missing.
    defaults.values = {{"customWatchedApps", std::string(R"([{"name":"A","bundleIDs":["a"]}])")}};
    EXPECT_TRUE(makeWatcher()->customApps().empty());
}

TEST_F(RunningAppsWatcherTest, RunningNamesFollowListOrderAndAnyIdentifierOfAnApp) {
    defaults.values["customWatchedApps"] = bytes(R"([{"name":"Mine","bundleIDs":["org.mine"]}])");
    defaults.values["watchedApps"] =
        StringList{"org.mine", "com.openai.chat", "com.google.GeminiMacOS"};
    workspace.running = {"org.mine", "com.openai.codex", "com.anthropic.claudefordesktop", "other"};
    const auto watcher = makeWatcher();
    EXPECT_EQ(watcher->runningNames(), (Names{"ChatGPT", "Mine"}));

    watcher->setEnabled(claude, true);
    EXPECT_EQ(watcher->runningNames(), (Names{"Claude", "ChatGPT", "Mine"}));
    watcher->setEnabled(chatGPT, false);
    EXPECT_EQ(watcher->runningNames(), (Names{"Claude", "Mine"}));
    EXPECT_EQ(storedStrings("watchedApps"),
              (StringList{"com.anthropic.claudefordesktop", "com.google.GeminiMacOS", "org.mine"}));
    // Only the first identifier enables the application.
    watcher->setEnabled(App{"ChatGPT", {"com.openai.codex"}}, true);
    EXPECT_FALSE(watcher->isEnabled(chatGPT));
}

TEST_F(RunningAppsWatcherTest, BuiltInAppsRunOnLinuxUnderTheIdsTheyAreStoredBy) {
    defaults.values["watchedApps"] =
        StringList{"com.anthropic.claudefordesktop", "com.openai.chat", "com.google.GeminiMacOS"};
    const std::pair<std::string, Names> cases[] = {
        {"com.anthropic.Claude", {"Claude"}}, {"claude-desktop", {"Claude"}},
        {"process:claude", {"Claude"}},       {"process:codex", {"ChatGPT"}},
        {"process:gemini", {"Gemini"}},       {"claude", {}},
        {"process:claude-desktop", {}},
    };
    for (const auto& [running, names] : cases) {
        workspace.running = {running};
        EXPECT_EQ(makeWatcher()->runningNames(), names) << running;
    }
    EXPECT_EQ(RunningAppsWatcher::builtInProcessNames(),
              (std::set<std::string>{"claude", "codex", "gemini"}));
}

TEST_F(RunningAppsWatcherTest, AnAppAddedBeforeItBecameBuiltInGoesOnAsTheBuiltInOne) {
    defaults.values["customWatchedApps"] =
        bytes(R"([{"name":"Claude Desktop","bundleIDs":["claude-desktop"]},)"
              R"({"name":"Mine","bundleIDs":["org.mine"]}])");
    defaults.values["watchedApps"] = StringList{"claude-desktop", "org.mine"};
    defaults.values["hiddenWatchedApps"] = StringList{"com.anthropic.claudefordesktop"};
    workspace.running = {"claude-desktop"};
    const auto watcher = makeWatcher();
    EXPECT_EQ(watcher->allApps(),
              (std::vector<App>{claude, chatGPT, gemini, dsh, {"Mine", {"org.mine"}}}));
    EXPECT_EQ(watcher->runningNames(), Names{"Claude"});
    EXPECT_EQ(storedStrings("watchedApps"),
              (StringList{"com.anthropic.claudefordesktop", "org.mine"}));
    EXPECT_TRUE(storedStrings("hiddenWatchedApps").empty());
    EXPECT_EQ(storedCustomText(), R"([{"name":"Mine","bundleIDs":["org.mine"]}])");
}

TEST_F(RunningAppsWatcherTest, LaunchesAndQuitsReachTheListOneTurnLaterAndEveryCheckIsTold) {
    defaults.values["watchedApps"] = StringList{"com.anthropic.claudefordesktop"};
    const auto watcher = makeWatcher();
    int changes = 0;
    std::vector<Names> seenInNotices;
    auto counter = watcher->runningChecked().connect([&] { ++changes; });
    const auto observer =
        watcher->changed().connect([&] { seenInNotices.push_back(watcher->runningNames()); });

    workspace.changeRunning({"com.anthropic.claudefordesktop"});
    EXPECT_TRUE(watcher->runningNames().empty());
    EXPECT_EQ(changes, 0);
    scheduler.runPosted();
    EXPECT_EQ(watcher->runningNames(), Names{"Claude"});
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(seenInNotices, std::vector<Names>{Names{"Claude"}});

    workspace.changeRunning({"com.anthropic.claudefordesktop", "unrelated"});
    scheduler.runPosted();
    EXPECT_EQ(changes, 2);
    EXPECT_EQ(seenInNotices.size(), 1U);

    counter.disconnect();
    workspace.changeRunning({});
    scheduler.runPosted();
    EXPECT_TRUE(watcher->runningNames().empty());
}

TEST_F(RunningAppsWatcherTest, ObservationEndsWithTheWatcherAndPendingWorkDoesNothing) {
    auto watcher = makeWatcher();
    int changes = 0;
    const auto counter = watcher->runningChecked().connect([&] { ++changes; });
    EXPECT_TRUE(workspace.isObserved());
    workspace.changeRunning({"x"});
    watcher.reset();
    EXPECT_FALSE(workspace.isObserved());
    ASSERT_EQ(scheduler.postedCount(), 1U);
    scheduler.runPosted();
    EXPECT_EQ(changes, 0);
}

TEST_F(RunningAppsWatcherTest, AddingTheSameBundleTwiceListsItOnceAndEnablesIt) {
    offerBundle("/apps/Foo.app", {"org.foo.Foo", std::nullopt, "Foo"});
    const auto watcher = makeWatcher();
    int changes = 0;
    const auto counter = watcher->runningChecked().connect([&] { ++changes; });
    EXPECT_TRUE(watcher->add("/apps/Foo.app"));
    watcher->setEnabled(watcher->customApps().front(), false);
    EXPECT_TRUE(watcher->add("/apps/Foo.app"));
    EXPECT_EQ(watcher->customApps(), (std::vector<App>{{"Foo", {"org.foo.Foo"}}}));
    EXPECT_TRUE(watcher->isEnabled(watcher->customApps().front()));
    EXPECT_EQ(changes, 3);
}

TEST_F(RunningAppsWatcherTest, AddingABuiltInBundleShowsAndEnablesTheBuiltInEntry) {
    offerBundle("/apps/Codex.app", {"com.openai.codex", "Codex", "Codex"});
    workspace.running = {"com.openai.codex"};
    const auto watcher = makeWatcher();
    watcher->remove(chatGPT);
    ASSERT_EQ(watcher->allApps().size(), 3U);

    EXPECT_TRUE(watcher->add("/apps/Codex.app"));
    EXPECT_EQ(watcher->allApps(), (std::vector<App>{claude, chatGPT, gemini, dsh}));
    EXPECT_TRUE(watcher->customApps().empty());
    EXPECT_EQ(watcher->enabledIDs(), std::set<std::string>{"com.openai.chat"});
    EXPECT_EQ(watcher->runningNames(), Names{"ChatGPT"});
    EXPECT_TRUE(storedStrings("hiddenWatchedApps").empty());
}

TEST_F(RunningAppsWatcherTest, AddedAppIsNamedByDisplayNameThenNameThenFileName) {
    offerBundle("/a/One.app", {"one", "Один", "One"});
    offerBundle("/a/Two.app", {"two", std::nullopt, "Two"});
    offerBundle("/a/Three Words.app/", {"three", std::nullopt, std::nullopt});
    const auto watcher = makeWatcher();
    for (const auto* location : {"/a/One.app", "/a/Two.app", "/a/Three Words.app/"}) {
        EXPECT_TRUE(watcher->add(location));
    }
    EXPECT_EQ(watcher->customApps(),
              (std::vector<App>{{"Один", {"one"}}, {"Two", {"two"}}, {"Three Words", {"three"}}}));
}

TEST_F(RunningAppsWatcherTest, AddingAnUnreadableBundleOrOneWithoutIdentifierChangesNothing) {
    offerBundle("/a/NoId.app", {std::nullopt, "Name", "Name"});
    offerBundle("/a/EmptyId.app", {"", "Name", "Name"});
    const auto watcher = makeWatcher();
    int changes = 0;
    const auto counter = watcher->runningChecked().connect([&] { ++changes; });
    EXPECT_FALSE(watcher->add("/a/Missing.app"));
    EXPECT_FALSE(watcher->add("/a/NoId.app"));
    EXPECT_FALSE(watcher->add("/a/EmptyId.app"));
    EXPECT_TRUE(watcher->customApps().empty());
    EXPECT_TRUE(defaults.values.empty());
    EXPECT_EQ(changes, 0);
}

TEST_F(RunningAppsWatcherTest, RemovingHidesBuiltInsDeletesCustomsAndRestoreKeepsThemDisabled) {
    defaults.values["customWatchedApps"] =
        bytes(R"([{"name":"A","bundleIDs":["a"]},{"name":"B","bundleIDs":["b"]}])");
    defaults.values["watchedApps"] = StringList{"a", "com.anthropic.claudefordesktop"};
    const auto watcher = makeWatcher();

    watcher->remove(claude);
    watcher->remove(App{"A", {"a"}});
    // An app that only resembles a built-in one is not hidden.
    watcher->remove(App{"Gemini", {"com.google.GeminiMacOS", "more"}});
    EXPECT_EQ(watcher->allApps(), (std::vector<App>{chatGPT, gemini, dsh, App{"B", {"b"}}}));
    EXPECT_TRUE(watcher->enabledIDs().empty());
    EXPECT_EQ(storedCustomText(), R"([{"name":"B","bundleIDs":["b"]}])");

    watcher->restoreBuiltInApps();
    EXPECT_EQ(watcher->allApps().front(), claude);
    EXPECT_FALSE(watcher->isEnabled(claude));
    EXPECT_TRUE(storedStrings("hiddenWatchedApps").empty());
}

TEST_F(RunningAppsWatcherTest, AnAppThatCannotBeStoredIsRefusedAndTheStoredListKept) {
    const auto stored = bytes(R"([{"name":"Old","bundleIDs":["old"]}])");
    defaults.values["customWatchedApps"] = stored;
    offerBundle("/a/BadName.app", {"bad", std::string("Caf\xe9"), std::nullopt});
    offerBundle("/a/BadId.app", {std::string("org.caf\xe9"), "Café", std::nullopt});
    const auto watcher = makeWatcher();
    int changes = 0;
    const auto counter = watcher->runningChecked().connect([&] { ++changes; });
    for (const auto* location : {"/a/BadName.app", "/a/BadId.app"}) {
        EXPECT_FALSE(watcher->add(location)) << location;
    }
    EXPECT_EQ(watcher->customApps(), (std::vector<App>{{"Old", {"old"}}}));
    EXPECT_TRUE(watcher->enabledIDs().empty());
    EXPECT_EQ(changes, 0);
    EXPECT_EQ(defaults.values, (decltype(defaults.values){{"customWatchedApps", stored}}));
    EXPECT_EQ(makeWatcher()->customApps(), (std::vector<App>{{"Old", {"old"}}}));
}

TEST_F(RunningAppsWatcherTest, LocationAndIconComeFromTheFirstInstalledIdentifier) {
    workspace.installed["com.openai.codex"] = {"/apps/codex.desktop", "codex-icon"};
    workspace.installed["com.deepseek.dsh"] = {"/apps/dsh.desktop", std::nullopt};
    const auto watcher = makeWatcher();
    EXPECT_EQ(watcher->applicationURL(chatGPT), "/apps/codex.desktop");
    EXPECT_EQ(watcher->icon(chatGPT), "codex-icon");
    workspace.installed["com.openai.chat"] = {"/apps/chat.desktop", "/icons/chat.png"};
    EXPECT_EQ(watcher->icon(chatGPT), "/icons/chat.png");
    EXPECT_EQ(watcher->applicationURL(claude), std::nullopt);
    EXPECT_EQ(watcher->icon(claude), std::nullopt);
    EXPECT_EQ(watcher->icon(dsh), std::nullopt);
}

} // namespace
} // namespace vigilo
