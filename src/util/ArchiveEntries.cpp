#include "util/ArchiveEntries.h"

#include <optional>
#include <set>
#include <string_view>
#include <utility>

namespace vigilo {

namespace {

/// The folder-to-folder steps of a relative path, without empty and "." steps; nothing when the
/// path is empty, absolute or steps up with "..".
std::optional<std::vector<std::string_view>> downwardSteps(std::string_view path) {
    if (path.empty() || path.front() == '/') {
        return std::nullopt;
    }
    std::vector<std::string_view> steps;
    for (;;) {
        const auto slash = path.find('/');
        const auto step = path.substr(0, slash);
        if (step == "..") {
            return std::nullopt;
        }
        if (!step.empty() && step != ".") {
            steps.push_back(step);
        }
        if (slash == std::string_view::npos) {
            return steps;
        }
        path.remove_prefix(slash + 1);
    }
}

std::string joined(const std::vector<std::string_view>& steps, std::size_t count) {
    std::string path;
    for (std::size_t i = 0; i < count; ++i) {
        path.append(i == 0 ? "" : "/").append(steps[i]);
    }
    return path;
}

bool isSafeLink(const ArchiveEntry& entry) {
    switch (entry.kind) {
    case ArchiveEntry::Kind::symlink:
        return downwardSteps(entry.linkTarget).has_value();
    case ArchiveEntry::Kind::hardlink: {
        const auto target = downwardSteps(entry.linkTarget);
        return target && !target->empty();
    }
    case ArchiveEntry::Kind::file:
    case ArchiveEntry::Kind::directory:
        return true;
    case ArchiveEntry::Kind::other:
        break;
    }
    return false;
}

} // namespace

bool staysInsideFolder(const std::vector<ArchiveEntry>& entries) {
    std::vector<std::vector<std::string_view>> paths;
    std::set<std::string> symlinks;
    for (const auto& entry : entries) {
        auto steps = downwardSteps(entry.path);
        // Only a folder may name the unpacking folder itself ("./"); anything else would
        // replace it.
        const bool namesTheFolder = steps && steps->empty();
        if (!steps || (namesTheFolder && entry.kind != ArchiveEntry::Kind::directory) ||
            !isSafeLink(entry)) {
            return false;
        }
        if (entry.kind == ArchiveEntry::Kind::symlink) {
            symlinks.insert(joined(*steps, steps->size()));
        }
        paths.push_back(std::move(*steps));
    }
    // A link may be listed after the entries below it, so this waits for the whole list.
    for (const auto& steps : paths) {
        for (std::size_t depth = 1; depth < steps.size(); ++depth) {
            if (symlinks.contains(joined(steps, depth))) {
                return false;
            }
        }
    }
    return true;
}

} // namespace vigilo
