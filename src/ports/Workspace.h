#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace vigilo {

/// An application identifier that starts with this names a program by its process name
/// ("process:claude"): programs run in a terminal have no other identifier.
inline constexpr std::string_view processNamePrefix = "process:";

/// The desktop's applications: which run now, where the installed ones are, what a chosen
/// application file says about itself. An application is known by its identifier (a bundle
/// identifier, a desktop-file id without ".desktop").
class Workspace {
public:
    /// Keeps a change observation alive; destroying it stops the notices.
    class Observation {
    public:
        virtual ~Observation() = default;
    };

    /// What an application file says about itself.
    struct Bundle {
        /// Its identifier; absent when the file names none.
        std::optional<std::string> identifier;
        /// The name meant for display (the localised one), when the file has one.
        std::optional<std::string> displayName;
        /// The plain name, when the file has one.
        std::optional<std::string> name;
    };

    /// An installed application as a chooser offers it.
    struct InstalledApplication {
        std::string identifier;
        /// Its application file, for `readBundle`.
        std::string location;
        /// The name meant for display.
        std::string name;
        /// As `iconReference` gives it.
        std::optional<std::string> icon;
    };

    virtual ~Workspace() = default;

    /// The identifiers of the applications the user runs now. Applications without an
    /// identifier are left out.
    [[nodiscard]] virtual std::set<std::string> runningApplicationIDs() const = 0;
    /// False while a workspace that takes its first look in the background once observed has
    /// not finished it: until then `runningApplicationIDs` is empty for want of an answer, and a
    /// change notice follows the answer.
    [[nodiscard]] virtual bool knowsRunningApplications() const { return true; }

    /// Calls `onChange` on the main thread, from the event loop, whenever applications may have
    /// started or quit, until the returned observation is destroyed. No call for the state at
    /// the start, unless that state was not known yet (see `knowsRunningApplications`).
    [[nodiscard]] virtual std::unique_ptr<Observation>
    observeRunningApplications(std::function<void()> onChange) = 0;

    /// The location (a file path) of the installed application with `identifier`, or nothing
    /// when none is installed.
    [[nodiscard]] virtual std::optional<std::string>
    applicationLocation(const std::string& identifier) const = 0;

    /// Opens the application file at `location`; nothing when it cannot be read as one.
    [[nodiscard]] virtual std::optional<Bundle> readBundle(const std::string& location) const = 0;

    /// The icon of the application at `location`: an absolute image path or an icon-theme
    /// name, for the views to load. Nothing when the application has no icon.
    [[nodiscard]] virtual std::optional<std::string>
    iconReference(const std::string& location) const = 0;

    /// The installed applications the desktop offers the user to start, in no set order;
    /// helpers kept out of the desktop's menus are left out.
    [[nodiscard]] virtual std::vector<InstalledApplication> installedApplications() const = 0;
};

} // namespace vigilo
