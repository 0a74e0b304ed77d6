#pragma once

// The scripted system behind the fake Apple headers in this folder. Each test starts a scenario
// with `fakeapple::reset()`, scripts what the system reports, runs the adapter, and checks
// `fakeapple::problems()`: every CoreFoundation object the fake handed out must be released
// exactly once by its owner (the Create/Copy/Get rule), every assertion, registry object and host
// port given back, and no notice source left on the main run loop.

#include <CoreFoundation/CoreFoundation.h>
#include <CoreGraphics/CoreGraphics.h>
#include <cstdint>
#include <mach/mach.h>
#include <map>
#include <optional>
#include <string>
#include <variant>
#include <vector>

namespace fakeapple {

/// A value of a power-source description or a registry property.
using Scalar = std::variant<std::int64_t, double, bool, std::string>;
/// A power-source description: key → value.
using Description = std::map<std::string, Scalar>;

/// Forgets everything: no power sources, no root domain, no displays, nothing counted.
void reset();
/// What went wrong since `reset()`, ending the scenario: objects still retained or released too
/// often, objects used after their release, assertions and registry objects never released,
/// host ports never deallocated, notice sources left on the main run loop.
[[nodiscard]] std::vector<std::string> problems();

// Power sources. Each entry is one source; nothing stands for a source without a description.
void setPowerSources(std::vector<std::optional<Description>> sources);
/// IOPSCopyPowerSourcesInfo answers NULL (power-source information unavailable).
void setPowerSourceInfoMissing(bool missing);
/// How many notice sources sit on the main run loop.
[[nodiscard]] std::size_t noticeSourcesOnMainRunLoop();
/// Calls the callback of every notice source on the main run loop, as the system does when a
/// power source changes.
void postPowerSourceNotice();

// Assertions.
struct Assertion {
    std::uint32_t id;
    std::string type;
    std::string name;
    std::uint32_t level;
    bool released;
};
[[nodiscard]] std::vector<Assertion> assertions();
/// IOPMAssertionCreateWithName fails from now on.
void refuseAssertions(bool refuse);

// The root power domain: absent, or present with these properties.
void setRootDomain(std::optional<std::map<std::string, Scalar>> properties);

// Host statistics: nothing makes the call fail.
void setCpuTicks(std::optional<host_cpu_load_info_data_t> ticks);
void setVmStatistics(std::optional<vm_statistics64_data_t> statistics);
void setPageSize(vm_size_t pageSize);
/// "hw.memsize"; nothing makes sysctlbyname fail.
void setPhysicalMemory(std::optional<std::uint64_t> bytes);
/// The resource values of the volume; nothing leaves a value out.
void setVolumeCapacity(std::optional<std::int64_t> availableForImportantUsage,
                       std::optional<std::int64_t> total);
/// CFURLCopyResourcePropertyForKey fails with an error.
void failVolumeQuery(bool fail);
/// The path of the last URL created from a file-system path.
[[nodiscard]] std::string lastFileSystemPath();

// Displays: id and built-in flag; nothing makes CGGetActiveDisplayList fail.
void setDisplays(std::optional<std::vector<std::pair<CGDirectDisplayID, bool>>> displays);

// Preferences of one application.
/// The stored value under `key` of `applicationId`, described as in `describe`; nothing when
/// absent.
[[nodiscard]] std::optional<std::string> preference(const std::string& applicationId,
                                                    const std::string& key);
/// How often CFPreferencesAppSynchronize was called.
[[nodiscard]] int preferenceSaves();

/// A readable form of a CoreFoundation value: `true`, `42`, `2.5`, `"text"`, `[a, b]`,
/// `<01 ff>`, `date(12.5)`.
[[nodiscard]] std::string describe(CFTypeRef value);

} // namespace fakeapple
