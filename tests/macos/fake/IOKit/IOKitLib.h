#pragma once

// Test double of the IOKit registry calls the macOS adapters make (see FakeApple.h).

#include <CoreFoundation/CoreFoundation.h>
#include <mach/mach.h>

extern "C" {

typedef int IOReturn;
typedef std::uint32_t IOOptionBits;
typedef mach_port_t io_object_t;
typedef io_object_t io_registry_entry_t;
typedef io_object_t io_service_t;

enum { kIOReturnSuccess = 0, kIOReturnError = static_cast<int>(0xe00002bc) };
#define IO_OBJECT_NULL (static_cast<io_object_t>(0))

extern const mach_port_t kIOMainPortDefault;

CFMutableDictionaryRef IOServiceMatching(const char* name);
io_service_t IOServiceGetMatchingService(mach_port_t mainPort, CFDictionaryRef matching);
CFTypeRef IORegistryEntryCreateCFProperty(io_registry_entry_t entry, CFStringRef key,
                                          CFAllocatorRef allocator, IOOptionBits options);
kern_return_t IOObjectRelease(io_object_t object);

} // extern "C"
