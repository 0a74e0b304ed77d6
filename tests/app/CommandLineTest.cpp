#include "app/CommandLine.h"

#include "fakes/FakeClock.h"

#include <QRegularExpression>
#include <gtest/gtest.h>
#include <set>
#include <sstream>

namespace vigilo {
namespace {

using CommandLine::Invocation;
using namespace Qt::StringLiterals;
namespace ExitCode = CommandLine::ExitCode;

TEST(CommandLineParse, RecognisesEveryForm) {
    EXPECT_EQ(CommandLine::parse({}).kind, Invocation::Kind::StartApp);
    for (const auto& [word, verb] :
         {std::pair{u"on", ControlVerb::On}, std::pair{u"off", ControlVerb::Off},
          std::pair{u"toggle", ControlVerb::Toggle}, std::pair{u"status", ControlVerb::Status},
          std::pair{u"show", ControlVerb::Show}}) {
        const auto invocation = CommandLine::parse({QString::fromUtf16(word)});
        EXPECT_EQ(invocation.kind, Invocation::Kind::Control);
        EXPECT_EQ(invocation.verb, verb);
    }
    for (const auto& [option, kind] :
         {std::pair{u"--help", Invocation::Kind::Help}, std::pair{u"-h", Invocation::Kind::Help},
          std::pair{u"--version", Invocation::Kind::Version},
          std::pair{u"-V", Invocation::Kind::Version}}) {
        EXPECT_EQ(CommandLine::parse({QString::fromUtf16(option)}).kind, kind)
            << QString::fromUtf16(option).toStdString();
    }
}

TEST(CommandLineParse, RejectsUnknownVerbsAndExtraArguments) {
    const auto unknown = CommandLine::parse({QStringLiteral("sleep")});
    EXPECT_EQ(unknown.kind, Invocation::Kind::BadUsage);
    EXPECT_TRUE(unknown.problem.contains(u"sleep"));
    EXPECT_EQ(CommandLine::parse({QStringLiteral("ON")}).kind, Invocation::Kind::BadUsage);
    EXPECT_EQ(CommandLine::parse({QStringLiteral("on"), QStringLiteral("now")}).kind,
              Invocation::Kind::BadUsage);
}

TEST(CommandLineParse, ReadsTheEndOfAnOnSessionAndRefusesBadValues) {
    using namespace std::chrono_literals;
    fakes::FakeClock clock; // 2026-03-01 00:00 UTC, local time being UTC
    const CommandLine::ParseContext context{
        .clock = clock, .processExists = [](std::int64_t pid) { return pid == 4242; }};
    const auto unixTime = [&](std::chrono::seconds fromNow) {
        return std::chrono::duration_cast<std::chrono::seconds>(
                   (clock.now() + fromNow).time_since_epoch())
            .count();
    };
    struct Case {
        QStringList arguments;
        std::optional<ControlRequest> expected;
        const char16_t* problemPart;
    };
    const std::vector<Case> cases{
        {{u"on"_s}, ControlRequest(ControlVerb::On), u""},
        {{u"on"_s, u"--for"_s, u"90m"_s}, ControlRequest::onUntil(unixTime(90min)), u""},
        {{u"on"_s, u"--for"_s, u"3s"_s}, ControlRequest::onUntil(unixTime(3s)), u""},
        {{u"on"_s, u"--until"_s, u"18:00"_s}, ControlRequest::onUntil(unixTime(18h)), u""},
        {{u"on"_s, u"--until"_s, u"2026-03-02 06:30"_s},
         ControlRequest::onUntil(unixTime(30h + 30min)),
         u""},
        {{u"on"_s, u"--until"_s, u"2026-03-02"_s, u"06:30"_s},
         ControlRequest::onUntil(unixTime(30h + 30min)),
         u""},
        {{u"on"_s, u"--while"_s, u"4242"_s}, ControlRequest::onWhile(4242), u""},
        {{u"on"_s, u"--for"_s, u"5x"_s}, std::nullopt, u"неизвестная единица"},
        {{u"on"_s, u"--for"_s, u"0m"_s}, std::nullopt, u"больше нуля"},
        {{u"on"_s, u"--for"_s, u"-1h"_s}, std::nullopt, u"больше нуля"},
        {{u"on"_s, u"--until"_s, u"25:00"_s}, std::nullopt, u"нет такого времени"},
        {{u"on"_s, u"--until"_s, u"вечером"_s}, std::nullopt, u"не понимаю время"},
        {{u"on"_s, u"--while"_s, u"4243"_s}, std::nullopt, u"процесса 4243 нет"},
        {{u"on"_s, u"--while"_s, u"make"_s}, std::nullopt, u"не номер процесса"},
        {{u"on"_s, u"--for"_s}, std::nullopt, u"нужно значение"},
        {{u"on"_s, u"--soon"_s, u"5m"_s}, std::nullopt, u"неизвестный параметр"},
        {{u"on"_s, u"--for"_s, u"5m"_s, u"10m"_s}, std::nullopt, u"лишние аргументы"},
    };
    for (const auto& c : cases) {
        const auto invocation = CommandLine::parse(c.arguments, context);
        const std::string shown = c.arguments.join(u' ').toStdString();
        if (c.expected) {
            EXPECT_EQ(invocation.kind, Invocation::Kind::Control) << shown;
            EXPECT_EQ(invocation.request, *c.expected) << shown;
            EXPECT_EQ(invocation.verb, ControlVerb::On) << shown;
        } else {
            EXPECT_EQ(invocation.kind, Invocation::Kind::BadUsage) << shown;
            EXPECT_TRUE(invocation.problem.contains(QString::fromUtf16(c.problemPart)))
                << shown << ": " << invocation.problem.toStdString();
        }
    }
}

TEST(CommandLineParse, RunTakesTheCommandAfterItsOptions) {
    struct Case {
        QStringList arguments;
        QStringList command;
        bool display;
    };
    const std::vector<Case> cases{
        {{u"run"_s, u"--"_s, u"make"_s, u"-j2"_s}, {u"make"_s, u"-j2"_s}, false},
        {{u"run"_s, u"--display"_s, u"--"_s, u"sleep"_s, u"2"_s}, {u"sleep"_s, u"2"_s}, true},
        {{u"run"_s, u"sh"_s, u"-c"_s, u"exit 7"_s}, {u"sh"_s, u"-c"_s, u"exit 7"_s}, false},
        {{u"run"_s, u"--"_s, u"--weird"_s}, {u"--weird"_s}, false},
    };
    for (const auto& c : cases) {
        const auto invocation = CommandLine::parse(c.arguments);
        EXPECT_EQ(invocation.kind, Invocation::Kind::Run);
        EXPECT_EQ(invocation.command, c.command);
        EXPECT_EQ(invocation.keepsDisplayOn, c.display);
    }
    for (const QStringList& bad : {QStringList{u"run"_s}, QStringList{u"run"_s, u"--"_s},
                                   QStringList{u"run"_s, u"--screen"_s, u"--"_s, u"ls"_s}}) {
        const auto invocation = CommandLine::parse(bad);
        EXPECT_EQ(invocation.kind, Invocation::Kind::BadUsage) << bad.join(u' ').toStdString();
    }
    EXPECT_EQ(CommandLine::runExitCode(true, 7), 7);
    EXPECT_EQ(CommandLine::runExitCode(false, 15), 143);
}

TEST(CommandLineText, VersionLineIsTheProgramAndADottedVersion) {
    const QRegularExpression form(QStringLiteral("^vigilo \\d+\\.\\d+\\.\\d+$"));
    EXPECT_TRUE(form.match(CommandLine::versionLine()).hasMatch())
        << CommandLine::versionLine().toStdString();
}

TEST(CommandLineText, UsageNamesEveryCommandOptionAndExitCode) {
    const QString usage = CommandLine::usage();
    for (const char* word :
         {" on ", " off ", " toggle ", " status ", " show ", " run ", "--for", "--until", "--while",
          "--display", "-V,", "--version", "-h,", "--help"}) {
        EXPECT_TRUE(usage.contains(QString::fromLatin1(word))) << word;
    }
    for (const int code : {ExitCode::ok, ExitCode::noDesktop, ExitCode::notRunning,
                           ExitCode::notAwake, ExitCode::usage, ExitCode::noInstanceLock}) {
        EXPECT_TRUE(usage.contains(QStringLiteral("%1 —").arg(code))) << code;
    }
}

struct Printed {
    int code;
    std::string out;
    std::string err;
};

Printed report(ControlVerb verb, ControlResult result) {
    std::ostringstream out;
    std::ostringstream err;
    const int code = CommandLine::report(verb, result, out, err);
    return {code, out.str(), err.str()};
}

ControlResult answered(bool awake) {
    return {.status = ControlResult::Status::Answered,
            .reply = {.awake = awake,
                      .title = QStringLiteral("Пьёт кофе · первая чашка"),
                      .subtitle = QStringLiteral("Mac не уснёт")}};
}

TEST(CommandLineReport, StatusPrintsTitleThenSubtitleAndTellsTheStateByExitCode) {
    const auto awake = report(ControlVerb::Status, answered(true));
    EXPECT_EQ(awake.code, ExitCode::ok);
    EXPECT_EQ(awake.out, "Пьёт кофе · первая чашка\nMac не уснёт\n");
    EXPECT_EQ(awake.err, "");
    EXPECT_EQ(report(ControlVerb::Status, answered(false)).code, ExitCode::notAwake);
}

TEST(CommandLineReport, SwitchingVerbsAreQuietUnlessOnFailed) {
    for (const auto verb : {ControlVerb::On, ControlVerb::Off, ControlVerb::Toggle}) {
        const auto printed = report(verb, answered(verb == ControlVerb::On));
        EXPECT_EQ(printed.code, ExitCode::ok);
        EXPECT_EQ(printed.out, "");
    }
    const auto refused = report(ControlVerb::On, answered(false));
    EXPECT_EQ(refused.code, ExitCode::notAwake);
    EXPECT_NE(refused.err, "");
}

// A stranger on the socket is told apart from an absent or silent instance.
TEST(CommandLineReport, NoInstanceIsExitTwoWithAMessageOfItsOwn) {
    std::set<std::string> messages;
    for (const auto status : {ControlResult::Status::NotRunning, ControlResult::Status::NoAnswer,
                              ControlResult::Status::Stranger}) {
        for (const auto verb : {ControlVerb::On, ControlVerb::Status}) {
            const auto printed = report(verb, {.status = status});
            EXPECT_EQ(printed.code, ExitCode::notRunning);
            EXPECT_EQ(printed.out, "");
            EXPECT_NE(printed.err.find("Vigilo"), std::string::npos);
            messages.insert(printed.err);
        }
    }
    EXPECT_EQ(messages.size(), 3U);
}

TEST(CommandLineDesktop, NeedsADisplayOrAnExplicitPlatform) {
    QProcessEnvironment environment;
    EXPECT_FALSE(CommandLine::hasDesktop(environment));
    environment.insert(QStringLiteral("DISPLAY"), QString());
    EXPECT_FALSE(CommandLine::hasDesktop(environment));
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) {
        QProcessEnvironment one;
        one.insert(QString::fromLatin1(name), QStringLiteral("x"));
        EXPECT_TRUE(CommandLine::hasDesktop(one)) << name;
    }
}

TEST(CommandLine, AWaylandSessionWithXWaylandRunsThroughItUnlessAPlatformIsChosen) {
    struct Case {
        const char* wayland;
        const char* display;
        const char* platform;
        bool throughXWayland;
    };
    const Case cases[] = {
        {"wayland-0", ":0", "", true},
        {"wayland-0", "", "", false},          // no XWayland
        {"wayland-0", ":0", "wayland", false}, // the user's choice
        {"", ":0", "", false},                 // an X11 session
    };
    for (const Case& c : cases) {
        QProcessEnvironment environment;
        environment.insert(QStringLiteral("WAYLAND_DISPLAY"), QString::fromLatin1(c.wayland));
        environment.insert(QStringLiteral("DISPLAY"), QString::fromLatin1(c.display));
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QString::fromLatin1(c.platform));
        EXPECT_EQ(CommandLine::runsThroughXWayland(environment), c.throughXWayland)
            << c.wayland << " " << c.display << " " << c.platform;
    }
}

} // namespace
} // namespace vigilo
