// The usb area on the real Win32 API.
#include "platform/win32/Win32Support.h"

#include "platform/win32/Win32Windows.h"

namespace plat {

using namespace w32;

namespace {

class Win32UsbLibrary final : public UsbLibrary {
public:
    explicit Win32UsbLibrary(HMODULE module)
        : module_(module),
          openDeviceX_(ProcAs<OpenDeviceXFn>(::GetProcAddress(module, "OpenDeviceX"))),
          closeDevice_(ProcAs<CloseDeviceFn>(::GetProcAddress(module, "CloseDevice"))),
          uWrite_(ProcAs<UWriteFn>(::GetProcAddress(module, "uWrite"))),
          getPrinterInternalId_(
              ProcAs<GetPrinterInternalIdFn>(::GetProcAddress(module, "GetPrinterInternalID"))) {}
    Win32UsbLibrary(const Win32UsbLibrary&) = delete;
    Win32UsbLibrary& operator=(const Win32UsbLibrary&) = delete;
    ~Win32UsbLibrary() override { ::FreeLibrary(module_); }

    bool Has(std::string_view entryPoint) const override {
        const std::string name(entryPoint);
        return ::GetProcAddress(module_, name.c_str()) != nullptr;
    }

    // A missing entry point answers like an absent device.
    int32_t OpenDeviceX(int32_t index) override {
        return openDeviceX_ ? openDeviceX_(index) : 0;
    }
    void CloseDevice(int32_t handle) override {
        if (closeDevice_) closeDevice_(handle);
    }
    int32_t uWrite(int32_t handle, int32_t reserved, const uint8_t* bytes,
                   int32_t count) override {
        if (!uWrite_) return 0;
        return uWrite_(handle, reserved, const_cast<unsigned char*>(bytes), count);
    }
    int32_t GetPrinterInternalID(int32_t handle) override {
        return getPrinterInternalId_ ? getPrinterInternalId_(handle) : -1;
    }

private:
    using OpenDeviceXFn = int(WINAPI*)(int);
    using CloseDeviceFn = int(WINAPI*)(int);
    using UWriteFn = int(WINAPI*)(int, int, unsigned char*, int);
    using GetPrinterInternalIdFn = int(WINAPI*)(int);

    HMODULE module_;
    OpenDeviceXFn openDeviceX_;
    CloseDeviceFn closeDevice_;
    UWriteFn uWrite_;
    GetPrinterInternalIdFn getPrinterInternalId_;
};

}  // namespace

std::unique_ptr<UsbLibrary> Win32Usb::LoadUsbLibrary(const std::string& name,
                                                         uint32_t& error) {
    return w32::LoadLibraryAs<Win32UsbLibrary, UsbLibrary>(name, error);
}

}  // namespace plat
