#include "platform/linux/settings/IniFile.h"

#include "util/Text.h"

#include <fstream>
#include <sstream>

namespace vigilo {

namespace {

/// "[AC][Display]" → "AC/Display"; nothing when the line is not a well-formed header.
std::optional<std::string> groupName(std::string_view header) {
    std::string name;
    while (!header.empty()) {
        const auto close = header.find(']');
        if (header.front() != '[' || close == std::string_view::npos || close == 1) {
            return std::nullopt;
        }
        if (!name.empty()) {
            name += '/';
        }
        name += header.substr(1, close - 1);
        header.remove_prefix(close + 1);
    }
    return name;
}

} // namespace

std::optional<IniFile> IniFile::read(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        return std::nullopt;
    }
    std::ostringstream text;
    text << in.rdbuf();
    return parse(text.str());
}

IniFile IniFile::parse(std::string_view text) {
    IniFile file;
    std::map<std::string, std::string>* group = &file.groups_[""];
    while (!text.empty()) {
        const auto end = text.find('\n');
        const std::string_view line = trimmed(text.substr(0, end));
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        if (line.empty() || line.front() == '#' || line.front() == ';') {
            continue;
        }
        if (line.front() == '[') {
            const auto name = groupName(line);
            group = name ? &file.groups_[*name] : nullptr;
            continue;
        }
        const auto equals = line.find('=');
        if (group == nullptr || equals == std::string_view::npos) {
            continue;
        }
        const std::string_view key = trimmed(line.substr(0, equals));
        if (key.empty() || key.find('[') != std::string_view::npos) {
            continue;
        }
        (*group)[std::string(key)] = trimmed(line.substr(equals + 1));
    }
    return file;
}

std::optional<std::string> IniFile::value(const std::string& group, const std::string& key) const {
    const auto foundGroup = groups_.find(group);
    if (foundGroup == groups_.end()) {
        return std::nullopt;
    }
    const auto found = foundGroup->second.find(key);
    return found == foundGroup->second.end() ? std::nullopt : std::optional(found->second);
}

bool IniFile::hasGroupAt(const std::string& group) const {
    if (groups_.contains(group)) {
        return true;
    }
    const std::string below = group + '/';
    const auto found = groups_.lower_bound(below);
    return found != groups_.end() && found->first.starts_with(below);
}

} // namespace vigilo
