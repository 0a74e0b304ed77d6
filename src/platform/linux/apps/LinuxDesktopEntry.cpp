#include "platform/linux/apps/LinuxDesktopEntry.h"

#include "util/Text.h"

#include <fstream>
#include <sstream>

namespace vigilo {

namespace {

// Escapes other than these belong to the value's own syntax (the quoting of Exec, the ; of
// lists) and are kept as written.
std::string unescaped(std::string_view value) {
    std::string text;
    text.reserve(value.size());
    for (std::size_t i = 0; i < value.size(); ++i) {
        if (value[i] != '\\' || i + 1 == value.size()) {
            text += value[i];
            continue;
        }
        switch (value[i + 1]) {
        case 's':
            text += ' ';
            break;
        case 'n':
            text += '\n';
            break;
        case 't':
            text += '\t';
            break;
        case 'r':
            text += '\r';
            break;
        case '\\':
            text += '\\';
            break;
        default:
            text += value.substr(i, 2);
            break;
        }
        ++i;
    }
    return text;
}

void assign(LinuxDesktopEntry& entry, std::string_view key, std::string value) {
    if (key == "Type") {
        entry.type = std::move(value);
    } else if (key == "Name") {
        entry.name = sanitizedUtf8(value);
    } else if (key == "Name[ru]") {
        entry.localizedName = sanitizedUtf8(value);
    } else if (key == "Icon") {
        entry.icon = std::move(value);
    } else if (key == "Exec") {
        entry.exec = std::move(value);
    } else if (key == "TryExec") {
        entry.tryExec = std::move(value);
    } else if (key == "StartupWMClass") {
        entry.startupWMClass = std::move(value);
    } else if (key == "NoDisplay") {
        entry.noDisplay = value == "true";
    } else if (key == "Hidden") {
        entry.hidden = value == "true";
    }
}

} // namespace

std::optional<LinuxDesktopEntry> parseDesktopEntry(std::string_view text) {
    std::optional<LinuxDesktopEntry> entry;
    bool inEntryGroup = false;
    while (!text.empty()) {
        const auto end = text.find('\n');
        auto line = text.substr(0, end);
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
        if (line.ends_with('\r')) {
            line.remove_suffix(1);
        }
        line = trimmed(line);
        if (line.empty() || line.starts_with('#')) {
            continue;
        }
        if (line.starts_with('[')) {
            if (inEntryGroup) {
                break; // the entry's own group is over; later groups are actions and extensions
            }
            inEntryGroup = line == "[Desktop Entry]";
            if (inEntryGroup) {
                entry.emplace();
            }
            continue;
        }
        const auto equals = line.find('=');
        if (inEntryGroup && equals != std::string_view::npos) {
            assign(*entry, trimmed(line.substr(0, equals)),
                   unescaped(trimmed(line.substr(equals + 1))));
        }
    }
    return entry;
}

std::optional<LinuxDesktopEntry> readDesktopEntry(const std::filesystem::path& path) {
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        return std::nullopt;
    }
    std::ostringstream text;
    text << file.rdbuf();
    return parseDesktopEntry(text.view());
}

} // namespace vigilo
