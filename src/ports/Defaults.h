#pragma once

#include "ports/Clock.h"

#include <cstdint>
#include <optional>
#include <string>
#include <variant>
#include <vector>

namespace vigilo {

using Bytes = std::vector<std::uint8_t>;
using StringList = std::vector<std::string>;

/// One stored setting. The alternatives are the types the user's defaults store can hold.
using DefaultsValue =
    std::variant<bool, std::int64_t, double, std::string, StringList, Bytes, TimePoint>;

/// The user's settings store: a flat map from key to a typed value.
/// Reads never fail; a missing key is an absent value.
class Defaults {
public:
    virtual ~Defaults() = default;
    /// The value stored under `key`, if any.
    [[nodiscard]] virtual std::optional<DefaultsValue> value(const std::string& key) const = 0;
    /// Stores `value` under `key`, replacing what was there, and saves the store.
    virtual void set(const std::string& key, const DefaultsValue& value) = 0;
    /// Removes `key` and saves the store. Removing a missing key does nothing.
    virtual void remove(const std::string& key) = 0;
};

} // namespace vigilo
