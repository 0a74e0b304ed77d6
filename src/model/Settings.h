#pragma once

#include "model/SettingsKeys.h"
#include "ports/Defaults.h"
#include "util/Signal.h"

#include <map>
#include <optional>
#include <string>

namespace vigilo {

/// The program's one way to its settings: typed reads over the key table in `SettingsKeys`,
/// each type read by one rule (a wrong or missing value gives the key's fallback), writes that
/// save at once, and a notice per key after it changed. Main thread only.
class Settings {
public:
    /// `defaults` must outlive the settings.
    explicit Settings(Defaults& defaults)
        : defaults_(defaults) {}
    Settings(const Settings&) = delete;
    Settings& operator=(const Settings&) = delete;

    /// The stored boolean by the key's reading rule, else the key's fallback.
    [[nodiscard]] bool read(SettingsKeys::BoolKey key) const;
    /// The stored integer (or a double with an integral value), else the key's fallback.
    [[nodiscard]] std::int64_t read(SettingsKeys::IntegerKey key) const;
    /// The stored date, or nothing when the key is absent, holds another type, or holds a date too
    /// far from now for the clock to measure the time in between (before 1823 or after 2116).
    [[nodiscard]] std::optional<TimePoint> read(SettingsKeys::DateKey key) const;
    /// The stored list of texts, or the empty list.
    [[nodiscard]] StringList read(SettingsKeys::StringListKey key) const;
    /// The stored data, or nothing when the key is absent or holds another type.
    [[nodiscard]] std::optional<Bytes> read(SettingsKeys::BytesKey key) const;

    void write(SettingsKeys::BoolKey key, bool value);
    void write(SettingsKeys::IntegerKey key, std::int64_t value);
    void write(SettingsKeys::DateKey key, TimePoint value);
    void write(SettingsKeys::StringListKey key, const StringList& value);
    void write(SettingsKeys::BytesKey key, const Bytes& value);
    /// Removes the key; removing a missing key changes nothing but still tells observers.
    void remove(std::string_view key);

    /// Told after every write or removal of `key` through these settings.
    [[nodiscard]] const Signal<>& changed(std::string_view key);

private:
    [[nodiscard]] std::optional<DefaultsValue> stored(std::string_view key) const;
    void store(std::string_view key, const DefaultsValue& value);
    void announce(std::string_view key);

    Defaults& defaults_;
    /// Only the keys someone observes.
    std::map<std::string, Signal<>, std::less<>> changed_;
};

} // namespace vigilo
