#include "util/VersionNumber.h"

#include <gtest/gtest.h>

namespace vigilo {
namespace {

TEST(VersionNumberTest, ComparesNumberByNumber) {
    struct Case {
        const char* older;
        const char* newer;
    };
    const Case cases[] = {
        {"1.9", "1.10"},  {"1.2", "1.2.1"}, {"0.9.9", "1"},
        {"1.2.0", "1.3"}, {"2", "10"},      {"1.99999999999999999", "2"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.older) + " < " + c.newer);
        const auto older = VersionNumber::parse(c.older);
        const auto newer = VersionNumber::parse(c.newer);
        ASSERT_TRUE(older && newer);
        EXPECT_LT(*older, *newer);
        EXPECT_GT(*newer, *older);
        EXPECT_NE(*older, *newer);
    }
}

TEST(VersionNumberTest, MissingNumbersCountAsZero) {
    for (const auto* same : {"1.2.0", "1.2.0.0", "01.002"}) {
        SCOPED_TRACE(same);
        EXPECT_EQ(VersionNumber::parse(same), VersionNumber::parse("1.2"));
    }
}

TEST(VersionNumberTest, RefusesWhatItCannotOrder) {
    for (const auto* text : {"", ".", "1.", ".1", "1..2", "1.2b", "v1.2", "-1", "+1", " 1", "1.2 ",
                             "1,2", "99999999999999999999"}) {
        EXPECT_FALSE(VersionNumber::parse(text)) << '"' << text << '"';
    }
}

} // namespace
} // namespace vigilo
