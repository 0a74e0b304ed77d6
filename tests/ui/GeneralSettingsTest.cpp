#include "ViewHarness.h"
#include "fakes/ModelFakes.h"
#include "ui/PanelBridge.h"
#include "ui/SettingsBridge.h"

#include <QAccessible>
#include <QTest>
#include <functional>
#include <gtest/gtest.h>
#include <optional>

namespace vigilo {
namespace {

/// A desktop without login items, which counts the attempts to register one anyway.
class LoginlessDesktop final : public Desktop {
public:
    void copyText(const std::string&) override {}
    void requestNotificationAccess() override {}
    void notify(const std::string&, const std::string&) override {}
    void playAlertSound() override {}
    void openUrl(const std::string&) override {}
    [[nodiscard]] bool canLaunchAtLogin() const override { return false; }
    [[nodiscard]] bool launchesAtLogin() const override { return false; }
    [[nodiscard]] std::optional<std::string> setLaunchesAtLogin(bool) override {
        ++attempts;
        return std::nullopt;
    }
    void showAlert(const std::string&, const std::string&) override {}

    int attempts = 0;
};

/// The general tab on a real model over fakes, its controls found as a screen reader finds them.
class GeneralSettingsTest : public ::testing::Test, protected fakes::ModelFakes {
protected:
    /// Opens the tab over a model that registers login items with `desktopServices`.
    void open(Desktop& desktopServices) {
        model.emplace(services(lid, desktopServices));
        panel.emplace(*model);
        settingsBridge.emplace(*model);
        view = harness.load(
            "import Vigilo\nGeneralSettings {}",
            {{QStringLiteral("settings"), QVariant::fromValue(&*settingsBridge)},
             {QStringLiteral("panel"), QVariant::fromValue(&*panel)},
             {QStringLiteral("space"), QVariant::fromValue(harness.window.contentItem())}});
        harness.settle();
    }

    /// The visible control called `name` for screen readers, else nothing.
    QQuickItem* control(const char* name) {
        return testing::accessibleControl(harness.window, QString::fromUtf8(name));
    }

    void click(QQuickItem& item) {
        const auto centre = item.mapToScene(QPointF(item.width() / 2, item.height() / 2));
        QTest::mouseClick(&harness.window, Qt::LeftButton, {}, centre.toPoint());
        harness.settle();
    }

    void pressSpace(QQuickItem& item) {
        item.forceActiveFocus(Qt::TabFocusReason);
        QTest::keyClick(&harness.window, Qt::Key_Space);
        harness.settle();
    }

    LoginlessDesktop loginless;
    testing::ViewHarness harness{clock};
    std::optional<AwakeModel> model;
    std::optional<PanelBridge> panel;
    std::optional<SettingsBridge> settingsBridge;
    std::unique_ptr<QQuickItem> view;
};

TEST_F(GeneralSettingsTest, ThePillCyclesTheThresholdAndSaysItInItsName) {
    open(desktop);
    const std::pair<const char*, const char*> steps[] = {
        {"≤20%", "Выключать при заряде, сейчас порог 20%"},
        {"≤30%", "Выключать при заряде, сейчас порог 30%"},
        {"≤50%", "Выключать при заряде, сейчас порог 50%"},
        {"выкл", "Выключать при заряде, сейчас выключено"},
        {"≤10%", "Выключать при заряде, сейчас порог 10%"},
    };
    for (const auto& [text, name] : steps) {
        auto* pill = control(name);
        ASSERT_NE(pill, nullptr) << name;
        EXPECT_TRUE(testing::shows(*pill->parentItem(), QString::fromUtf8(text))) << text;
        click(*pill);
    }
}

TEST_F(GeneralSettingsTest, TheBatteryRowFollowsTheCharge) {
    open(desktop);
    const auto battery = PowerSource{.kind = PowerSource::Kind::InternalBattery,
                                     .unit = ChargeUnit::MicrowattHours,
                                     .charge = 17,
                                     .capacity = 100};
    struct Case {
        std::vector<PowerSource> sources;
        const char* symbol;
        const char* subtitle;
    };
    for (const auto& c : {Case{{}, "battery.75percent", "клик — следующий порог"},
                          Case{{battery}, "battery.25percent", "заряд 17% — кофе выключится"}}) {
        stats.sources = c.sources;
        model->refreshStats();
        harness.settle();
        EXPECT_TRUE(testing::shows(*view, QString::fromLatin1(c.symbol))) << c.symbol;
        EXPECT_TRUE(testing::shows(*view, QString::fromUtf8(c.subtitle))) << c.subtitle;
    }
}

TEST_F(GeneralSettingsTest, ASwitchFlipsTheStoredSettingByClickOrSpace) {
    open(desktop);
    const std::vector<std::pair<const char*, std::function<bool()>>> cases = {
        {"Звук", [&] { return settings.read(SettingsKeys::soundEnabled); }},
        {"Скрывать индикаторы", [&] { return settings.read(SettingsKeys::hidesMetrics); }},
        {"Простая анимация", [&] { return settings.read(SettingsKeys::usesSimpleAnimation); }},
        {"Экран гаснет", [&] { return settings.read(SettingsKeys::turnsScreenOffWithLidClosed); }},
        {"Запускать при входе", [&] { return desktop.loginItem; }},
    };
    for (const auto& [title, stored] : cases) {
        auto* toggle = control(title);
        ASSERT_NE(toggle, nullptr) << title;
        const bool before = stored();
        click(*toggle);
        EXPECT_EQ(stored(), !before) << title << ", clicked";
        pressSpace(*toggle);
        EXPECT_EQ(stored(), before) << title << ", Space";
        EXPECT_EQ(toggle->property("checked").toBool(), before) << title << " shows the setting";
    }
}

TEST_F(GeneralSettingsTest, ADisabledLaunchAtLoginSwitchCannotBeFlipped) {
    open(loginless);
    auto* toggle = control("Запускать при входе");
    ASSERT_NE(toggle, nullptr);
    click(*toggle);
    pressSpace(*toggle);
    EXPECT_EQ(loginless.attempts, 0);
    EXPECT_FALSE(toggle->property("checked").toBool());
}

} // namespace
} // namespace vigilo
