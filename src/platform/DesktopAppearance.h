#pragma once

#include <QObject>
#include <cstdint>
#include <optional>
#include <string>

namespace vigilo {

/// What the desktop says about the panel that shows the tray.
struct DesktopFacts {
    /// $XDG_CURRENT_DESKTOP, a colon-separated list such as "ubuntu:GNOME".
    std::string currentDesktop{};
    /// KDE Plasma's style (plasmarc [Theme] name); absent means Plasma's default, which follows
    /// the colour scheme.
    std::optional<std::string> plasmaStyle{};
    /// BackgroundNormal ("r,g,b") of KDE's [Colors:Header] and [Colors:Window] (kdeglobals).
    std::optional<std::string> kdeHeaderBackground{};
    std::optional<std::string> kdeWindowBackground{};
    /// The freedesktop portal's "color-scheme" preference: 1 dark, 2 light, 0 none.
    std::optional<std::uint32_t> colorScheme{};
    /// The application palette's window colour is dark.
    bool paletteDark = false;

    friend bool operator==(const DesktopFacts&, const DesktopFacts&) = default;
};

/// Tells what the desktop says about its panel, and when that changes.
class DesktopAppearance : public QObject {
    Q_OBJECT

public:
    using QObject::QObject;

    [[nodiscard]] virtual const DesktopFacts& facts() const = 0;

Q_SIGNALS:
    /// The facts changed.
    void changed();
};

} // namespace vigilo
