#pragma once

#include "model/RunningAppsWatcher.h"
#include "ports/PlatformWords.h"
#include "ui/Bridge.h"

#include <QVariantList>
#include <filesystem>
#include <map>

namespace vigilo {

/// The watched applications tab: the list with each application's state, and its edits.
class WatchedAppsBridge final : public Bridge {
    Q_OBJECT
    QML_ELEMENT
    QML_UNCREATABLE("made by the program")
    /// One map per application, in list order: name, id, enabled, installed, running, custom
    /// (added by the user), icon (an absolute image path or an icon-theme name; empty when
    /// none), command (the program's file name when it is installed only as a command-line
    /// program; else empty).
    Q_PROPERTY(QVariantList apps READ apps NOTIFY changed)
    /// The tab's footer: what the marks of the list do.
    Q_PROPERTY(QString footnote READ footnote CONSTANT)

public:
    /// `watcher` must outlive the bridge; `words` name the machine in the texts.
    WatchedAppsBridge(RunningAppsWatcher& watcher, PlatformWords words, QObject* parent = nullptr);

    [[nodiscard]] QVariantList apps() const;
    [[nodiscard]] QString footnote() const;

    Q_INVOKABLE void setEnabled(const QString& id, bool on);
    Q_INVOKABLE void remove(const QString& id);
    /// Lists the application whose desktop entry is at `path`; false when it cannot be read.
    Q_INVOKABLE bool add(const QString& path) { return watcher_.add(path.toStdString()); }
    Q_INVOKABLE void restoreBuiltInApps() { watcher_.restoreBuiltInApps(); }
    /// The installed applications to choose from, sorted by name: one map each with name, icon
    /// (as in `apps`), location (for `add`) and listed (already in the list).
    Q_INVOKABLE QVariantList installedApps() const;
    /// Opens a file chooser for an application entry anywhere and returns at once; the entry
    /// the user confirms is added, a cancel changes nothing.
    Q_INVOKABLE void chooseFile();

private:
    struct CachedIcon {
        std::filesystem::file_time_type modified;
        std::optional<std::string> icon;
    };

    [[nodiscard]] std::optional<RunningAppsWatcher::App> app(const QString& id) const;
    [[nodiscard]] std::optional<std::string> icon(const RunningAppsWatcher::App& app,
                                                  const std::string& location) const;

    RunningAppsWatcher& watcher_;
    PlatformWords words_;
    /// The icons by the location of the installed application. Reading its file took most of
    /// the time of a list read (the list is read at every change); a file written anew, as a
    /// package update does, is read again.
    mutable std::map<std::string, CachedIcon> icons_;
};

} // namespace vigilo
