#pragma once

#include "model/SettingsKeys.h"
#include "platform/ports/Defaults.h"

#include <optional>

namespace vigilo {

/// Typed access to the defaults store with the program's fallback rules.
class SettingsStore {
public:
    explicit SettingsStore(Defaults& defaults)
        : defaults_(defaults) {}

    /// The stored boolean, else the key's fallback. A stored 0 or 1 counts as a boolean;
    /// any other type gives the fallback.
    [[nodiscard]] bool read(SettingsKeys::BoolKey key) const;
    /// The stored integer (or a double with an integral value), else the key's fallback.
    [[nodiscard]] std::int64_t read(SettingsKeys::IntegerKey key) const;
    /// The stored date, or nothing when the key is absent or holds another type.
    [[nodiscard]] std::optional<TimePoint> read(SettingsKeys::DateKey key) const;

    /// The lenient boolean read of the store: absent is false; numbers are true when not 0;
    /// texts are true for "true", "yes" (any case) or a non-zero integer.
    [[nodiscard]] bool looseBool(SettingsKeys::BoolKey key) const;

    void write(SettingsKeys::BoolKey key, bool value);
    void write(SettingsKeys::IntegerKey key, std::int64_t value);
    void write(SettingsKeys::DateKey key, TimePoint value);
    void remove(std::string_view key);

    /// True when the stored value under `key` is exactly the boolean false.
    [[nodiscard]] bool isStoredFalse(std::string_view key) const;

private:
    Defaults& defaults_;
};

} // namespace vigilo
