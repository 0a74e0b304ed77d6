#pragma once

#include <filesystem>
#include <optional>
#include <string>

namespace vigilo {

/// The program's desktop entry in the user's autostart folder ($XDG_CONFIG_HOME/autostart):
/// desktop sessions start every entry found there when the user logs in.
class XdgAutostart {
public:
    /// `folder` is the autostart folder (it may not exist yet); `executable` is the absolute path
    /// the session starts.
    XdgAutostart(std::filesystem::path folder, std::string executable);

    /// The entry's file: <folder>/<application id>.desktop.
    [[nodiscard]] const std::filesystem::path& entryPath() const { return entryPath_; }
    /// <folder>/vigilo.desktop, the name earlier versions wrote. The session still starts it, so
    /// it counts as switched on until the next enable() replaces it or disable() removes it.
    [[nodiscard]] const std::filesystem::path& legacyEntryPath() const { return legacyEntryPath_; }
    /// One of the two entries exists and is not switched off by Hidden=true or
    /// X-GNOME-Autostart-enabled=false (what the sessions' own autostart settings write).
    [[nodiscard]] bool isEnabled() const;
    /// Writes the entry atomically, creating the folder, and removes the legacy one. A path
    /// holding "%" is started through env, which the sessions can find. Nothing on success, else
    /// the reason in the user's words.
    [[nodiscard]] std::optional<std::string> enable() const;
    /// Removes both entries; one that does not exist is fine. Nothing on success, else the reason.
    [[nodiscard]] std::optional<std::string> disable() const;

private:
    std::filesystem::path folder_;
    std::filesystem::path entryPath_;
    std::filesystem::path legacyEntryPath_;
    std::string executable_;
};

} // namespace vigilo
