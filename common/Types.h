// Types shared by Setup and Uninstall.
#pragma once

#include <cstdint>

#include "common/WindowsVersions.h"
#include "platform/Spooler.h"

enum ModuleKind : int32_t { Receipt = 0, Ticket = 1, Label = 2, Embedded = 3 };

enum DriverMode : int32_t { Std = 0, Gdi = 1 };

enum PortKind : int32_t { Serial = 0, Parallel = 1, Usb = 2 };

enum UpdateFlags : int32_t {
    UpdateSerialMonitor = 1,
    UpdateUsbMonitor = 2,
    UpdatePrintProcessor = 8,
};

// Setup type: 1 Typical, 0 Advanced.
constexpr int32_t SetupTypical = 1;
constexpr int32_t SetupAdvanced = 0;

// The spooler's records as the package reader fills them; their text fields
// point into the reader's buffers.
using DriverRecord = plat::DriverInfo3;
using PrinterRecord = plat::PrinterInfo2;
