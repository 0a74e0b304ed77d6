#pragma once

#include "model/ChangeNotifier.h"

#include <QObject>
#include <QtQmlIntegration>
#include <memory>

namespace vigilo {

/// The base of the bridges between one screen and the parts of the model it shows. The model
/// says before each change that it will change; a bridge turns every notice of one event-loop
/// turn into one `changed` signal, emitted on the next turn, after the changes, so the screen
/// re-reads once.
class Bridge : public QObject {
    Q_OBJECT
    QML_ANONYMOUS

public:
    using QObject::QObject;

Q_SIGNALS:
    void changed();

protected:
    /// Follows a part of the model for as long as the bridge lives.
    void follow(ChangeNotifier& part);

private:
    bool isChangePending_ = false;
    /// Notices arriving after the bridge is gone find this expired.
    std::shared_ptr<int> lifetime_ = std::make_shared<int>();
};

} // namespace vigilo
