#pragma once

// Test double of the CoreGraphics display queries (see FakeApple.h).

#include <cstdint>

extern "C" {

typedef std::uint32_t CGDirectDisplayID;
typedef std::int32_t CGError;
typedef std::uint32_t boolean_t;
enum { kCGErrorSuccess = 0, kCGErrorFailure = 1000 };

CGError CGGetActiveDisplayList(std::uint32_t maxDisplays, CGDirectDisplayID* activeDisplays,
                               std::uint32_t* displayCount);
boolean_t CGDisplayIsBuiltin(CGDirectDisplayID display);

} // extern "C"
