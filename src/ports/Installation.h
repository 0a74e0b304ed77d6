#pragma once

namespace vigilo {

/// Where and how the program is installed, as far as the screens must know.
class Installation {
public:
    virtual ~Installation() = default;
    /// The program may replace itself with a newer version: it is installed where the user can
    /// write and no package manager owns it. When not, updates come from the package manager
    /// and the program never looks for them itself.
    [[nodiscard]] virtual bool canSelfUpdate() const = 0;
};

} // namespace vigilo
