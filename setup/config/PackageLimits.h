// The largest counts that Setup takes from a package's INI files. A count
// beyond its limit is a damaged or mistyped file, not a package: the list is
// read no further than the limit (a packager's check reports it). No real
// package comes near them.
#pragma once

#include <cstdint>

// setup.ini [DEVICENAME] DEVICENUMBER: the model entries DEVICENAME1 .. N.
inline constexpr int32_t kMaxModelEntries = 999;
// setup.ini [SUPPORTED-USB-DEVICE] PRNCOUNT: the USB port entries 0 .. N-1.
inline constexpr int32_t kMaxUsbDeviceEntries = 4096;
