#pragma once

#include "app/PanelSource.h"
#include "panel/PanelController.h"

#include <memory>

namespace vigilo::fakes {

/// Makes the real panel at once, as the panel library would once loaded, and keeps it at hand.
class ControllerSource final : public PanelSource {
public:
    void make(const Panel::Services& services, Made made) override {
        auto panel = std::make_unique<PanelController>(services);
        controller = panel.get();
        made(std::move(panel), {});
    }

    /// The panel made last; nothing before the first.
    PanelController* controller = nullptr;
};

} // namespace vigilo::fakes
