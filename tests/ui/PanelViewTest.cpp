#include "PanelBridges.h"
#include "ViewHarness.h"
#include "fakes/FakeUpdateFramework.h"
#include "ui/UpdatesBridge.h"
#include "ui/ViewServices.h"

#include <QQmlComponent>
#include <QQmlEngine>
#include <QQuickItem>
#include <QQuickWindow>
#include <QSignalSpy>
#include <QTest>
#include <functional>
#include <gtest/gtest.h>
#include <memory>

namespace vigilo {
namespace {

constexpr std::uint64_t GiB = 1ULL << 30;

/// The panel's views on a real model over fakes, in an offscreen window, as the program hosts
/// them: the view fills the window from its top-left corner.
class PanelViewTest : public ::testing::Test, protected testing::PanelBridges {
protected:
    explicit PanelViewTest(PlatformWords platformWords = {})
        : PanelBridges(std::move(platformWords)) {
        addVigiloImportPath(engine);
        // Shown, since stacks lay out as the window prepares its frames.
        window.resize(420, 600);
        window.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&window));
        load();
        model.panelState().setPanelVisible(true);
        if (view) {
            settle();
        }
    }

    /// Loads the root view afresh, with `updates` as the update driver.
    void load(UpdatesBridge* updates = nullptr) {
        view.reset();
        QQmlComponent component(&engine);
        component.setData("import Vigilo\nPanelView {}", QUrl());
        view.reset(
            qobject_cast<QQuickItem*>(component.createWithInitialProperties(properties(updates))));
        if (!view) {
            ADD_FAILURE() << component.errorString().toStdString();
            return;
        }
        view->setParentItem(window.contentItem());
        settle();
    }

    /// Lets the bridges publish and every spring come to rest, then waits for a frame, which
    /// lays out what came new.
    void settle() {
        QCoreApplication::processEvents();
        EXPECT_TRUE(QTest::qWaitFor([&] { return !anythingMoves(); }, 3000));
        QSignalSpy swapped(&window, &QQuickWindow::frameSwapped);
        window.update();
        EXPECT_TRUE(swapped.wait(3000));
    }

    [[nodiscard]] bool anythingMoves() const {
        const auto items = view->findChildren<QObject*>();
        return std::ranges::any_of(
            items, [](const QObject* item) { return item->property("moving").toBool(); });
    }

    [[nodiscard]] QSizeF visibleSize() const { return view->property("visibleSize").toSizeF(); }

    /// The item called `name` in the view's tree of items (which also holds what repeaters made).
    [[nodiscard]] QQuickItem* item(const char* name) const {
        return testing::findItem(*view, QString::fromLatin1(name));
    }
    /// How many visible items called `name` the tree of items under `root` holds.
    [[nodiscard]] static int countVisible(QQuickItem& root, const QString& name) {
        int count = 0;
        for (auto* child : root.childItems()) {
            count += (child->objectName() == name && child->isVisible() ? 1 : 0) +
                     countVisible(*child, name);
        }
        return count;
    }

    /// A visible text item or symbol of the view shows `text`.
    [[nodiscard]] bool shows(const QString& text) const { return testing::shows(*view, text); }

    void click(const QQuickItem& shown) {
        const auto centre = centreOf(shown);
        QTest::mouseClick(&window, Qt::LeftButton, {}, QPoint(int(centre.x), int(centre.y)));
        settle();
    }

    /// The visible control that screen readers know by `name`, else nothing.
    [[nodiscard]] QQuickItem* control(const QString& name) {
        return testing::accessibleControl(window, name);
    }

    /// The scroll area of the settings' tab on show.
    [[nodiscard]] QQuickItem* tabScroller() const {
        return qobject_cast<QQuickItem*>(
            qvariant_cast<QObject*>(item("settingsContent")->property("item")));
    }

    /// The panel's point at the centre of `shown`.
    [[nodiscard]] PanelPoint centreOf(const QQuickItem& shown) const {
        const auto centre =
            shown.mapToItem(view.get(), QPointF(shown.width() / 2, shown.height() / 2));
        return {centre.x(), centre.y()};
    }

    QQmlEngine engine;
    ViewServices viewServices{clock, nullptr, engine};
    QQuickWindow window;
    std::unique_ptr<QQuickItem> view;
};

