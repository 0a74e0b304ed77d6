#include "platform/macos/power/LidGuard.h"

#include "fakes/FakeProcessRunner.h"

#include <cstdio>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <set>

namespace vigilo {
namespace {

class FakeAdmin final : public AdminScriptRunner {
public:
    [[nodiscard]] std::optional<std::string> run(const std::string& source) override {
        sources.push_back(source);
        return failure;
    }
    std::vector<std::string> sources;
    std::optional<std::string> failure;
};

class FakeRootDomain final : public RootPowerDomain {
public:
    [[nodiscard]] bool sleepDisabled() const override { return disabled; }
    [[nodiscard]] bool clamshellClosed() const override { return closed; }
    bool disabled = false;
    bool closed = false;
};

/// Reverses the double-quoted script string escaping: \\ → \ and \" → ".
std::string unescapeScriptString(const std::string& text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\\' && i + 1 < text.size()) {
            ++i;
        }
        out += text[i];
    }
    return out;
}

/// The two string literals of `do shell script "…" with prompt "…" …`, unescaped.
std::pair<std::string, std::string> literalsOf(const std::string& source) {
    std::vector<std::string> literals;
    std::string current;
    bool inside = false;
    for (std::size_t i = 0; i < source.size(); ++i) {
        const char c = source[i];
        if (!inside) {
            if (c == '"') {
                inside = true;
                current.clear();
            }
        } else if (c == '\\' && i + 1 < source.size()) {
            current += c;
            current += source[++i];
        } else if (c == '"') {
            inside = false;
            literals.push_back(unescapeScriptString(current));
        } else {
            current += c;
        }
    }
    EXPECT_EQ(literals.size(), 2U) << source;
    return {literals.at(0), literals.at(1)};
}

class LidGuardTest : public ::testing::Test {
protected:
    fakes::FakeProcessRunner processes;
    FakeAdmin admin;
    FakeRootDomain rootDomain;
    std::set<std::string> files;

    LidGuard guard(const std::string& user = "someuser") {
        return LidGuard({processes, admin, rootDomain,
                         [this](const std::string& path) { return files.contains(path); }, user});
    }
};

TEST_F(LidGuardTest, RuleLineNamesBothCommandsWithTheirArguments) {
    EXPECT_EQ(LidGuard::ruleLine("someuser"),
              "someuser ALL=(root) NOPASSWD: /usr/bin/pmset -a disablesleep 1, "
              "/usr/bin/pmset -a disablesleep 0");
}

TEST_F(LidGuardTest, UnsafeUserNamesAreRefusedBeforeAnyPrompt) {
    for (const std::string name :
         {"john smith", "o'brien", "a\"b", "$(reboot)", "jörg", "", "a\nb", "x;y"}) {
        const auto error = guard(name).install();
        ASSERT_TRUE(error) << name;
        EXPECT_EQ(error->description, "Имя пользователя содержит неожиданные символы.");
    }
    EXPECT_TRUE(admin.sources.empty());
    EXPECT_TRUE(LidGuard::isSafeUserName("First.Last_2-x"));
}

TEST_F(LidGuardTest, NamesThatSudoersOrToolsReadOtherwiseAreRefused) {
    const std::pair<std::string, bool> cases[] = {
        {"ALL", false}, {"-", false},   {"-x", false}, {"--", false}, {"all", true},
        {"ALLx", true}, {"xALL", true}, {"x-", true},  {"a-b", true}, {"_ALL", true},
    };
    for (const auto& [name, safe] : cases) {
        EXPECT_EQ(LidGuard::isSafeUserName(name), safe) << name;
        const auto error = guard(name).install();
        EXPECT_EQ(error.has_value(), !safe) << name;
        if (error) {
            EXPECT_EQ(error->description, "Имя пользователя содержит неожиданные символы.");
        }
    }
    EXPECT_EQ(admin.sources.size(), 6U) << "a prompt for each accepted name only";
}

TEST_F(LidGuardTest, InstallRunsTheSevenCommandChainWithItsPrompt) {
    EXPECT_FALSE(guard().install());
    ASSERT_EQ(admin.sources.size(), 1U);
    const auto [command, prompt] = literalsOf(admin.sources[0]);
    EXPECT_EQ(command, "f=$(/usr/bin/mktemp) && "
                       "/usr/bin/printf '%s\\n' 'someuser ALL=(root) NOPASSWD: /usr/bin/pmset -a "
                       "disablesleep 1, /usr/bin/pmset -a disablesleep 0' > \"$f\" && "
                       "/usr/sbin/visudo -cf \"$f\" && "
                       "/usr/sbin/chown root:wheel \"$f\" && "
                       "/bin/chmod 440 \"$f\" && "
                       "/bin/mkdir -p /etc/sudoers.d && "
                       "/bin/mv \"$f\" /etc/sudoers.d/vigilo");
    EXPECT_EQ(prompt, "Vigilo хочет разрешить себе не давать Mac засыпать при закрытой крышке.");
    EXPECT_TRUE(admin.sources[0].starts_with("do shell script \""));
    EXPECT_TRUE(admin.sources[0].ends_with("\" with administrator privileges"));
}

