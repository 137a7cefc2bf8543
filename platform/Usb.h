// The USB area of the platform layer: the printer maker's USB interface
// library.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "platform/Errors.h"

namespace plat {

// The printer maker's USB interface library ("KvUsbInt.dll"), loaded by name.
// Its entry points use the standard Windows calling convention. Destroying the
// object frees the library.
class UsbLibrary {
public:
    virtual ~UsbLibrary() = default;
    // Whether GetProcAddress finds the entry point ("OpenDeviceX",
    // "CloseDevice", "uWrite", "GetPrinterInternalID", "GetDescriptor").
    virtual bool Has(std::string_view entryPoint) const = 0;
    virtual int32_t OpenDeviceX(int32_t index) = 0;
    virtual void CloseDevice(int32_t handle) = 0;
    virtual int32_t uWrite(int32_t handle, int32_t reserved, const uint8_t* bytes,
                           int32_t count) = 0;
    virtual int32_t GetPrinterInternalID(int32_t handle) = 0;
};

class Usb {
public:
    virtual ~Usb() = default;

    // LoadLibraryA of the USB interface library by name.
    virtual std::unique_ptr<UsbLibrary> LoadUsbLibrary(const std::string& name,
                                                       uint32_t& error) = 0;
};

}  // namespace plat
