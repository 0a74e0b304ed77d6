#include "platform/linux/powersettings/GnomePowerSettings.h"

#include "util/Text.h"

#include <array>

namespace vigilo {

namespace {

const std::string sessionSchema = "org.gnome.desktop.session";
const std::string powerSchema = "org.gnome.settings-daemon.plugins.power";
/// Where dconf keeps the two schemas.
constexpr std::array<std::string_view, 2> schemaPaths{"/org/gnome/desktop/session/",
                                                      "/org/gnome/settings-daemon/plugins/power/"};

/// gsettings prints numbers in GVariant text form: "uint32 300", "int32 1800" or just "1800".
std::optional<std::int64_t> integerValue(std::string_view printed) {
    constexpr std::array typeNames{"byte", "int16", "uint16", "int32", "uint32", "int64", "uint64"};
    printed = trimmed(printed);
    for (std::string_view type : typeNames) {
        if (printed.starts_with(type) && printed.size() > type.size() &&
            printed[type.size()] == ' ') {
            printed = trimmed(printed.substr(type.size()));
            break;
        }
    }
    return parseInteger(printed);
}

/// Strings come quoted: "'suspend'".
std::optional<std::string> stringValue(std::string_view printed) {
    printed = trimmed(printed);
    if (printed.size() < 2 || printed.front() != '\'' || printed.back() != '\'') {
        return std::nullopt;
    }
    return std::string(printed.substr(1, printed.size() - 2));
}

/// A dconf change at `path` (a key, or a folder ending in "/") touches the two schemas.
bool touchesPowerSchemas(std::string_view path) {
    for (std::string_view schemaPath : schemaPaths) {
        if (path.starts_with(schemaPath) || schemaPath.starts_with(path)) {
            return true;
        }
    }
    return false;
}

} // namespace

GnomePowerSettings::Listing GnomePowerSettings::parseListing(std::string_view output) {
    // One "schema key value" a line.
    Listing listing;
    while (!output.empty()) {
        const auto end = output.find('\n');
        const std::string_view line = output.substr(0, end);
        output.remove_prefix(end == std::string_view::npos ? output.size() : end + 1);
        const auto schemaEnd = line.find(' ');
        const auto keyEnd = line.find(' ', schemaEnd + 1);
        const auto schema = line.substr(0, schemaEnd);
        if (keyEnd != std::string_view::npos &&
            (schema == sessionSchema || schema == powerSchema)) {
            listing.emplace(line.substr(0, keyEnd), line.substr(keyEnd + 1));
        }
    }
    return listing;
}

GnomePowerSettings::GnomePowerSettings(std::filesystem::path gsettings, QDBusConnection sessionBus)
    : gsettings_(std::move(gsettings)) {
    process_.setStandardInputFile(QProcess::nullDevice());
    process_.setStandardErrorFile(QProcess::nullDevice());
    connect(&process_, &QProcess::finished, this,
            [this](int exitCode, QProcess::ExitStatus status) {
                // A schema that is not installed is simply not listed.
                const bool listed = status == QProcess::NormalExit && exitCode == 0;
                finish(listed ? parseListing(process_.readAllStandardOutput().toStdString())
                              : Listing{});
            });
    connect(&process_, &QProcess::errorOccurred, this, [this](QProcess::ProcessError error) {
        if (error == QProcess::FailedToStart) {
            finish({});
        }
    });
    deadline_.setSingleShot(true);
    deadline_.setInterval(toolTimeout);
    // Killed, it reports a crash: an answer like any failed run's.
    connect(&deadline_, &QTimer::timeout, &process_, &QProcess::kill);
    // Any sender: a stray notice costs one more run of the tool at most.
    sessionBus.connect(QString(), QString(), QStringLiteral("ca.desrt.dconf.Writer"),
                       QStringLiteral("Notify"), this,
                       SLOT(onDconfNotify(QString, QStringList, QString)));
}

GnomePowerSettings::~GnomePowerSettings() {
    // Quietly: QProcess warns when it is destroyed with its child still running.
    process_.disconnect(this);
    if (process_.state() != QProcess::NotRunning) {
        process_.kill();
        process_.waitForFinished();
    }
}

void GnomePowerSettings::read(PowerValues::Source source, std::function<void(SleepDelays)> done) {
    auto answer = [source, done = std::move(done)](const Listing& listing) {
        const auto get = [&listing](const std::string& schema,
                                    const std::string& key) -> std::optional<std::string> {
            const auto found = listing.find(schema + ' ' + key);
            return found == listing.end() ? std::nullopt : std::optional(found->second);
        };
        SleepDelays delays;
        if (const auto idle = get(sessionSchema, "idle-delay")) {
            if (const auto seconds = integerValue(*idle)) {
                delays.displayMinutes = minutesFromSeconds(*seconds);
            }
        }
        const std::string prefix =
            source == PowerValues::Source::Ac ? "sleep-inactive-ac-" : "sleep-inactive-battery-";
        const auto type = get(powerSchema, prefix + "type");
        if (type && stringValue(*type) == "nothing") {
            delays.systemMinutes = 0;
        } else if (const auto timeout = get(powerSchema, prefix + "timeout")) {
            if (const auto seconds = integerValue(*timeout)) {
                delays.systemMinutes = minutesFromSeconds(*seconds);
            }
        }
        done(delays);
    };
    if (kept_ && waiting_.empty()) {
        answer(*kept_);
        return;
    }
    waiting_.emplace_back(std::move(answer));
    if (waiting_.size() == 1) {
        run();
    }
}

void GnomePowerSettings::onDconfNotify(const QString& prefix, const QStringList& changes,
                                       const QString&) {
    const std::string folder = prefix.toStdString();
    bool touches = changes.isEmpty() && touchesPowerSchemas(folder);
    for (const QString& change : changes) {
        touches = touches || touchesPowerSchemas(folder + change.toStdString());
    }
    if (touches) {
        kept_.reset();
        if (process_.state() != QProcess::NotRunning) {
            changedDuringRun_ = true;
        }
    }
}

void GnomePowerSettings::run() {
    changedDuringRun_ = false;
    std::error_code error;
    if (!std::filesystem::exists(gsettings_, error)) {
        finish({});
        return;
    }
    deadline_.start();
    process_.start(QString::fromStdString(gsettings_.string()),
                   {QStringLiteral("list-recursively")});
}

void GnomePowerSettings::finish(const Listing& listing) {
    deadline_.stop();
    if (!changedDuringRun_) {
        kept_ = listing;
    }
    for (const auto& answer : std::exchange(waiting_, {})) {
        answer(listing);
    }
}

} // namespace vigilo
