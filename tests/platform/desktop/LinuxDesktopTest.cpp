#include "platform/linux/desktop/LinuxDesktop.h"

#include "../TempFolder.h"
#include "NotificationServer.h"
#include "apps/EventLoop.h"

#include <QAbstractButton>
#include <QApplication>
#include <QClipboard>
#include <QMessageBox>
#include <QPointer>
#include <QTimer>

using namespace vigilo;

namespace {

/// Collects Qt's warnings for the life of this object.
class WarningLog {
public:
    WarningLog() { previous_ = qInstallMessageHandler(&WarningLog::record); }
    ~WarningLog() {
        qInstallMessageHandler(previous_);
        messages().clear();
    }
    WarningLog(const WarningLog&) = delete;
    WarningLog& operator=(const WarningLog&) = delete;

    static QStringList& messages() {
        static QStringList list;
        return list;
    }

private:
    static void record(QtMsgType type, const QMessageLogContext&, const QString& message) {
        if (type != QtDebugMsg && type != QtInfoMsg) {
            messages().append(message);
        }
    }
    QtMessageHandler previous_ = nullptr;
};

class LinuxDesktopTest : public ::testing::Test {
protected:
    NotificationServer server;
    TempFolder config;
    LinuxDesktop desktop{server.bus.connect(), config.path() / "autostart", "/usr/bin/vigilo"};
};

} // namespace

TEST_F(LinuxDesktopTest, NotificationReachesTheServerWithTheProgramsNameAndTexts) {
    desktop.notify("Кофе закончился", "Заряд батареи 20% — Mac снова может засыпать.");

    const auto calls = server.waitForNotifications(1);
    ASSERT_EQ(calls.size(), 1U);
    const NotifyArguments notification(calls[0]);
    EXPECT_EQ(notification.appName, QStringLiteral("Vigilo"));
    EXPECT_EQ(notification.replaces, 0U) << "every notification is a new one";
    EXPECT_EQ(notification.icon, QStringLiteral("io.github.vigilo.Vigilo"));
    EXPECT_EQ(notification.summary, QStringLiteral("Кофе закончился"));
    EXPECT_EQ(notification.body, QStringLiteral("Заряд батареи 20% — Mac снова может засыпать."));
    EXPECT_TRUE(notification.actions.isEmpty());
    EXPECT_EQ(notification.timeout, -1) << "the server's own display time";
    const QVariant urgency = notification.hints.value(QStringLiteral("urgency"));
    EXPECT_EQ(urgency.metaType().id(), QMetaType::UChar) << "the urgency hint is a byte";
    EXPECT_EQ(urgency.toInt(), 1) << "normal urgency";
    EXPECT_EQ(notification.hints.value(QStringLiteral("desktop-entry")).toString(),
              QStringLiteral("io.github.vigilo.Vigilo"));
}

TEST(LinuxDesktop, NotificationWithoutAServerIsDroppedSilently) {
    DBusSandbox bus(DBusSandbox::Kind::Session);
    const TempFolder config;
    LinuxDesktop desktop(bus.connect(), config.path() / "autostart", "/usr/bin/vigilo");
    const WarningLog warnings;

    desktop.notify("Кофе закончился", "Заряд батареи 20% — Mac снова может засыпать.");
    vigilo::testing::runEventsFor(300);
    EXPECT_TRUE(WarningLog::messages().isEmpty())
        << WarningLog::messages().join(u'\n').toStdString();

    // A server that starts later gets the next notification, and only that one.
    bus.startTemplate("notification_daemon", QStringLiteral("org.freedesktop.Notifications"));
    desktop.notify("Второе", "Текст");
    std::vector<QVariantList> calls;
    vigilo::testing::runEventsUntil(
        [&] {
            calls = bus.methodCalls(QStringLiteral("org.freedesktop.Notifications"),
                                    QStringLiteral("/org/freedesktop/Notifications"),
                                    QStringLiteral("Notify"));
            return !calls.empty();
        },
        5000);
    ASSERT_EQ(calls.size(), 1U);
    EXPECT_EQ(NotifyArguments(calls[0]).summary, QStringLiteral("Второе"));
}

TEST_F(LinuxDesktopTest, CopiedTextIsOnTheClipboard) {
    desktop.copyText("203.0.113.7");
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("203.0.113.7"));
    desktop.copyText("2001:db8::1 — адрес");
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("2001:db8::1 — адрес"));
}

TEST_F(LinuxDesktopTest, AlertIsAWarningLeftOpenWithoutANestedEventLoop) {
    // Would close a modal box from inside a nested event loop, so that none can hang the test.
    bool ranDuringTheAlert = false;
    QTimer closer;
    QObject::connect(&closer, &QTimer::timeout, &closer, [&] {
        ranDuringTheAlert = true;
        if (auto* modal = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            modal->button(QMessageBox::Ok)->click();
        }
    });
    closer.start(10);

    desktop.showAlert("Не удалось изменить автозапуск",
                      "Не удалось записать /x: Отказано в доступе");
    closer.stop();

    EXPECT_FALSE(ranDuringTheAlert) << "returns before the event loop runs again";
    QPointer<QMessageBox> box;
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (auto* shown = qobject_cast<QMessageBox*>(window); shown && shown->isVisible()) {
            box = shown;
        }
    }
    ASSERT_TRUE(box);
    EXPECT_EQ(box->windowModality(), Qt::NonModal);
    EXPECT_EQ(box->icon(), QMessageBox::Warning);
    EXPECT_EQ(box->windowTitle(), QStringLiteral("Не удалось изменить автозапуск"));
    EXPECT_EQ(box->text(), QStringLiteral("Не удалось записать /x: Отказано в доступе"));

    box->button(QMessageBox::Ok)->click();
    EXPECT_TRUE(vigilo::testing::runEventsUntil([&] { return box.isNull(); }, 5000))
        << "deleted once closed";
}
