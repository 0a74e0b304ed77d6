#pragma once

#include <QObject>
#include <optional>

namespace vigilo {

/// Tells whether a tray host shows the program's tray icon, and when that changes: without one
/// the icon is nowhere to be seen.
class TrayHostMonitor : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

    /// Nothing until the monitor has found out.
    [[nodiscard]] std::optional<bool> hasTrayHost() const { return hasTrayHost_; }

Q_SIGNALS:
    /// `hasTrayHost` changed.
    void changed();

protected:
    void setHasTrayHost(bool has) {
        if (hasTrayHost_ != has) {
            hasTrayHost_ = has;
            Q_EMIT changed();
        }
    }

private:
    std::optional<bool> hasTrayHost_;
};

} // namespace vigilo
