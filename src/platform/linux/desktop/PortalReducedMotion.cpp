#include "platform/linux/desktop/PortalReducedMotion.h"

#include "platform/linux/desktop/PortalSettings.h"

#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusVariant>

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
    ask(bus, gnomeGroup, enableAnimationsKey, &PortalReducedMotion::takeEnableAnimations);
    ask(bus, kdeGroup, durationFactorKey, &PortalReducedMotion::takeAnimationDurationFactor);
}

void PortalReducedMotion::ask(const QDBusConnection& bus, const QString& group, const QString& key,
                              void (PortalReducedMotion::*take)(const QVariant&)) {
    QDBusMessage read =
        QDBusMessage::createMethodCall(PortalSettings::service, PortalSettings::path,
                                       PortalSettings::interface, QStringLiteral("Read"));
    read << group << key;
    auto* call = new QDBusPendingCallWatcher(bus.asyncCall(read), this);
    connect(call, &QDBusPendingCallWatcher::finished, this,
            [this, take](QDBusPendingCallWatcher* finished) {
                finished->deleteLater();
                const QDBusPendingReply<QVariant> reply = *finished;
                if (!reply.isError()) {
                    (this->*take)(PortalSettings::unwrapped(reply.value()));
                }
            });
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

void PortalReducedMotion::takeSettingChange(const QDBusMessage& change) {
    const QVariantList arguments = change.arguments();
    if (arguments.size() != 3) {
        return;
    }
    const QString group = arguments[0].toString();
    const QString key = arguments[1].toString();
    const QVariant value = PortalSettings::unwrapped(arguments[2]);
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
