#pragma once

#include <QDBusVariant>
#include <QString>
#include <QVariant>

// The freedesktop portal's Settings interface, through which the desktop's appearance and
// motion preferences are read and followed.
namespace vigilo::PortalSettings {

inline const QString service = QStringLiteral("org.freedesktop.portal.Desktop");
inline const QString path = QStringLiteral("/org/freedesktop/portal/desktop");
inline const QString interface = QStringLiteral("org.freedesktop.portal.Settings");

/// The portal's Read wraps the value in one variant more than its change signal does.
inline QVariant unwrapped(QVariant value) {
    while (value.metaType() == QMetaType::fromType<QDBusVariant>()) {
        value = value.value<QDBusVariant>().variant();
    }
    return value;
}

} // namespace vigilo::PortalSettings
