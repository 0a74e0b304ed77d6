#include "ui/WatchedAppsBridge.h"

#include <QCollator>
#include <QFileDialog>
#include <QFileInfo>
#include <QStandardPaths>
#include <algorithm>
#include <utility>

namespace vigilo {

namespace {

// Applications are installed for the whole system; the user's own folder holds few if any.
QString applicationsFolder() {
    QStringList candidates{QStringLiteral("/usr/share/applications")};
    candidates += QStandardPaths::standardLocations(QStandardPaths::ApplicationsLocation);
    const auto found = std::ranges::find_if(
        candidates, [](const QString& folder) { return QFileInfo(folder).isDir(); });
    return found != candidates.end() ? *found : QString();
}

} // namespace

WatchedAppsBridge::WatchedAppsBridge(RunningAppsWatcher& watcher, PlatformWords words,
                                     QObject* parent)
    : Bridge(parent)
    , watcher_(watcher)
    , words_(std::move(words)) {
    follow(watcher.changed());
}

QVariantList WatchedAppsBridge::apps() const {
    const auto running = watcher_.runningNames();
    const auto& custom = watcher_.customApps();
    QVariantList list;
    for (const auto& app : watcher_.allApps()) {
        const auto location = watcher_.applicationURL(app);
        // Applications are desktop entries; a command-line program is found as its executable.
        const bool isCommand =
            location && std::filesystem::path(*location).extension() != ".desktop";
        list.append(QVariantMap{
            {QStringLiteral("name"), QString::fromStdString(app.name)},
            {QStringLiteral("id"), QString::fromStdString(app.id())},
            {QStringLiteral("enabled"), watcher_.isEnabled(app)},
            {QStringLiteral("installed"), location.has_value()},
            {QStringLiteral("running"), std::ranges::find(running, app.name) != running.end()},
            {QStringLiteral("custom"), std::ranges::find(custom, app) != custom.end()},
            {QStringLiteral("icon"),
             QString::fromStdString(location ? icon(app, *location).value_or("") : "")},
            {QStringLiteral("command"),
             isCommand
                 ? QString::fromStdString(std::filesystem::path(*location).filename().string())
                 : QString()},
        });
    }
    return list;
}

std::optional<std::string> WatchedAppsBridge::icon(const RunningAppsWatcher::App& app,
                                                   const std::string& location) const {
    std::error_code error;
    const auto modified = std::filesystem::last_write_time(location, error);
    if (error) {
        return watcher_.icon(app);
    }
    const auto cached = icons_.find(location);
    if (cached != icons_.end() && cached->second.modified == modified) {
        return cached->second.icon;
    }
    auto found = watcher_.icon(app);
    icons_[location] = {modified, found};
    return found;
}

QString WatchedAppsBridge::footnote() const {
    return QStringLiteral("%1 не спит, пока запущена отмеченная программа")
        .arg(QString::fromStdString(words_.computerAtStart));
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

QVariantList WatchedAppsBridge::installedApps() const {
    auto installed = watcher_.installedApplications();
    QCollator byName{QLocale(QLocale::Russian)};
    byName.setCaseSensitivity(Qt::CaseInsensitive);
    byName.setNumericMode(true);
    std::ranges::stable_sort(installed, [&](const auto& one, const auto& other) {
        return byName.compare(QString::fromStdString(one.name),
                              QString::fromStdString(other.name)) < 0;
    });
    QVariantList list;
    for (const auto& application : installed) {
        list.append(QVariantMap{
            {QStringLiteral("name"), QString::fromStdString(application.name)},
            {QStringLiteral("icon"), QString::fromStdString(application.icon.value_or(""))},
            {QStringLiteral("location"), QString::fromStdString(application.location)},
            {QStringLiteral("listed"), watcher_.lists(application.identifier)},
        });
    }
    return list;
}

void WatchedAppsBridge::chooseFile() {
    // The desktop's own chooser (a portal, or the desktop's dialog) serves where Qt finds one.
    auto* dialog =
        new QFileDialog(nullptr,
                        QStringLiteral("Выберите программу, при запуске которой %1 не должен спать")
                            .arg(QString::fromStdString(words_.computer)),
                        applicationsFolder(), QStringLiteral("Программы (*.desktop)"));
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setFileMode(QFileDialog::ExistingFile);
    dialog->setLabelText(QFileDialog::Accept, QStringLiteral("Добавить"));
    // A modal window keeps the panel open while the user chooses. `open()` would make the
    // dialog modal to its parent only, and it has none; `exec()` would hold up the event loop.
    dialog->setWindowModality(Qt::ApplicationModal);
    connect(dialog, &QFileDialog::fileSelected, this, [this](const QString& path) { add(path); });
    dialog->show();
}

} // namespace vigilo
