#include "model/Settings.h"

#include "util/Text.h"

#include <algorithm>
#include <cctype>
#include <cmath>

namespace vigilo {

namespace {

bool textMeansTrue(std::string text) {
    std::ranges::transform(text, text.begin(),
                           [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    if (text == "true" || text == "yes") {
        return true;
    }
    const auto number = parseInteger(text);
    return number && *number != 0;
}

std::optional<bool> strictBool(const DefaultsValue& value) {
    if (const auto* flag = std::get_if<bool>(&value)) {
        return *flag;
    }
    if (const auto* number = std::get_if<std::int64_t>(&value);
        number && (*number == 0 || *number == 1)) {
        return *number == 1;
    }
    return std::nullopt;
}

bool lenientBool(const DefaultsValue& value) {
    if (const auto* flag = std::get_if<bool>(&value)) {
        return *flag;
    }
    if (const auto* number = std::get_if<std::int64_t>(&value)) {
        return *number != 0;
    }
    if (const auto* real = std::get_if<double>(&value)) {
        return *real != 0.0;
    }
    if (const auto* text = std::get_if<std::string>(&value)) {
        return textMeansTrue(*text);
    }
    return false;
}

/// Within half the clock's span of its epoch: the time between two such dates, a stored start and
/// now, fits the clock's duration instead of wrapping around.
bool clockMeasuresFrom(TimePoint date) {
    constexpr auto reach = TimePoint::duration::max() / 2;
    return date.time_since_epoch() >= -reach && date.time_since_epoch() <= reach;
}

} // namespace

std::optional<DefaultsValue> Settings::stored(std::string_view key) const {
    return defaults_.value(std::string(key));
}

bool Settings::read(SettingsKeys::BoolKey key) const {
    const auto value = stored(key.name);
    if (key.reading == SettingsKeys::BoolReading::Lenient) {
        return value ? lenientBool(*value) : key.fallback;
    }
    const auto flag = value ? strictBool(*value) : std::nullopt;
    return flag.value_or(key.fallback);
}

std::int64_t Settings::read(SettingsKeys::IntegerKey key) const {
    const auto value = stored(key.name);
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

std::optional<TimePoint> Settings::read(SettingsKeys::DateKey key) const {
    const auto value = stored(key.name);
    const auto* date = value ? std::get_if<TimePoint>(&*value) : nullptr;
    return date && clockMeasuresFrom(*date) ? std::optional(*date) : std::nullopt;
}

StringList Settings::read(SettingsKeys::StringListKey key) const {
    const auto value = stored(key.name);
    const auto* strings = value ? std::get_if<StringList>(&*value) : nullptr;
    return strings ? *strings : StringList();
}

std::optional<Bytes> Settings::read(SettingsKeys::BytesKey key) const {
    const auto value = stored(key.name);
    const auto* data = value ? std::get_if<Bytes>(&*value) : nullptr;
    return data ? std::optional(*data) : std::nullopt;
}

void Settings::write(SettingsKeys::BoolKey key, bool value) {
    store(key.name, value);
}

void Settings::write(SettingsKeys::IntegerKey key, std::int64_t value) {
    store(key.name, value);
}

void Settings::write(SettingsKeys::DateKey key, TimePoint value) {
    store(key.name, value);
}

void Settings::write(SettingsKeys::StringListKey key, const StringList& value) {
    store(key.name, value);
}

void Settings::write(SettingsKeys::BytesKey key, const Bytes& value) {
    store(key.name, value);
}

void Settings::remove(std::string_view key) {
    defaults_.remove(std::string(key));
    announce(key);
}

const Signal<>& Settings::changed(std::string_view key) {
    if (const auto found = changed_.find(key); found != changed_.end()) {
        return found->second;
    }
    return changed_.try_emplace(std::string(key)).first->second;
}

void Settings::store(std::string_view key, const DefaultsValue& value) {
    defaults_.set(std::string(key), value);
    announce(key);
}

void Settings::announce(std::string_view key) {
    if (const auto found = changed_.find(key); found != changed_.end()) {
        found->second.notify();
    }
}

} // namespace vigilo
