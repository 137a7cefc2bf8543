// A stand-in USB interface library for the Win32 layer's smoke test: the five
// entry points with the standard Windows calling convention, answering so
// that the test can tell which arguments arrived.
#include <windows.h>

namespace {
int lastClosed = 0;
}

extern "C" {

// Index 3 holds the one device; odd indexes answer -1, even ones 0.
__declspec(dllexport) int WINAPI OpenDeviceX(int index) {
    if (index == 3) return 0x5A03;
    return index % 2 ? -1 : 0;
}

__declspec(dllexport) int WINAPI CloseDevice(int handle) {
    lastClosed = handle;
    return 1;
}

// The device's ID is 9; handle -100 reports the handle last closed.
__declspec(dllexport) int WINAPI GetPrinterInternalID(int handle) {
    if (handle == -100) return lastClosed;
    return handle == 0x5A03 ? 9 : -1;
}

// Answers with the first and last byte and the count, or -1 for a wrong
// handle or reserved value.
__declspec(dllexport) int WINAPI uWrite(int handle, int reserved, unsigned char* bytes, int count) {
    if (handle != 0x5A03 || reserved != 0 || count <= 0 || !bytes) return -1;
    return (bytes[0] << 16) | (bytes[count - 1] << 8) | count;
}

__declspec(dllexport) int WINAPI GetDescriptor(int, unsigned char*, int) { return 0; }
}
