// CoreFoundation, as far as the Objective-C++ adapters use it.
#pragma once

typedef const void* CFTypeRef;
typedef const struct __CFString* CFStringRef;
typedef struct __CFRunLoop* CFRunLoopRef;

#pragma clang assume_nonnull begin

extern const CFStringRef kCFRunLoopCommonModes;

CFRunLoopRef CFRunLoopGetMain(void);
void CFRunLoopPerformBlock(CFRunLoopRef rl, CFTypeRef mode, void (^block)(void));
void CFRunLoopWakeUp(CFRunLoopRef rl);

#pragma clang assume_nonnull end
