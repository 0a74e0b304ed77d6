#include "ui/Bridge.h"

namespace vigilo {

void Bridge::follow(ChangeNotifier& part) {
    part.subscribe([this, alive = std::weak_ptr(lifetime_)] {
        if (alive.expired() || isChangePending_) {
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
    });
}

} // namespace vigilo
