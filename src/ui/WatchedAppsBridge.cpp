#include "ui/WatchedAppsBridge.h"

#include <algorithm>

namespace vigilo {

WatchedAppsBridge::WatchedAppsBridge(RunningAppsWatcher& watcher, QObject* parent)
    : Bridge(parent)
    , watcher_(watcher) {
    follow(watcher.willChange());
}

QVariantList WatchedAppsBridge::apps() const {
    const auto running = watcher_.runningNames();
    QVariantList list;
    for (const auto& app : watcher_.allApps()) {
        list.append(QVariantMap{
            {QStringLiteral("name"), QString::fromStdString(app.name)},
            {QStringLiteral("id"), QString::fromStdString(app.id())},
            {QStringLiteral("enabled"), watcher_.isEnabled(app)},
            {QStringLiteral("installed"), watcher_.applicationURL(app).has_value()},
            {QStringLiteral("running"), std::ranges::find(running, app.name) != running.end()},
            {QStringLiteral("icon"), QString::fromStdString(watcher_.icon(app).value_or(""))},
        });
    }
    return list;
}

std::optional<RunningAppsWatcher::App> WatchedAppsBridge::app(const QString& id) const {
    const auto apps = watcher_.allApps();
    const auto found = std::ranges::find(apps, id.toStdString(), &RunningAppsWatcher::App::id);
    return found != apps.end() ? std::optional(*found) : std::nullopt;
}

void WatchedAppsBridge::setEnabled(const QString& id, bool on) {
    if (const auto found = app(id)) {
        watcher_.setEnabled(*found, on);
    }
}

void WatchedAppsBridge::remove(const QString& id) {
    if (const auto found = app(id)) {
        watcher_.remove(*found);
    }
}

} // namespace vigilo
