#include "system/ExternalAddress.h"

#include <gtest/gtest.h>

namespace vigilo {
namespace {

using ExternalAddress::fromBody;

TEST(ExternalAddress, AcceptsOneBareAddressAfterTrimming) {
    const struct {
        std::string_view body;
        std::string_view address;
    } cases[] = {
        {"203.0.113.7", "203.0.113.7"},
        {" 203.0.113.7\n", "203.0.113.7"},
        {"\t\r\n0.0.0.0 \r\n", "0.0.0.0"},
        {"255.255.255.255", "255.255.255.255"},
        {"2001:db8::1", "2001:db8::1"},
        {"2001:0db8:85a3:0000:0000:8a2e:0370:7334\n", "2001:0db8:85a3:0000:0000:8a2e:0370:7334"},
        {"::1", "::1"},
        {"fe80::", "fe80::"},
        {"1:2:3:4:5:6:7::", "1:2:3:4:5:6:7::"},
        {"::ffff:192.0.2.128", "::ffff:192.0.2.128"},
        {"0000:0000:0000:0000:0000:ffff:255.255.255.255",
         "0000:0000:0000:0000:0000:ffff:255.255.255.255"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(fromBody(c.body), std::string(c.address)) << c.body;
    }
}

TEST(ExternalAddress, RefusesEverythingElse) {
    using namespace std::string_view_literals;
    const std::string_view bodies[] = {
        "",
        " \n\t",
        "<html><body>503 Service Unavailable</body></html>",
        "203.0.113.7 203.0.113.8",
        "203.0.113.7\n203.0.113.8",
        "203.0.113",
        "203.0.113.7.1",
        "203.0.113.256",
        "203.0.113.07",
        "203.0.113.-1",
        "203.0..7",
        "+1.2.3.4",
        "1.2.3.4/24",
        "2001:db8::1::2",
        "2001:db8:::1",
        "1:2:3:4:5:6:7:8:9",
        "1:2:3:4:5:6:7",
        "1:2:3:4:5:6:7:8::",
        "12345::1",
        "g::1",
        "::1.2.3",
        "1.2.3.4::",
        "fe80::1%eth0",
        ":",
        ":::",
        "\xff\xfe"
        "1.2.3.4",
        "1.2.3.4\xc3",
        "1\0.2.3.4"sv,
        "{\"ip\":\"203.0.113.7\"}",
    };
    for (const auto body : bodies) {
        EXPECT_EQ(fromBody(body), std::nullopt) << body;
    }
}

} // namespace
} // namespace vigilo
