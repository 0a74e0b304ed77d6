#include "app/LazyPanel.h"

#include "fakes/FakeDesktop.h"
#include "fakes/FakePanelWindowSystem.h"
#include "fakes/FakeWorkspace.h"
#include "fakes/ModelFakes.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace vigilo {
namespace {

/// Says what it is asked, in order.
class RecordingPanel final : public Panel {
public:
    explicit RecordingPanel(std::vector<std::string>& calls)
        : calls_(calls) {}
    void setWindowed(bool windowed) override {
        calls_.push_back(windowed ? "windowed" : "floating");
    }
    void togglePanel(const PanelAnchor& /*anchor*/) override {
        calls_.emplace_back("toggle");
        open_ = !open_;
    }
    void showAbout(const PanelAnchor& /*anchor*/) override {
        calls_.emplace_back("about");
        open_ = true;
    }
    void showPanel(const PanelAnchor& /*anchor*/) override {
        calls_.emplace_back("show");
        open_ = true;
    }
    void dismiss() override {
        calls_.emplace_back("dismiss");
        open_ = false;
    }
    [[nodiscard]] bool isOpen() const override { return open_; }

private:
    std::vector<std::string>& calls_;
    bool open_ = false;
};

/// Keeps each request until the test answers it, as the library does while it loads.
class HeldSource final : public PanelSource {
public:
    void make(const Panel::Services& /*services*/, Made made) override {
        ++requests;
        waiting = std::move(made);
    }
    void answer(std::vector<std::string>& calls) {
        std::exchange(waiting, nullptr)(std::make_unique<RecordingPanel>(calls), {});
    }
    void refuse(const QString& problem) { std::exchange(waiting, nullptr)(nullptr, problem); }

    int requests = 0;
    Made waiting;
};

class LazyPanelTest : public ::testing::Test, protected fakes::ModelFakes {
protected:
    AwakeModel model{services()};
    fakes::FakeWorkspace workspace;
    RunningAppsWatcher appsWatcher{settings, workspace, scheduler};
    fakes::FakePanelWindowSystem windowSystem;
    HeldSource source;
    fakes::FakeDesktop desktop;
    std::vector<std::string> calls;
    [[nodiscard]] std::unique_ptr<LazyPanel> makeLazyPanel() {
        return std::make_unique<LazyPanel>(
            source,
            [this] {
                return Panel::Services{.model = model,
                                       .watcher = appsWatcher,
                                       .clock = clock,
                                       .scheduler = scheduler,
                                       .windowSystem = windowSystem,
                                       .sounds = sounds};
            },
            desktop);
    }
    std::unique_ptr<LazyPanel> panel = makeLazyPanel();
    const PanelAnchor anchor{};
};

TEST_F(LazyPanelTest, NothingIsMadeUntilAPanelIsWantedAndTheLatestWaitingRequestWins) {
    panel->setWindowed(true);
    panel->dismiss();
    EXPECT_EQ(source.requests, 0) << "neither makes the panel";
    EXPECT_FALSE(panel->isOpen());

    panel->togglePanel(anchor);
    panel->showAbout(anchor);
    EXPECT_EQ(source.requests, 1) << "one making at a time";
    EXPECT_FALSE(panel->isOpen()) << "closed while being made";

    source.answer(calls);
    EXPECT_EQ(calls, (std::vector<std::string>{"windowed", "about"}));
    EXPECT_TRUE(panel->isOpen());

    panel->togglePanel(anchor);
    panel->setWindowed(false);
    EXPECT_EQ(calls, (std::vector<std::string>{"windowed", "about", "toggle", "floating"}));
    EXPECT_EQ(source.requests, 1);
}

TEST_F(LazyPanelTest, AToggleOrADismissalWhileThePanelIsMadeTakesTheWaitingRequestBack) {
    for (const bool byToggle : {true, false}) {
        panel = makeLazyPanel();
        calls.clear();
        panel->showPanel(anchor);
        if (byToggle) {
            panel->togglePanel(anchor);
        } else {
            panel->dismiss();
        }
        source.answer(calls);
        EXPECT_FALSE(panel->isOpen()) << byToggle;
        EXPECT_EQ(std::count(calls.begin(), calls.end(), "show"), 0) << byToggle;
    }
}

TEST_F(LazyPanelTest, APanelThatCannotBeMadeIsReportedAndTheNextRequestTriesAgain) {
    panel->showPanel(anchor);
    source.refuse(QStringLiteral("не удалось загрузить панель"));
    ASSERT_EQ(desktop.notifications.size(), 1U);
    EXPECT_EQ(desktop.notifications.front().body, "не удалось загрузить панель");
    EXPECT_FALSE(panel->isOpen());

    panel->showPanel(anchor);
    EXPECT_EQ(source.requests, 2);
    source.answer(calls);
    EXPECT_TRUE(panel->isOpen());
}

TEST_F(LazyPanelTest, APanelMadeAfterItsOwnerIsGoneIsDropped) {
    panel->showPanel(anchor);
    panel.reset();
    source.answer(calls);
    EXPECT_TRUE(calls.empty());
}

} // namespace
} // namespace vigilo
