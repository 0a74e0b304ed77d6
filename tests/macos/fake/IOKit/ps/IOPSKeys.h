#pragma once

// The power-source description keys and values used, as IOPSKeys.h spells them.

#define kIOPSPowerSourceStateKey "Power Source State"
#define kIOPSCurrentCapacityKey "Current Capacity"
#define kIOPSMaxCapacityKey "Max Capacity"
#define kIOPSTimeToEmptyKey "Time to Empty"
#define kIOPSIsChargingKey "Is Charging"
#define kIOPSTypeKey "Type"
#define kIOPSInternalBatteryType "InternalBattery"
#define kIOPSACPowerValue "AC Power"
#define kIOPSBatteryPowerValue "Battery Power"
