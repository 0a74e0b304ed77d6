#pragma once

#include "ports/RootPowerDomain.h"

#include <string>

namespace vigilo {

/// The flags of IOKit's root power domain ("IOPMrootDomain" in the registry), read afresh on
/// every call.
class MacRootPowerDomain final : public RootPowerDomain {
public:
    [[nodiscard]] bool sleepDisabled() const override;
    [[nodiscard]] bool clamshellClosed() const override;

    /// The boolean registry property `key` of the root domain; false when the domain or the
    /// property is missing or the property is not a boolean.
    [[nodiscard]] static bool flag(const std::string& key);
};

} // namespace vigilo
