#include "platform/macos/power/MacRootPowerDomain.h"

#include "FakeSystem.h"

namespace vigilo {
namespace {

using MacRootPowerDomainTest = testing::FakeSystemTest;
using Properties = std::map<std::string, fakeapple::Scalar>;

TEST_F(MacRootPowerDomainTest, ReadsBothFlagsAsBooleansOnly) {
    struct Case {
        const char* name;
        std::optional<Properties> domain;
        bool sleepDisabled;
        bool clamshellClosed;
    };
    const Case cases[] = {
        {"both set", Properties{{"SleepDisabled", true}, {"AppleClamshellState", true}}, true,
         true},
        {"lid closed only", Properties{{"SleepDisabled", false}, {"AppleClamshellState", true}},
         false, true},
        {"sleep disabled only", Properties{{"SleepDisabled", true}}, true, false},
        {"numbers are not booleans",
         Properties{{"SleepDisabled", std::int64_t{1}},
                    {"AppleClamshellState", std::string("Yes")}},
         false, false},
        {"no root domain", std::nullopt, false, false},
    };
    for (const auto& c : cases) {
        fakeapple::reset();
        fakeapple::setRootDomain(c.domain);
        const MacRootPowerDomain domain;
        EXPECT_EQ(domain.sleepDisabled(), c.sleepDisabled) << c.name;
        EXPECT_EQ(domain.clamshellClosed(), c.clamshellClosed) << c.name;
        EXPECT_EQ(fakeapple::problems(), std::vector<std::string>{}) << c.name;
    }
}

} // namespace
} // namespace vigilo
