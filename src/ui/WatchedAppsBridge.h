#pragma once

#include "system/RunningAppsWatcher.h"
#include "ui/Bridge.h"

#include <QVariantList>

namespace vigilo {

/// The watched applications tab: the list with each application's state, and its edits.
class WatchedAppsBridge final : public Bridge {
    Q_OBJECT
    QML_ELEMENT
    QML_UNCREATABLE("made by the program")
    /// One map per application, in list order: name, id, enabled, installed, running, icon
    /// (an absolute image path or an icon-theme name; empty when none).
    Q_PROPERTY(QVariantList apps READ apps NOTIFY changed)

public:
    /// `watcher` must outlive the bridge.
    explicit WatchedAppsBridge(RunningAppsWatcher& watcher, QObject* parent = nullptr);

    [[nodiscard]] QVariantList apps() const;

    Q_INVOKABLE void setEnabled(const QString& id, bool on);
    Q_INVOKABLE void remove(const QString& id);
    /// Lists the application whose desktop entry is at `path`; false when it cannot be read.
    Q_INVOKABLE bool add(const QString& path) { return watcher_.add(path.toStdString()); }
    Q_INVOKABLE void restoreBuiltInApps() { watcher_.restoreBuiltInApps(); }

private:
    [[nodiscard]] std::optional<RunningAppsWatcher::App> app(const QString& id) const;

    RunningAppsWatcher& watcher_;
};

} // namespace vigilo
