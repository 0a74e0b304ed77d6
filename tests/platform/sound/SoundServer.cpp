#include "SoundServer.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <csignal>
#include <cstdlib>
#include <stdexcept>
#include <sys/prctl.h>

PulseServerVariable::PulseServerVariable(const QString& address) {
    if (qEnvironmentVariableIsSet("PULSE_SERVER")) {
        before_ = qgetenv("PULSE_SERVER");
    }
    qputenv("PULSE_SERVER", address.toLocal8Bit());
}

PulseServerVariable::~PulseServerVariable() {
    if (before_) {
        qputenv("PULSE_SERVER", *before_);
    } else {
        qunsetenv("PULSE_SERVER");
    }
}

SoundServer::SoundServer() {
    const QString folder = QString::fromStdString(folder_.path().string());
    address_ = QStringLiteral("unix:") + folder + QStringLiteral("/native");

    // Its own home and runtime folders, no session bus and no user configuration.
    QProcessEnvironment environment;
    environment.insert(QStringLiteral("HOME"), folder);
    environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), folder);
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), folder + QStringLiteral("/config"));
    environment.insert(QStringLiteral("PATH"), qEnvironmentVariable("PATH"));
    daemon_.setProcessEnvironment(environment);
    daemon_.setStandardOutputFile(QProcess::nullDevice());
    daemon_.setStandardErrorFile(QProcess::nullDevice());
    daemon_.setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGTERM); });
    daemon_.start(QStringLiteral("pulseaudio"),
                  {QStringLiteral("--no-cpu-limit"), QStringLiteral("-n"),
                   QStringLiteral("--daemonize=no"), QStringLiteral("--exit-idle-time=-1"),
                   QStringLiteral("--use-pid-file=no"), QStringLiteral("--disable-shm=yes"),
                   QStringLiteral("-L"),
                   QStringLiteral("module-native-protocol-unix auth-anonymous=1 socket=") + folder +
                       QStringLiteral("/native"),
                   QStringLiteral("-L"), QStringLiteral("module-null-sink")});
    if (!daemon_.waitForStarted()) {
        throw std::runtime_error("cannot start pulseaudio");
    }
    QElapsedTimer timer;
    timer.start();
    while (pactl({QStringLiteral("info")}).isEmpty()) {
        if (timer.elapsed() > 10000 || daemon_.state() != QProcess::Running) {
            throw std::runtime_error("pulseaudio does not answer");
        }
    }
    variable_.emplace(address_);
}

SoundServer::~SoundServer() {
    daemon_.terminate();
    daemon_.waitForFinished();
}

std::vector<QJsonObject> SoundServer::streams() const {
    std::vector<QJsonObject> found;
    const QJsonArray inputs =
        QJsonDocument::fromJson(pactl({QStringLiteral("--format=json"), QStringLiteral("list"),
                                       QStringLiteral("sink-inputs")}))
            .array();
    for (const auto& input : inputs) {
        found.push_back(input.toObject());
    }
    return found;
}

QByteArray SoundServer::pactl(const QStringList& arguments) const {
    QProcess process;
    process.setStandardErrorFile(QProcess::nullDevice());
    process.start(QStringLiteral("pactl"),
                  QStringList{QStringLiteral("--server"), address_} + arguments);
    if (!process.waitForFinished() || process.exitCode() != 0) {
        return {};
    }
    return process.readAllStandardOutput();
}
