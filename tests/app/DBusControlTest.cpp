#include "app/DBusControl.h"

#include "ControllerSource.h"
#include "DBusSandbox.h"
#include "FakePlatform.h"
#include "app/AppDelegate.h"
#include "platform/apps/EventLoop.h"

#include <QDBusConnectionInterface>
#include <QDBusPendingCall>
#include <QDBusPendingReply>
#include <QFile>
#include <QRegularExpression>
#include <gtest/gtest.h>
#include <set>

namespace vigilo {
namespace {

using testing::runEventsUntil;

const QString service = QString::fromLatin1(DBusControl::serviceName);
const QString path = QString::fromLatin1(DBusControl::objectPath);

/// Keeps the signals it is connected to.
class SignalLog final : public QObject {
    Q_OBJECT
public:
    std::vector<QDBusMessage> signals_;
public Q_SLOTS:
    void received(const QDBusMessage& signal) { signals_.push_back(signal); }
};

/// The program's object on a private session bus, called from another connection as a client
/// process would. Calls wait in the event loop, since the object answers from it.
class DBusControlTest : public ::testing::Test {
protected:
    DBusControlTest() {
        delegate.finishLaunching();
        started = control.start();
        // The name is asked for without waiting: the calls below go to it once it is ours.
        nameTaken = runEventsUntil(
            [&] { return client.interface()->isServiceRegistered(service).value(); }, 20000);
        client.connect(QString(), path, QStringLiteral("org.freedesktop.DBus.Properties"),
                       QStringLiteral("PropertiesChanged"), &changes, SLOT(received(QDBusMessage)));
    }

    /// The reply of `method`, or the error it was answered with.
    QDBusMessage call(const QString& interface, const QString& method,
                      const QVariantList& arguments = {}) {
        QDBusMessage message = QDBusMessage::createMethodCall(service, path, interface, method);
        message.setArguments(arguments);
        QDBusPendingCall pending = client.asyncCall(message);
        runEventsUntil([&] { return pending.isFinished(); }, 20000);
        return pending.reply();
    }
    QDBusMessage callVigilo(const QString& method, const QVariantList& arguments = {}) {
        return call(service, method, arguments);
    }
    QVariant property(const QString& name) {
        const QDBusMessage reply = call(QStringLiteral("org.freedesktop.DBus.Properties"),
                                        QStringLiteral("Get"), {service, name});
        return reply.arguments().isEmpty()
                   ? QVariant()
                   : qvariant_cast<QDBusVariant>(reply.arguments().first()).variant();
    }
    /// Waits for a PropertiesChanged that changes `name`; its new value.
    QVariant waitForChange(const QString& name) {
        QVariant value;
        runEventsUntil(
            [&] {
                for (const auto& signal : changes.signals_) {
                    const QVariantMap changed =
                        qdbus_cast<QVariantMap>(signal.arguments().value(1));
                    if (signal.arguments().value(0) == service && changed.contains(name)) {
                        value = changed.value(name);
                    }
                }
                return value.isValid();
            },
            20000);
        changes.signals_.clear();
        return value;
    }

