#pragma once

#include <QDBusConnection>
#include <QDBusMessage>
#include <QObject>
#include <QVariant>
#include <functional>

// D-Bus calls with a short timeout: a hung service must not freeze the program for D-Bus's
// default 25 seconds. The blocking ones are for calls whose answer the caller must have before it
// can go on (taking a lock); everything else uses the asynchronous ones.
namespace vigilo::DBusCalls {

inline constexpr int timeoutMs = 2500;

/// Calls `method` and waits for the answer (a reply or an error message).
[[nodiscard]] QDBusMessage call(const QDBusConnection& bus, const QString& service,
                                const QString& path, const QString& interface,
                                const QString& method, const QVariantList& arguments = {});

/// The first argument of a successful reply; invalid when the call failed or returned nothing.
[[nodiscard]] QVariant firstResult(const QDBusMessage& reply);

/// The value of a property, or an invalid QVariant when it cannot be read.
[[nodiscard]] QVariant property(const QDBusConnection& bus, const QString& service,
                                const QString& path, const QString& interface, const QString& name);

/// Calls `method` without waiting. `answered` gets the reply or an error message, always later
/// from the event loop of `context`'s thread, never synchronously and never once `context` is
/// destroyed.
void callAsync(const QDBusConnection& bus, const QString& service, const QString& path,
               const QString& interface, const QString& method, const QVariantList& arguments,
               QObject* context, std::function<void(const QDBusMessage&)> answered);

/// Sends `call`, a method call the caller made (to set flags such as no auto-start), as
/// `callAsync` above does.
void callAsync(const QDBusConnection& bus, const QDBusMessage& call, QObject* context,
               std::function<void(const QDBusMessage&)> answered);

/// Reads a property without waiting, as `callAsync` does; `answered` gets its value, or an
/// invalid QVariant when it cannot be read.
void propertyAsync(const QDBusConnection& bus, const QString& service, const QString& path,
                   const QString& interface, const QString& name, QObject* context,
                   std::function<void(const QVariant&)> answered);

} // namespace vigilo::DBusCalls
