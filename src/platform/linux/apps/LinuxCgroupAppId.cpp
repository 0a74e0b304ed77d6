#include "platform/linux/apps/LinuxCgroupAppId.h"

#include <algorithm>
#include <cctype>
#include <vector>

namespace vigilo {

namespace {

std::vector<std::string_view> split(std::string_view text, char separator) {
    std::vector<std::string_view> parts;
    while (true) {
        const auto at = text.find(separator);
        parts.push_back(text.substr(0, at));
        if (at == std::string_view::npos) {
            return parts;
        }
        text.remove_prefix(at + 1);
    }
}

std::vector<std::string_view> lines(std::string_view text) {
    auto all = split(text, '\n');
    for (auto& line : all) {
        if (line.ends_with('\r')) {
            line.remove_suffix(1);
        }
    }
    return all;
}

std::optional<std::string_view> systemdCgroupPath(std::string_view cgroupText) {
    std::optional<std::string_view> named;
    for (const auto line : lines(cgroupText)) {
        if (line.starts_with("0::")) {
            return line.substr(3);
        }
        const auto fields = split(line, ':');
        if (fields.size() >= 3 && fields[1] == "name=systemd") {
            named = line.substr(fields[0].size() + fields[1].size() + 2);
        }
    }
    return named;
}

// Walks up from the process's own group, which may sit inside the application's unit.
template <typename Parse>
std::optional<std::string> firstUnit(std::string_view cgroupText, Parse parse) {
    const auto path = systemdCgroupPath(cgroupText);
    if (!path) {
        return std::nullopt;
    }
    auto components = split(*path, '/');
    std::reverse(components.begin(), components.end());
    for (const auto component : components) {
        if (auto id = parse(component)) {
            return id;
        }
    }
    return std::nullopt;
}

bool removeSuffix(std::string_view& text, std::string_view suffix) {
    if (!text.ends_with(suffix)) {
        return false;
    }
    text.remove_suffix(suffix.size());
    return true;
}

int hexValue(char c) {
    if (std::isdigit(static_cast<unsigned char>(c))) {
        return c - '0';
    }
    const int lower = std::tolower(static_cast<unsigned char>(c));
    return lower >= 'a' && lower <= 'f' ? lower - 'a' + 10 : -1;
}

std::string unescapedUnitName(std::string_view text) {
    std::string name;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text.substr(i).starts_with("\\x") && i + 3 < text.size() &&
            hexValue(text[i + 2]) >= 0 && hexValue(text[i + 3]) >= 0) {
            name += static_cast<char>(hexValue(text[i + 2]) * 16 + hexValue(text[i + 3]));
            i += 3;
        } else {
            name += text[i];
        }
    }
    return name;
}

std::optional<std::string> parseApplicationUnit(std::string_view unit) {
    if (!unit.starts_with("app-")) {
        return std::nullopt;
    }
    unit.remove_prefix(4);
    const bool isScope = removeSuffix(unit, ".scope");
    if (!isScope && !removeSuffix(unit, ".service")) {
        return std::nullopt;
    }
    if (!isScope) {
        unit = unit.substr(0, unit.find('@'));
    }
    auto parts = split(unit, '-');
    if (isScope && parts.size() > 1) {
        parts.pop_back(); // the random part
    }
    // Escaping leaves at most the launcher and the id; more parts come from a launcher that did
    // not escape, where the id cannot be told apart.
    if (parts.size() > 2 || parts.back().empty()) {
        return std::nullopt;
    }
    auto id = unescapedUnitName(parts.back());
    return id.find('/') == std::string::npos ? std::optional(id) : std::nullopt;
}

bool isUuid(std::string_view text) {
    constexpr std::string_view shape = "xxxxxxxx-xxxx-xxxx-xxxx-xxxxxxxxxxxx";
    return text.size() == shape.size() && std::ranges::equal(text, shape, [](char c, char pattern) {
               return pattern == '-' ? c == '-' : hexValue(c) >= 0;
           });
}

std::optional<std::string> parseSnapUnit(std::string_view unit) {
    if (!unit.starts_with("snap.") ||
        !(removeSuffix(unit, ".scope") || removeSuffix(unit, ".service"))) {
        return std::nullopt;
    }
    const auto parts = split(unit, '.');
    if (parts.size() < 3 || parts[1].empty()) {
        return std::nullopt;
    }
    auto app = parts[2];
    // snapd names each run's scope snap.<name>.<app>-<uuid>.scope.
    if (app.size() > 37 && app[app.size() - 37] == '-' && isUuid(app.substr(app.size() - 36))) {
        app.remove_suffix(37);
    }
    if (app.empty()) {
        return std::nullopt;
    }
    return std::string(parts[1]) + '_' + std::string(app);
}

} // namespace

std::optional<std::string> systemdApplicationId(std::string_view cgroupText) {
    return firstUnit(cgroupText, parseApplicationUnit);
}

std::optional<std::string> snapApplicationId(std::string_view cgroupText) {
    return firstUnit(cgroupText, parseSnapUnit);
}

std::optional<std::string> flatpakApplicationId(std::string_view flatpakInfoText) {
    bool inApplication = false;
    for (auto line : lines(flatpakInfoText)) {
        if (line.starts_with('[')) {
            inApplication = line == "[Application]";
            continue;
        }
        if (inApplication && line.starts_with("name=") && line.size() > 5) {
            return std::string(line.substr(5));
        }
    }
    return std::nullopt;
}

} // namespace vigilo