TEST_F(PanelViewTest, MainScreenKeepsItsFixedHeightsUnlessMetricsAreHiddenOrExpanded) {
    struct Case {
        const char* what;
        std::function<void()> change;
        std::function<bool(double)> isVisibleHeight;
    };
    const std::vector<Case> cases = {
        {"metrics collapsed", [] {}, [](double h) { return h == 288; }},
        {"asking for a coffee",
         [&] { model.donationQuestion().checkDonationQuestion(DonationQuestion::donationCup); },
         [](double h) { return h == 364; }},
        {"metrics hidden while asking", [&] { model.preferences().setHidesMetrics(true); },
         [](double h) { return h < 364; }},
        {"metrics hidden", [&] { model.donationQuestion().postponeDonationQuestion(); },
         [](double h) { return h < 288 - 14; }},
        {"metrics shown again", [&] { model.preferences().setHidesMetrics(false); },
         [](double h) { return h == 288; }},
        {"metrics expanded", [&] { item("mainScreen")->setProperty("metricsExpanded", true); },
         [](double h) { return h > 288 + 50; }},
    };
    for (const auto& c : cases) {
        c.change();
        settle();
        const auto size = visibleSize();
        EXPECT_TRUE(c.isVisibleHeight(size.height())) << c.what << ": " << size.height();
        EXPECT_EQ(size.width(), 340) << c.what;
        EXPECT_EQ(view->implicitHeight(), size.height() + 80) << c.what << ": margin of 40";
        EXPECT_EQ(view->implicitWidth(), 340 + 80) << c.what;
    }
}

TEST_F(PanelViewTest, HoverHighlightFollowsThePublishedPointer) {
    auto* more = item("moreButton");
    ASSERT_NE(more, nullptr);
    auto* highlight = more->findChild<QQuickItem*>(QStringLiteral("hoverHighlight"));
    ASSERT_NE(highlight, nullptr);
    const auto over = centreOf(*more);
    struct Case {
        const char* what;
        std::optional<PanelPoint> pointer;
        bool enabled;
        double opacity;
    };
    const Case cases[] = {
        {"over the button", over, true, 0.16},
        {"elsewhere on the panel", PanelPoint{60, 60}, true, 0},
        {"back over it", over, true, 0.16},
        {"no pointer", std::nullopt, true, 0},
        {"over it but disabled", over, false, 0},
    };
    for (const auto& c : cases) {
        highlight->setEnabled(c.enabled);
        model.panelState().setPointer(c.pointer);
        QCoreApplication::processEvents();
        EXPECT_EQ(highlight->property("hovered").toBool(), c.opacity > 0) << c.what;
        EXPECT_TRUE(QTest::qWaitFor(
            [&] {
                return qFuzzyCompare(1 + highlight->property("shade").toDouble(), 1 + c.opacity);
            },
            1000))
            << c.what << ": " << highlight->property("shade").toDouble();
    }
}

TEST_F(PanelViewTest, MetricsRowShowsTheFiguresAsItWritesThem) {
    item("mainScreen")->setProperty("metricsExpanded", true);
    struct Case {
        const char* what;
        std::function<void()> arrange;
        std::vector<const char*> texts;
    };
    const std::vector<Case> cases = {
        {"nothing known", [] {}, {"…", "нет сети", "узнать"}},
        {"memory",
         [&] { stats.memory = MemoryFigures{.internal = 8 * GiB, .physical = 16 * GiB}; },
         {"50%", "8,0 из 16,0 ГБ", "memorychip"}},
        {"a big free disk",
         [&] {
             stats.volume = VolumeCapacity{245'000'000'000, 494'000'000'000};
         },
         {"245 ГБ", "свободно 245 из 494 ГБ"}},
        {"a small free disk",
         [&] {
             stats.volume = VolumeCapacity{99'940'000'000, 494'000'000'000};
         },
         {"99,9 ГБ"}},
        {"a draining battery",
         [&] {
             // 228 of 1900 is 12 %; at 144 an hour it lasts 95 minutes.
             stats.sources = {{.kind = PowerSource::Kind::InternalBattery,
                               .unit = ChargeUnit::MicrowattHours,
                               .charge = 228,
                               .capacity = 1900,
                               .drain = 144}};
         },
         {"12%", "12% · ещё 1 ч 35 мин", "battery.0percent"}},
        {"a charging battery",
         [&] {
             stats.sources = {{.kind = PowerSource::Kind::InternalBattery,
                               .charge = 100,
                               .capacity = 100,
                               .isCharging = true,
                               .onExternalPower = true}};
         },
         {"100% · заряжается", "battery.100percent.bolt"}},
        {"a network",
         [&] {
             stats.addresses = {
                 {"en0", true, false, InterfaceAddress::Family::IPv4, "192.168.1.20"}};
         },
         {"192.168.1.20", "doc.on.doc"}},
    };
    for (const auto& c : cases) {
        c.arrange();
        model.refreshStats();
        settle();
        for (const auto* text : c.texts) {
            EXPECT_TRUE(shows(QString::fromUtf8(text))) << c.what << ": " << text;
        }
    }
}

