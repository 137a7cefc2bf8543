// The internal ID of the attached USB printer, read and written through the
// maker's USB interface library. The library is loaded for each call and
// freed on every path when the library object goes.
#include <string>

#include "platform/Desktop.h"
#include "platform/Usb.h"
#include "platform/Windows.h"
#include "setup/engine/Messages.h"
#include "setup/engine/Stages.h"
#include "setup/engine/UsbCommand.h"

namespace {

constexpr const char* kUsbLibrary = "KvUsbInt.dll";
constexpr int32_t kDeviceSlots = 8;

bool IsDevice(int32_t handle) { return handle != 0 && handle != -1; }

void Tell(plat::Windows& windows, const MessageContext& context, const char* text) {
    windows.desktop().MessageBox(context.owner, text, context.caption, plat::mb::Ok);
}

// The first attached printer's handle, or 0 when none answers.
int32_t OpenFirstDevice(plat::UsbLibrary& library) {
    for (int32_t index = 0; index < kDeviceSlots; ++index) {
        const int32_t handle = library.OpenDeviceX(index);
        if (IsDevice(handle)) return handle;
    }
    return 0;
}

}  // namespace

int32_t ReadPrinterId(plat::Windows& windows, const MessageContext& context) {
    uint32_t error = 0;
    std::unique_ptr<plat::UsbLibrary> library = windows.usb().LoadUsbLibrary(kUsbLibrary, error);
    if (!library) {
        Tell(windows, context, msg::kUsbLibraryMissing);
        return -1;
    }
    if (!library->Has("OpenDeviceX") || !library->Has("GetDescriptor")) {
        Tell(windows, context, msg::kUsbEntryMissing);
        return -1;
    }
    if (!library->Has("GetPrinterInternalID") || !library->Has("CloseDevice")) return -1;

    // Only one printer may be attached: its ID names the port it answers to.
    int32_t printers = 0;
    for (int32_t index = 0; index < kDeviceSlots; ++index) {
        const int32_t handle = library->OpenDeviceX(index);
        library->CloseDevice(handle);
        if (IsDevice(handle) && ++printers == 2) {
            Tell(windows, context, msg::kOneUsbPrinter);
            return -2;
        }
    }

    const int32_t handle = OpenFirstDevice(*library);
    if (handle == 0) return -1;
    const int32_t id = library->GetPrinterInternalID(handle);
    if (id < 0) Tell(windows, context, msg::kUsbReadIdError);
    library->CloseDevice(handle);
    return id < 0 ? -1 : id;
}

bool WritePrinterId(plat::Windows& windows, const MessageContext& context, int32_t portNumber) {
    if (portNumber < 1 || portNumber > kDeviceSlots) return false;

    uint32_t error = 0;
    std::unique_ptr<plat::UsbLibrary> library = windows.usb().LoadUsbLibrary(kUsbLibrary, error);
    if (!library) {
        Tell(windows, context, msg::kUsbLibraryMissing);
        return false;
    }
    if (!library->Has("OpenDeviceX") || !library->Has("uWrite") || !library->Has("CloseDevice")) {
        Tell(windows, context, msg::kUsbEntryMissing);
        return false;
    }

    const int32_t handle = OpenFirstDevice(*library);
    if (handle == 0) {
        Tell(windows, context, msg::kUsbNoDevice);
        return false;
    }
    const usbcmd::SetIdCommand command =
        usbcmd::BuildSetIdCommand(static_cast<uint8_t>(portNumber - 1));
    const int32_t written =
        library->uWrite(handle, 0, command.data(), usbcmd::kSetIdCommandSize);
    if (written <= 0) Tell(windows, context, msg::kUsbWriteIdError);
    library->CloseDevice(handle);
    return written > 0;
}
