#pragma once

#include "platform/TrayHostMonitor.h"
#include "platform/linux/x11/XEmbedTrayWatch.h"

#include <QDBusConnection>
#include <QDBusServiceWatcher>
#include <memory>
#include <optional>

namespace vigilo {

/// The tray hosts of a Linux desktop: a StatusNotifier watcher on the session bus, and an XEmbed
/// tray on X11. Qt shows the icon through the watcher when one ran as the icon was made, and
/// docks it in an XEmbed tray otherwise, for as long as the program runs; only the host of that
/// kind counts.
class LinuxTrayHostMonitor final : public TrayHostMonitor {
    Q_OBJECT
public:
    static constexpr const char* watcherName = "org.kde.StatusNotifierWatcher";

    /// `xembed` is nothing where Qt does not talk to an X server.
    LinuxTrayHostMonitor(const QDBusConnection& sessionBus,
                         std::unique_ptr<XEmbedTrayWatch> xembed);

    /// Whether a host shows the icon, given the kind of icon and the hosts running.
    [[nodiscard]] static bool showsIcon(bool iconUsesStatusNotifier, bool watcherRuns,
                                        bool xembedTray);

private:
    void update();

    QDBusServiceWatcher watcher_;
    std::unique_ptr<XEmbedTrayWatch> xembed_;
    /// Known once the bus first answered, at about the time Qt looked for the watcher.
    std::optional<bool> iconUsesStatusNotifier_;
    /// Nothing until the bus first answered or a change was heard.
    std::optional<bool> watcherRuns_;
};

/// The monitor for the display Qt runs on.
[[nodiscard]] std::unique_ptr<TrayHostMonitor>
makeTrayHostMonitor(const QDBusConnection& sessionBus);

} // namespace vigilo
