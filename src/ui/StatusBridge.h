#pragma once

#include "model/AwakeModel.h"
#include "ui/Bridge.h"

namespace vigilo {

/// The hero section: whether the computer is kept awake, the cup timer and its texts.
class StatusBridge final : public Bridge {
    Q_OBJECT
    QML_ELEMENT
    QML_UNCREATABLE("made by the program")
    Q_PROPERTY(bool awake READ isAwake NOTIFY changed)
    Q_PROPERTY(QString subtitle READ subtitle NOTIFY changed)
    Q_PROPERTY(bool simpleAnimation READ usesSimpleAnimation NOTIFY changed)
    /// The hero button's tooltip: what a click does now.
    Q_PROPERTY(QString toggleHelp READ toggleHelp NOTIFY changed)

public:
    /// `model` and `clock` must outlive the bridge.
    StatusBridge(AwakeModel& model, const Clock& clock, QObject* parent = nullptr);

    [[nodiscard]] bool isAwake() const { return model_.isAwake(); }
    [[nodiscard]] QString subtitle() const;
    [[nodiscard]] bool usesSimpleAnimation() const;
    [[nodiscard]] QString toggleHelp() const { return QString::fromStdString(model_.toggleHelp()); }

    /// The title now: it counts time, so the view asks again every second.
    Q_INVOKABLE [[nodiscard]] QString title() const;
    /// How far the current cup is drunk now, 0…1.
    Q_INVOKABLE [[nodiscard]] double cupFraction() const;
    /// The hero's switch.
    Q_INVOKABLE void toggle() { model_.toggle(); }

private:
    AwakeModel& model_;
    const Clock& clock_;
};

} // namespace vigilo
