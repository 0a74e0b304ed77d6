#pragma once

#include <QAbstractNativeEventFilter>
#include <QObject>
#include <cstdint>
#include <xcb/xcb.h>

namespace vigilo {

/// Watches for an XEmbed system tray, the owner of the _NET_SYSTEM_TRAY_S<screen> selection, over
/// Qt's own connection to the X server; XFixes reports every change of the owner, so nothing is
/// polled. Main thread only.
class XEmbedTrayWatch final : public QObject, public QAbstractNativeEventFilter {
    Q_OBJECT
public:
    /// `connection` must outlive the watch; `screen` is the X screen the program shows on.
    XEmbedTrayWatch(xcb_connection_t* connection, int screen);
    ~XEmbedTrayWatch() override;
    XEmbedTrayWatch(const XEmbedTrayWatch&) = delete;
    XEmbedTrayWatch& operator=(const XEmbedTrayWatch&) = delete;

    [[nodiscard]] bool hasTray() const { return hasTray_; }

    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override;

Q_SIGNALS:
    /// `hasTray` changed.
    void changed();

private:
    xcb_atom_t selection_ = XCB_ATOM_NONE;
    /// The XFixes selection-notify event's code; zero without XFixes, when no change is heard.
    std::uint8_t selectionNotify_ = 0;
    bool hasTray_ = false;
};

} // namespace vigilo
