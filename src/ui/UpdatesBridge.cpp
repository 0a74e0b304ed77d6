#include "ui/UpdatesBridge.h"

#include <QVariant>

namespace vigilo {

namespace {

QString text(const std::optional<std::string>& value) {
    return value ? QString::fromStdString(*value) : QString();
}

/// The name of the row for each phase; idle shows what the user can do next.
struct RowName {
    const Updater& updater;

    QString operator()(const UpdatePhase::Idle&) const {
        if (updater.backgroundReadyVersion()) {
            return QStringLiteral("backgroundReady");
        }
        return updater.updateVersion() ? QStringLiteral("available") : QStringLiteral("check");
    }
    QString operator()(const UpdatePhase::Checking&) const { return QStringLiteral("checking"); }
    QString operator()(const UpdatePhase::UpToDate&) const { return QStringLiteral("upToDate"); }
    QString operator()(const UpdatePhase::Downloading&) const {
        return QStringLiteral("downloading");
    }
    QString operator()(const UpdatePhase::Extracting&) const {
        return QStringLiteral("extracting");
    }
    QString operator()(const UpdatePhase::Ready&) const { return QStringLiteral("ready"); }
    QString operator()(const UpdatePhase::Failed&) const { return QStringLiteral("failed"); }
};

} // namespace

UpdatesBridge::UpdatesBridge(Updater& updater, QObject* parent)
    : Bridge(parent)
    , updater_(updater) {
    follow(updater.willChange());
}

QString UpdatesBridge::row() const {
    return std::visit(RowName{updater_}, updater_.phase());
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
