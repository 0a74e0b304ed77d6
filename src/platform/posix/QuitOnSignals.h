#pragma once

#include <QObject>

class QSocketNotifier;

namespace vigilo {

/// Turns SIGTERM, SIGHUP and SIGINT into an ordinary quit of the event loop, so the quit path,
/// which releases the keep-awake lock, runs on a `kill` or a closed terminal as on "Выйти".
/// One per process: the signal handlers write to a single pipe.
class QuitOnSignals final : public QObject {
    Q_OBJECT
public:
    explicit QuitOnSignals(QObject* parent = nullptr);
    ~QuitOnSignals() override;
    QuitOnSignals(const QuitOnSignals&) = delete;
    QuitOnSignals& operator=(const QuitOnSignals&) = delete;

private:
    QSocketNotifier* notifier_ = nullptr;
};

} // namespace vigilo
