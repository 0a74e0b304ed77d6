#pragma once

namespace vigilo {

/// The attached displays.
class Displays {
public:
    virtual ~Displays() = default;
    /// Some attached display is not the computer's built-in panel.
    [[nodiscard]] virtual bool hasExternalDisplay() const = 0;
    /// Puts the displays to sleep now. Does nothing where the system offers no way to.
    virtual void turnScreenOff() = 0;
};

} // namespace vigilo
