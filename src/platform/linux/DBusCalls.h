#pragma once

#include <QDBusConnection>
#include <QDBusMessage>
#include <QVariant>

// Blocking D-Bus calls with a short timeout: a hung service must not freeze the program for
// D-Bus's default 25 seconds.
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

} // namespace vigilo::DBusCalls
