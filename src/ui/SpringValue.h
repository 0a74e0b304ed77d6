#pragma once

#include "model/Spring.h"

#include <QAbstractAnimation>
#include <QObject>
#include <QQmlParserStatus>
#include <QtQmlIntegration>

namespace vigilo {

/// A number that follows its target along a spring (see Spring) rather than with Qt Quick's
/// SpringAnimation, whose unitless `spring` and `damping` cannot be set from a response time
/// and a damping fraction. QML binds `target` and reads `value`:
///
///     SpringValue { id: lift; target: open ? 1 : 0; response: 0.3; dampingFraction: 1 }
///
/// The first target is taken as it is, without motion; later ones are sprung to. Runs frames
/// only while the value moves.
class SpringValue : public QObject, public QQmlParserStatus {
    Q_OBJECT
    Q_INTERFACES(QQmlParserStatus)
    QML_ELEMENT
    Q_PROPERTY(double target READ target WRITE setTarget NOTIFY targetChanged)
    Q_PROPERTY(double value READ value NOTIFY valueChanged)
    /// Seconds; see Spring.
    Q_PROPERTY(double response READ response WRITE setResponse NOTIFY springChanged)
    Q_PROPERTY(
        double dampingFraction READ dampingFraction WRITE setDampingFraction NOTIFY springChanged)
    /// The value is moving.
    Q_PROPERTY(bool moving READ isMoving NOTIFY movingChanged)
    /// Every new target is taken at once, without motion: for where the desktop asks for less.
    Q_PROPERTY(bool instant READ isInstant WRITE setInstant NOTIFY instantChanged)

public:
    /// Closer than this to the target, and the value is there.
    static constexpr double tolerance = 0.001;

    explicit SpringValue(QObject* parent = nullptr);

    [[nodiscard]] double target() const { return spring_.target(); }
    void setTarget(double target);
    [[nodiscard]] double value() const { return spring_.value(); }
    [[nodiscard]] double response() const { return response_; }
    void setResponse(double response);
    [[nodiscard]] double dampingFraction() const { return dampingFraction_; }
    void setDampingFraction(double fraction);
    [[nodiscard]] bool isMoving() const { return frames_.state() == QAbstractAnimation::Running; }
    [[nodiscard]] bool isInstant() const { return isInstant_; }
    void setInstant(bool instant);

    /// Puts the value at `value`, at rest, and makes it the target: a motion that is to play
    /// from a given start begins here, and a new target then springs from it.
    Q_INVOKABLE void jumpTo(double value);

    void classBegin() override {}
    void componentComplete() override;

Q_SIGNALS:
    void targetChanged();
    void valueChanged();
    void springChanged();
    void movingChanged();
    void instantChanged();

private:
    /// Calls back on every animation frame, however long the motion lasts.
    class Frames final : public QAbstractAnimation {
    public:
        explicit Frames(SpringValue& owner)
            : QAbstractAnimation(&owner)
            , owner_(owner) {}
        [[nodiscard]] int duration() const override { return -1; }

    protected:
        void updateCurrentTime(int currentTime) override { owner_.step(currentTime); }

    private:
        SpringValue& owner_;
    };

    void step(int currentTime);

    double response_ = 0.3;
    double dampingFraction_ = 1;
    Spring spring_{response_, dampingFraction_};
    Frames frames_{*this};
    int lastFrameMs_ = 0;
    bool isComplete_ = false;
    bool isInstant_ = false;
};

} // namespace vigilo
