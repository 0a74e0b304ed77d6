#include "DBusSandbox.h"

#include <QAbstractEventDispatcher>
#include <QDBusArgument>
#include <QDBusConnectionInterface>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QThread>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <poll.h>
#include <sstream>
#include <stdexcept>
#include <string_view>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace {

constexpr auto startTimeout = std::chrono::seconds(10);

void writeConfig(const std::string& path, const char* type, const std::string& folder) {
    std::ofstream out(path);
    out << "<!DOCTYPE busconfig PUBLIC \"-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN\"\n"
           " \"http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd\">\n"
           "<busconfig>\n"
           "  <type>"
        << type
        << "</type>\n"
           "  <listen>unix:tmpdir="
        << folder
        << "</listen>\n"
           "  <auth>EXTERNAL</auth>\n"
           "  <policy context=\"default\">\n"
           "    <allow user=\"*\"/>\n"
           "    <allow own=\"*\"/>\n"
           "    <allow send_destination=\"*\" eavesdrop=\"true\"/>\n"
           "    <allow receive_sender=\"*\"/>\n"
           "  </policy>\n"
           "</busconfig>\n";
    // No <servicedir>: nothing is ever auto-started on a sandbox bus.
}

std::string readLine(int fd) {
    std::string line;
    const auto deadline = std::chrono::steady_clock::now() + startTimeout;
    while (line.empty() || line.back() != '\n') {
        pollfd waiting{fd, POLLIN, 0};
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0 || ::poll(&waiting, 1, int(left.count())) <= 0) {
            break;
        }
        char c = 0;
        if (::read(fd, &c, 1) != 1) {
            break;
        }
        line += c;
    }
    if (!line.empty() && line.back() == '\n') {
        line.pop_back();
    }
    return line;
}

void stop(pid_t pid) {
    if (pid <= 0) {
        return;
    }
    ::kill(pid, SIGTERM);
    ::kill(pid, SIGCONT); // a paused mock hears the SIGTERM only once it runs
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(2);
    while (::waitpid(pid, nullptr, WNOHANG) == 0) {
        if (std::chrono::steady_clock::now() > deadline) {
            ::kill(pid, SIGKILL);
            ::waitpid(pid, nullptr, 0);
            return;
        }
        ::usleep(5000);
    }
}

std::string fileText(const std::string& path) {
    std::ifstream in(path);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

} // namespace

