// The model's closed-lid mode over the real logind adapter and mock system services.
#include "../LogindInhibitors.h"
#include "apps/EventLoop.h"
#include "fakes/ModelFakes.h"
#include "platform/linux/power/LogindLidControl.h"

#include <gtest/gtest.h>
#include <memory>

using namespace vigilo;
using vigilo::testing::runEventsUntil;

namespace {

const QString upowerName = QStringLiteral("org.freedesktop.UPower");
const std::vector<QString> lidLockOnly{QStringLiteral("handle-lid-switch:sleep")};

class LinuxLidModeTest : public ::testing::Test, protected fakes::ModelFakes {
protected:
    void startLogind() { system.startTemplate("logind", QStringLiteral("org.freedesktop.login1")); }

    void startModel() {
        system.startTemplate("upower", upowerName, R"({"LidIsClosed": false})");
        restartModel();
    }

    /// A new adapter and model over the same stored settings, as after a restart of the program.
    void restartModel() {
        model.reset();
        // No /proc fixture: the lid is what UPower says.
        lidBus = system.connect();
        lidControl =
            std::make_unique<LogindLidControl>(lidBus, defaults, "/nonexistent/vigilo-test-root");
        model = std::make_unique<AwakeModel>(services(*lidControl, desktop));
    }

    void setLidClosed(bool closed) {
        const QDBusMessage reply =
            system.callMock(upowerName, QStringLiteral("/org/freedesktop/UPower"),
                            QStringLiteral("UpdateProperties"),
                            {upowerName, QVariantMap{{QStringLiteral("LidIsClosed"), closed}}});
        ASSERT_EQ(reply.type(), QDBusMessage::ReplyMessage) << reply.errorMessage().toStdString();
        // UPower announces the change; the adapter follows it.
        ASSERT_TRUE(runEventsUntil([&] { return lidControl->isLidClosed() == closed; }, 5000));
    }

    std::vector<AssertionKind> heldKinds() const {
        std::vector<AssertionKind> kinds;
        for (const auto& [id, held] : assertions.held) {
            kinds.push_back(held.kind);
        }
        return kinds;
    }

    std::vector<QString> lockedWhats() {
        std::vector<QString> whats;
        for (const Inhibitor& lock : logindInhibitors(system)) {
            whats.push_back(lock.what);
        }
        return whats;
    }

    DBusSandbox system{DBusSandbox::Kind::System};
    /// The adapter's connection.
    QDBusConnection lidBus{QString()};
    std::unique_ptr<LogindLidControl> lidControl;
    std::unique_ptr<AwakeModel> model;
};

} // namespace

TEST_F(LinuxLidModeTest, TheLidLockWaitsForConsentThenFollowsKeepingAwake) {
    startLogind();
    startModel();

    model->keepAwake().setAwake(true);
    EXPECT_TRUE(model->lidMode().needsLidConsent());
    EXPECT_FALSE(model->lidMode().isLidActive());
    EXPECT_TRUE(lockedWhats().empty()) << "no closed-lid mode without the user's consent";

    model->lidMode().grantLidPermission();
    EXPECT_TRUE(model->lidMode().isLidActive());
    EXPECT_FALSE(model->lidMode().needsLidConsent());
    EXPECT_TRUE(runEventsUntil([&] { return lockedWhats() == lidLockOnly; }, 5000));

    model->keepAwake().setAwake(false);
    EXPECT_FALSE(model->lidMode().isLidActive());
    EXPECT_TRUE(eventually([&] { return logindInhibitors(system).empty(); }));

    restartModel();
    model->keepAwake().setAwake(true);
    EXPECT_TRUE(model->lidMode().isLidActive()) << "the consent outlives a restart";
    EXPECT_FALSE(model->lidMode().needsLidConsent());
}

// Keep-awake ends while logind is away (its lock went with it): a logind that comes back is not
// asked for the closed-lid lock again.
TEST_F(LinuxLidModeTest, KeepAwakeEndingWhileLogindIsAwayWantsNoLidLockBack) {
    startLogind();
    startModel();
    model->lidMode().grantLidPermission();
    model->keepAwake().setAwake(true);
    ASSERT_TRUE(runEventsUntil([&] { return lockedWhats() == lidLockOnly; }, 5000));

    system.stopMock(QStringLiteral("org.freedesktop.login1"));
    ASSERT_TRUE(runEventsUntil([&] { return !model->lidMode().isLidHelperInstalled(); }, 5000));
    EXPECT_FALSE(model->lidMode().isLidActive()) << "no closed-lid claim without the lock";
    model->keepAwake().setAwake(false);
    startLogind();
    ASSERT_TRUE(runEventsUntil([&] { return model->lidMode().isLidHelperInstalled(); }, 5000));
    // Once the adapter has seen logind come back, and logind any request it sent.
    DBusSandbox::settle(lidBus, QStringLiteral("org.freedesktop.DBus"));
    DBusSandbox::settle(lidBus, QStringLiteral("org.freedesktop.login1"));

    EXPECT_TRUE(lockedWhats().empty());
}

