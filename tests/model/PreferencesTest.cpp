#include "ModelFixture.h"
#include "platform/macos/desktop/LoginItemMessage.h"

namespace vigilo {
namespace {

TEST_F(AwakeModelTest, FirstLaunchWithAnEmptyStore) {
    EXPECT_TRUE(model->preferences().soundEnabled());
    EXPECT_FALSE(model->preferences().hidesMetrics());
    EXPECT_TRUE(model->lidMode().keepsAwakeWithLidClosed());
    EXPECT_TRUE(model->lidMode().turnsScreenOffWithLidClosed());
    EXPECT_EQ(model->batteryStop().batteryThreshold(), 20);
    EXPECT_FALSE(model->preferences().usesSimpleAnimation());
    EXPECT_FALSE(model->isAwake());
    EXPECT_FALSE(model->keepAwake().awakeSince());
    EXPECT_EQ(power.reads, 1) << "start-up reads the power settings once";
    EXPECT_EQ(model->powerFigures().displaySleepMinutes(), 10);
    EXPECT_FALSE(model->powerFigures().canSleep());
}

TEST_F(AwakeModelTest, WronglyTypedSettingsFallBack) {
    defaults.set("soundEnabled", std::string("off"));
    defaults.set("batteryThreshold", std::string("50"));
    start();
    EXPECT_TRUE(model->preferences().soundEnabled());
    EXPECT_EQ(model->batteryStop().batteryThreshold(), 20);
}

TEST_F(AwakeModelTest, SettingsSettersNotifyAndStore) {
    for (const auto& set : std::vector<std::function<void()>>{
             [&] { model->preferences().setSoundEnabled(false); },
             [&] { model->batteryStop().setBatteryThreshold(30); },
             [&] { model->lidMode().setKeepsAwakeWithLidClosed(false); }}) {
        notices = 0;
        set();
        EXPECT_GE(notices, 1);
    }
    EXPECT_EQ(std::get<bool>(*defaults.value("soundEnabled")), false);
    EXPECT_EQ(model->batteryStop().batteryThreshold(), 30);
    EXPECT_FALSE(model->lidMode().keepsAwakeWithLidClosed());

    model->toggle();
    EXPECT_TRUE(audio.plays.empty()) << "sounds off is read by the player itself";
}

TEST_F(AwakeModelTest, LoginItemFailureShowsAnAlertAndKeepsTheRealStatus) {
    model->preferences().setLaunchesAtLogin(true);
    EXPECT_TRUE(model->preferences().launchesAtLogin());
    EXPECT_TRUE(desktop.alerts.empty());

    desktop.loginItemError = "Доступ запрещён";
    model->preferences().setLaunchesAtLogin(false);
    EXPECT_TRUE(model->preferences().launchesAtLogin());
    ASSERT_EQ(desktop.alerts.size(), 1U);
    EXPECT_EQ(desktop.alerts[0].title, "Не удалось изменить автозапуск");
    EXPECT_EQ(desktop.alerts[0].body, "Доступ запрещён");

    desktop.loginItemError = macLoginItemFailure("Доступ запрещён");
    model->preferences().setLaunchesAtLogin(false);
    EXPECT_EQ(desktop.alerts[1].body,
              "Доступ запрещён\n\nПереместите приложение в /Applications и попробуйте снова.")
        << "the platform's advice reaches the alert as it is";
}

} // namespace
} // namespace vigilo
