#pragma once

// Test double of sysctlbyname (see FakeApple.h); Linux has no <sys/sysctl.h>.

#include <cstddef>

extern "C" {

int sysctlbyname(const char* name, void* oldp, std::size_t* oldlenp, void* newp,
                 std::size_t newlen);

} // extern "C"
