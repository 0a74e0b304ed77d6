#include "system/PowerSettings.h"

#include "system/Trimmed.h"

#include <charconv>

namespace vigilo {

std::string sourceTitle(PowerValues::Source source) {
    return source == PowerValues::Source::Battery ? "на батарее" : "от сети";
}

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

std::optional<std::int64_t> parseInteger(std::string_view word) {
    if (!word.empty() && word.front() == '+') {
        word.remove_prefix(1);
        if (!word.empty() && word.front() == '-') {
            return std::nullopt;
        }
    }
    if (word.empty() || word == "-") {
        return std::nullopt;
    }
    std::int64_t value = 0;
    const auto* end = word.data() + word.size();
    const auto [ptr, error] = std::from_chars(word.data(), end, value);
    if (error != std::errc() || ptr != end) {
        return std::nullopt;
    }
    return value;
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

std::string sanitizedUtf8(std::string_view bytes) {
    static const std::string replacement = "\xEF\xBF\xBD";
    std::string out;
    out.reserve(bytes.size());
    std::size_t i = 0;
    while (i < bytes.size()) {
        const auto lead = static_cast<unsigned char>(bytes[i]);
        std::size_t length = 0;
        unsigned char low = 0x80;
        unsigned char high = 0xBF;
        if (lead < 0x80) {
            length = 1;
        } else if (lead >= 0xC2 && lead <= 0xDF) {
            length = 2;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            length = 3;
            low = lead == 0xE0 ? 0xA0 : 0x80;
            high = lead == 0xED ? 0x9F : 0xBF;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            length = 4;
            low = lead == 0xF0 ? 0x90 : 0x80;
            high = lead == 0xF4 ? 0x8F : 0xBF;
        }
        // Take the longest valid prefix; an invalid sequence becomes one replacement character.
        std::size_t valid = length == 0 ? 0 : 1;
        while (valid < length && i + valid < bytes.size()) {
            const auto c = static_cast<unsigned char>(bytes[i + valid]);
            const auto min = valid == 1 ? low : static_cast<unsigned char>(0x80);
            const auto max = valid == 1 ? high : static_cast<unsigned char>(0xBF);
            if (c < min || c > max) {
                break;
            }
            ++valid;
        }
        if (length != 0 && valid == length) {
            out.append(bytes.substr(i, length));
            i += length;
        } else {
            out += replacement;
            i += std::max<std::size_t>(valid, 1);
        }
    }
    return out;
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

PowerValues::Source PmsetPowerSettings::currentSource() {
    return PowerSettings::parseSource(PowerSettings::toolOutput(runner_, {"-g", "batt"}));
}

} // namespace vigilo
