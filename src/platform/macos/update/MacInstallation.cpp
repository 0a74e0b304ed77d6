#include "platform/macos/update/MacInstallation.h"

#include <unistd.h>

namespace vigilo {

namespace {

bool isWritable(const std::filesystem::path& path) {
    return ::access(path.c_str(), W_OK) == 0;
}

bool runsFromReadOnlyPlace(const std::filesystem::path& bundle) {
    const std::string text = bundle.string();
    return text.starts_with("/Volumes/") || text.find("/AppTranslocation/") != std::string::npos;
}

} // namespace

MacInstallation::MacInstallation(const std::filesystem::path& bundle)
    : canSelfUpdate_(bundle.extension() == ".app" && bundle.is_absolute() &&
                     !runsFromReadOnlyPlace(bundle) && isWritable(bundle) &&
                     isWritable(bundle.parent_path())) {}

std::filesystem::path MacInstallation::bundleOf(const std::filesystem::path& executable) {
    const auto macos = executable.parent_path();
    const auto contents = macos.parent_path();
    auto bundle = contents.parent_path();
    if (macos.filename() != "MacOS" || contents.filename() != "Contents" ||
        bundle.extension() != ".app") {
        return {};
    }
    return bundle;
}

} // namespace vigilo
