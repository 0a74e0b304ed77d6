#include "platform/macos/powersettings/PowerSettings.h"

#include "util/Text.h"

#include <charconv>

namespace vigilo {

namespace PowerSettings {

namespace {

/// Splits at "\n", dropping empty lines.
std::vector<std::string_view> lines(std::string_view text) {
    std::vector<std::string_view> result;
    while (!text.empty()) {
        const auto end = text.find('\n');
        const auto line = text.substr(0, end);
        if (!line.empty()) {
            result.push_back(line);
        }
        if (end == std::string_view::npos) {
            break;
        }
        text.remove_prefix(end + 1);
    }
    return result;
}

/// Splits at runs of any of `separators`, with no empty words.
std::vector<std::string_view> words(std::string_view text, std::string_view separators) {
    std::vector<std::string_view> result;
    std::size_t start = text.find_first_not_of(separators);
    while (start != std::string_view::npos) {
        const auto end = text.find_first_of(separators, start);
        result.push_back(text.substr(start, end - start));
        start = end == std::string_view::npos ? end : text.find_first_not_of(separators, end);
    }
    return result;
}

std::optional<std::int64_t> lookUp(const std::map<std::string, std::int64_t>& own,
                                   const std::map<std::string, std::int64_t>& fallback,
                                   const std::string& key) {
    if (const auto found = own.find(key); found != own.end()) {
        return found->second;
    }
    if (const auto found = fallback.find(key); found != fallback.end()) {
        return found->second;
    }
    return std::nullopt;
}

} // namespace

std::string rawValue(PowerValues::Source source) {
    return source == PowerValues::Source::Battery ? "Battery Power" : "AC Power";
}

std::optional<PowerValues::Source> sourceFromRawValue(std::string_view raw) {
    if (raw == "AC Power") {
        return PowerValues::Source::Ac;
    }
    if (raw == "Battery Power") {
        return PowerValues::Source::Battery;
    }
    return std::nullopt;
}

PowerValues::Source sourceFromBatteryLine(std::string_view line) {
    return line.find("Battery Power") != std::string_view::npos ? PowerValues::Source::Battery
                                                                : PowerValues::Source::Ac;
}

Sections parse(std::string_view text) {
    Sections sections;
    std::map<std::string, std::int64_t>* current = nullptr;
    for (const auto line : lines(text)) {
        const auto content = trimmed(line);
        if (!content.empty() && content.back() == ':') {
            auto& section = sections[std::string(content.substr(0, content.size() - 1))];
            section.clear();
            current = &section;
            continue;
        }
        if (current == nullptr) {
            continue;
        }
        const auto parts = words(content, " \t");
        if (parts.size() < 2) {
            continue;
        }
        if (const auto value = parseInteger(parts[1])) {
            (*current)[std::string(parts[0])] = *value;
        }
    }
    return sections;
}

PowerValues::Source parseSource(std::string_view text) {
    for (const auto line : lines(text)) {
        if (line.find("Now drawing from") != std::string_view::npos) {
            return sourceFromBatteryLine(line);
        }
    }
    return PowerValues::Source::Ac;
}

bool parseSleepDisabled(std::string_view text) {
    for (const auto line : lines(text)) {
        if (line.find("SleepDisabled") == std::string_view::npos) {
            continue;
        }
        // Real output separates the key from its value with tabs, so split at both.
        const auto parts = words(line, " \t\r");
        if (parts.empty()) {
            return false;
        }
        const auto value = parseInteger(parts.back());
        return value && *value == 1;
    }
    return false;
}

PowerValues valuesFrom(std::string_view customOutput, std::string_view batteryOutput,
                       std::string_view generalOutput) {
    const auto sections = parse(customOutput);
    const auto source = parseSource(batteryOutput);
    static const std::map<std::string, std::int64_t> none;
    const auto own = sections.find(rawValue(source));
    const auto& ownSection = own != sections.end() ? own->second : none;
    const auto& fallbackSection = sections.empty() ? none : sections.begin()->second;

    PowerValues values;
    values.displaySleepMinutes = lookUp(ownSection, fallbackSection, "displaysleep").value_or(10);
    values.systemSleepMinutes = lookUp(ownSection, fallbackSection, "sleep").value_or(0);
    values.sleepDisabled = parseSleepDisabled(generalOutput);
    values.source = source;
    return values;
}

std::string toolOutput(ProcessRunner& runner, const std::vector<std::string>& arguments) {
    const auto result = runner.run(toolPath, arguments);
    return result ? sanitizedUtf8(result->standardOutput) : std::string();
}

} // namespace PowerSettings

PowerValues PmsetPowerSettings::current() {
    const auto custom = PowerSettings::toolOutput(runner_, {"-g", "custom"});
    const auto battery = PowerSettings::toolOutput(runner_, {"-g", "batt"});
    const auto general = PowerSettings::toolOutput(runner_, {"-g"});
    return PowerSettings::valuesFrom(custom, battery, general);
}

void PmsetPowerSettings::read(std::function<void(PowerValues)> done) {
    done(current());
}

PowerValues::Source PmsetPowerSettings::currentSource() {
    return PowerSettings::parseSource(PowerSettings::toolOutput(runner_, {"-g", "batt"}));
}

} // namespace vigilo
