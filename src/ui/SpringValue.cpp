#include "ui/SpringValue.h"

namespace vigilo {

SpringValue::SpringValue(QObject* parent)
    : QObject(parent) {
    connect(&frames_, &QAbstractAnimation::stateChanged, this, &SpringValue::movingChanged);
}

void SpringValue::setTarget(double target) {
    if (target == spring_.target()) {
        return;
    }
    if (!isComplete_ || isInstant_) {
        jumpTo(target);
        return;
    }
    spring_.setTarget(target);
    if (!isMoving()) {
        lastFrameMs_ = 0;
        frames_.start();
    }
    Q_EMIT targetChanged();
}

void SpringValue::jumpTo(double value) {
    const bool retargets = value != spring_.target();
    frames_.stop();
    spring_.jumpTo(value);
    Q_EMIT valueChanged();
    if (retargets) {
        Q_EMIT targetChanged();
    }
}

void SpringValue::setInstant(bool instant) {
    if (instant == isInstant_) {
        return;
    }
    isInstant_ = instant;
    if (isInstant_ && isMoving()) {
        jumpTo(spring_.target());
    }
    Q_EMIT instantChanged();
}

void SpringValue::setResponse(double response) {
    if (response == response_ || response <= 0) {
        return;
    }
    response_ = response;
    spring_.tune(response_, dampingFraction_);
    Q_EMIT springChanged();
}

void SpringValue::setDampingFraction(double fraction) {
    if (fraction == dampingFraction_ || fraction < 0) {
        return;
    }
    dampingFraction_ = fraction;
    spring_.tune(response_, dampingFraction_);
    Q_EMIT springChanged();
}

void SpringValue::componentComplete() {
    isComplete_ = true;
}

void SpringValue::step(int currentTime) {
    spring_.advance((currentTime - lastFrameMs_) / 1000.0);
    lastFrameMs_ = currentTime;
    if (spring_.isSettled(tolerance)) {
        spring_.settle();
        frames_.stop();
    }
    Q_EMIT valueChanged();
}

} // namespace vigilo
