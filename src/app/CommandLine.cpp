#include "app/CommandLine.h"

#include "BuildInfo.h"

namespace vigilo::CommandLine {

namespace {

void printLine(std::ostream& stream, const QString& text) {
    stream << text.toStdString() << '\n';
}

} // namespace

Invocation parse(const QStringList& arguments) {
    if (arguments.isEmpty()) {
        return {};
    }
    const QString& first = arguments.first();
    if (arguments.size() > 1) {
        return {.kind = Invocation::Kind::BadUsage,
                .problem = QStringLiteral("лишние аргументы после «%1»").arg(first)};
    }
    if (first == u"--help" || first == u"-h" || first == u"help") {
        return {.kind = Invocation::Kind::Help};
    }
    if (first == u"--version" || first == u"-V") {
        return {.kind = Invocation::Kind::Version};
    }
    if (const auto verb = ControlProtocol::verbFromName(first.toUtf8())) {
        return {.kind = Invocation::Kind::Control, .verb = *verb};
    }
    return {.kind = Invocation::Kind::BadUsage,
            .problem = QStringLiteral("неизвестная команда «%1»").arg(first)};
}

QString usage() {
    return QStringLiteral(
        "Использование: vigilo [команда]\n"
        "Без команды запускает Vigilo в системном трее.\n"
        "\n"
        "Команды для уже запущенного Vigilo:\n"
        "  on       не давать компьютеру засыпать\n"
        "  off      разрешить сон\n"
        "  toggle   переключить\n"
        "  status   показать состояние: заголовок и подзаголовок\n"
        "  show     открыть панель (без трея — окно Vigilo)\n"
        "\n"
        "  -V, --version   версия программы\n"
        "  -h, --help      эта справка\n"
        "\n"
        "Коды выхода: 0 — готово (для status: компьютер не уснёт), 1 — нет рабочего стола,\n"
        "2 — Vigilo не запущен или не отвечает, 3 — сон разрешён (для on: система не дала\n"
        "запретить сон), 64 — неверная команда, 73 — нельзя проверить, не запущен ли Vigilo\n"
        "уже (нет своей папки для блокировки).");
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
