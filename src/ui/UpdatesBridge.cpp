#include "ui/UpdatesBridge.h"

#include <QVariant>

namespace vigilo {

namespace {

QString text(const std::optional<std::string>& value) {
    return value ? QString::fromStdString(*value) : QString();
}

/// The row for each phase; idle shows what the user can do next.
struct RowOf {
    using Row = UpdatesBridge::Row;

    const Updater& updater;

    Row operator()(const UpdatePhase::Idle&) const {
        if (updater.backgroundReadyVersion()) {
            return Row::BackgroundReady;
        }
        return updater.updateVersion() ? Row::Available : Row::Check;
    }
    Row operator()(const UpdatePhase::Checking&) const { return Row::Checking; }
    Row operator()(const UpdatePhase::UpToDate&) const { return Row::UpToDate; }
    Row operator()(const UpdatePhase::Downloading&) const { return Row::Downloading; }
    Row operator()(const UpdatePhase::Extracting&) const { return Row::Extracting; }
    Row operator()(const UpdatePhase::Ready&) const { return Row::Ready; }
    Row operator()(const UpdatePhase::Failed&) const { return Row::Failed; }
};

} // namespace

UpdatesBridge::UpdatesBridge(Updater& updater, QObject* parent)
    : Bridge(parent)
    , updater_(updater) {
    follow(updater.changed());
}

UpdatesBridge::Row UpdatesBridge::row() const {
    return std::visit(RowOf{updater_}, updater_.phase());
}

QVariant UpdatesBridge::fraction() const {
    const auto& phase = updater_.phase();
    if (const auto* downloading = std::get_if<UpdatePhase::Downloading>(&phase)) {
        return downloading->fraction ? QVariant(*downloading->fraction) : QVariant();
    }
    if (const auto* extracting = std::get_if<UpdatePhase::Extracting>(&phase)) {
        return extracting->fraction;
    }
    return {};
}

QString UpdatesBridge::newVersion() const {
    return text(updater_.newVersion());
}

QString UpdatesBridge::backgroundReadyVersion() const {
    return text(updater_.backgroundReadyVersion());
}

QString UpdatesBridge::failure() const {
    const auto* failed = std::get_if<UpdatePhase::Failed>(&updater_.phase());
    return failed ? QString::fromStdString(failed->message) : QString();
}

} // namespace vigilo
