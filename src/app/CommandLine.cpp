#include "app/CommandLine.h"

#include "BuildInfo.h"
#include "model/AwakeEnd.h"
#include "ports/SystemClock.h"

#include <cerrno>
#include <csignal>
#include <limits>
#include <unistd.h>

namespace vigilo::CommandLine {

namespace {

void printLine(std::ostream& stream, const QString& text) {
    stream << text.toStdString() << '\n';
}

} // namespace

Invocation parse(const QStringList& arguments) {
    const SystemClock clock;
    return parse(arguments, {.clock = clock, .processExists = [](std::int64_t pid) {
                                 return pid > 0 && pid <= std::numeric_limits<pid_t>::max() &&
                                        (::kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM);
                             }});
}

namespace {

Invocation badUsage(const QString& problem) {
    return {.kind = Invocation::Kind::BadUsage, .problem = problem};
}

/// `vigilo on` with its one option: --for DURATION, --until TIME or --while PID.
Invocation parseOn(const QStringList& arguments, const ParseContext& context) {
    Invocation on{.kind = Invocation::Kind::Control,
                  .verb = ControlVerb::On,
                  .request = ControlRequest(ControlVerb::On)};
    if (arguments.size() == 1) {
        return on;
    }
    const QString& option = arguments[1];
    if (option != u"--for" && option != u"--until" && option != u"--while") {
        return badUsage(QStringLiteral("неизвестный параметр «%1» команды on: есть --for, "
                                       "--until и --while")
                            .arg(option));
    }
    if (arguments.size() < 3) {
        return badUsage(QStringLiteral("после %1 нужно значение").arg(option));
    }
    // The date form may come as one argument or as two.
    QString value = arguments[2];
    qsizetype used = 3;
    if (option == u"--until" && arguments.size() == 4 && value.size() == 10) {
        value += QLatin1Char(' ') + arguments[3];
        used = 4;
    }
    if (arguments.size() > used) {
        return badUsage(QStringLiteral("лишние аргументы после «%1»").arg(value));
    }
    const TimePoint now = context.clock.now();
    if (option == u"--for") {
        const auto duration = AwakeEndTexts::parseDuration(value.toStdString());
        if (!duration.value) {
            return badUsage(QString::fromStdString(duration.problem));
        }
        on.request =
            ControlRequest::onUntil(std::chrono::ceil<std::chrono::seconds>(now + *duration.value)
                                        .time_since_epoch()
                                        .count());
    } else if (option == u"--until") {
        const auto time = AwakeEndTexts::parseLocalTime(value.toStdString(), now, context.clock);
        if (!time.value) {
            return badUsage(QString::fromStdString(time.problem));
        }
        on.request = ControlRequest::onUntil(
            std::chrono::ceil<std::chrono::seconds>(*time.value).time_since_epoch().count());
    } else {
        bool isNumber = false;
        const qint64 pid = value.toLongLong(&isNumber);
        if (!isNumber || pid <= 0) {
            return badUsage(QStringLiteral("«%1» — не номер процесса").arg(value));
        }
        if (!context.processExists(pid)) {
            return badUsage(QStringLiteral("процесса %1 нет").arg(pid));
        }
        on.request = ControlRequest::onWhile(pid);
    }
    return on;
}

/// `vigilo run [--display] [--] COMMAND [ARGS…]`.
Invocation parseRun(const QStringList& arguments) {
    Invocation run{.kind = Invocation::Kind::Run};
    qsizetype next = 1;
    while (next < arguments.size() && arguments[next].startsWith(u'-')) {
        const QString& option = arguments[next];
        ++next;
        if (option == u"--") {
            break;
        }
        if (option == u"--display") {
            run.keepsDisplayOn = true;
            continue;
        }
        return badUsage(
            QStringLiteral("неизвестный параметр «%1» команды run: есть --display").arg(option));
    }
    run.command = arguments.mid(next);
    if (run.command.isEmpty() || run.command.first().isEmpty()) {
        return badUsage(QStringLiteral("команде run нужна программа: vigilo run -- КОМАНДА "
                                       "[АРГУМЕНТЫ…]"));
    }
    return run;
}

} // namespace

Invocation parse(const QStringList& arguments, const ParseContext& context) {
    if (arguments.isEmpty()) {
        return {};
    }
    const QString& first = arguments.first();
    if (first == u"on") {
        return parseOn(arguments, context);
    }
    if (first == u"run") {
        return parseRun(arguments);
    }
    if (arguments.size() > 1) {
        return badUsage(QStringLiteral("лишние аргументы после «%1»").arg(first));
    }
    if (first == u"--help" || first == u"-h" || first == u"help") {
        return {.kind = Invocation::Kind::Help};
    }
    if (first == u"--version" || first == u"-V") {
        return {.kind = Invocation::Kind::Version};
    }
    if (const auto verb = ControlProtocol::verbFromName(first.toUtf8())) {
        return {.kind = Invocation::Kind::Control, .verb = *verb, .request = ControlRequest(*verb)};
    }
    return badUsage(QStringLiteral("неизвестная команда «%1»").arg(first));
}

QString runsAloneMessage() {
    return QStringLiteral("vigilo: Vigilo не запущен — не даю компьютеру засыпать сам, пока "
                          "работает команда (блокировка logind, как у systemd-inhibit).");
}

QString runWithoutLockMessage() {
    return QStringLiteral("vigilo: Vigilo не запущен, а система не дала запретить сон; команда "
                          "работает без этого.");
}

int runExitCode(bool exited, int statusOrSignal) {
    return exited ? statusOrSignal : 128 + statusOrSignal;
}

QString usage() {
    return QStringLiteral(
        "Использование: vigilo [команда]\n"
        "Без команды запускает Vigilo в системном трее.\n"
        "\n"
        "Команды для уже запущенного Vigilo:\n"
        "  on       не давать компьютеру засыпать\n"
        "  on --for ДЛИТЕЛЬНОСТЬ   на время: 90m, 1h30m, 2h, 45s\n"
        "  on --until ЧЧ:ММ        до ближайшего такого времени (или ГГГГ-ММ-ДД ЧЧ:ММ)\n"
        "  on --while PID          пока работает процесс\n"
        "           Когда срок выходит, сон снова разрешён (без звука), если только\n"
        "           его не включили заново вручную. Простое on снимает срок.\n"
        "  off      разрешить сон\n"
        "  toggle   переключить\n"
        "  status   показать состояние: заголовок и подзаголовок (со сроком, если он есть)\n"
        "  show     открыть панель (без трея — окно Vigilo)\n"
        "\n"
        "  run [--display] -- КОМАНДА [АРГУМЕНТЫ…]\n"
        "           запустить команду и не давать компьютеру засыпать, пока она работает;\n"
        "           выходит с её кодом (128 + номер сигнала, если её убили). Без запущенного\n"
        "           Vigilo сама берёт блокировку logind (--display — и экран не гаснет).\n"
        "\n"
        "  -V, --version   версия программы\n"
        "  -h, --help      эта справка\n"
        "\n"
        "Коды выхода: 0 — готово (для status: компьютер не уснёт), 1 — нет рабочего стола,\n"
        "2 — Vigilo не запущен или не отвечает, 3 — сон разрешён (для on: система не дала\n"
        "запретить сон), 64 — неверная команда или значение, 73 — нельзя проверить, не\n"
        "запущен ли Vigilo уже (нет своей папки для блокировки). run выходит с кодом команды.");
}

QString versionLine() {
    return QStringLiteral("vigilo ") + QString::fromLatin1(BuildInfo::version);
}

bool hasDesktop(const QProcessEnvironment& environment) {
    return !environment.value(QStringLiteral("DISPLAY")).isEmpty() ||
           !environment.value(QStringLiteral("WAYLAND_DISPLAY")).isEmpty() ||
           !environment.value(QStringLiteral("QT_QPA_PLATFORM")).isEmpty();
}

bool runsThroughXWayland(const QProcessEnvironment& environment) {
    return !environment.value(QStringLiteral("WAYLAND_DISPLAY")).isEmpty() &&
           !environment.value(QStringLiteral("DISPLAY")).isEmpty() &&
           environment.value(QStringLiteral("QT_QPA_PLATFORM")).isEmpty();
}

QString noDesktopMessage() {
    return QStringLiteral(
        "vigilo: Vigilo нужен графический сеанс (X11 или Wayland), а DISPLAY и WAYLAND_DISPLAY "
        "не заданы. Запустите его в графическом сеансе; команды "
        "vigilo on | off | toggle | status управляют уже запущенным Vigilo и без него.");
}

QString alreadyRunningMessage() {
    return QStringLiteral("Vigilo уже запущен: открываю его панель. Управлять им можно и "
                          "командами vigilo on | off | status.");
}

QString noInstanceLockMessage(const QString& refusal) {
    return QStringLiteral("vigilo: Vigilo не запускается: нельзя проверить, не запущен ли он уже "
                          "(%1).")
        .arg(refusal);
}

int report(ControlVerb verb, const ControlResult& result, std::ostream& out, std::ostream& err) {
    switch (result.status) {
    case ControlResult::Status::NotRunning:
        printLine(err, QStringLiteral("vigilo: Vigilo не запущен. Запустите его командой vigilo."));
        return ExitCode::notRunning;
    case ControlResult::Status::NoAnswer:
        printLine(err, QStringLiteral("vigilo: запущенный Vigilo не ответил."));
        return ExitCode::notRunning;
    case ControlResult::Status::Stranger:
        printLine(err, QStringLiteral("vigilo: на сокете управления отвечает процесс другого "
                                      "пользователя, а не ваш Vigilo; команда не отправлена."));
        return ExitCode::notRunning;
    case ControlResult::Status::Answered:
        break;
    }
    const ControlReply& reply = result.reply;
    switch (verb) {
    case ControlVerb::Status:
        printLine(out, reply.title);
        printLine(out, reply.subtitle);
        return reply.awake ? ExitCode::ok : ExitCode::notAwake;
    case ControlVerb::On:
        if (!reply.awake) {
            printLine(err, QStringLiteral("vigilo: система не дала запретить сон."));
            return ExitCode::notAwake;
        }
        return ExitCode::ok;
    case ControlVerb::Off:
    case ControlVerb::Toggle:
    case ControlVerb::Show:
        return ExitCode::ok;
    }
    return ExitCode::ok;
}

} // namespace vigilo::CommandLine
