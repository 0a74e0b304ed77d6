// The model's closed-lid mode over the real logind adapter and mock system services.
#include "../LogindInhibitors.h"
#include "fakes/ModelFakes.h"
#include "platform/linux/LogindLidControl.h"

#include <gtest/gtest.h>
#include <memory>

using namespace vigilo;

namespace {

const QString upowerName = QStringLiteral("org.freedesktop.UPower");

class LinuxLidModeTest : public testing::Test, protected fakes::ModelFakes {
protected:
    void startLogind() { system.startTemplate("logind", QStringLiteral("org.freedesktop.login1")); }

    void startModel() {
        system.startTemplate("upower", upowerName, R"({"LidIsClosed": false})");
        // No /proc fixture: the lid is what UPower says.
        lidControl =
            std::make_unique<LogindLidControl>(system.connect(), "/nonexistent/vigilo-test-root");
        model = std::make_unique<AwakeModel>(services(*lidControl, desktop));
    }

    void setLidClosed(bool closed) {
        const QDBusMessage reply =
            system.callMock(upowerName, QStringLiteral("/org/freedesktop/UPower"),
                            QStringLiteral("UpdateProperties"),
                            {upowerName, QVariantMap{{QStringLiteral("LidIsClosed"), closed}}});
        ASSERT_EQ(reply.type(), QDBusMessage::ReplyMessage) << reply.errorMessage().toStdString();
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

TEST_F(LinuxLidModeTest, KeepingAwakeHoldsTheLidLockAndSwitchingOffDropsIt) {
    startLogind();
    startModel();

    model->keepAwake().setAwake(true);
    EXPECT_TRUE(model->lidMode().isLidActive());
    EXPECT_FALSE(model->lidMode().needsLidConsent()) << "nothing to consent to with logind";
    EXPECT_EQ(lockedWhats(), std::vector<QString>{QStringLiteral("handle-lid-switch:sleep")});

    model->keepAwake().setAwake(false);
    EXPECT_FALSE(model->lidMode().isLidActive());
    EXPECT_TRUE(eventually([&] { return logindInhibitors(system).empty(); }));
}

TEST_F(LinuxLidModeTest, AClosedLidLetsTheDisplaySleepOnceUntilItOpens) {
    startLogind();
    startModel();
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

    model->keepAwake().setAwake(true);
    EXPECT_TRUE(model->lidMode().needsLidConsent());
    EXPECT_FALSE(model->lidMode().isLidActive());

    model->lidMode().grantLidPermission();
    EXPECT_EQ(model->lidMode().lidError(),
              "Нет разрешения: служба входа в систему (systemd-logind) недоступна.");
    EXPECT_FALSE(model->lidMode().isLidActive());
}