TEST_F(LinuxLidModeTest, TheSubtitleClaimsTheClosedLidOnlyWhileLogindHoldsTheLock) {
    startLogind();
    startModel();
    model->lidMode().grantLidPermission();
    model->keepAwake().setAwake(true);
    const std::string lidSubtitle = "не спит даже с закрытой крышкой";
    ASSERT_EQ(model->statusSubtitle(), lidSubtitle);

    system.stopMock(QStringLiteral("org.freedesktop.login1"));
    EXPECT_TRUE(runEventsUntil([&] { return model->statusSubtitle() != lidSubtitle; }, 5000));
    startLogind();
    EXPECT_TRUE(runEventsUntil([&] { return model->statusSubtitle() == lidSubtitle; }, 5000));
    EXPECT_TRUE(runEventsUntil([&] { return lockedWhats() == lidLockOnly; }, 5000));
}

TEST_F(LinuxLidModeTest, RevokingDropsTheLockAndItStaysDroppedAcrossRestarts) {
    startLogind();
    startModel();
    model->lidMode().grantLidPermission();
    model->keepAwake().setAwake(true);
    ASSERT_TRUE(model->lidMode().isLidActive());

    model->lidMode().removeLidHelper();
    EXPECT_FALSE(model->lidMode().isLidActive());
    EXPECT_FALSE(model->lidMode().isLidHelperInstalled());
    EXPECT_TRUE(eventually([&] { return logindInhibitors(system).empty(); }));

    model->keepAwake().setAwake(false);
    model->keepAwake().setAwake(true);
    EXPECT_FALSE(model->lidMode().isLidActive());
    EXPECT_TRUE(model->lidMode().needsLidConsent()) << "the next switch-on asks again";
    EXPECT_TRUE(lockedWhats().empty());

    restartModel();
    model->keepAwake().setAwake(true);
    EXPECT_FALSE(model->lidMode().isLidActive());
    EXPECT_TRUE(model->lidMode().needsLidConsent());
    EXPECT_TRUE(lockedWhats().empty());
}

TEST_F(LinuxLidModeTest, AClosedLidLetsTheDisplaySleepOnceUntilItOpens) {
    startLogind();
    startModel();
    model->lidMode().grantLidPermission();
    model->keepAwake().setAwake(true);
    ASSERT_TRUE(model->lidMode().isLidActive());
    model->lidMode().updateScreenForLid();
    EXPECT_EQ(heldKinds(), std::vector<AssertionKind>{AssertionKind::DisplayKeptOn});

    setLidClosed(true);
    model->lidMode().updateScreenForLid();
    EXPECT_EQ(heldKinds(), std::vector<AssertionKind>{AssertionKind::DisplayMaySleep});
    EXPECT_EQ(displays.turnedOff, 1);
    model->lidMode().updateScreenForLid();
    model->lidMode().updateScreenForLid();
    EXPECT_EQ(displays.turnedOff, 1) << "switched off once, not on every tick";

    setLidClosed(false);
    model->lidMode().updateScreenForLid();
    EXPECT_EQ(heldKinds(), std::vector<AssertionKind>{AssertionKind::DisplayKeptOn});
    EXPECT_EQ(displays.turnedOff, 1);
}

TEST_F(LinuxLidModeTest, WithoutLogindTheCardAppearsAndGrantingSaysWhy) {
    startModel();
    ASSERT_TRUE(runEventsUntil([&] { return lidControl->install().has_value(); }, 5000))
        << "the bus tells logind is missing";

    model->keepAwake().setAwake(true);
    EXPECT_TRUE(model->lidMode().needsLidConsent());
    EXPECT_FALSE(model->lidMode().isLidActive());

    model->lidMode().grantLidPermission();
    EXPECT_EQ(model->lidMode().lidError(),
              "Нет разрешения: служба входа в систему (systemd-logind) недоступна.");
    EXPECT_FALSE(model->lidMode().isLidActive());
}
