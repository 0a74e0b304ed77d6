#pragma once

#include "ports/Defaults.h"

#include <map>

namespace vigilo::fakes {

/// An in-memory defaults store.
class FakeDefaults final : public Defaults {
public:
    [[nodiscard]] std::optional<DefaultsValue> value(const std::string& key) const override {
        const auto found = values.find(key);
        return found == values.end() ? std::nullopt : std::optional(found->second);
    }
    void set(const std::string& key, const DefaultsValue& value) override { values[key] = value; }
    void remove(const std::string& key) override { values.erase(key); }
    [[nodiscard]] bool contains(const std::string& key) const { return values.contains(key); }

    std::map<std::string, DefaultsValue> values;
};

} // namespace vigilo::fakes
