#pragma once

#include "ui/Bridge.h"
#include "update/Updater.h"

#include <QString>
#include <QVariant>

namespace vigilo {

/// The update area: which step of an update to show, with its progress and versions, and the
/// two things the user can do there.
class UpdatesBridge final : public Bridge {
    Q_OBJECT
    QML_ELEMENT
    QML_UNCREATABLE("made by the program")
    /// The row to show.
    Q_PROPERTY(Row row READ row NOTIFY changed)
    /// The download's or the unpacking's progress, 0…1; undefined while it is unknown or there
    /// is none.
    Q_PROPERTY(QVariant fraction READ fraction NOTIFY changed)
    /// The version of the update found; empty when none was found.
    Q_PROPERTY(QString newVersion READ newVersion NOTIFY changed)
    /// The version of an update downloaded in the background and waiting; empty when none.
    Q_PROPERTY(QString backgroundReadyVersion READ backgroundReadyVersion NOTIFY changed)
    /// Why the check or the download failed; empty unless it did.
    Q_PROPERTY(QString failure READ failure NOTIFY changed)
    Q_PROPERTY(bool hasUpdate READ hasUpdate NOTIFY changed)
    Q_PROPERTY(bool isWorking READ isWorking NOTIFY changed)
    /// The running program's version.
    Q_PROPERTY(QString version READ version CONSTANT)
    Q_PROPERTY(QString copyright READ copyright CONSTANT)

public:
    /// The rows of the update area: what the updater does now or what the user can do next.
    enum class Row {
        /// The button that checks for updates.
        Check,
        /// An update found in the background; the button fetches it.
        Available,
        /// An update downloaded in the background, waiting to be installed.
        BackgroundReady,
        Checking,
        UpToDate,
        Downloading,
        Extracting,
        /// Downloaded and unpacked, with the button that installs it.
        Ready,
        Failed,
    };
    Q_ENUM(Row)

    /// `updater` must outlive the bridge.
    explicit UpdatesBridge(Updater& updater, QObject* parent = nullptr);

    [[nodiscard]] Row row() const;
    [[nodiscard]] QVariant fraction() const;
    [[nodiscard]] QString newVersion() const;
    [[nodiscard]] QString backgroundReadyVersion() const;
    [[nodiscard]] QString failure() const;
    [[nodiscard]] bool hasUpdate() const { return updater_.hasUpdate(); }
    [[nodiscard]] bool isWorking() const { return updater_.isWorking(); }
    [[nodiscard]] QString version() const { return QString::fromStdString(updater_.version()); }
    [[nodiscard]] QString copyright() const { return QString::fromStdString(updater_.copyright()); }

    Q_INVOKABLE void checkForUpdates() { updater_.checkForUpdates(); }
    Q_INVOKABLE void installNow() { updater_.installNow(); }

private:
    Updater& updater_;
};

} // namespace vigilo
