#include "app/DBusControl.h"

#include "model/AwakeEnd.h"

#include <QDBusMessage>
#include <QTimer>
#include <QVariantMap>

namespace vigilo {

namespace {

const QString interfaceName = QString::fromLatin1(DBusControl::serviceName);

qlonglong unixSeconds(TimePoint at) {
    return std::chrono::ceil<std::chrono::seconds>(at).time_since_epoch().count();
}

} // namespace

DBusControl::DBusControl(QDBusConnection bus, Services services, QObject* parent)
    : QObject(parent)
    , bus_(std::move(bus))
    , model_(services.model)
    , clock_(services.clock)
    , processes_(services.processes)
    , handler_(std::move(services.handler)) {
    announced_ = shown();
    for (const Signal<>* part : {&model_.keepAwake().changed(), &model_.lidMode().changed(),
                                 &model_.powerFigures().changed()}) {
        partChanges_.push_back(part->connect([this] { scheduleAnnouncement(); }));
    }
    // The texts change with the time only while the computer is kept awake (the cup count, the
    // time left); switching keep-awake off is a change of its own.
    heartbeat_ = services.scheduler.onHeartbeat([this] {
        if (model_.isAwake()) {
            announceChanges();
        }
    });
}

DBusControl::~DBusControl() {
    if (registered_) {
        bus_.unregisterObject(QString::fromLatin1(objectPath));
    }
}

bool DBusControl::start() {
    registered_ =
        bus_.registerObject(QString::fromLatin1(objectPath), this,
                            QDBusConnection::ExportAllSlots | QDBusConnection::ExportAllProperties);
    if (!registered_) {
        return false;
    }
    // RequestName is a call to the bus: sent without waiting. DBUS_NAME_FLAG_DO_NOT_QUEUE: a
    // name held elsewhere stays there.
    QDBusMessage request = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.DBus"), QStringLiteral("/org/freedesktop/DBus"),
        QStringLiteral("org.freedesktop.DBus"), QStringLiteral("RequestName"));
    request << QString::fromLatin1(serviceName) << 4U;
    bus_.send(request);
    return true;
}

bool DBusControl::awake() const {
    return model_.isAwake();
}

QString DBusControl::title() const {
    return QString::fromStdString(model_.statusTitle(clock_.now()));
}

QString DBusControl::subtitle() const {
    return QString::fromStdString(model_.statusSubtitle());
}

qlonglong DBusControl::until() const {
    const AwakeEnd& end = model_.keepAwake().end();
    return model_.isAwake() && end.kind == AwakeEnd::Kind::At ? unixSeconds(end.at) : 0;
}

bool DBusControl::On(const QString& end) {
    if (end.isEmpty()) {
        return handler_(ControlRequest(ControlVerb::On)).awake;
    }
    const std::string text = end.toStdString();
    const TimePoint now = clock_.now();
    if (const auto duration = AwakeEndTexts::parseDuration(text); duration.value) {
        return handler_(ControlRequest::onUntil(unixSeconds(now + *duration.value))).awake;
    }
    const auto time = AwakeEndTexts::parseLocalTime(text, now, clock_);
    if (time.value) {
        return handler_(ControlRequest::onUntil(unixSeconds(*time.value))).awake;
    }
    // A colon makes it a time; anything else was meant as a duration.
    return refuse(QString::fromStdString(
        end.contains(u':') ? time.problem : AwakeEndTexts::parseDuration(text).problem));
}

bool DBusControl::Off() {
    return handler_(ControlRequest(ControlVerb::Off)).awake;
}

bool DBusControl::Toggle() {
    return handler_(ControlRequest(ControlVerb::Toggle)).awake;
}

bool DBusControl::RunWhile(uint pid) {
    if (!processes_.identify(pid)) {
        return refuse(QStringLiteral("процесса %1 нет").arg(pid));
    }
    return handler_(ControlRequest::onWhile(pid)).awake;
}

bool DBusControl::refuse(const QString& message) {
    if (calledFromDBus()) {
        sendErrorReply(QDBusError::InvalidArgs, message);
    }
    return false;
}

DBusControl::Shown DBusControl::shown() const {
    return {.awake = awake(), .title = title(), .subtitle = subtitle(), .until = until()};
}

void DBusControl::scheduleAnnouncement() {
    if (announcementPending_) {
        return;
    }
    announcementPending_ = true;
    // One change of the model notifies several parts in turn: the new values are read, and
    // announced together, a turn later.
    QTimer::singleShot(0, this, &DBusControl::announceChanges);
}

void DBusControl::announceChanges() {
    announcementPending_ = false;
    const Shown now = shown();
    QVariantMap changed;
    if (now.awake != announced_.awake) {
        changed.insert(QStringLiteral("Awake"), now.awake);
    }
    if (now.title != announced_.title) {
        changed.insert(QStringLiteral("Title"), now.title);
    }
    if (now.subtitle != announced_.subtitle) {
        changed.insert(QStringLiteral("Subtitle"), now.subtitle);
    }
    if (now.until != announced_.until) {
        changed.insert(QStringLiteral("Until"), now.until);
    }
    announced_ = now;
    if (changed.isEmpty() || !registered_) {
        return;
    }
    QDBusMessage signal = QDBusMessage::createSignal(
        QString::fromLatin1(objectPath), QStringLiteral("org.freedesktop.DBus.Properties"),
        QStringLiteral("PropertiesChanged"));
    signal << interfaceName << changed << QStringList();
    bus_.send(signal);
}

} // namespace vigilo
