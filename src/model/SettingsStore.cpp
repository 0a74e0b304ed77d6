#include "model/SettingsStore.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>

namespace vigilo {

namespace {

std::string keyString(std::string_view key) {
    return std::string(key);
}

bool textMeansTrue(std::string text) {
    std::ranges::transform(text, text.begin(),
                           [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    if (text == "true" || text == "yes") {
        return true;
    }
    std::int64_t number = 0;
    const auto* end = text.data() + text.size();
    const auto [ptr, error] = std::from_chars(text.data(), end, number);
    return error == std::errc() && ptr == end && number != 0;
}

} // namespace

bool SettingsStore::read(SettingsKeys::BoolKey key) const {
    const auto value = defaults_.value(keyString(key.name));
    if (!value) {
        return key.fallback;
    }
    if (const auto* flag = std::get_if<bool>(&*value)) {
        return *flag;
    }
    if (const auto* number = std::get_if<std::int64_t>(&*value);
        number && (*number == 0 || *number == 1)) {
        return *number == 1;
    }
    return key.fallback;
}

std::int64_t SettingsStore::read(SettingsKeys::IntegerKey key) const {
    const auto value = defaults_.value(keyString(key.name));
    if (!value) {
        return key.fallback;
    }
    if (const auto* number = std::get_if<std::int64_t>(&*value)) {
        return *number;
    }
    if (const auto* real = std::get_if<double>(&*value)) {
        // 2^63 is exactly representable; anything at or above it does not fit.
        constexpr double limit = 9223372036854775808.0;
        if (std::isfinite(*real) && std::trunc(*real) == *real && *real >= -limit &&
            *real < limit) {
            return static_cast<std::int64_t>(*real);
        }
    }
    return key.fallback;
}

std::optional<TimePoint> SettingsStore::read(SettingsKeys::DateKey key) const {
    const auto value = defaults_.value(keyString(key.name));
    if (value) {
        if (const auto* date = std::get_if<TimePoint>(&*value)) {
            return *date;
        }
    }
    return std::nullopt;
}

bool SettingsStore::looseBool(SettingsKeys::BoolKey key) const {
    const auto value = defaults_.value(keyString(key.name));
    if (!value) {
        return false;
    }
    if (const auto* flag = std::get_if<bool>(&*value)) {
        return *flag;
    }
    if (const auto* number = std::get_if<std::int64_t>(&*value)) {
        return *number != 0;
    }
    if (const auto* real = std::get_if<double>(&*value)) {
        return *real != 0.0;
    }
    if (const auto* text = std::get_if<std::string>(&*value)) {
        return textMeansTrue(*text);
    }
    return false;
}

void SettingsStore::write(SettingsKeys::BoolKey key, bool value) {
    defaults_.set(keyString(key.name), value);
}

void SettingsStore::write(SettingsKeys::IntegerKey key, std::int64_t value) {
    defaults_.set(keyString(key.name), value);
}

void SettingsStore::write(SettingsKeys::DateKey key, TimePoint value) {
    defaults_.set(keyString(key.name), value);
}

void SettingsStore::remove(std::string_view key) {
    defaults_.remove(keyString(key));
}

bool SettingsStore::isStoredFalse(std::string_view key) const {
    const auto value = defaults_.value(keyString(key));
    return value && std::holds_alternative<bool>(*value) && !std::get<bool>(*value);
}

} // namespace vigilo
