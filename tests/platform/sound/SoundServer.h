#pragma once

// A private PulseAudio server for tests, with one null sink that plays in real time into
// nothing. libpulse finds it through PULSE_SERVER, which the server object sets for its
// lifetime, so the user's own sound server is never reached. The server stops with the object,
// and with the test process if that dies (PR_SET_PDEATHSIG).

#include "platform/TempFolder.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QJsonObject>
#include <QProcess>
#include <QString>
#include <optional>
#include <vector>

/// Points PULSE_SERVER at `address` for the lifetime of this object. Set it before the code
/// under test starts threads: the environment is not safe to change while others read it.
class PulseServerVariable {
public:
    explicit PulseServerVariable(const QString& address);
    ~PulseServerVariable();
    PulseServerVariable(const PulseServerVariable&) = delete;
    PulseServerVariable& operator=(const PulseServerVariable&) = delete;

private:
    std::optional<QByteArray> before_;
};

class SoundServer {
public:
    /// Starts the server and waits until it answers; throws std::runtime_error when it does not.
    SoundServer();
    ~SoundServer();
    SoundServer(const SoundServer&) = delete;
    SoundServer& operator=(const SoundServer&) = delete;

    /// The streams playing now, as `pactl --format=json list sink-inputs` describes them.
    [[nodiscard]] std::vector<QJsonObject> streams() const;

    /// Asks for the streams until `done(streams)` holds or `timeoutMs` passed; whether it held.
    template <typename Condition> bool waitForStreams(Condition done, int timeoutMs = 5000) const {
        QElapsedTimer timer;
        timer.start();
        while (!done(streams())) {
            if (timer.elapsed() > timeoutMs) {
                return false;
            }
        }
        return true;
    }

private:
    [[nodiscard]] QByteArray pactl(const QStringList& arguments) const;

    TempFolder folder_;
    QString address_;
    QProcess daemon_;
    std::optional<PulseServerVariable> variable_;
};
