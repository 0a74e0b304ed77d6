// The model's closed-lid mode over the real logind adapter and mock system services.
#include "../LogindInhibitors.h"
#include "apps/EventLoop.h"
#include "fakes/ModelFakes.h"
#include "platform/linux/LogindLidControl.h"

#include <gtest/gtest.h>
#include <memory>

using namespace vigilo;
using vigilo::testing::runEventsUntil;

namespace {

const QString upowerName = QStringLiteral("org.freedesktop.UPower");

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
        lidControl = std::make_unique<LogindLidControl>(system.connect(), defaults,
                                                        "/nonexistent/vigilo-test-root");
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
    std::unique_ptr<LogindLidControl> lidControl;
    std::unique_ptr<AwakeModel> model;
};

} // namespace

TEST_F(LinuxLidModeTest, TheLidLockWaitsForConsentThenFollowsKeepingAwake) {
    startLogind();
    startModel();

    model->setAwake(true);
    EXPECT_TRUE(model->needsLidConsent());
    EXPECT_FALSE(model->isLidActive());
    EXPECT_TRUE(lockedWhats().empty()) << "no closed-lid mode without the user's consent";

    model->grantLidPermission();
    EXPECT_TRUE(model->isLidActive());
    EXPECT_FALSE(model->needsLidConsent());
    EXPECT_EQ(lockedWhats(), std::vector<QString>{QStringLiteral("handle-lid-switch:sleep")});

    model->setAwake(false);
    EXPECT_FALSE(model->isLidActive());
    EXPECT_TRUE(eventually([&] { return logindInhibitors(system).empty(); }));

    restartModel();
    model->setAwake(true);
    EXPECT_TRUE(model->isLidActive()) << "the consent outlives a restart";
    EXPECT_FALSE(model->needsLidConsent());
}

TEST_F(LinuxLidModeTest, RevokingDropsTheLockAndItStaysDroppedAcrossRestarts) {
    startLogind();
    startModel();
    model->grantLidPermission();
    model->setAwake(true);
    ASSERT_TRUE(model->isLidActive());

    model->removeLidHelper();
    EXPECT_FALSE(model->isLidActive());
    EXPECT_FALSE(model->isLidHelperInstalled());
    EXPECT_TRUE(eventually([&] { return logindInhibitors(system).empty(); }));

    model->setAwake(false);
    model->setAwake(true);
    EXPECT_FALSE(model->isLidActive());
    EXPECT_TRUE(model->needsLidConsent()) << "the next switch-on asks again";
    EXPECT_TRUE(lockedWhats().empty());

    restartModel();
    model->setAwake(true);
    EXPECT_FALSE(model->isLidActive());
    EXPECT_TRUE(model->needsLidConsent());
    EXPECT_TRUE(lockedWhats().empty());
}

TEST_F(LinuxLidModeTest, AClosedLidLetsTheDisplaySleepOnceUntilItOpens) {
    startLogind();
    startModel();
    model->grantLidPermission();
    model->setAwake(true);
    ASSERT_TRUE(model->isLidActive());
    model->updateScreenForLid();
    EXPECT_EQ(heldKinds(), std::vector<AssertionKind>{AssertionKind::DisplayKeptOn});

    setLidClosed(true);
    model->updateScreenForLid();
    EXPECT_EQ(heldKinds(), std::vector<AssertionKind>{AssertionKind::DisplayMaySleep});
    EXPECT_EQ(displays.turnedOff, 1);
    model->updateScreenForLid();
    model->updateScreenForLid();
    EXPECT_EQ(displays.turnedOff, 1) << "switched off once, not on every tick";

    setLidClosed(false);
    model->updateScreenForLid();
    EXPECT_EQ(heldKinds(), std::vector<AssertionKind>{AssertionKind::DisplayKeptOn});
    EXPECT_EQ(displays.turnedOff, 1);
}

TEST_F(LinuxLidModeTest, WithoutLogindTheCardAppearsAndGrantingSaysWhy) {
    startModel();
    ASSERT_TRUE(runEventsUntil([&] { return lidControl->install().has_value(); }, 5000))
        << "the bus tells logind is missing";

    model->setAwake(true);
    EXPECT_TRUE(model->needsLidConsent());
    EXPECT_FALSE(model->isLidActive());

    model->grantLidPermission();
    EXPECT_EQ(model->lidError(),
              "Нет разрешения: служба входа в систему (systemd-logind) недоступна.");
    EXPECT_FALSE(model->isLidActive());
}