TEST_F(LidGuardTest, WrittenRuleIsExactlyOneLineEndingInALineFeed) {
    // Run the chain's first two commands through a real shell, as the administrator prompt would.
    const auto rule = LidGuard::ruleLine("someuser");
    const auto chain = LidGuard::installCommandLine(rule);
    const auto written = chain.substr(0, chain.find(" && /usr/sbin/visudo"));
    const std::string script = "/tmp/vigilo-rule-test.sh";
    std::ofstream(script) << written << " && echo \"$f\"\n";
    FILE* shell = popen(("/bin/sh " + script).c_str(), "r");
    ASSERT_NE(shell, nullptr);
    char buffer[512] = {};
    const std::string path = fgets(buffer, sizeof buffer, shell) ? buffer : "";
    ASSERT_EQ(pclose(shell), 0);
    const auto file = path.substr(0, path.find('\n'));
    std::ifstream in(file, std::ios::binary);
    const std::string content((std::istreambuf_iterator<char>(in)),
                              std::istreambuf_iterator<char>());
    EXPECT_EQ(content, rule + "\n");
    std::remove(file.c_str());
    std::remove(script.c_str());
}

TEST_F(LidGuardTest, EscapingSurvivesQuotesAndBackslashes) {
    for (const std::string text : {"say \"hi\"", "back\\slash", "both \\\" mixed", "\\\\\"\""}) {
        const auto source = LidGuard::adminScriptSource(text, "prompt " + text);
        const auto [command, prompt] = literalsOf(source);
        EXPECT_EQ(command, text);
        EXPECT_EQ(prompt, "prompt " + text);
    }
}

TEST_F(LidGuardTest, FailuresCarryTheServiceMessageOrAFallback) {
    admin.failure = "Пользователь отменил.";
    EXPECT_EQ(guard().install()->description, "Пользователь отменил.");
    admin.failure = "";
    EXPECT_EQ(guard().install()->description, "Не удалось получить права администратора.");
}

TEST_F(LidGuardTest, SwitchNeedsTheRuleFileAndChecksTheResult) {
    EXPECT_FALSE(guard().setSleepDisabled(true));
    EXPECT_TRUE(processes.calls.empty()) << "no rule, no process";

    files.insert("/etc/sudoers.d/vigilo");
    const std::vector<std::string> on{"-n", "/usr/bin/pmset", "-a", "disablesleep", "1"};
    processes.outputs[on] = "";
    EXPECT_FALSE(guard().setSleepDisabled(true)) << "the tool ran but the switch did not change";
    ASSERT_EQ(processes.calls.size(), 1U);
    EXPECT_EQ(processes.calls[0].path, "/usr/bin/sudo");
    EXPECT_EQ(processes.calls[0].arguments, on);

    rootDomain.disabled = true;
    EXPECT_TRUE(guard().setSleepDisabled(true));
    EXPECT_FALSE(guard().setSleepDisabled(false)) << "sudo could not start";
}

TEST_F(LidGuardTest, UninstallSwitchesSleepBackOnFirstOnlyWhenNeeded) {
    files.insert("/etc/sudoers.d/vigilo");
    EXPECT_FALSE(guard().uninstall());
    EXPECT_TRUE(processes.calls.empty());
    ASSERT_EQ(admin.sources.size(), 1U);
    EXPECT_EQ(literalsOf(admin.sources[0]).first, "/bin/rm -f /etc/sudoers.d/vigilo");
    EXPECT_EQ(literalsOf(admin.sources[0]).second,
              "Vigilo удаляет своё разрешение для режима закрытой крышки.");

    rootDomain.disabled = true;
    EXPECT_FALSE(guard().uninstall());
    ASSERT_EQ(processes.calls.size(), 1U);
    EXPECT_EQ(processes.calls[0].arguments.back(), "0");
    EXPECT_EQ(admin.sources.size(), 2U);
}

TEST_F(LidGuardTest, AnyFileAtTheRulePathCountsAsInstalled) {
    EXPECT_FALSE(guard().isInstalled());
    files.insert("/etc/sudoers.d/vigilo");
    EXPECT_TRUE(guard().isInstalled());
    rootDomain.closed = true;
    EXPECT_TRUE(guard().isLidClosed());
}

} // namespace
} // namespace vigilo
