#pragma once

#include "ports/ScreenGeometry.h"
#include "util/Signal.h"

#include <optional>

namespace vigilo {

/// The settings screen's tabs, in the order of its tab bar.
enum class PanelTab { General, Apps, About };

/// What the panel shows while it is open: whether it is on screen, where the pointer is (for
/// hover highlights), which screen and settings tab are up, and whether the desktop asks for
/// less motion. The shell writes it; the views
/// read it and change only the screen and the tab. Every close resets it, so each opening
/// starts on the main screen. Main thread only.
class PanelState {
public:
    /// Told after every published change.
    [[nodiscard]] const Signal<>& changed() const { return changed_; }

    [[nodiscard]] bool isPanelVisible() const { return isPanelVisible_; }
    void setPanelVisible(bool visible);
    /// Nothing while the panel is closed or the pointer is unknown.
    [[nodiscard]] std::optional<PanelPoint> pointer() const { return pointer_; }
    void setPointer(std::optional<PanelPoint> pointer);
    [[nodiscard]] bool showsSettings() const { return showsSettings_; }
    void setShowsSettings(bool shows);
    [[nodiscard]] PanelTab panelTab() const { return panelTab_; }
    void setPanelTab(PanelTab tab);
    /// The desktop asks programs to keep motion down; a fact of the desktop, kept across closes.
    [[nodiscard]] bool reducesMotion() const { return reducesMotion_; }
    void setReducesMotion(bool reduces);

    /// After every close of the panel: hidden, no pointer, the main screen, the general tab.
    void resetAfterDismiss();

private:
    template <typename T> void publish(T& field, T value);

    Signal<> changed_;
    bool isPanelVisible_ = false;
    std::optional<PanelPoint> pointer_;
    bool showsSettings_ = false;
    PanelTab panelTab_ = PanelTab::General;
    bool reducesMotion_ = false;
};

} // namespace vigilo
