#pragma once

// A private D-Bus bus for tests, with python-dbusmock services on it. The user's real buses are
// never touched.
//
// Everything started here is stopped and the temporary folder removed when the object goes
// away, so a failing test cleans up like a passing one; the bus daemon and the mocks are also
// tied to the test process (PR_SET_PDEATHSIG), so a crashed test leaves nothing running.
// Needs a QCoreApplication. Usage:
//
//     DBusSandbox system(DBusSandbox::Kind::System);
//     system.startTemplate("logind", "org.freedesktop.login1");        // -t logind
//     system.startTemplate("upower", "org.freedesktop.UPower", R"({"OnBattery": true})");
//     system.startMock("org.gnome.SessionManager", "/org/gnome/SessionManager",
//                      "org.gnome.SessionManager");                     // an ad-hoc mock
//     system.callMock("org.gnome.SessionManager", "/org/gnome/SessionManager", "AddMethod",
//                     {iface, "Inhibit", "susu", "u", "ret = 42"});
//     system.startMock(name, path, iface, {{"Inhibit", "ss", "u", "ret = 7"}}); // ready at once
//     QDBusConnection bus = system.connect();          // give this to the code under test
//     system.methodCalls(name, path, "Inhibit");       // what the code under test called
//     system.stopMock("org.gnome.SessionManager");     // as a crash or a restart does
//     system.pauseMock(name); ... system.resumeMock(name); // a service that hangs a while
//
// For a child program, export `environmentVariable()` = `address()`.

#include <QDBusConnection>
#include <QDBusMessage>
#include <QVariantList>
#include <map>
#include <optional>
#include <string>
#include <sys/types.h>
#include <vector>

class DBusSandbox {
public:
    enum class Kind { System, Session };

    /// Starts the bus daemon; throws std::runtime_error when it cannot.
    explicit DBusSandbox(Kind kind);
    ~DBusSandbox();
    DBusSandbox(const DBusSandbox&) = delete;
    DBusSandbox& operator=(const DBusSandbox&) = delete;

    [[nodiscard]] const QString& address() const { return address_; }
    /// "DBUS_SYSTEM_BUS_ADDRESS" or "DBUS_SESSION_BUS_ADDRESS".
    [[nodiscard]] const char* environmentVariable() const;

    /// `python3 -m dbusmock -t <templateName>` (with `-p <parametersJson>` if given); returns
    /// once `busName` is on the bus. Throws std::runtime_error when it does not appear.
    void startTemplate(const std::string& templateName, const QString& busName,
                       const std::string& parametersJson = {});
    /// An empty mock object owning `busName` at `path` with the main interface `interface`.
    void startMock(const QString& busName, const QString& path, const QString& interface);

    /// A method of a mock: dbusmock's AddMethod arguments (Python code in `code`).
    struct MockMethod {
        QString name, in, out, code;
    };
    /// A mock object whose main interface has `methods` before it answers its first call, as a
    /// service that restarts has.
    void startMock(const QString& busName, const QString& path, const QString& interface,
                   const std::vector<MockMethod>& methods);
    /// Stops the mock owning `busName`; returns once the name has left the bus.
    void stopMock(const QString& busName);
    /// Stops the mock owning `busName` in its tracks (SIGSTOP): it stays on the bus, and calls
    /// to it wait, as for a hung service, until `resumeMock`.
    void pauseMock(const QString& busName);
    void resumeMock(const QString& busName);

    /// A new private connection to this bus (for the code under test or for the test itself).
    [[nodiscard]] QDBusConnection connect();
    /// Lets the code under test on `bus` take in everything `service` sent it so far: a round
    /// trip to the service on that connection (answered after those messages and after every
    /// call sent on it before), then the event loop until nothing is left to do.
    static void settle(const QDBusConnection& bus, const QString& service);

    /// Sends `message` over the test's own connection; the reply (or error).
    QDBusMessage call(const QDBusMessage& message);
    /// Calls a method of the org.freedesktop.DBus.Mock interface; the reply (or error).
    QDBusMessage callMock(const QString& busName, const QString& path, const QString& method,
                          const QVariantList& arguments = {});
    /// The argument lists of every call of `method` that the mock object at `path` received.
    [[nodiscard]] std::vector<QVariantList> methodCalls(const QString& busName, const QString& path,
                                                        const QString& method);
    /// Everything the mock owning `busName` has logged so far, one line per call it answered,
    /// property reads too (which `methodCalls` does not list): "<time> GetAll <path>
    /// <interface>", "<time> <method> <arguments>".
    [[nodiscard]] std::string mockLog(const QString& busName) const;

private:
    void startPython(const std::vector<std::string>& arguments, const QString& busName);
    [[nodiscard]] pid_t mockPid(const QString& busName) const;
    [[nodiscard]] pid_t spawn(const std::vector<std::string>& argv, int outputFd, int errorFd,
                              bool withBusAddress);

    Kind kind_;
    std::string folder_;
    QString address_;
    pid_t daemon_ = -1;
    /// The running mocks by the name each owns.
    std::map<QString, pid_t> mocks_;
    int mocksStarted_ = 0;
    std::map<QString, std::string> mockLogs_;
    std::vector<QString> connectionNames_;
    /// The test's own connection, for waiting and for talking to the mocks.
    std::optional<QDBusConnection> control_;
};