TEST_F(PanelViewTest, HeroSwitchesKeepAwakeAndShowsTheLidError) {
    auto* hero = item("heroButton");
    ASSERT_NE(hero, nullptr);
    EXPECT_FALSE(shows(QStringLiteral("Пьёт кофе · первая чашка")));
    EXPECT_FALSE(item("lidError")->isVisible());
    lid.installed = true;
    lid.switchFails = true;
    const auto centre = centreOf(*hero);
    QTest::mouseClick(&window, Qt::LeftButton, {}, QPoint(int(centre.x), int(centre.y)));
    EXPECT_TRUE(model.isAwake());
    settle();
    EXPECT_TRUE(shows(QStringLiteral("Пьёт кофе · первая чашка")));
    EXPECT_TRUE(shows(QStringLiteral("Не удалось включить режим крышки")));
}

TEST_F(PanelViewTest, SettingsReplaceTheMainScreenAtTheirFixedHeightUntilClosed) {
    click(*item("moreButton"));
    EXPECT_TRUE(model.panelState().showsSettings());
    ASSERT_NE(item("settingsScreen"), nullptr);
    EXPECT_EQ(item("mainScreen"), nullptr);
    EXPECT_EQ(visibleSize(), QSizeF(340, 340));

    click(*control(QStringLiteral("Закрыть настройки")));
    EXPECT_FALSE(model.panelState().showsSettings());
    ASSERT_NE(item("mainScreen"), nullptr);
    EXPECT_EQ(visibleSize(), QSizeF(340, 288));
}

TEST_F(PanelViewTest, EachTabOpensAtItsTopAndOnlyTheOthersLightUnderThePointer) {
    model.panelState().setShowsSettings(true);
    settle();
    for (const int tab : {1, 2, 0, 1}) {
        // Scrolled down as far as it goes, then another tab is chosen.
        auto* scroller = tabScroller();
        ASSERT_NE(scroller, nullptr);
        scroller->setProperty("contentY", 1000);
        click(*item(("tab" + std::to_string(tab)).c_str()));
        EXPECT_EQ(model.panelState().panelTab(), PanelTab(tab));
        ASSERT_NE(tabScroller(), nullptr);
        EXPECT_EQ(tabScroller()->property("contentY").toDouble(), 0) << "tab " << tab;
        for (const int other : {0, 1, 2}) {
            auto* button = item(("tab" + std::to_string(other)).c_str());
            model.panelState().setPointer(centreOf(*button));
            QCoreApplication::processEvents();
            const auto* highlight =
                button->findChild<QQuickItem*>(QStringLiteral("hoverHighlight"));
            EXPECT_EQ(highlight->property("hovered").toBool(), other != tab)
                << "tab " << other << " with tab " << tab << " selected";
        }
    }
}

TEST_F(PanelViewTest, TheUpdateDotShowsOnTheMoreButtonAndOnTheAboutTabUnlessItIsOpen) {
    fakes::FakeUpdateFramework framework;
    Updater updater(framework, scheduler, {.version = "1.2", .copyright = "© 2026 Vigilo"});
    UpdatesBridge updates(updater);
    struct Case {
        const char* what;
        UpdatesBridge* bridge;
        bool found;
        std::optional<PanelTab> tab;
        bool dot;
    };
    const Case cases[] = {
        {"a program that does not update itself", nullptr, false, std::nullopt, false},
        {"nothing found, main screen", &updates, false, std::nullopt, false},
        {"nothing found, settings", &updates, false, PanelTab::General, false},
        {"found, main screen", &updates, true, std::nullopt, true},
        {"found, general tab", &updates, true, PanelTab::General, true},
        {"found, about tab open", &updates, true, PanelTab::About, false},
    };
    for (const auto& c : cases) {
        if (c.found) {
            updater.showUpdateFound("1.3", [] {});
        }
        model.panelState().setShowsSettings(c.tab.has_value());
        model.panelState().setPanelTab(c.tab.value_or(PanelTab::General));
        load(c.bridge);
        EXPECT_EQ(countVisible(*view, QStringLiteral("updateDot")), c.dot ? 1 : 0) << c.what;
    }
}

class LinuxPanelViewTest : public PanelViewTest {
protected:
    LinuxPanelViewTest()
        : PanelViewTest(linuxWords()) {}
};

TEST_F(LinuxPanelViewTest, WithoutSelfUpdateTheAboutTabSaysWhoBringsNewVersions) {
    model.panelState().setShowsSettings(true);
    model.panelState().setPanelTab(PanelTab::About);
    load();
    EXPECT_TRUE(shows(QStringLiteral("Обновления приходят через менеджер пакетов")));
    EXPECT_FALSE(shows(QStringLiteral("Обновляется автоматически")));
    EXPECT_FALSE(shows(QStringLiteral("Проверить обновления")));

    fakes::FakeUpdateFramework framework;
    Updater updater(framework, scheduler, {.version = "1.2", .copyright = "© 2026 Vigilo"});
    UpdatesBridge updates(updater);
    load(&updates);
    EXPECT_TRUE(shows(QStringLiteral("© 2026 Vigilo")));
    EXPECT_TRUE(shows(QStringLiteral("Обновляется автоматически")));
}

