#include "ui/Bridge.h"

namespace vigilo {

void Bridge::follow(const Signal<>& part) {
    followed_.push_back(part.connect([this] { changeNoticed(); }));
}

void Bridge::changeNoticed() {
    if (isChangePending_) {
        return;
    }
    isChangePending_ = true;
    QMetaObject::invokeMethod(
        this,
        [this] {
            isChangePending_ = false;
            Q_EMIT changed();
        },
        Qt::QueuedConnection);
}

} // namespace vigilo
