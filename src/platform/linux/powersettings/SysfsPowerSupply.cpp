#include "platform/linux/powersettings/SysfsPowerSupply.h"

#include <fstream>
#include <string>

namespace vigilo {

namespace {

/// The first line of a sysfs attribute file, or empty text.
std::string attribute(const std::filesystem::path& supply, const char* name) {
    std::ifstream in(supply / name);
    std::string line;
    std::getline(in, line);
    while (!line.empty() && (line.back() == ' ' || line.back() == '\r')) {
        line.pop_back();
    }
    return line;
}

} // namespace

PowerValues::Source readSysfsPowerSource(const std::filesystem::path& root) {
    bool batteryDischarging = false;
    std::error_code error;
    for (std::filesystem::directory_iterator entry(root, error), end; !error && entry != end;
         entry.increment(error)) {
        // The entries are symbolic links to the devices' folders.
        const auto& supply = entry->path();
        // Wireless mice and keyboards report their batteries here too.
        if (attribute(supply, "scope") == "Device") {
            continue;
        }
        const std::string type = attribute(supply, "type");
        if ((type == "Mains" || type == "USB") && attribute(supply, "online") == "1") {
            return PowerValues::Source::Ac;
        }
        if (type == "Battery" && attribute(supply, "status") == "Discharging") {
            batteryDischarging = true;
        }
    }
    return batteryDischarging ? PowerValues::Source::Battery : PowerValues::Source::Ac;
}

} // namespace vigilo
