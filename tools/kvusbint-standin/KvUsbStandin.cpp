// Sample content and test tooling, not part of Setup.
//
// A stand-in for the printer maker's USB interface library, KvUsbInt.dll,
// with the entry points Setup calls. There is no USB behind it: the attached
// printers and their internal IDs come from a state file (KvUsbState.h), the
// file named by the environment variable KVUSB_STATE or else
// "KvUsbInt.state" beside this DLL. It is read at every call, so a test can
// attach, detach or renumber printers between calls.
//
// - OpenDeviceX(index): index + 1 when a printer is attached at index 0..7,
//   else -1. Opening an open device again gives the same handle.
// - CloseDevice(handle): 1 when it closed an open device, else 0 (0 and -1
//   are accepted and ignored).
// - GetPrinterInternalID(handle): the printer's ID from the state file, -1
//   for a handle that is not open or a printer that has gone.
// - uWrite(handle, 0, bytes, count): a well-formed set-ID command stores its
//   new ID for that printer in the state file and gives 10; anything else
//   gives 0 and changes nothing.
// - GetDescriptor(handle, buffer, size): a short text naming the device,
//   cut to fit `size` and terminated; its length, or -1.
#include <windows.h>

#include <atomic>
#include <cstdint>
#include <cstdio>
#include <string>

#include "setup/engine/UsbCommand.h"
#include "tools/kvusbint-standin/KvUsbState.h"

extern "C" {
int WINAPI OpenDeviceX(int index) noexcept;
int WINAPI CloseDevice(int handle) noexcept;
int WINAPI uWrite(int handle, int reserved, unsigned char* bytes, int count) noexcept;
int WINAPI GetPrinterInternalID(int handle) noexcept;
int WINAPI GetDescriptor(int handle, void* buffer, int size) noexcept;
}

namespace {

// Bit i set: the device at index i is open.
std::atomic<uint32_t> g_open{0};

std::string StatePath() {
    char value[MAX_PATH];
    const DWORD length = GetEnvironmentVariableA("KVUSB_STATE", value, sizeof(value));
    if (length > 0 && length < sizeof(value)) return std::string(value, length);

    // This DLL's module handle is the base of the allocation that holds its
    // code (GetModuleHandleExA would tell it too, but only from Windows XP on).
    MEMORY_BASIC_INFORMATION memory{};
    if (VirtualQuery(reinterpret_cast<const void*>(&OpenDeviceX), &memory, sizeof(memory)) == 0 ||
        !memory.AllocationBase)
        return "KvUsbInt.state";
    const auto self = static_cast<HMODULE>(memory.AllocationBase);
    char path[MAX_PATH];
    const DWORD got = GetModuleFileNameA(self, path, sizeof(path));
    if (got == 0 || got >= sizeof(path)) return "KvUsbInt.state";
    std::string folder(path, got);
    const size_t slash = folder.find_last_of("\\/");
    folder.erase(slash == std::string::npos ? 0 : slash + 1);
    return folder + "KvUsbInt.state";
}

std::string ReadState() {
    std::string text;
    kvusb::ReadStateFile(StatePath(), text);  // no file: no printer
    return text;
}

// The device index of an open handle, or -1.
int32_t OpenIndex(int handle) {
    if (handle < 1 || handle > kvusb::kDeviceCount) return -1;
    const int32_t index = handle - 1;
    return (g_open.load() & (1u << index)) ? index : -1;
}

}  // namespace

extern "C" {

int WINAPI OpenDeviceX(int index) noexcept {
    if (index < 0 || index >= kvusb::kDeviceCount) return -1;
    if (!kvusb::FindPrinterId(ReadState(), index)) return -1;
    g_open.fetch_or(1u << index);
    return index + 1;
}

int WINAPI CloseDevice(int handle) noexcept {
    const int32_t index = OpenIndex(handle);
    if (index < 0) return 0;
    g_open.fetch_and(~(1u << index));
    return 1;
}

int WINAPI GetPrinterInternalID(int handle) noexcept {
    const int32_t index = OpenIndex(handle);
    if (index < 0) return -1;
    return kvusb::FindPrinterId(ReadState(), index).value_or(-1);
}

int WINAPI uWrite(int handle, int reserved, unsigned char* bytes, int count) noexcept {
    const int32_t index = OpenIndex(handle);
    if (index < 0 || reserved != 0 || !usbcmd::IsSetIdCommand(bytes, count)) return 0;
    const std::string path = StatePath();
    std::string state;
    if (!kvusb::ReadStateFile(path, state)) return 0;
    const auto updated = kvusb::WithPrinterId(state, index, bytes[9]);
    if (!updated || !kvusb::ReplaceStateFile(path, *updated)) return 0;
    return usbcmd::kSetIdCommandSize;
}

int WINAPI GetDescriptor(int handle, void* buffer, int size) noexcept {
    const int32_t index = OpenIndex(handle);
    if (index < 0 || buffer == nullptr || size <= 0) return -1;
    char text[64];
    const int length = std::snprintf(text, sizeof(text), "KvUsbInt stand-in printer %d",
                                     static_cast<int>(index));
    const int copied = length < size ? length : size - 1;
    auto* out = static_cast<char*>(buffer);
    for (int i = 0; i < copied; ++i) out[i] = text[i];
    out[copied] = '\0';
    return copied;
}

}  // extern "C"
