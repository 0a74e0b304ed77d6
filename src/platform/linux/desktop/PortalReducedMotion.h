#pragma once

#include "platform/ReducedMotion.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <optional>

namespace vigilo {

/// Whether the desktop asks programs to keep motion down: GNOME with animations switched off,
/// or KDE with its animation speed at "instant". Both settings are asked of the freedesktop
/// portal without waiting and then followed through its change signal; until the portal
/// answers, and without a portal, motion is not reduced.
class PortalReducedMotion final : public ReducedMotion {
    Q_OBJECT
public:
    /// `sessionBus` reaches the portal (it may be disconnected).
    explicit PortalReducedMotion(const QDBusConnection& sessionBus, QObject* parent = nullptr);

    [[nodiscard]] bool isReduced() const override {
        return animationsDisabled_.value_or(false) || animationsInstant_.value_or(false);
    }

private:
    void takeEnableAnimations(const QVariant& value);
    void takeAnimationDurationFactor(const QVariant& value);
    // Takes the whole message: Qt 6.4 fails to connect a slot with a QDBusVariant parameter.
    Q_SLOT void takeSettingChange(const QDBusMessage& signal);
    void publishIfChanged(bool before);

    std::optional<bool> animationsDisabled_;
    std::optional<bool> animationsInstant_;
};

} // namespace vigilo
