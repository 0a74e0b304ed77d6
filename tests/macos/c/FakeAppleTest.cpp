#include "FakeApple.h"

#include <IOKit/ps/IOPowerSources.h>
#include <IOKit/pwr_mgt/IOPMLib.h>
#include <algorithm>
#include <gtest/gtest.h>

namespace {

// The fake's bookkeeping is what the adapter tests rely on: it must notice each kind of fault.
TEST(FakeApple, NoticesObjectsKeptOrReleasedAgainstTheRules) {
    struct Case {
        const char* name;
        void (*misuse)();
        const char* expected;
    };
    const Case cases[] = {
        {"a Create result never released",
         [] { (void)CFStringCreateWithCString(nullptr, "kept", kCFStringEncodingUTF8); },
         "CFString never released: \"kept\""},
        {"a Create result released twice",
         [] {
             const auto text = CFStringCreateWithCString(nullptr, "twice", kCFStringEncodingUTF8);
             CFRelease(text);
             CFRelease(text);
         },
         "CFString released too often: \"twice\""},
        {"a Get result released",
         [] {
             fakeapple::setPowerSources({fakeapple::Description{{"Type", std::string("UPS")}}});
             const CFTypeRef snapshot = IOPSCopyPowerSourcesInfo();
             const CFArrayRef list = IOPSCopyPowerSourcesList(snapshot);
             CFRelease(IOPSGetPowerSourceDescription(snapshot, CFArrayGetValueAtIndex(list, 0)));
             CFRelease(list);
             CFRelease(snapshot);
         },
         "CFDictionary released too often: {\"Type\": \"UPS\"}"},
        {"an assertion kept",
         [] {
             IOPMAssertionID id = 0;
             (void)IOPMAssertionCreateWithName(kIOPMAssertionTypePreventUserIdleSystemSleep,
                                               kIOPMAssertionLevelOn, CFSTR("held"), &id);
         },
         "assertion held never released"},
        {"a notice source left on the run loop",
         [] {
             const auto source = IOPSNotificationCreateRunLoopSource([](void*) {}, nullptr);
             CFRunLoopAddSource(CFRunLoopGetMain(), source, kCFRunLoopDefaultMode);
             CFRelease(source);
         },
         "notice source left on the main run loop"},
        {"the host port kept", [] { (void)mach_host_self(); }, "host port references left: 1"},
    };
    for (const auto& c : cases) {
        fakeapple::reset();
        c.misuse();
        const auto problems = fakeapple::problems();
        EXPECT_NE(std::find(problems.begin(), problems.end(), c.expected), problems.end())
            << c.name << ": " << ::testing::PrintToString(problems);
    }
}

} // namespace
