#pragma once

#include <QDBusConnection>
#include <QDBusMessage>
#include <QObject>
#include <QString>
#include <QVariant>
#include <functional>
#include <optional>

// The freedesktop portal's Settings interface, through which the desktop's appearance and
// motion preferences are read and followed.
namespace vigilo::PortalSettings {

inline const QString service = QStringLiteral("org.freedesktop.portal.Desktop");
inline const QString path = QStringLiteral("/org/freedesktop/portal/desktop");
inline const QString interface = QStringLiteral("org.freedesktop.portal.Settings");

/// The portal's Read wraps the value in one variant more than its change signal does.
[[nodiscard]] QVariant unwrapped(QVariant value);

/// Asks for `key` of `group` without waiting; `take` gets what it holds, unless the portal
/// answers with an error. The answer is dropped with `context`.
void read(const QDBusConnection& bus, QObject* context, const QString& group, const QString& key,
          std::function<void(const QVariant&)> take);

/// What a SettingChanged signal says.
struct Change {
    QString group;
    QString key;
    QVariant value;
};
/// Nothing for a signal without its three arguments.
[[nodiscard]] std::optional<Change> change(const QDBusMessage& signal);

} // namespace vigilo::PortalSettings
