#include "util/Text.h"

#include <cstdint>
#include <gtest/gtest.h>

namespace vigilo {

TEST(Integers, AcceptOnlyPlainDecimalsWithinRange) {
    EXPECT_EQ(parseInteger("+12"), 12);
    EXPECT_EQ(parseInteger("-9223372036854775808"), INT64_MIN);
    EXPECT_FALSE(parseInteger("9223372036854775808"));
    EXPECT_FALSE(parseInteger("+-1"));
    EXPECT_FALSE(parseInteger("-"));
    EXPECT_FALSE(parseInteger(""));
    EXPECT_FALSE(parseInteger("1.5"));
    EXPECT_FALSE(parseInteger(" 1"));
    EXPECT_EQ(parseInteger(trimmed(" 42\n")), 42) << "callers trim what their format allows";
}

TEST(Utf8, InvalidSequencesAreReplacedNotRejected) {
    EXPECT_EQ(sanitizedUtf8("ok \xFF end"), "ok \xEF\xBF\xBD end");
    EXPECT_EQ(sanitizedUtf8("\xE2\x82"), "\xEF\xBF\xBD") << "a cut-off sequence";
    EXPECT_EQ(sanitizedUtf8("\xED\xA0\x80"), "\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD")
        << "an encoded surrogate";
    EXPECT_EQ(sanitizedUtf8("caf\xE9"), "caf\xEF\xBF\xBD") << "a Latin-1 byte";
    EXPECT_EQ(sanitizedUtf8("Пьёт"), "Пьёт");
}

} // namespace vigilo
