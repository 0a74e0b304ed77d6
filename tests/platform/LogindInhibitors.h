#pragma once

#include "DBusSandbox.h"

#include <QCoreApplication>
#include <QDBusArgument>
#include <QThread>
#include <chrono>
#include <gtest/gtest.h>
#include <ostream>
#include <vector>

/// One entry of logind's ListInhibitors.
struct Inhibitor {
    QString what, who, why, mode;
    bool operator==(const Inhibitor&) const = default;
};

inline void PrintTo(const Inhibitor& lock, std::ostream* out) {
    *out << '{' << lock.what.toStdString() << ", " << lock.who.toStdString() << ", "
         << lock.why.toStdString() << ", " << lock.mode.toStdString() << '}';
}

/// The locks the (mock) logind on `bus` lists now.
inline std::vector<Inhibitor> logindInhibitors(DBusSandbox& bus) {
    const QDBusMessage reply = bus.call(QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.login1"), QStringLiteral("/org/freedesktop/login1"),
        QStringLiteral("org.freedesktop.login1.Manager"), QStringLiteral("ListInhibitors")));
    std::vector<Inhibitor> locks;
    if (reply.type() != QDBusMessage::ReplyMessage) {
        ADD_FAILURE() << "ListInhibitors: " << reply.errorMessage().toStdString();
        return locks;
    }
    const auto list = qvariant_cast<QDBusArgument>(reply.arguments().constFirst());
    list.beginArray();
    while (!list.atEnd()) {
        Inhibitor lock;
        uint user = 0;
        uint pid = 0;
        list.beginStructure();
        list >> lock.what >> lock.who >> lock.why >> lock.mode >> user >> pid;
        list.endStructure();
        locks.push_back(lock);
    }
    list.endArray();
    return locks;
}

/// Waits up to 5 seconds for `condition`: logind notices a closed descriptor asynchronously.
/// Meanwhile the code under test takes its answers in, and finished calls are deleted (the last
/// copy of a lock descriptor may be in the reply a finished call holds).
template <class Condition> bool eventually(Condition condition) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (!condition()) {
        if (std::chrono::steady_clock::now() > deadline) {
            return false;
        }
        QCoreApplication::processEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QThread::msleep(10);
    }
    return true;
}
