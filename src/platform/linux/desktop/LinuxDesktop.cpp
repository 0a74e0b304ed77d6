#include "platform/linux/desktop/LinuxDesktop.h"

#include "BuildInfo.h"

#include <QApplication>
#include <QClipboard>
#include <QDBusMessage>
#include <QDesktopServices>
#include <QMessageBox>
#include <QUrl>
#include <canberra.h>

namespace vigilo {

namespace {

QString fromUtf8(const std::string& text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

} // namespace

LinuxDesktop::LinuxDesktop(QDBusConnection sessionBus, std::filesystem::path autostartFolder,
                           std::string executable)
    : sessionBus_(std::move(sessionBus))
    , autostart_(std::move(autostartFolder), std::move(executable)) {}

void LinuxDesktop::copyText(const std::string& text) {
    QGuiApplication::clipboard()->setText(fromUtf8(text), QClipboard::Clipboard);
}

void LinuxDesktop::requestNotificationAccess() {
    // Notification servers show what any session program sends: there is nothing to ask for.
}

void LinuxDesktop::notify(const std::string& title, const std::string& body) {
    QDBusMessage message = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.Notifications"),
        QStringLiteral("/org/freedesktop/Notifications"),
        QStringLiteral("org.freedesktop.Notifications"), QStringLiteral("Notify"));
    // The desktop entry and the icon share the application id: servers find the program's
    // name and notification settings through the one and show the other.
    const QString applicationId = QString::fromLatin1(BuildInfo::applicationId);
    const QVariantMap hints{
        {QStringLiteral("urgency"), QVariant::fromValue(uchar{1})},
        {QStringLiteral("desktop-entry"), applicationId},
    };
    message << QStringLiteral("Vigilo") << uint{0} << applicationId << fromUtf8(title)
            << fromUtf8(body) << QStringList() << hints << -1;
    // Sent without waiting for the answer: a slow server must not hold up the main thread, and
    // the notification's id is never needed. A missing server only produces an unread error.
    sessionBus_.send(message);
}

void LinuxDesktop::playAlertSound() {
    // The sound theme's own warning, through the sound server: heard on Wayland as on X11, and
    // kept in the server's sample cache for the next time.
    sounds_.post([](ca_context& context) {
        ca_context_play(&context, 0, CA_PROP_EVENT_ID, "dialog-warning",
                        CA_PROP_CANBERRA_CACHE_CONTROL, "volatile", nullptr);
    });
}

void LinuxDesktop::openUrl(const std::string& url) {
    QDesktopServices::openUrl(QUrl(fromUtf8(url)));
}

bool LinuxDesktop::launchesAtLogin() const {
    return autostart_.isEnabled();
}

std::optional<std::string> LinuxDesktop::setLaunchesAtLogin(bool launches) {
    return launches ? autostart_.enable() : autostart_.disable();
}

void LinuxDesktop::showAlert(const std::string& title, const std::string& message) {
    // Shown, not exec'd: a nested event loop would run the whole program inside the model
    // operation that failed. Non-modal: nothing waits for the answer, so the rest of the program
    // stays usable meanwhile.
    auto* box =
        new QMessageBox(QMessageBox::Warning, fromUtf8(title), fromUtf8(message), QMessageBox::Ok);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setWindowModality(Qt::NonModal);
    box->show();
}

} // namespace vigilo
