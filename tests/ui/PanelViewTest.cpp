#include "fakes/ModelFakes.h"
#include "ui/LidBridge.h"
#include "ui/MetricsBridge.h"
#include "ui/PanelBridge.h"
#include "ui/StatusBridge.h"
#include "ui/ViewServices.h"

#include <QQmlComponent>
#include <QQmlEngine>
#include <QQuickItem>
#include <QQuickWindow>
#include <QTest>
#include <functional>
#include <gtest/gtest.h>
#include <memory>

namespace vigilo {
namespace {

constexpr std::uint64_t GiB = 1ULL << 30;

/// The panel's views on a real model over fakes, in an offscreen window, as the program hosts
/// them: the view fills the window from its top-left corner.
class PanelViewTest : public ::testing::Test, protected fakes::ModelFakes {
protected:
    PanelViewTest() {
        addVigiloImportPath(engine);
        QQmlComponent component(&engine);
        component.setData("import Vigilo\nPanelView {}", QUrl());
        view.reset(qobject_cast<QQuickItem*>(component.createWithInitialProperties(
            {{QStringLiteral("status"), QVariant::fromValue(&status)},
             {QStringLiteral("metrics"), QVariant::fromValue(&metrics)},
             {QStringLiteral("lid"), QVariant::fromValue(&lidBridge)},
             {QStringLiteral("panel"), QVariant::fromValue(&panel)}})));
        if (!view) {
            ADD_FAILURE() << component.errorString().toStdString();
            return;
        }
        view->setParentItem(window.contentItem());
        // Shown, since stacks lay out as the window prepares its frames.
        window.resize(420, 600);
        window.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&window));
        model.panelState().setPanelVisible(true);
        settle();
    }

    /// Lets the bridges publish and every spring come to rest.
    void settle() {
        QCoreApplication::processEvents();
        EXPECT_TRUE(QTest::qWaitFor([&] { return !anythingMoves(); }, 3000));
    }

    [[nodiscard]] bool anythingMoves() const {
        const auto items = view->findChildren<QObject*>();
        return std::ranges::any_of(
            items, [](const QObject* item) { return item->property("moving").toBool(); });
    }

    [[nodiscard]] QSizeF visibleSize() const { return view->property("visibleSize").toSizeF(); }

    [[nodiscard]] QQuickItem* item(const char* name) const {
        return view->findChild<QQuickItem*>(QString::fromLatin1(name));
    }

    /// A visible text item or symbol of the view shows `text`.
    [[nodiscard]] bool shows(const QString& text) const {
        const auto items = view->findChildren<QQuickItem*>();
        return std::ranges::any_of(items, [&](const QQuickItem* shown) {
            return shown->isVisible() && shown->opacity() > 0 &&
                   (shown->property("text").toString() == text ||
                    shown->property("name").toString() == text);
        });
    }

    /// The panel's point at the centre of `shown`.
    [[nodiscard]] PanelPoint centreOf(const QQuickItem& shown) const {
        const auto centre =
            shown.mapToItem(view.get(), QPointF(shown.width() / 2, shown.height() / 2));
        return {centre.x(), centre.y()};
    }

    AwakeModel model{services()};
    StatusBridge status{model, clock};
    MetricsBridge metrics{model.metrics()};
    LidBridge lidBridge{model.lidMode()};
    PanelBridge panel{model};
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

} // namespace
} // namespace vigilo
