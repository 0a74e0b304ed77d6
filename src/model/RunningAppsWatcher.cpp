#include "model/RunningAppsWatcher.h"

#include <algorithm>
#include <filesystem>
#include <nlohmann/json.hpp>

namespace vigilo {

namespace {

using App = RunningAppsWatcher::App;

std::set<std::string> storedSet(const Settings& settings, SettingsKeys::StringListKey key) {
    const auto strings = settings.read(key);
    return {strings.begin(), strings.end()};
}

std::optional<std::vector<App>> decodeApps(const Bytes& data) {
    const auto json = nlohmann::json::parse(data.begin(), data.end(), nullptr, false);
    if (!json.is_array()) {
        return std::nullopt;
    }
    std::vector<App> apps;
    for (const auto& entry : json) {
        if (!entry.is_object() || !entry.contains("name") || !entry.contains("bundleIDs")) {
            return std::nullopt;
        }
        const auto& name = entry["name"];
        const auto& ids = entry["bundleIDs"];
        if (!name.is_string() || !ids.is_array() ||
            !std::ranges::all_of(ids, [](const auto& id) { return id.is_string(); })) {
            return std::nullopt;
        }
        apps.push_back({name.get<std::string>(), ids.get<std::vector<std::string>>()});
    }
    return apps;
}

// The keys keep the record's field order, so the stored text reads {"name":…,"bundleIDs":[…]}.
std::optional<Bytes> encodeApps(const std::vector<App>& apps) {
    auto json = nlohmann::ordered_json::array();
    for (const auto& app : apps) {
        json.push_back({{"name", app.name}, {"bundleIDs", app.bundleIDs}});
    }
    try {
        const std::string text = json.dump();
        return Bytes(text.begin(), text.end());
    } catch (const nlohmann::json::type_error&) {
        return std::nullopt; // a name or identifier that is not valid UTF-8
    }
}

bool isBuiltInIdentifier(const std::string& identifier) {
    return std::ranges::any_of(RunningAppsWatcher::builtIn(), [&](const App& app) {
        return std::ranges::find(app.bundleIDs, identifier) != app.bundleIDs.end();
    });
}

bool hasIdentifier(const App& app, const std::string& identifier) {
    return std::ranges::find(app.bundleIDs, identifier) != app.bundleIDs.end();
}

std::string fileNameWithoutExtension(std::string location) {
    while (location.size() > 1 && location.back() == '/') {
        location.pop_back();
    }
    return std::filesystem::path(location).stem().string();
}

} // namespace

const std::vector<App>& RunningAppsWatcher::builtIn() {
    // On Linux: Anthropic's own package (com.anthropic.Claude) and the widely used repackaging
    // (claude-desktop); Claude Code, Codex and Gemini CLI as they run in a terminal. The other
    // desktop applications have no Linux build from their makers.
    static const std::vector<App> apps{
        {"Claude",
         {"com.anthropic.claudefordesktop", "com.anthropic.Claude", "claude-desktop",
          "process:claude"}},
        {"ChatGPT", {"com.openai.chat", "com.openai.codex", "process:codex"}},
        {"Gemini", {"com.google.GeminiMacOS", "process:gemini"}},
        {"DSH", {"com.deepseek.dsh"}},
    };
    return apps;
}

std::set<std::string> RunningAppsWatcher::builtInProcessNames() {
    std::set<std::string> names;
    for (const auto& app : builtIn()) {
        for (const auto& identifier : app.bundleIDs) {
            if (identifier.starts_with(processNamePrefix)) {
                names.insert(identifier.substr(processNamePrefix.size()));
            }
        }
    }
    return names;
}

RunningAppsWatcher::RunningAppsWatcher(Settings& settings, Workspace& workspace,
                                       Scheduler& scheduler)
    : settings_(settings)
    , workspace_(workspace)
    , scheduler_(scheduler) {
    enabledIDs_ = storedSet(settings_, SettingsKeys::watchedApps);
    hiddenBuiltInIDs_ = storedSet(settings_, SettingsKeys::hiddenWatchedApps);
    loadCustomApps();

    observation_ = workspace_.observeRunningApplications([this] {
        scheduler_.post([weakSelf = std::weak_ptr(self_)] {
            if (const auto self = weakSelf.lock()) {
                (*self)->refresh();
            }
        });
    });
    refresh();
}

void RunningAppsWatcher::loadCustomApps() {
    const auto data = settings_.read(SettingsKeys::customWatchedApps);
    if (!data) {
        return;
    }
    const auto decoded = decodeApps(*data);
    if (!decoded) {
        return;
    }
    // An entry with no identifier has no id to enable or hide it by; one that claims a built-in
    // identifier would list that application twice.
    std::vector<App> kept;
    std::ranges::copy_if(*decoded, std::back_inserter(kept), [](const App& app) {
        return !app.bundleIDs.empty() && std::ranges::none_of(app.bundleIDs, isBuiltInIdentifier);
    });
    const bool droppedAny = kept.size() != decoded->size();
    customApps_ = std::move(kept);
    if (droppedAny) {
        adoptIntoBuiltIn(*decoded);
        save();
    }
}

// An application the user added before its identifier became a built-in one (the Linux builds
// of the assistants) goes on as that built-in application: shown, and enabled if it was.
void RunningAppsWatcher::adoptIntoBuiltIn(const std::vector<App>& stored) {
    for (const auto& app : stored) {
        const auto builtInApp = std::ranges::find_if(builtIn(), [&](const App& candidate) {
            return std::ranges::any_of(app.bundleIDs, [&](const auto& identifier) {
                return hasIdentifier(candidate, identifier);
            });
        });
        if (builtInApp == builtIn().end()) {
            continue;
        }
        hiddenBuiltInIDs_.erase(builtInApp->id());
        if (enabledIDs_.erase(app.id()) > 0) {
            enabledIDs_.insert(builtInApp->id());
        }
    }
}

std::vector<App> RunningAppsWatcher::allApps() const {
    std::vector<App> apps;
    std::ranges::copy_if(builtIn(), std::back_inserter(apps),
                         [this](const App& app) { return !hiddenBuiltInIDs_.contains(app.id()); });
    apps.insert(apps.end(), customApps_.begin(), customApps_.end());
    return apps;
}

void RunningAppsWatcher::setEnabled(const App& app, bool on) {
    if (on) {
        enabledIDs_.insert(app.id());
    } else {
        enabledIDs_.erase(app.id());
    }
    changed_.notify();
    save();
}

bool RunningAppsWatcher::add(const std::string& url) {
    const auto bundle = workspace_.readBundle(url);
    if (!bundle || !bundle->identifier || bundle->identifier->empty()) {
        return false;
    }
    const std::string& identifier = *bundle->identifier;

    const auto& builtInApps = builtIn();
    const auto builtInApp = std::ranges::find_if(
        builtInApps, [&](const App& app) { return hasIdentifier(app, identifier); });
    if (builtInApp != builtInApps.end()) {
        hiddenBuiltInIDs_.erase(builtInApp->id());
        changed_.notify();
    } else if (!lists(identifier)) {
        auto extended = customApps_;
        extended.push_back(
            {bundle->displayName.value_or(bundle->name.value_or(fileNameWithoutExtension(url))),
             {identifier}});
        // A name or identifier that is not UTF-8 cannot be stored: refuse the application
        // rather than list one that is gone at the next start.
        if (!encodeApps(extended)) {
            return false;
        }
        customApps_ = std::move(extended);
        changed_.notify();
    }

    const auto apps = allApps();
    const auto listed =
        std::ranges::find_if(apps, [&](const App& app) { return hasIdentifier(app, identifier); });
    enabledIDs_.insert(listed->id());
    changed_.notify();
    save();
    return true;
}

void RunningAppsWatcher::remove(const App& app) {
    if (std::ranges::find(builtIn(), app) != builtIn().end()) {
        hiddenBuiltInIDs_.insert(app.id());
    } else {
        std::erase(customApps_, app);
    }
    enabledIDs_.erase(app.id());
    changed_.notify();
    save();
}

void RunningAppsWatcher::restoreBuiltInApps() {
    hiddenBuiltInIDs_.clear();
    changed_.notify();
    save();
}

std::optional<std::string> RunningAppsWatcher::applicationURL(const App& app) const {
    for (const auto& identifier : app.bundleIDs) {
        if (auto location = workspace_.applicationLocation(identifier)) {
            return location;
        }
    }
    return std::nullopt;
}

bool RunningAppsWatcher::lists(const std::string& identifier) const {
    return std::ranges::any_of(allApps(),
                               [&](const App& app) { return hasIdentifier(app, identifier); });
}

std::optional<std::string> RunningAppsWatcher::icon(const App& app) const {
    const auto location = applicationURL(app);
    return location ? workspace_.iconReference(*location) : std::nullopt;
}

void RunningAppsWatcher::save() {
    settings_.write(SettingsKeys::watchedApps, StringList(enabledIDs_.begin(), enabledIDs_.end()));
    settings_.write(SettingsKeys::hiddenWatchedApps,
                    StringList(hiddenBuiltInIDs_.begin(), hiddenBuiltInIDs_.end()));
    // `add` refuses what cannot be encoded; should encoding fail all the same, the stored list
    // stays as it was rather than being lost.
    if (const auto data = encodeApps(customApps_)) {
        settings_.write(SettingsKeys::customWatchedApps, *data);
    }
    refresh();
}

void RunningAppsWatcher::refresh() {
    const auto running = workspace_.runningApplicationIDs();
    std::vector<std::string> names;
    for (const auto& app : allApps()) {
        if (enabledIDs_.contains(app.id()) &&
            std::ranges::any_of(app.bundleIDs,
                                [&](const auto& id) { return running.contains(id); })) {
            names.push_back(app.name);
        }
    }
    if (names != runningNames_) {
        runningNames_ = std::move(names);
        changed_.notify();
    }
    runningChecked_.notify();
}

} // namespace vigilo
