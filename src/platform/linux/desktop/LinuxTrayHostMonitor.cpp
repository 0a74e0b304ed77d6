#include "platform/linux/desktop/LinuxTrayHostMonitor.h"

#include "platform/linux/dbus/DBusCalls.h"
#include "platform/linux/x11/X11DefaultScreen.h"

#include <QGuiApplication>

namespace vigilo {

LinuxTrayHostMonitor::LinuxTrayHostMonitor(const QDBusConnection& sessionBus,
                                           std::unique_ptr<XEmbedTrayWatch> xembed)
    : watcher_(QString::fromLatin1(watcherName), sessionBus,
               QDBusServiceWatcher::WatchForOwnerChange)
    , xembed_(std::move(xembed)) {
    connect(&watcher_, &QDBusServiceWatcher::serviceOwnerChanged, this,
            [this](const QString& /*name*/, const QString& /*old*/, const QString& owner) {
                watcherRuns_ = !owner.isEmpty();
                update();
            });
    if (xembed_) {
        connect(xembed_.get(), &XEmbedTrayWatch::changed, this, &LinuxTrayHostMonitor::update);
    }
    DBusCalls::callAsync(
        sessionBus, QStringLiteral("org.freedesktop.DBus"), QStringLiteral("/org/freedesktop/DBus"),
        QStringLiteral("org.freedesktop.DBus"), QStringLiteral("NameHasOwner"),
        {QString::fromLatin1(watcherName)}, this, [this](const QDBusMessage& reply) {
            const bool runs = DBusCalls::firstResult(reply).toBool();
            iconUsesStatusNotifier_ = runs;
            // A change heard meanwhile is newer than this answer.
            if (!watcherRuns_) {
                watcherRuns_ = runs;
            }
            update();
        });
}

bool LinuxTrayHostMonitor::showsIcon(bool iconUsesStatusNotifier, bool watcherRuns,
                                     bool xembedTray) {
    return iconUsesStatusNotifier ? watcherRuns : xembedTray;
}

void LinuxTrayHostMonitor::update() {
    if (!iconUsesStatusNotifier_) {
        return;
    }
    setHasTrayHost(showsIcon(*iconUsesStatusNotifier_, watcherRuns_.value_or(false),
                             xembed_ && xembed_->hasTray()));
}

std::unique_ptr<TrayHostMonitor> makeTrayHostMonitor(const QDBusConnection& sessionBus) {
    const auto* x11 = qGuiApp != nullptr
                          ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>()
                          : nullptr;
    std::unique_ptr<XEmbedTrayWatch> xembed;
    // The offscreen platform answers as X11 too, but without a connection.
    if (x11 != nullptr && x11->connection() != nullptr) {
        xembed = std::make_unique<XEmbedTrayWatch>(x11->connection(), defaultX11Screen());
    }
    return std::make_unique<LinuxTrayHostMonitor>(sessionBus, std::move(xembed));
}

} // namespace vigilo