TEST_F(PanelViewTest, TheConsentCardComesAndGoesWithTheModelsQuestion) {
    model.panelState().setShowsSettings(true);
    settle();
    const auto cardShown = [&] {
        const auto* card = item("consentCard");
        return card != nullptr && card->parentItem()->isVisible() && card->opacity() == 1;
    };
    EXPECT_FALSE(cardShown());
    model.lidMode().setKeepsAwakeWithLidClosed(true);
    settle();
    ASSERT_TRUE(model.lidMode().needsLidConsent());
    EXPECT_TRUE(cardShown());
    click(*control(QStringLiteral("Не сейчас")));
    EXPECT_FALSE(cardShown());
}

TEST_F(PanelViewTest, TheKeyboardReachesAndPressesTheControls) {
    window.requestActivate();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    /// The names of the controls Tab visits, once round.
    const auto tabRound = [&] {
        std::vector<QString> names;
        for (int i = 0; i < 40; ++i) {
            QTest::keyClick(&window, Qt::Key_Tab);
            const QString name = testing::accessibleName(window.activeFocusItem());
            if (!names.empty() && name == names.front()) {
                break;
            }
            names.push_back(name);
        }
        return names;
    };
    const auto visits = [](const std::vector<QString>& names, const char* name) {
        return std::ranges::find(names, QString::fromUtf8(name)) != names.end();
    };
    const auto onMain = tabRound();
    EXPECT_TRUE(visits(onMain, model.toggleHelp().c_str())) << "the hero";
    for (const auto* name : {"Показатели", "Настройки"}) {
        EXPECT_TRUE(visits(onMain, name)) << name;
    }
    while (window.activeFocusItem() != control(QStringLiteral("Настройки"))) {
        QTest::keyClick(&window, Qt::Key_Tab);
    }
    QTest::keyClick(&window, Qt::Key_Space);
    settle();
    ASSERT_TRUE(model.panelState().showsSettings());

    const auto inSettings = tabRound();
    for (const auto* name : {"Основные", "Программы", "О программе", "Закрыть настройки", "Звук",
                             "Скрывать индикаторы"}) {
        EXPECT_TRUE(visits(inSettings, name)) << name;
    }
    while (window.activeFocusItem() != control(QStringLiteral("Программы"))) {
        QTest::keyClick(&window, Qt::Key_Tab);
    }
    QTest::keyClick(&window, Qt::Key_Return);
    EXPECT_EQ(model.panelState().panelTab(), PanelTab::Apps);
}

TEST_F(PanelViewTest, ScreensTabsAndMetricsDetailsMoveUnlessTheDesktopAsksForLessMotion) {
    /// Hands the model's change to the views without letting any frame of motion run.
    const auto publish = [] { QCoreApplication::sendPostedEvents(nullptr, QEvent::MetaCall); };
    const auto sceneX = [](const QQuickItem* shown) { return shown->mapToScene({0, 0}).x(); };
    struct Case {
        const char* what;
        std::function<void()> change;
        /// The views show the change's end.
        std::function<bool()> arrived;
    };
    const std::vector<Case> cases = {
        {"the metrics details collapse",
         [&] { item("mainScreen")->setProperty("metricsExpanded", false); },
         [&] { return !item("metricsDetails")->isVisible(); }},
        {"the settings replace the main screen", [&] { model.panelState().setShowsSettings(true); },
         [&] { return visibleSize().height() == 340 && item("settingsScreen")->opacity() == 1; }},
        {"another tab is chosen", [&] { model.panelState().setPanelTab(PanelTab::About); },
         [&] {
             return sceneX(item("tabPill")) == sceneX(item("tab2")) &&
                    item("settingsContent")->opacity() == 1;
         }},
        {"the main screen comes back", [&] { model.panelState().setShowsSettings(false); },
         [&] { return visibleSize().height() == 288; }},
    };
    for (const bool lessMotion : {false, true}) {
        model.panelState().setReducesMotion(lessMotion);
        load();
        item("mainScreen")->setProperty("metricsExpanded", true);
        settle();
        for (const auto& c : cases) {
            c.change();
            publish();
            EXPECT_EQ(c.arrived(), lessMotion)
                << c.what << (lessMotion ? ": not at once" : ": without motion");
            settle();
            EXPECT_TRUE(c.arrived()) << c.what << ": never";
        }
    }
}

} // namespace
} // namespace vigilo
