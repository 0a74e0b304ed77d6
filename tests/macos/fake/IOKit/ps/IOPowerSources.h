#pragma once

// Test double of the IOKit power-source calls (see FakeApple.h).

#include <CoreFoundation/CoreFoundation.h>

extern "C" {

typedef void (*IOPowerSourceCallbackType)(void* context);

CFTypeRef IOPSCopyPowerSourcesInfo(void);
CFArrayRef IOPSCopyPowerSourcesList(CFTypeRef blob);
CFDictionaryRef IOPSGetPowerSourceDescription(CFTypeRef blob, CFTypeRef ps);
CFRunLoopSourceRef IOPSNotificationCreateRunLoopSource(IOPowerSourceCallbackType callback,
                                                       void* context);

} // extern "C"
