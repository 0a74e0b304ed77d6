#pragma once

#include "platform/DesktopAppearance.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <filesystem>

namespace vigilo {

/// Gathers what the desktop says about its panel (see DesktopFacts, all but the palette): the
/// desktop's name; on KDE the Plasma style and the colour scheme, read once from two small
/// configuration files; and the freedesktop portal's colour-scheme preference, asked for
/// without waiting and then followed through the portal's change signal, which also carries
/// KDE's colour changes. Nothing here blocks: until the portal answers, and without a portal,
/// the facts simply lack its part.
class PortalDesktopAppearance final : public DesktopAppearance {
    Q_OBJECT
public:
    /// `currentDesktop` is $XDG_CURRENT_DESKTOP; `configHome` holds KDE's kdeglobals and
    /// plasmarc; `sessionBus` reaches the portal (it may be disconnected).
    PortalDesktopAppearance(const QDBusConnection& sessionBus, std::string currentDesktop,
                            const std::filesystem::path& configHome, QObject* parent = nullptr);

    [[nodiscard]] const DesktopFacts& facts() const override { return facts_; }

private:
    void readKdeConfiguration(const std::filesystem::path& configHome);
    void takeColorScheme(const QVariant& value);
    // Takes the whole message: Qt 6.4 fails to connect a slot with a QDBusVariant parameter.
    Q_SLOT void takeSettingChange(const QDBusMessage& signal);

    DesktopFacts facts_;
};

} // namespace vigilo
