#pragma once

#include "ports/Defaults.h"

#include <string>

namespace vigilo {

/// The user's defaults of one application, through CFPreferences: booleans, integers and
/// floating-point numbers, text, lists of text, data and dates, each in the property-list type
/// the system's own tools show for it. Every change is saved at once.
class MacDefaults final : public Defaults {
public:
    /// `applicationId` is the bundle identifier whose defaults these are.
    explicit MacDefaults(std::string applicationId);

    /// A stored value of another type (a dictionary, a list holding more than text) reads as
    /// absent.
    [[nodiscard]] std::optional<DefaultsValue> value(const std::string& key) const override;
    void set(const std::string& key, const DefaultsValue& value) override;
    void remove(const std::string& key) override;

private:
    std::string applicationId_;
};

} // namespace vigilo
