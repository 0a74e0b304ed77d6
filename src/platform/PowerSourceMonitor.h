#pragma once

#include <QObject>

namespace vigilo {

/// Tells when the power source information changes (plugged in, unplugged, charge level).
class PowerSourceMonitor : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

Q_SIGNALS:
    void changed();
};

} // namespace vigilo
