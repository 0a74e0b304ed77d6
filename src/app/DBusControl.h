#pragma once

#include "app/ControlProtocol.h"
#include "model/AwakeModel.h"
#include "ports/Clock.h"
#include "ports/ProcessWatch.h"
#include "ports/Scheduler.h"
#include "util/Signal.h"

#include <QDBusConnection>
#include <QDBusContext>
#include <QObject>
#include <QString>
#include <functional>
#include <memory>
#include <vector>

namespace vigilo {

/// The running program on the session bus: io.github.vigilo.Vigilo at /io/github/vigilo/Vigilo
/// (resources/dbus/io.github.vigilo.Vigilo.xml describes it). Its methods act as the command
/// line's requests do; its properties follow the model, with PropertiesChanged once per
/// event-loop turn for those that changed: a change of keep-awake, the lid mode or the power
/// figures (all that the properties read) on the next turn, the passing time (the cup count, the
/// time left) on the heartbeat. Only callers on the user's own session bus reach it;
/// the control socket stays for where there is no session bus. Main thread only.
class DBusControl final : public QObject, protected QDBusContext {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "io.github.vigilo.Vigilo")
    Q_PROPERTY(bool Awake READ awake)
    Q_PROPERTY(QString Title READ title)
    Q_PROPERTY(QString Subtitle READ subtitle)
    Q_PROPERTY(qlonglong Until READ until)
public:
    static constexpr const char* serviceName = "io.github.vigilo.Vigilo";
    static constexpr const char* objectPath = "/io/github/vigilo/Vigilo";
    using Handler = std::function<ControlReply(const ControlRequest&)>;

    /// Everything must outlive this object. `handler` carries out the requests.
    struct Services {
        AwakeModel& model;
        const Clock& clock;
        Scheduler& scheduler;
        ProcessWatch& processes;
        Handler handler;
    };

    DBusControl(QDBusConnection bus, Services services, QObject* parent = nullptr);
    ~DBusControl() override;
    DBusControl(const DBusControl&) = delete;
    DBusControl& operator=(const DBusControl&) = delete;

    /// Puts the object on the bus and asks for the name without waiting for the answer. False
    /// when the object cannot be registered (no bus).
    bool start();

    [[nodiscard]] bool awake() const;
    [[nodiscard]] QString title() const;
    [[nodiscard]] QString subtitle() const;
    /// Seconds since 1970 of a time end, else 0.
    [[nodiscard]] qlonglong until() const;

public Q_SLOTS:
    bool On(const QString& end);
    bool Off();
    bool Toggle();
    bool RunWhile(uint pid);

private:
    struct Shown {
        bool awake = false;
        QString title;
        QString subtitle;
        qlonglong until = 0;
    };
    [[nodiscard]] Shown shown() const;
    /// Compares what the properties show with what was last announced, on the next turn.
    void scheduleAnnouncement();
    void announceChanges();
    bool refuse(const QString& message);

    QDBusConnection bus_;
    AwakeModel& model_;
    const Clock& clock_;
    ProcessWatch& processes_;
    Handler handler_;
    Shown announced_;
    bool announcementPending_ = false;
    bool registered_ = false;
    /// Declared last: end first, before anything their handlers use.
    std::vector<Connection> partChanges_;
    std::unique_ptr<Scheduler::Repeating> heartbeat_;
};

} // namespace vigilo
