#include "app/CommandLine.h"

#include <QRegularExpression>
#include <gtest/gtest.h>
#include <set>
#include <sstream>

namespace vigilo {
namespace {

using CommandLine::Invocation;
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

TEST(CommandLineText, VersionLineIsTheProgramAndADottedVersion) {
    const QRegularExpression form(QStringLiteral("^vigilo \\d+\\.\\d+\\.\\d+$"));
    EXPECT_TRUE(form.match(CommandLine::versionLine()).hasMatch())
        << CommandLine::versionLine().toStdString();
}

TEST(CommandLineText, UsageNamesEveryCommandOptionAndExitCode) {
    const QString usage = CommandLine::usage();
    for (const char* word :
         {" on ", " off ", " toggle ", " status ", " show ", "-V,", "--version", "-h,", "--help"}) {
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
