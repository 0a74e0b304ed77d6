#pragma once

#include "ports/PanelWindowSystem.h"

#include <map>

namespace vigilo::fakes {

/// Records what the panel asked of the window system, per window.
class FakePanelWindowSystem final : public PanelWindowSystem {
public:
    bool compositing = true;
    std::map<WindowId, PanelRect> clickableAreas;
    std::map<WindowId, PanelRect> blurredAreas;
    int keptOutOfTaskbars = 0;

    [[nodiscard]] bool isCompositing() const override { return compositing; }
    void keepOutOfTaskbars(WindowId /*window*/) override { ++keptOutOfTaskbars; }
    void setClickableArea(WindowId window, PanelRect area) override {
        clickableAreas[window] = area;
    }
    void blurBehind(WindowId window, PanelRect area, double /*cornerRadius*/) override {
        blurredAreas[window] = area;
    }
};

} // namespace vigilo::fakes
