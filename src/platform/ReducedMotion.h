#pragma once

#include <QObject>

namespace vigilo {

/// Whether the desktop asks programs to keep motion down, and when that changes.
class ReducedMotion : public QObject {
    Q_OBJECT

public:
    using QObject::QObject;

    [[nodiscard]] virtual bool isReduced() const = 0;

Q_SIGNALS:
    /// `isReduced` changed.
    void changed();
};

} // namespace vigilo
