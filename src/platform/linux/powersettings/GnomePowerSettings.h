#pragma once

#include "platform/linux/powersettings/SleepDelays.h"
#include "ports/PowerSettingsSource.h"

#include <QDBusConnection>
#include <QObject>
#include <QProcess>
#include <QStringList>
#include <QTimer>
#include <chrono>
#include <filesystem>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vigilo {

/// GNOME's screen-blank and automatic-suspend delays, read with `gsettings`, which (unlike dconf)
/// also reports the values the user never changed. One run of `gsettings list-recursively` reads
/// every key at once, without waiting for it; its answer is kept until dconf announces a change
/// under one of the two schemas, so a session whose settings stay put starts no process at all.
class GnomePowerSettings final : public QObject {
    Q_OBJECT
public:
    /// How long `gsettings` may take before it is killed and the read answered as if it had
    /// failed: it reads dconf's database file and answers at once.
    static constexpr std::chrono::seconds toolTimeout{5};

    /// `gsettings` is the tool's path; when it is missing nothing is run. dconf announces its
    /// changes on `sessionBus`.
    GnomePowerSettings(std::filesystem::path gsettings, QDBusConnection sessionBus);
    ~GnomePowerSettings() override;
    GnomePowerSettings(const GnomePowerSettings&) = delete;
    GnomePowerSettings& operator=(const GnomePowerSettings&) = delete;

    /// Gives `done` the delays that apply on `source`: at once when the kept answer still holds,
    /// else once `gsettings` has answered. A key whose schema is not installed stays unread.
    /// `done` never runs once this object is destroyed.
    void read(PowerValues::Source source, std::function<void(SleepDelays)> done);

private Q_SLOTS:
    void onDconfNotify(const QString& prefix, const QStringList& changes, const QString& tag);

private:
    /// "schema key" → the value as gsettings prints it, for the two schemas read here.
    using Listing = std::map<std::string, std::string>;

    [[nodiscard]] static Listing parseListing(std::string_view output);
    void run();
    void finish(const Listing& listing);

    std::filesystem::path gsettings_;
    QProcess process_;
    QTimer deadline_;
    /// The last answer, until a change makes it stale.
    std::optional<Listing> kept_;
    /// A change was announced while `gsettings` ran: its answer may predate it.
    bool changedDuringRun_ = false;
    std::vector<std::function<void(const Listing&)>> waiting_;
};

} // namespace vigilo
