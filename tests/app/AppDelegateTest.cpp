#include "app/AppDelegate.h"

#include "ControllerSource.h"
#include "FakePlatform.h"
#include "app/TrayGlass.h"
#include "platform/posix/QuitOnSignals.h"

#include <QAction>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QCursor>
#include <QGuiApplication>
#include <QTimer>
#include <csignal>
#include <gtest/gtest.h>

namespace vigilo {
namespace {

class AppDelegateTest : public ::testing::Test {
protected:
    AppDelegateTest() { delegate.finishLaunching(); }

    [[nodiscard]] QString menuTitle() { return delegate.statusMenu().actions().first()->text(); }
    [[nodiscard]] std::size_t held() const { return platform.assertions.held.size(); }
    // Inside the glass, above the base and below the liquid line: amber when filled, clear
    // when empty.
    [[nodiscard]] QColor glassMiddle() {
        const QImage icon = platform.statusItem.icon().pixmap(18, 18).toImage();
        return icon.pixelColor(9, 11);
    }

    fakes::FakePlatform platform;
    fakes::ControllerSource panels;
    AppDelegate delegate{platform.services, panels};
};

TEST_F(AppDelegateTest, MenuFirstTitleAndIconFollowTheState) {
    EXPECT_EQ(menuTitle(), QStringLiteral("Не давать засыпать"));
    EXPECT_EQ(glassMiddle().alpha(), 0);

    delegate.model().toggle();
    EXPECT_EQ(menuTitle(), QStringLiteral("Разрешить сон"));
    EXPECT_GT(glassMiddle().alpha(), 200);
    EXPECT_GT(glassMiddle().red(), glassMiddle().blue());

    delegate.statusMenu().actions().first()->trigger();
    EXPECT_FALSE(delegate.model().isAwake());
    EXPECT_EQ(menuTitle(), QStringLiteral("Не давать засыпать"));
    EXPECT_EQ(glassMiddle().alpha(), 0);
}

TEST_F(AppDelegateTest, MenuHasAboutAndQuitWithItsShortcutAndIcons) {
    QCoreApplication::processEvents(); // the icons come in a turn of their own
    const auto actions = delegate.statusMenu().actions();
    ASSERT_EQ(actions.size(), 5);
    EXPECT_TRUE(actions[1]->isSeparator());
    EXPECT_EQ(actions[2]->text(), QStringLiteral("О Vigilo"));
    EXPECT_TRUE(actions[3]->isSeparator());
    EXPECT_EQ(actions[4]->text(), QStringLiteral("Выйти"));
    EXPECT_EQ(actions[4]->shortcut(), QKeySequence(QStringLiteral("Ctrl+Q")));
    // Icons from the theme: they draw nothing where this machine's theme lacks them, but they
    // are set.
    EXPECT_NE(actions[2]->icon().cacheKey(), 0);
    EXPECT_NE(actions[4]->icon().cacheKey(), 0);
}

TEST_F(AppDelegateTest, AltClickAndMiddleClickToggleAPlainClickDoesNot) {
    platform.statusItem.activate(QSystemTrayIcon::Trigger, Qt::AltModifier);
    EXPECT_TRUE(delegate.model().isAwake());
    EXPECT_EQ(held(), 1U);
    ASSERT_EQ(platform.audio.plays.size(), 1U);
    EXPECT_EQ(platform.audio.plays.back().name, "pour-in");

    platform.statusItem.activate(QSystemTrayIcon::MiddleClick, Qt::NoModifier);
    EXPECT_FALSE(delegate.model().isAwake());
    EXPECT_EQ(held(), 0U);

    platform.statusItem.activate(QSystemTrayIcon::Trigger, Qt::NoModifier);
    platform.statusItem.activate(QSystemTrayIcon::Context, Qt::AltModifier);
    platform.statusItem.activate(QSystemTrayIcon::Trigger, Qt::AltModifier | Qt::ControlModifier);
    delegate.statusMenu().hide();
    EXPECT_FALSE(delegate.model().isAwake());
    EXPECT_EQ(platform.assertions.createCalls, 1);
}

TEST_F(AppDelegateTest, APlainClickTogglesThePanelTheMenuClosesItAndAboutOpensIt) {
    Panel& panel = delegate.panel();
    EXPECT_EQ(panels.controller, nullptr) << "nothing made before the first click";
    const PanelState& panelState = delegate.model().panelState();
    platform.statusItem.activate(QSystemTrayIcon::Trigger, Qt::NoModifier);
    EXPECT_TRUE(panel.isOpen());

    delegate.statusMenu().popup(QPoint());
    delegate.statusMenu().hide();
    EXPECT_FALSE(panel.isOpen()) << "opening the menu closes the panel";

    platform.clock.advance(1);
    delegate.statusMenu().actions()[2]->trigger(); // "О Vigilo"
    EXPECT_TRUE(panel.isOpen());
    EXPECT_TRUE(panelState.showsSettings());
    EXPECT_EQ(panelState.panelTab(), PanelTab::About);

    platform.statusItem.activate(QSystemTrayIcon::Trigger, Qt::NoModifier);
    EXPECT_FALSE(panel.isOpen());
    EXPECT_FALSE(panelState.showsSettings());
}

TEST_F(AppDelegateTest, WithoutATrayHostThePanelIsAnOrdinaryWindowUntilOneComes) {
    Panel& panel = delegate.panel();
    platform.trayHosts.setHasTrayHost(false);
    ASSERT_TRUE(panel.isOpen()) << "the window opens at once";
    GlassPanel& window = *panels.controller->window();
    EXPECT_FALSE(window.flags().testFlag(Qt::Tool)) << "in task bars and switchers";
    EXPECT_FALSE(window.flags().testFlag(Qt::FramelessWindowHint)) << "framed, with a close button";
    EXPECT_EQ(window.title(), QStringLiteral("Vigilo"));
    EXPECT_EQ(platform.panelWindows.keptOutOfTaskbars, 0);
    QCursor::setPos(window.position() + QPoint(10, 10));
    platform.scheduler.advance(PanelController::pointerIntervalSeconds);
    EXPECT_EQ(delegate.model().panelState().pointer(), (PanelPoint{.x = 50, .y = 50}))
        << "in the view's coordinates: its margin lies outside the window";

    platform.scheduler.advance(30);
    QWindow other;
    other.show();
    other.requestActivate();
    QCoreApplication::processEvents();
    delegate.statusMenu().popup(QPoint());
    delegate.statusMenu().hide();
    EXPECT_TRUE(panel.isOpen()) << "neither idleness, the focus moving away nor the menu close it";

    QCloseEvent close;
    QCoreApplication::sendEvent(&window, &close);
    EXPECT_FALSE(panel.isOpen()) << "the close button hides it";
    delegate.handleControl(ControlVerb::Show);
    EXPECT_TRUE(panel.isOpen()) << "a second start opens it again";

    platform.trayHosts.setHasTrayHost(true);
    EXPECT_FALSE(panel.isOpen()) << "back to the tray";
    platform.clock.advance(1);
    platform.statusItem.activate(QSystemTrayIcon::Trigger, Qt::NoModifier);
    ASSERT_TRUE(panel.isOpen());
    EXPECT_TRUE(panels.controller->window()->flags().testFlag(Qt::Tool))
        << "the floating panel again";
    delegate.handleControl(ControlVerb::Show);
    EXPECT_TRUE(panel.isOpen()) << "showing an open panel keeps it open";

    platform.trayHosts.setHasTrayHost(false);
    EXPECT_TRUE(panel.isOpen());
    EXPECT_FALSE(panels.controller->window()->flags().testFlag(Qt::Tool));
    EXPECT_EQ(platform.desktop.notifications.size(), 1U) << "the user is told once";
}

TEST_F(AppDelegateTest, TheMissingTrayNotificationSaysHowToGetOne) {
    const QByteArray before = qgetenv("XDG_CURRENT_DESKTOP");
    struct Case {
        const char* desktop;
        bool namesTheExtension;
    };
    for (const Case c : {Case{"ubuntu:GNOME", true}, Case{"XFCE", false}}) {
        qputenv("XDG_CURRENT_DESKTOP", c.desktop);
        fakes::FakePlatform fresh;
        fakes::ControllerSource freshPanels;
        AppDelegate another(fresh.services, freshPanels);
        another.finishLaunching();
        fresh.trayHosts.setHasTrayHost(false);
        ASSERT_EQ(fresh.desktop.notifications.size(), 1U) << c.desktop;
        const std::string& body = fresh.desktop.notifications.front().body;
        EXPECT_NE(body.find("обычном окне"), std::string::npos) << c.desktop;
        EXPECT_EQ(body.find("gnome-shell-extension-appindicator") != std::string::npos,
                  c.namesTheExtension)
            << c.desktop;
    }
    qputenv("XDG_CURRENT_DESKTOP", before);
}

TEST_F(AppDelegateTest, ShowOpensThePanel) {
    delegate.handleControl(ControlVerb::Show);
    EXPECT_TRUE(delegate.panel().isOpen());
    EXPECT_TRUE(panels.controller->window()->flags().testFlag(Qt::Tool)) << "with a tray: floating";
    EXPECT_TRUE(platform.desktop.notifications.empty());
}

TEST_F(AppDelegateTest, APaletteChangeRedrawsTheGlassInItsColours) {
    const QPalette before = QGuiApplication::palette();
    QPalette dark = before;
    dark.setColor(QPalette::Window, QColor(0x30, 0x30, 0x30));
    dark.setColor(QPalette::WindowText, QColor(0xf0, 0xf0, 0xf0));
    QGuiApplication::setPalette(dark);
    // The left wall of the glass, drawn in the outline colour.
    const QColor wall = platform.statusItem.icon().pixmap(18, 18).toImage().pixelColor(4, 6);
    QGuiApplication::setPalette(before);
    EXPECT_GT(wall.alpha(), 200);
    EXPECT_GT(wall.lightness(), 200);
}

TEST(TrayGlass, DarkIsTheWindowColour) {
    QPalette palette;
    palette.setColor(QPalette::Window, QColor(0x20, 0x20, 0x20));
    palette.setColor(QPalette::WindowText, Qt::black);
    EXPECT_TRUE(TrayGlass::isDark(palette));
    palette.setColor(QPalette::Window, QColor(0xee, 0xee, 0xee));
    palette.setColor(QPalette::WindowText, Qt::white);
    EXPECT_FALSE(TrayGlass::isDark(palette));
}

TEST(QtStatusItem, MenuForRightOrCtrlClickToggleForAltOrMiddle) {
    EXPECT_EQ(clickAction(QSystemTrayIcon::Context, Qt::NoModifier), ClickAction::ShowMenu);
    EXPECT_EQ(clickAction(QSystemTrayIcon::Trigger, Qt::ControlModifier), ClickAction::ShowMenu);
    EXPECT_EQ(clickAction(QSystemTrayIcon::Trigger, Qt::AltModifier | Qt::ShiftModifier),
              ClickAction::Toggle);
    EXPECT_EQ(clickAction(QSystemTrayIcon::MiddleClick, Qt::NoModifier), ClickAction::Toggle);
    EXPECT_EQ(clickAction(QSystemTrayIcon::Trigger, Qt::ShiftModifier), ClickAction::OpenPanel);
    EXPECT_EQ(clickAction(QSystemTrayIcon::DoubleClick, Qt::AltModifier), ClickAction::None);
}

TEST_F(AppDelegateTest, OnAndOffSwitchOnlyWhenNeededLikeTheMenu) {
    auto reply = delegate.handleControl(ControlVerb::On);
    EXPECT_TRUE(reply.awake);
    EXPECT_EQ(reply.title, QStringLiteral("Пьёт кофе · первая чашка"));
    EXPECT_EQ(reply.subtitle, QStringLiteral("Mac не уснёт")) << "no closed-lid permission yet";
    EXPECT_TRUE(delegate.model().keepAwake().isManuallyOn());

    platform.clock.advance(2000);
    reply = delegate.handleControl(ControlVerb::On);
    EXPECT_EQ(reply.title, QStringLiteral("Пьёт кофе уже 2 чашки"));
    EXPECT_EQ(platform.assertions.createCalls, 1);
    EXPECT_EQ(platform.audio.plays.size(), 1U);

    reply = delegate.handleControl(ControlVerb::Off);
    EXPECT_FALSE(reply.awake);
    EXPECT_EQ(reply.title, QStringLiteral("Твой Mac не может спать"));
    reply = delegate.handleControl(ControlVerb::Off);
    EXPECT_FALSE(reply.awake);
    ASSERT_EQ(platform.audio.plays.size(), 2U);
    EXPECT_EQ(platform.audio.plays.back().name, "pour-out");

    EXPECT_TRUE(delegate.handleControl(ControlVerb::Toggle).awake);
    EXPECT_TRUE(delegate.handleControl(ControlVerb::Status).awake);
    EXPECT_FALSE(delegate.handleControl(ControlVerb::Toggle).awake);
}

TEST_F(AppDelegateTest, OnWithAnEndStartsASessionThatAPlainOnMakesOpenEnded) {
    const qint64 inAnHour = std::chrono::duration_cast<std::chrono::seconds>(
                                (platform.clock.now() + std::chrono::hours(1)).time_since_epoch())
                                .count();
    auto reply = delegate.handleControl(ControlRequest::onUntil(inAnHour));
    EXPECT_TRUE(reply.awake);
    EXPECT_EQ(reply.subtitle, QStringLiteral("до 1:00"));
    EXPECT_TRUE(platform.statusItem.toolTip().startsWith(u"до 1:00\n"));

    reply = delegate.handleControl(ControlVerb::On);
    EXPECT_FALSE(delegate.model().keepAwake().end().isSet());
    EXPECT_EQ(reply.subtitle, QStringLiteral("Mac не уснёт"));
    EXPECT_FALSE(platform.statusItem.toolTip().contains(u"до "));

    const ProcessIdentity make{.pid = 4242, .startTime = 1, .name = "make"};
    platform.processWatch.start(make);
    reply = delegate.handleControl(ControlRequest::onWhile(make.pid));
    EXPECT_EQ(reply.subtitle, QStringLiteral("пока работает make"));
    platform.processWatch.end(make.pid);
    EXPECT_FALSE(delegate.model().isAwake());
    EXPECT_EQ(platform.audio.plays.size(), 1U) << "only the switch-on sounds";

    reply = delegate.handleControl(ControlRequest::onWhile(make.pid));
    EXPECT_FALSE(reply.awake) << "a process already gone starts nothing";
}

TEST_F(AppDelegateTest, AnUpdateReadyWhileKeptAwakeInstallsOnceTheComputerMaySleep) {
    delegate.model().toggle();
    int installs = 0;
    platform.updates.driver().showReadyToInstall([&] { ++installs; });
    EXPECT_EQ(installs, 0);

    delegate.model().toggle();
    EXPECT_EQ(installs, 1);
}

TEST_F(AppDelegateTest, PowerSourceChangeForcesAPowerSettingsRead) {
    const int before = platform.powerSettings.reads;
    Q_EMIT platform.powerSourceMonitor.changed();
    QCoreApplication::processEvents();
    EXPECT_EQ(platform.powerSettings.reads, before + 1);
}

TEST_F(AppDelegateTest, QuittingReleasesTheLock) {
    delegate.handleControl(ControlVerb::On);
    ASSERT_EQ(held(), 1U);
    QTimer::singleShot(0, QCoreApplication::instance(), &QCoreApplication::quit);
    QCoreApplication::exec();
    EXPECT_EQ(held(), 0U);
    EXPECT_FALSE(delegate.model().isAwake());
}

TEST_F(AppDelegateTest, TermSignalQuitsNormallyAndReleasesTheLock) {
    const QuitOnSignals quitOnSignals;
    delegate.handleControl(ControlVerb::On);
    ASSERT_EQ(held(), 1U);
    QTimer::singleShot(0, QCoreApplication::instance(), [] { std::raise(SIGTERM); });
    QTimer giveUp;
    giveUp.setSingleShot(true);
    QObject::connect(&giveUp, &QTimer::timeout, &giveUp, [] { QCoreApplication::exit(1); });
    giveUp.start(5000);
    EXPECT_EQ(QCoreApplication::exec(), 0);
    EXPECT_EQ(held(), 0U);
}

TEST_F(AppDelegateTest, QuittingWithTheLidModeOnSwitchesSystemSleepBackOn) {
    platform.lid.installed = true;
    delegate.handleControl(ControlVerb::On);
    ASSERT_TRUE(platform.lid.sleepDisabled);
    QTimer::singleShot(0, QCoreApplication::instance(), &QCoreApplication::quit);
    QCoreApplication::exec();
    EXPECT_FALSE(platform.lid.sleepDisabled);
}

TEST(AppLaunch, ResumesAStoredPeriodBeforeTheFirstIconAndAsksForNotifications) {
    fakes::FakePlatform platform;
    const auto since = platform.clock.now() - std::chrono::hours(1);
    platform.defaults.set("resumeAwakeSince", since);
    platform.defaults.set("resumeManuallyOn", true);
    fakes::ControllerSource panels;
    AppDelegate delegate(platform.services, panels);
    delegate.finishLaunching();
    EXPECT_TRUE(delegate.model().isAwake());
    EXPECT_EQ(delegate.model().keepAwake().awakeSince(), since);
    EXPECT_EQ(delegate.statusMenu().actions().first()->text(), QStringLiteral("Разрешить сон"));
    EXPECT_EQ(platform.desktop.accessRequests, 1);
}

TEST(AppLaunch, StatsTickSamplesTheFigures) {
    fakes::FakePlatform platform;
    fakes::ControllerSource panels;
    AppDelegate delegate(platform.services, panels);
    delegate.finishLaunching();
    platform.stats.addresses = {{"en0", true, false, InterfaceAddress::Family::IPv4, "10.1.2.3"}};
    platform.scheduler.advance(AppDelegate::statsIntervalSeconds - 0.1);
    EXPECT_FALSE(delegate.model().metrics().localIP()) << "no tick before its interval";
    platform.scheduler.advance(0.1);
    EXPECT_EQ(delegate.model().metrics().localIP(), "10.1.2.3");
    platform.stats.addresses.clear();
    platform.scheduler.advance(AppDelegate::statsIntervalSeconds);
    EXPECT_FALSE(delegate.model().metrics().localIP()) << "and again every interval";
}

} // namespace
} // namespace vigilo
