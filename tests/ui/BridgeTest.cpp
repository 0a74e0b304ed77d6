#include "fakes/FakeWorkspace.h"
#include "fakes/ModelFakes.h"
#include "ui/LidBridge.h"
#include "ui/MetricsBridge.h"
#include "ui/SettingsBridge.h"
#include "ui/StatusBridge.h"
#include "ui/ViewServices.h"
#include "ui/WatchedAppsBridge.h"

#include <QCoreApplication>
#include <QQmlComponent>
#include <QQmlEngine>
#include <QSignalSpy>
#include <gtest/gtest.h>
#include <memory>

namespace vigilo {
namespace {

class BridgeTest : public ::testing::Test, protected fakes::ModelFakes {
protected:
    AwakeModel model{services()};
    StatusBridge status{model, clock};
    MetricsBridge metrics{model.metrics()};
    LidBridge lidBridge{model.lidMode()};
    SettingsBridge settingsBridge{model};

    /// Runs the pending turn of the event loop.
    static void nextTurn() { QCoreApplication::processEvents(); }
};

TEST_F(BridgeTest, ManyChangesInOneTurnGiveOneSignalAfterThem) {
    nextTurn();
    QSignalSpy statusChanged(&status, &Bridge::changed);
    QSignalSpy settingsChanged(&settingsBridge, &Bridge::changed);
    QSignalSpy metricsChanged(&metrics, &Bridge::changed);
    bool awakeWhenSignalled = false;
    QObject::connect(&status, &Bridge::changed, &status,
                     [&] { awakeWhenSignalled = status.isAwake(); });

    model.toggle();
    model.preferences().setSoundEnabled(false);
    model.preferences().setHidesMetrics(true);
    EXPECT_EQ(statusChanged.count(), 0) << "never before the change is complete";
    nextTurn();
    EXPECT_EQ(statusChanged.count(), 1);
    EXPECT_TRUE(awakeWhenSignalled) << "the screen re-reads the new state";
    EXPECT_EQ(settingsChanged.count(), 1);
    EXPECT_EQ(metricsChanged.count(), 0) << "a screen hears only the parts it shows";

    nextTurn();
    EXPECT_EQ(statusChanged.count(), 1) << "nothing more without a change";
    model.refreshStats();
    nextTurn();
    EXPECT_EQ(metricsChanged.count(), 1);
}

TEST_F(BridgeTest, QmlReadsThePropertiesAndActsThroughTheModel) {
    QQmlEngine engine;
    addVigiloImportPath(engine);
    QQmlComponent component(&engine);
    component.setData(R"(
        import QtQuick
        import Vigilo
        Item {
            required property StatusBridge status
            required property SettingsBridge settings
            property bool awake: status.awake
            property string title: status.title()
            function flip() { status.toggle(); settings.soundEnabled = !settings.soundEnabled }
        }
    )",
                      QUrl());
    std::unique_ptr<QObject> view(component.createWithInitialProperties(
        {{QStringLiteral("status"), QVariant::fromValue(&status)},
         {QStringLiteral("settings"), QVariant::fromValue(&settingsBridge)}}));
    ASSERT_TRUE(view) << component.errorString().toStdString();
    EXPECT_FALSE(view->property("awake").toBool());
    EXPECT_EQ(view->property("title").toString(), QStringLiteral("Твой Mac не может спать"));

    QMetaObject::invokeMethod(view.get(), "flip");
    EXPECT_TRUE(model.isAwake());
    EXPECT_FALSE(model.preferences().soundEnabled());
    EXPECT_FALSE(view->property("awake").toBool()) << "QML re-reads on the next turn";
    nextTurn();
    EXPECT_TRUE(view->property("awake").toBool());
}

TEST_F(BridgeTest, WatchedAppsListTheirStateAndEditByTheirId) {
    fakes::FakeWorkspace workspace;
    RunningAppsWatcher appsWatcher(settings, workspace, scheduler);
    WatchedAppsBridge apps(appsWatcher, words);
    const auto claude = [&] { return apps.apps().first().toMap(); };
    EXPECT_EQ(claude()[QStringLiteral("name")], QStringLiteral("Claude"));
    EXPECT_FALSE(claude()[QStringLiteral("enabled")].toBool());

    QSignalSpy changed(&apps, &Bridge::changed);
    apps.setEnabled(claude()[QStringLiteral("id")].toString(), true);
    nextTurn();
    EXPECT_EQ(changed.count(), 1);
    EXPECT_TRUE(claude()[QStringLiteral("enabled")].toBool());

    const auto before = apps.apps().size();
    apps.remove(claude()[QStringLiteral("id")].toString());
    EXPECT_EQ(apps.apps().size(), before - 1) << "a built-in application is hidden";
    apps.setEnabled(QStringLiteral("no.such.app"), true);
    EXPECT_EQ(apps.apps().size(), before - 1) << "an unknown id changes nothing";
    apps.restoreBuiltInApps();
    EXPECT_EQ(apps.apps().size(), before);
}

TEST_F(BridgeTest, ABridgeGoneBeforeTheModelHearsNothing) {
    auto gone = std::make_unique<LidBridge>(model.lidMode());
    gone.reset();
    model.toggle();
    nextTurn();
    EXPECT_TRUE(model.isAwake());
}

} // namespace
} // namespace vigilo
