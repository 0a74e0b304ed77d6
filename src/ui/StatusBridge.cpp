#include "ui/StatusBridge.h"

namespace vigilo {

StatusBridge::StatusBridge(AwakeModel& model, const Clock& clock, QObject* parent)
    : Bridge(parent)
    , model_(model)
    , clock_(clock) {
    follow(model.keepAwake().changed());
    follow(model.powerFigures().changed());
    follow(model.lidMode().changed());
    follow(model.preferences().changed());
}

QString StatusBridge::subtitle() const {
    return QString::fromStdString(model_.statusSubtitle());
}

bool StatusBridge::usesSimpleAnimation() const {
    return model_.preferences().usesSimpleAnimation();
}

QString StatusBridge::title() const {
    return QString::fromStdString(model_.statusTitle(clock_.now()));
}

double StatusBridge::cupFraction() const {
    return model_.cupFraction(clock_.now());
}

} // namespace vigilo