DBusSandbox::DBusSandbox(Kind kind)
    : kind_(kind) {
    std::string folder = (std::filesystem::temp_directory_path() / "vigilo-dbus-XXXXXX").string();
    if (::mkdtemp(folder.data()) == nullptr) {
        throw std::runtime_error("cannot create a temporary folder");
    }
    folder_ = folder;
    const std::string config = folder_ + "/bus.conf";
    writeConfig(config, kind == Kind::System ? "system" : "session", folder_);

    int addressPipe[2];
    if (::pipe2(addressPipe, O_CLOEXEC) != 0) {
        throw std::runtime_error("pipe failed");
    }
    const std::string log = folder_ + "/bus.log";
    const int logFd = ::open(log.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    daemon_ = spawn({"/usr/bin/dbus-daemon", "--nofork", "--nopidfile", "--config-file=" + config,
                     "--print-address=1"},
                    addressPipe[1], logFd, false);
    ::close(addressPipe[1]);
    ::close(logFd);
    const std::string address = readLine(addressPipe[0]);
    ::close(addressPipe[0]);
    if (address.empty()) {
        stop(daemon_);
        std::filesystem::remove_all(folder_);
        throw std::runtime_error("dbus-daemon did not start: " + fileText(log));
    }
    address_ = QString::fromStdString(address);
    control_ = connect();
}

DBusSandbox::~DBusSandbox() {
    control_.reset();
    for (const QString& name : connectionNames_) {
        QDBusConnection::disconnectFromBus(name);
    }
    for (const auto& [name, mock] : mocks_) {
        stop(mock);
    }
    stop(daemon_);
    std::error_code ignored;
    std::filesystem::remove_all(folder_, ignored);
}

const char* DBusSandbox::environmentVariable() const {
    return kind_ == Kind::System ? "DBUS_SYSTEM_BUS_ADDRESS" : "DBUS_SESSION_BUS_ADDRESS";
}

void DBusSandbox::startTemplate(const std::string& templateName, const QString& busName,
                                const std::string& parametersJson) {
    std::vector<std::string> arguments{"-t", templateName};
    if (!parametersJson.empty()) {
        arguments.insert(arguments.end(), {"-p", parametersJson});
    }
    startPython(arguments, busName);
}

void DBusSandbox::startMock(const QString& busName, const QString& path, const QString& interface) {
    startPython({busName.toStdString(), path.toStdString(), interface.toStdString()}, busName);
}

void DBusSandbox::startMock(const QString& busName, const QString& path, const QString& interface,
                            const std::vector<MockMethod>& methods) {
    // A template file: dbusmock adds its methods before it starts answering.
    const std::string templatePath = folder_ + "/template-" + std::to_string(mocksStarted_) + ".py";
    std::ofstream(templatePath) << "BUS_NAME = '" << busName.toStdString() << "'\n"
                                << "MAIN_OBJ = '" << path.toStdString() << "'\n"
                                << "MAIN_IFACE = '" << interface.toStdString() << "'\n"
                                << "SYSTEM_BUS = " << (kind_ == Kind::System ? "True" : "False")
                                << "\n\n"
                                << "def load(mock, parameters):\n"
                                << "    mock.AddMethods(MAIN_IFACE, parameters['methods'])\n";
    QJsonArray list;
    for (const MockMethod& method : methods) {
        list.append(QJsonArray{method.name, method.in, method.out, method.code});
    }
    startTemplate(templatePath, busName,
                  QJsonDocument(QJsonObject{{QStringLiteral("methods"), list}})
                      .toJson(QJsonDocument::Compact)
                      .toStdString());
}

void DBusSandbox::stopMock(const QString& busName) {
    stop(mockPid(busName));
    mocks_.erase(busName);
    const auto deadline = std::chrono::steady_clock::now() + startTimeout;
    while (control_->interface()->isServiceRegistered(busName).value()) {
        if (std::chrono::steady_clock::now() > deadline) {
            throw std::runtime_error(busName.toStdString() + " stayed on the bus");
        }
        QThread::msleep(10);
    }
}

void DBusSandbox::pauseMock(const QString& busName) {
    ::kill(mockPid(busName), SIGSTOP);
}

void DBusSandbox::resumeMock(const QString& busName) {
    ::kill(mockPid(busName), SIGCONT);
}

pid_t DBusSandbox::mockPid(const QString& busName) const {
    const auto found = mocks_.find(busName);
    if (found == mocks_.end()) {
        throw std::runtime_error("no mock owns " + busName.toStdString());
    }
    return found->second;
}

void DBusSandbox::startPython(const std::vector<std::string>& arguments, const QString& busName) {
    // Debian's interpreter: another python3 earlier on PATH may lack the dbus module.
    std::vector<std::string> argv{"/usr/bin/python3", "-m", "dbusmock",
                                  kind_ == Kind::System ? "--system" : "--session"};
    argv.insert(argv.end(), arguments.begin(), arguments.end());
    const std::string log = folder_ + "/mock-" + std::to_string(mocksStarted_++) + ".log";
    const int logFd = ::open(log.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    const pid_t pid = spawn(argv, logFd, logFd, true);
    ::close(logFd);
    mocks_[busName] = pid;

    const auto deadline = std::chrono::steady_clock::now() + startTimeout;
    while (!control_->interface()->isServiceRegistered(busName).value()) {
        if (::waitpid(pid, nullptr, WNOHANG) == pid ||
            std::chrono::steady_clock::now() > deadline) {
            mocks_.erase(busName);
            stop(pid);
            throw std::runtime_error("dbusmock did not start " + busName.toStdString() + ":\n" +
                                     fileText(log));
        }
        QThread::msleep(10);
    }
    mockLogs_[busName] = log;
}

pid_t DBusSandbox::spawn(const std::vector<std::string>& argv, int outputFd, int errorFd,
                         bool withBusAddress) {
    // Everything the child needs is prepared before fork: after it, only exec-safe calls.
    const std::string addressVariable = std::string(environmentVariable()) + '=';
    std::vector<std::string> environment;
    for (char** variable = environ; *variable != nullptr; ++variable) {
        if (!std::string_view(*variable).starts_with(addressVariable)) {
            environment.emplace_back(*variable);
        }
    }
    if (withBusAddress) {
        environment.push_back(addressVariable + address_.toStdString());
    }
    std::vector<char*> args;
    for (const std::string& arg : argv) {
        args.push_back(const_cast<char*>(arg.c_str()));
    }
    args.push_back(nullptr);
    std::vector<char*> envp;
    for (std::string& variable : environment) {
        envp.push_back(variable.data());
    }
    envp.push_back(nullptr);

    const pid_t parent = ::getpid();
    const pid_t pid = ::fork();
    if (pid < 0) {
        throw std::runtime_error("fork failed");
    }
    if (pid == 0) {
        ::prctl(PR_SET_PDEATHSIG, SIGTERM);
        if (::getppid() != parent) {
            ::_exit(127);
        }
        const int null = ::open("/dev/null", O_RDWR);
        ::dup2(null, STDIN_FILENO);
        ::dup2(outputFd, STDOUT_FILENO);
        ::dup2(errorFd, STDERR_FILENO);
        ::execve(args[0], args.data(), envp.data());
        ::_exit(127);
    }
    return pid;
}

QDBusConnection DBusSandbox::connect() {
    static int count = 0;
    const QString name = QStringLiteral("sandbox-%1-%2").arg(::getpid()).arg(++count);
    connectionNames_.push_back(name);
    return QDBusConnection::connectToBus(address_, name);
}

void DBusSandbox::settle(const QDBusConnection& bus, const QString& service) {
    bus.call(QDBusMessage::createMethodCall(service, QStringLiteral("/"),
                                            QStringLiteral("org.freedesktop.DBus.Peer"),
                                            QStringLiteral("Ping")));
    // A reply travels through more than one posted event: run until none is left.
    while (QAbstractEventDispatcher::instance()->processEvents(QEventLoop::AllEvents)) {
    }
}

QDBusMessage DBusSandbox::call(const QDBusMessage& message) {
    return control_->call(message, QDBus::Block, 5000);
}

QDBusMessage DBusSandbox::callMock(const QString& busName, const QString& path,
                                   const QString& method, const QVariantList& arguments) {
    QDBusMessage call = QDBusMessage::createMethodCall(
        busName, path, QStringLiteral("org.freedesktop.DBus.Mock"), method);
    call.setArguments(arguments);
    return DBusSandbox::call(call);
}

std::vector<QVariantList> DBusSandbox::methodCalls(const QString& busName, const QString& path,
                                                   const QString& method) {
    const QDBusMessage reply = callMock(busName, path, QStringLiteral("GetMethodCalls"), {method});
    std::vector<QVariantList> calls;
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty()) {
        return calls;
    }
    const auto log = qvariant_cast<QDBusArgument>(reply.arguments().constFirst());
    log.beginArray();
    while (!log.atEnd()) {
        quint64 time = 0;
        QVariantList arguments;
        log.beginStructure();
        log >> time >> arguments;
        log.endStructure();
        calls.push_back(arguments);
    }
    log.endArray();
    return calls;
}

std::string DBusSandbox::mockLog(const QString& busName) const {
    const auto found = mockLogs_.find(busName);
    return found == mockLogs_.end() ? std::string() : fileText(found->second);
}
