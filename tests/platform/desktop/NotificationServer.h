#pragma once

#include "../DBusSandbox.h"
#include "../apps/EventLoop.h"

#include <QDBusArgument>
#include <gtest/gtest.h>

/// python-dbusmock's notification server on a private session bus.
class NotificationServer {
public:
    NotificationServer() { bus.startTemplate("notification_daemon", service); }

    /// The argument lists of the Notify calls received so far.
    [[nodiscard]] std::vector<QVariantList> notifications() {
        return bus.methodCalls(service, path, QStringLiteral("Notify"));
    }
    /// Waits until `count` notifications arrived (they are sent without waiting for an answer).
    [[nodiscard]] std::vector<QVariantList> waitForNotifications(std::size_t count) {
        std::vector<QVariantList> calls;
        vigilo::testing::runEventsUntil(
            [&] {
                calls = notifications();
                return calls.size() >= count;
            },
            5000);
        return calls;
    }

    DBusSandbox bus{DBusSandbox::Kind::Session};
    const QString service = QStringLiteral("org.freedesktop.Notifications");
    const QString path = QStringLiteral("/org/freedesktop/Notifications");
};

/// Notify's arguments: app name, replaced id, icon, summary, body, actions, hints, timeout.
struct NotifyArguments {
    explicit NotifyArguments(const QVariantList& call) {
        EXPECT_EQ(call.size(), 8);
        if (call.size() != 8) {
            return;
        }
        appName = call[0].toString();
        replaces = call[1].toUInt();
        icon = call[2].toString();
        summary = call[3].toString();
        body = call[4].toString();
        actions = call[5].toStringList();
        hints = qdbus_cast<QVariantMap>(call[6]);
        timeout = call[7].toInt();
    }

    QString appName;
    uint replaces = 99;
    QString icon;
    QString summary;
    QString body;
    QStringList actions;
    QVariantMap hints;
    int timeout = 0;
};
