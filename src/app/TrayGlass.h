#pragma once

#include "app/PanelColours.h"
#include "platform/DesktopAppearance.h"

#include <QIcon>
#include <QObject>
#include <QPalette>
#include <array>
#include <memory>

namespace vigilo {

/// The tray's glass, empty and filled, in the colours that read on the desktop's panel. Both
/// icons are made once and remade only when the panel's shade changes; each keeps the sizes it
/// has drawn, so switching between them neither draws again nor adds to memory.
class TrayGlass final : public QObject {
    Q_OBJECT
public:
    /// The sizes in pixels that tray hosts usually ask for; StatusNotifier hosts receive all of
    /// them. Every size, these and any other, is drawn at its size, not scaled, as the 18-point
    /// glass at that scale.
    static constexpr std::array<int, 6> pixelSizes{16, 22, 24, 32, 48, 64};

    /// Follows `desktop`, which must outlive the glass, and the application palette.
    explicit TrayGlass(DesktopAppearance& desktop, QObject* parent = nullptr);

    [[nodiscard]] const QIcon& icon(bool filled) const { return filled ? filled_ : empty_; }
    /// Takes a new application palette into account, the last hint about the panel's shade.
    void setPalette(const QPalette& palette);

    /// A dark appearance is one whose window colour is dark.
    [[nodiscard]] static bool isDark(const QPalette& palette);
    /// The glass in `ink`, offering every size of `pixelSizes`; each size is drawn when it is
    /// first asked for.
    [[nodiscard]] static QIcon draw(bool filled, const GlassIcon::Ink& ink);

    /// The icons were remade in other colours.
    Q_SIGNAL void changed();

private:
    void refresh();

    DesktopAppearance& desktop_;
    bool paletteDark_;
    std::optional<PanelShade> shade_;
    QIcon empty_;
    QIcon filled_;
};

} // namespace vigilo
