#include "platform/macos/settings/MacDefaults.h"

#include "FakeSystem.h"

namespace vigilo {
namespace {

using MacDefaultsTest = testing::FakeSystemTest;

constexpr const char* appId = "io.github.vigilo.Vigilo";

TEST_F(MacDefaultsTest, EachValueTypeIsStoredAsItsPropertyListTypeAndReadBack) {
    using namespace std::chrono;
    // The property-list reference date, 2001-01-01 00:00:00 UTC, plus a second and a half.
    const TimePoint referenceDate{seconds(978307200) + milliseconds(1500)};
    const std::pair<DefaultsValue, const char*> cases[] = {
        {true, "true"},
        {false, "false"},
        {std::int64_t{-42}, "-42"},
        {std::int64_t{1} << 40, "1099511627776"},
        {2.5, "2.5"},
        {std::string("Vigilo: кофе"), "\"Vigilo: кофе\""},
        {StringList{"a", "b"}, "[\"a\", \"b\"]"},
        {StringList{}, "[]"},
        {Bytes{0x01, 0xff}, "<01 ff>"},
        {referenceDate, "date(1.5)"},
    };
    MacDefaults defaults(appId);
    for (const auto& [value, stored] : cases) {
        defaults.set("key", value);
        EXPECT_EQ(fakeapple::preference(appId, "key"), stored);
        EXPECT_EQ(defaults.value("key"), value) << stored;
    }
    EXPECT_EQ(fakeapple::preferenceSaves(), static_cast<int>(std::size(cases)));
}

TEST_F(MacDefaultsTest, RemovingAKeyLeavesItAbsentAndIsSaved) {
    MacDefaults defaults(appId);
    defaults.set("soundEnabled", false);
    defaults.remove("soundEnabled");
    defaults.remove("neverSet");
    EXPECT_EQ(defaults.value("soundEnabled"), std::nullopt);
    EXPECT_EQ(fakeapple::preference(appId, "soundEnabled"), std::nullopt);
    EXPECT_EQ(fakeapple::preferenceSaves(), 3);
}

TEST_F(MacDefaultsTest, ValuesOfOtherApplicationsAndListsOfOtherThanTextAreAbsent) {
    MacDefaults ours(appId);
    MacDefaults other("com.example.Other");
    other.set("key", std::int64_t{1});
    EXPECT_EQ(ours.value("key"), std::nullopt);

    // A list holding a number, as `defaults write … -array 1` stores it.
    const auto one = std::int64_t{1};
    const CFNumberRef number = CFNumberCreate(nullptr, kCFNumberSInt64Type, &one);
    const void* items[] = {number};
    const CFArrayRef list = CFArrayCreate(nullptr, items, 1, &kCFTypeArrayCallBacks);
    const auto key = CFStringCreateWithCString(nullptr, "list", kCFStringEncodingUTF8);
    const auto application = CFStringCreateWithCString(nullptr, appId, kCFStringEncodingUTF8);
    CFPreferencesSetAppValue(key, list, application);
    for (const CFTypeRef owned :
         {CFTypeRef(number), CFTypeRef(list), CFTypeRef(key), CFTypeRef(application)}) {
        CFRelease(owned);
    }
    EXPECT_EQ(ours.value("list"), std::nullopt);
}

} // namespace
} // namespace vigilo
