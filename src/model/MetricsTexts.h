#pragma once

#include "system/BatteryInfo.h"
#include "system/SystemStats.h"

#include <string>
#include <vector>

// What the metrics row writes: Russian number formats (a comma before the decimal), memory in
// units of 2^30 bytes, disk in units of 10^9 bytes, both labelled "ГБ". Pure functions.
namespace vigilo::MetricsTexts {

/// A fraction as a whole percentage: 0.5 → "50%".
[[nodiscard]] std::string percent(double fraction);
/// A size in the row's unit: whole from 100 on ("245"), else one decimal ("99,9").
[[nodiscard]] std::string size(double value);

/// The last CPU sample as a percentage; "…" before the first.
[[nodiscard]] std::string cpu(const std::vector<double>& history);
/// "50%".
[[nodiscard]] std::string memorySummary(const MemoryUsage& memory);
/// "8,0 из 16,0 ГБ".
[[nodiscard]] std::string memoryDetail(const MemoryUsage& memory);
/// "245 ГБ" free.
[[nodiscard]] std::string diskSummary(const DiskSpace& disk);
/// "свободно 245 из 494 ГБ".
[[nodiscard]] std::string diskDetail(const DiskSpace& disk);
/// The symbol's name: "battery.0percent" … "battery.100percent", "battery.100percent.bolt" when
/// charging to full.
[[nodiscard]] std::string batterySymbol(const BatteryInfo& battery);
/// "12%".
[[nodiscard]] std::string batterySummary(const BatteryInfo& battery);
/// "100% · заряжается", "100% · от сети", "12% · ещё 1 ч 35 мин" or "12%".
[[nodiscard]] std::string batteryDetail(const BatteryInfo& battery);
/// The tooltip of "узнать": who is asked for the external address.
[[nodiscard]] std::string lookupHelp();

} // namespace vigilo::MetricsTexts
