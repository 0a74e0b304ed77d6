#include "platform/linux/desktop/PortalReducedMotion.h"

#include "platform/linux/desktop/PortalSettings.h"

namespace vigilo {

namespace {

const QString gnomeGroup = QStringLiteral("org.gnome.desktop.interface");
const QString enableAnimationsKey = QStringLiteral("enable-animations");
const QString kdeGroup = QStringLiteral("org.kde.kdeglobals.KDE");
const QString durationFactorKey = QStringLiteral("AnimationDurationFactor");

/// GNOME's "enable-animations", a boolean, switched off.
std::optional<bool> animationsDisabled(const QVariant& value) {
    return value.metaType() == QMetaType::fromType<bool>() ? std::optional(!value.toBool())
                                                           : std::nullopt;
}

/// KDE's animation speed factor, a number (sent as text by some versions), at "instant".
std::optional<bool> animationsInstant(const QVariant& value) {
    bool isNumber = false;
    const double factor = value.toDouble(&isNumber);
    return isNumber ? std::optional(factor <= 0) : std::nullopt;
}

} // namespace

PortalReducedMotion::PortalReducedMotion(const QDBusConnection& sessionBus, QObject* parent)
    : ReducedMotion(parent) {
    if (!sessionBus.isConnected()) {
        return;
    }
    QDBusConnection bus = sessionBus;
    bus.connect(PortalSettings::service, PortalSettings::path, PortalSettings::interface,
                QStringLiteral("SettingChanged"), this, SLOT(takeSettingChange(QDBusMessage)));
    PortalSettings::read(bus, this, gnomeGroup, enableAnimationsKey,
                         [this](const QVariant& value) { takeEnableAnimations(value); });
    PortalSettings::read(bus, this, kdeGroup, durationFactorKey,
                         [this](const QVariant& value) { takeAnimationDurationFactor(value); });
}

void PortalReducedMotion::takeEnableAnimations(const QVariant& value) {
    // A late answer must not undo a change signal that came first.
    if (!animationsDisabled_) {
        const bool before = isReduced();
        animationsDisabled_ = animationsDisabled(value);
        publishIfChanged(before);
    }
}

void PortalReducedMotion::takeAnimationDurationFactor(const QVariant& value) {
    if (!animationsInstant_) {
        const bool before = isReduced();
        animationsInstant_ = animationsInstant(value);
        publishIfChanged(before);
    }
}

void PortalReducedMotion::takeSettingChange(const QDBusMessage& signal) {
    const auto change = PortalSettings::change(signal);
    if (!change) {
        return;
    }
    const auto& [group, key, value] = *change;
    const bool before = isReduced();
    if (group == gnomeGroup && key == enableAnimationsKey) {
        animationsDisabled_ = animationsDisabled(value);
    } else if (group == kdeGroup && key == durationFactorKey) {
        animationsInstant_ = animationsInstant(value);
    }
    publishIfChanged(before);
}

void PortalReducedMotion::publishIfChanged(bool before) {
    if (isReduced() != before) {
        Q_EMIT changed();
    }
}

} // namespace vigilo
