#include "platform/linux/LogindLidControl.h"

#include "../LogindInhibitors.h"

#include <QDBusVariant>
#include <QProcess>
#include <gtest/gtest.h>

using namespace vigilo;

namespace {

const QString logindName = QStringLiteral("org.freedesktop.login1");
const QString logindPath = QStringLiteral("/org/freedesktop/login1");
const QString logindManager = QStringLiteral("org.freedesktop.login1.Manager");
const QString upowerName = QStringLiteral("org.freedesktop.UPower");
const QString upowerPath = QStringLiteral("/org/freedesktop/UPower");

const std::filesystem::path lidClosedRoot = VIGILO_TEST_DATA "/platform/lid-closed";
const std::filesystem::path lidOpenRoot = VIGILO_TEST_DATA "/platform/lid-open";

const Inhibitor lidLock{QStringLiteral("handle-lid-switch:sleep"), QStringLiteral("Vigilo"),
                        QStringLiteral("Vigilo: keeping the computer awake with the lid closed"),
                        QStringLiteral("block")};

class LogindLidControlTest : public testing::Test {
protected:
    void startLogind() { system.startTemplate("logind", logindName); }

    /// logind's own reading of the lid, which the template lacks.
    void giveLogindALid(bool closed) {
        const QDBusMessage reply =
            system.callMock(logindName, logindPath, QStringLiteral("AddProperty"),
                            {logindManager, QStringLiteral("LidClosed"),
                             QVariant::fromValue(QDBusVariant(closed))});
        ASSERT_EQ(reply.type(), QDBusMessage::ReplyMessage) << reply.errorMessage().toStdString();
    }

    void updateProperty(const QString& name, const QString& path, const QString& interface,
                        const QString& property, bool value) {
        const QDBusMessage reply = system.callMock(name, path, QStringLiteral("UpdateProperties"),
                                                   {interface, QVariantMap{{property, value}}});
        ASSERT_EQ(reply.type(), QDBusMessage::ReplyMessage) << reply.errorMessage().toStdString();
    }

    std::vector<Inhibitor> inhibitors() { return logindInhibitors(system); }

    DBusSandbox system{DBusSandbox::Kind::System};
};

} // namespace

TEST_F(LogindLidControlTest, WithLogindThereIsNothingToInstallAndTheLockFollowsTheSwitch) {
    startLogind();
    LogindLidControl lid(system.connect());

    EXPECT_TRUE(lid.isInstalled());
    EXPECT_EQ(lid.install(), std::nullopt);
    EXPECT_FALSE(lid.isSleepDisabled());
    EXPECT_TRUE(inhibitors().empty());

    EXPECT_TRUE(lid.setSleepDisabled(true));
    EXPECT_TRUE(lid.isSleepDisabled());
    EXPECT_TRUE(lid.setSleepDisabled(true)) << "asking again keeps the one lock";
    EXPECT_EQ(inhibitors(), std::vector<Inhibitor>{lidLock});

    EXPECT_TRUE(lid.setSleepDisabled(false));
    EXPECT_FALSE(lid.isSleepDisabled());
    EXPECT_TRUE(eventually([&] { return inhibitors().empty(); }));
}

TEST_F(LogindLidControlTest, UninstallingOrDestroyingTheAdapterDropsTheLock) {
    startLogind();
    LogindLidControl first(system.connect());
    ASSERT_TRUE(first.setSleepDisabled(true));
    EXPECT_EQ(first.uninstall(), std::nullopt);
    EXPECT_FALSE(first.isSleepDisabled());
    EXPECT_TRUE(eventually([&] { return inhibitors().empty(); }));

    {
        LogindLidControl second(system.connect());
        ASSERT_TRUE(second.setSleepDisabled(true));
        EXPECT_EQ(inhibitors().size(), 1U);
    }
    EXPECT_TRUE(eventually([&] { return inhibitors().empty(); }));
}

TEST_F(LogindLidControlTest, AKilledProcessLeavesNoLidLockBehind) {
    startLogind();
    QProcess holder;
    holder.start(QStringLiteral(VIGILO_HOLD_LID_LOCK), {system.address()});
    ASSERT_TRUE(holder.waitForReadyRead(5000)) << holder.readAllStandardError().toStdString();
    ASSERT_EQ(holder.readLine().trimmed(), "held");
    EXPECT_EQ(inhibitors(), std::vector<Inhibitor>{lidLock});

    holder.kill();
    holder.waitForFinished(5000);

    EXPECT_TRUE(eventually([&] { return inhibitors().empty(); }));
}

TEST_F(LogindLidControlTest, WithoutLogindThePermissionIsMissingAndCannotBeInstalled) {
    LogindLidControl lid(system.connect());

    EXPECT_FALSE(lid.isInstalled());
    const auto error = lid.install();
    ASSERT_TRUE(error);
    EXPECT_EQ(error->description, "служба входа в систему (systemd-logind) недоступна.");
    EXPECT_FALSE(lid.setSleepDisabled(true));
    EXPECT_FALSE(lid.isSleepDisabled());
    EXPECT_EQ(lid.uninstall(), std::nullopt);
}

TEST_F(LogindLidControlTest, LogindAnswersForTheLidBeforeProc) {
    startLogind();
    giveLogindALid(false);
    LogindLidControl lid(system.connect(), lidClosedRoot);
    EXPECT_FALSE(lid.isLidClosed());

    updateProperty(logindName, logindPath, logindManager, QStringLiteral("LidClosed"), true);
    EXPECT_TRUE(lid.isLidClosed());
}

TEST_F(LogindLidControlTest, UPowerAnswersForTheLidBeforeLogind) {
    startLogind();
    giveLogindALid(false);
    system.startTemplate("upower", upowerName, R"({"LidIsClosed": true})");
    LogindLidControl lid(system.connect(), lidOpenRoot);
    EXPECT_TRUE(lid.isLidClosed());

    updateProperty(upowerName, upowerPath, upowerName, QStringLiteral("LidIsClosed"), false);
    EXPECT_FALSE(lid.isLidClosed());
}

TEST_F(LogindLidControlTest, UPowerIsNotAskedAboutALidItSaysIsNotThere) {
    system.startTemplate("upower", upowerName, R"({"LidIsPresent": false, "LidIsClosed": false})");

    EXPECT_TRUE(LogindLidControl(system.connect(), lidClosedRoot).isLidClosed());
}

TEST_F(LogindLidControlTest, WithoutServicesTheAcpiButtonAnswers) {
    EXPECT_TRUE(LogindLidControl(system.connect(), lidClosedRoot).isLidClosed());
    EXPECT_FALSE(LogindLidControl(system.connect(), lidOpenRoot).isLidClosed());
    EXPECT_FALSE(LogindLidControl(system.connect(), "/nonexistent/vigilo-test-root").isLidClosed())
        << "nothing answers: open";
}
