#include "platform/linux/update/AppcastFeed.h"

#include <gtest/gtest.h>

namespace vigilo {
namespace {

using namespace std::chrono;

constexpr const char* feed = R"(<?xml version="1.0" encoding="utf-8"?>
<rss version="2.0" xmlns:sparkle="http://www.andymatuschak.org/xml-namespaces/sparkle">
  <channel>
    <title>Vigilo</title>
    <item>
      <title>Vigilo 1.3</title>
      <pubDate>Tue, 03 Mar 2026 10:00:00 +0000</pubDate>
      <sparkle:version>130</sparkle:version>
      <sparkle:shortVersionString> 1.3 </sparkle:shortVersionString>
      <enclosure url="https://example.org/vigilo-1.3.tar.gz" length="123456"
                 type="application/gzip" sparkle:version="999" sparkle:edSignature="YXR0cmlidXRl"/>
      <sparkle:edSignature>c2lnbmF0dXJl</sparkle:edSignature>
    </item>
    <item>
      <title>Vigilo 1.2, listed the old way</title>
      <enclosure url="https://example.org/vigilo-1.2.tar.gz" length="many"
                 sparkle:version="120" sparkle:shortVersionString="1.2" sparkle:edSignature="b2xk"/>
    </item>
    <item><title>No archive</title><sparkle:version>140</sparkle:version></item>
    <item><title>No release number</title><enclosure url="https://example.org/x.tar.gz"/></item>
  </channel>
</rss>)";

TEST(AppcastFeedTest, ReadsEachReleaseWithItsArchive) {
    const auto items = AppcastFeed::parse(feed);
    ASSERT_TRUE(items);
    const std::vector<AppcastItem> expected = {
        {.version = "130",
         .displayVersion = "1.3",
         .published = sys_days(2026y / March / 3) + 10h,
         .url = "https://example.org/vigilo-1.3.tar.gz",
         .length = 123456,
         .edSignature = "c2lnbmF0dXJl"},
        {.version = "120",
         .displayVersion = "1.2",
         .published = std::nullopt,
         .url = "https://example.org/vigilo-1.2.tar.gz",
         .length = std::nullopt,
         .edSignature = "b2xk"},
    };
    EXPECT_EQ(*items, expected);
}

TEST(AppcastFeedTest, KnowsTheSparkleNamespaceByItsAddressNotItsPrefix) {
    const auto items =
        AppcastFeed::parse(R"(<rss xmlns:s="http://www.andymatuschak.org/xml-namespaces/sparkle"
        xmlns:other="urn:other"><channel><item>
        <other:version>9</other:version><s:version>2</s:version>
        <s:edSignature>c2ln</s:edSignature><enclosure url="u"/></item></channel></rss>)");
    ASSERT_TRUE(items);
    ASSERT_EQ(items->size(), 1U);
    EXPECT_EQ(items->front().version, "2");
    EXPECT_EQ(items->front().displayVersion, "2");
    EXPECT_EQ(items->front().edSignature, "c2ln");
}

TEST(AppcastFeedTest, RefusesWhatIsNotAWellFormedFeed) {
    for (const auto* text : {
             "",
             "Service Unavailable",
             "{\"version\": \"1.3\"}",
             "<html><body>Not found</body></html>",
             "<rss><channel><item><enclosure url=\"u\"/>",
             "<rss><channel><item><sparkle:version>2</sparkle:version></item></channel></rss>",
         }) {
        EXPECT_FALSE(AppcastFeed::parse(text)) << text;
    }
    EXPECT_EQ(AppcastFeed::parse("<rss><channel/></rss>"), std::vector<AppcastItem>{});
}

// Each level of nesting costs the reader memory: a feed nested far deeper than any appcast is
// refused, however well-formed, while long feeds with a little nesting of their own are read.
TEST(AppcastFeedTest, RefusesNestingFarDeeperThanAnAppcastHas) {
    const std::string start =
        R"(<rss xmlns:sparkle="http://www.andymatuschak.org/xml-namespaces/sparkle"><channel>)";
    const std::string item = "<item><sparkle:version>2</sparkle:version><pubDate>x</pubDate>"
                             "<enclosure url=\"u\"/><extra><a><b>c</b></a></extra></item>";
    std::string longFeed = start;
    for (int i = 0; i < 100; ++i) {
        longFeed += item;
    }
    const auto items = AppcastFeed::parse(longFeed + "</channel></rss>");
    ASSERT_TRUE(items);
    EXPECT_EQ(items->size(), 100U);

    constexpr int levels = 100'000;
    std::string deepFeed = start + item;
    for (int i = 0; i < levels; ++i) {
        deepFeed += "<x>";
    }
    for (int i = 0; i < levels; ++i) {
        deepFeed += "</x>";
    }
    EXPECT_FALSE(AppcastFeed::parse(deepFeed + "</channel></rss>"));
}

TEST(AppcastFeedTest, ChoosesTheNewestReleaseNewerThanTheRunningOne) {
    std::vector<AppcastItem> items;
    for (const auto* version : {"1.2", "1.10", "junk", "1.9"}) {
        AppcastItem item;
        item.version = version;
        items.push_back(item);
    }
    struct Case {
        const char* running;
        std::optional<std::string> chosen;
    };
    const Case cases[] = {
        {"1.1", "1.10"},          {"1.9.5", "1.10"},   {"1.10", std::nullopt},
        {"1.10.0", std::nullopt}, {"2", std::nullopt}, {"unknown", std::nullopt},
    };
    for (const auto& c : cases) {
        const auto chosen = AppcastFeed::newestNewerThan(items, c.running);
        EXPECT_EQ(chosen ? std::optional(chosen->version) : std::nullopt, c.chosen) << c.running;
    }
    EXPECT_FALSE(AppcastFeed::newestNewerThan({}, "1.0"));
}

} // namespace
} // namespace vigilo
