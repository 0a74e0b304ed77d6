#pragma once

#include "util/Signal.h"

#include <QObject>
#include <QtQmlIntegration>
#include <vector>

namespace vigilo {

/// The base of the bridges between one screen and the parts of the model it shows. The model
/// tells after each change that it changed; a bridge turns every notice of one event-loop turn
/// into one `changed` signal, emitted on the next turn, after all of them, so the screen re-reads
/// once.
class Bridge : public QObject {
    Q_OBJECT
    QML_ANONYMOUS

public:
    using QObject::QObject;

Q_SIGNALS:
    void changed();

protected:
    /// Follows a part of the model for as long as the bridge lives.
    void follow(const Signal<>& part);

private:
    void changeNoticed();

    bool isChangePending_ = false;
    std::vector<Connection> followed_;
};

} // namespace vigilo
