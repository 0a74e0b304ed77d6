#pragma once

#include "panel/Panel.h"

#include <QString>
#include <functional>
#include <memory>

namespace vigilo {

/// Where the panel comes from: the panel library, loaded when the panel is first wanted.
class PanelSource {
public:
    /// The new panel, or nothing and why (in Russian).
    using Made = std::function<void(std::unique_ptr<Panel> panel, const QString& problem)>;

    PanelSource() = default;
    virtual ~PanelSource() = default;
    PanelSource(const PanelSource&) = delete;
    PanelSource& operator=(const PanelSource&) = delete;

    /// Makes a panel over `services`, calling `made` on the main thread at once or later. A
    /// source destroyed meanwhile calls nothing.
    virtual void make(const Panel::Services& services, Made made) = 0;
};

} // namespace vigilo