    DBusSandbox bus{DBusSandbox::Kind::Session};
    QDBusConnection programSide = bus.connect();
    QDBusConnection client = bus.connect();
    fakes::FakePlatform platform;
    fakes::ControllerSource panels;
    AppDelegate delegate{platform.services, panels};
    DBusControl control{programSide,
                        {.model = delegate.model(),
                         .clock = platform.clock,
                         .scheduler = platform.scheduler,
                         .processes = platform.processWatch,
                         .handler = [this](const ControlRequest& request) {
                             return delegate.handleControl(request);
                         }}};
    bool started = false;
    bool nameTaken = false;
    SignalLog changes;
};

TEST_F(DBusControlTest, TakesItsNameAndSwitchesLikeTheMenu) {
    ASSERT_TRUE(started);
    EXPECT_TRUE(nameTaken);
    EXPECT_EQ(callVigilo(QStringLiteral("Toggle")).arguments(), QVariantList{true});
    EXPECT_EQ(waitForChange(QStringLiteral("Awake")), QVariant(true));
    EXPECT_EQ(property(QStringLiteral("Awake")), QVariant(true));
    EXPECT_EQ(property(QStringLiteral("Title")),
              QVariant(QStringLiteral("Пьёт кофе · первая чашка")));
    EXPECT_EQ(platform.assertions.held.size(), 1U);
    EXPECT_EQ(callVigilo(QStringLiteral("Off")).arguments(), QVariantList{false});
    EXPECT_EQ(waitForChange(QStringLiteral("Awake")), QVariant(false));
    EXPECT_TRUE(platform.assertions.held.empty());
}

TEST_F(DBusControlTest, TheTitleFollowsTheClock) {
    callVigilo(QStringLiteral("Toggle"));
    ASSERT_EQ(waitForChange(QStringLiteral("Awake")), QVariant(true));
    platform.clock.advance(30 * 60);
    platform.scheduler.advance(Scheduler::heartbeatSeconds);
    EXPECT_EQ(waitForChange(QStringLiteral("Title")),
              QVariant(QStringLiteral("Пьёт кофе уже 2 чашки")));
}

TEST_F(DBusControlTest, OnTakesAnEndAndRefusesOneThatDoesNotParse) {
    // The fake clock: 2026-03-01 00:00 UTC, local time being UTC.
    const qlonglong start =
        std::chrono::duration_cast<std::chrono::seconds>(platform.clock.now().time_since_epoch())
            .count();
    EXPECT_EQ(callVigilo(QStringLiteral("On"), {QStringLiteral("90m")}).arguments(),
              QVariantList{true});
    EXPECT_EQ(waitForChange(QStringLiteral("Until")), QVariant(start + 90 * 60));
    EXPECT_EQ(property(QStringLiteral("Subtitle")), QVariant(QStringLiteral("до 1:30")));
    callVigilo(QStringLiteral("On"), {QStringLiteral("18:00")});
    EXPECT_EQ(waitForChange(QStringLiteral("Until")), QVariant(start + 18 * 3600));
    callVigilo(QStringLiteral("On"), {QString()});
    EXPECT_EQ(waitForChange(QStringLiteral("Until")), QVariant(qlonglong{0}));

    for (const auto& [end, problem] :
         {std::pair{u"5x", u"неизвестная единица"}, std::pair{u"25:00", u"нет такого времени"}}) {
        const QDBusMessage refused = callVigilo(QStringLiteral("On"), {QString::fromUtf16(end)});
        EXPECT_EQ(refused.type(), QDBusMessage::ErrorMessage);
        EXPECT_EQ(refused.errorName(), QStringLiteral("org.freedesktop.DBus.Error.InvalidArgs"));
        EXPECT_TRUE(refused.errorMessage().contains(QString::fromUtf16(problem)))
            << refused.errorMessage().toStdString();
    }
}

TEST_F(DBusControlTest, RunWhileBindsTheSessionToTheProcess) {
    const ProcessIdentity make{.pid = 4242, .startTime = 9, .name = "make"};
    platform.processWatch.start(make);
    EXPECT_EQ(callVigilo(QStringLiteral("RunWhile"), {4242U}).arguments(), QVariantList{true});
    EXPECT_EQ(waitForChange(QStringLiteral("Subtitle")),
              QVariant(QStringLiteral("пока работает make")));
    platform.processWatch.end(make.pid);
    EXPECT_EQ(waitForChange(QStringLiteral("Awake")), QVariant(false));

    const QDBusMessage refused = callVigilo(QStringLiteral("RunWhile"), {4242U});
    EXPECT_EQ(refused.errorName(), QStringLiteral("org.freedesktop.DBus.Error.InvalidArgs"));
}

/// "method On", "property Until x", … of every `<method>` and `<property>` in the XML text.
std::set<QString> members(const QString& xml) {
    std::set<QString> found;
    static const QRegularExpression member(
        QStringLiteral(R"re(<(method|property) name="(\w+)"(?: type="(\w+)")?)re"));
    for (auto match = member.globalMatch(xml); match.hasNext();) {
        const auto next = match.next();
        found.insert(
            (next.captured(1) + u' ' + next.captured(2) + u' ' + next.captured(3)).trimmed());
    }
    return found;
}

TEST_F(DBusControlTest, TheObjectMatchesItsIntrospectionFile) {
    QFile file(QStringLiteral(VIGILO_SOURCE_DIR "/resources/dbus/io.github.vigilo.Vigilo.xml"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QString described = QString::fromUtf8(file.readAll());
    const QDBusMessage introspection =
        call(QStringLiteral("org.freedesktop.DBus.Introspectable"), QStringLiteral("Introspect"));
    QString live = introspection.arguments().value(0).toString();
    // Only our interface: the standard ones Qt adds have methods of their own.
    live = live.mid(live.indexOf(QStringLiteral("<interface name=\"io.github.vigilo.Vigilo\"")));
    live = live.left(live.indexOf(QStringLiteral("</interface>")));
    EXPECT_FALSE(members(described).empty());
    EXPECT_EQ(members(live), members(described)) << live.toStdString();
}

} // namespace
} // namespace vigilo

#include "DBusControlTest.moc"
