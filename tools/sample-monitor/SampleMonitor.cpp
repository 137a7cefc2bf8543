// Sample content and test tooling, not part of Setup.
//
// The port monitors of the sample installation package: QSUSBMON.DLL, the
// "Quillset USB Port Monitor", and QSCOMMON.DLL, the "Quillset Serial Port
// Monitor". Both are built from this file (QS_MONITOR_USB selects the USB
// one). They let the spooler load and register a monitor and offer its ports,
// so that printers can be created on them; there is no hardware behind a
// port, and whatever is written to one is accepted and dropped.
//
// The USB monitor offers "USB_<model>_1" to "USB_<model>_4" for the USB
// models of the sample package. Once installed the DLL lies in the system
// folder, far from any package, so the list is compiled in here; it matches
// the [SUPPORTED-USB-DEVICE] list of the package's DRVCONFIG\setup.ini. The
// serial monitor offers "VXCOM1:" to "VXCOM8:".
#include <windows.h>
#include <winspool.h>
#include <winsplp.h>

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <cwchar>
#include <new>

namespace {

#if QS_MONITOR_USB
constexpr const wchar_t* kMonitorName = L"Quillset USB Port Monitor";
constexpr const wchar_t* kPortDescription = L"Quillset USB printer port";
constexpr const wchar_t* const kPorts[] = {
    L"USB_KRT-P58_1",  L"USB_KRT-P58_2",  L"USB_KRT-P58_3",  L"USB_KRT-P58_4",
    L"USB_KRT-A100_1", L"USB_KRT-A100_2", L"USB_KRT-A100_3", L"USB_KRT-A100_4",
    L"USB_KRT-B200_1", L"USB_KRT-B200_2", L"USB_KRT-B200_3", L"USB_KRT-B200_4",
    L"USB_KRT-C3_1",   L"USB_KRT-C3_2",   L"USB_KRT-C3_3",   L"USB_KRT-C3_4",
    L"USB_KTT-T80_1",  L"USB_KTT-T80_2",  L"USB_KTT-T80_3",  L"USB_KTT-T80_4",
    L"USB_KLB-L40_1",  L"USB_KLB-L40_2",  L"USB_KLB-L40_3",  L"USB_KLB-L40_4",
    L"USB_KEM-E20_1",  L"USB_KEM-E20_2",  L"USB_KEM-E20_3",  L"USB_KEM-E20_4",
};
#else
constexpr const wchar_t* kMonitorName = L"Quillset Serial Port Monitor";
constexpr const wchar_t* kPortDescription = L"Quillset serial printer port";
constexpr const wchar_t* const kPorts[] = {
    L"VXCOM1:", L"VXCOM2:", L"VXCOM3:", L"VXCOM4:",
    L"VXCOM5:", L"VXCOM6:", L"VXCOM7:", L"VXCOM8:",
};
#endif

constexpr DWORD kPortCount = sizeof(kPorts) / sizeof(kPorts[0]);

// Tags that tell our handles from anything else the spooler might hand back.
constexpr uint32_t kMonitorTag = 0x4E4F4D51;  // "QMON"
constexpr uint32_t kPortTag = 0x54524F50;     // "PORT"

struct MonitorState {
    uint32_t tag = kMonitorTag;
};

struct OpenPort {
    uint32_t tag = kPortTag;
    DWORD portIndex = 0;
    bool inDocument = false;
};

MonitorState g_monitor;

bool IsOurMonitor(HANDLE monitor) {
    return monitor == static_cast<HANDLE>(&g_monitor);
}

OpenPort* AsPort(HANDLE handle) {
    auto* port = static_cast<OpenPort*>(handle);
    if (port == nullptr || port->tag != kPortTag) return nullptr;
    return port;
}

// The index of `name` among our ports (exact, case-insensitive as the
// spooler compares port names), or kPortCount.
DWORD FindPort(const wchar_t* name) {
    if (name == nullptr) return kPortCount;
    for (DWORD i = 0; i < kPortCount; ++i)
        if (_wcsicmp(name, kPorts[i]) == 0) return i;
    return kPortCount;
}

DWORD StringBytes(const wchar_t* text) {
    return static_cast<DWORD>((wcslen(text) + 1) * sizeof(wchar_t));
}

// Copies `text` to the end of the free string area [*cursor - bytes, *cursor)
// and returns where it landed.
wchar_t* PlaceString(BYTE** cursor, const wchar_t* text) {
    const DWORD bytes = StringBytes(text);
    *cursor -= bytes;
    memcpy(*cursor, text, bytes);
    return reinterpret_cast<wchar_t*>(*cursor);
}

WINBOOL WINAPI MonEnumPorts(HANDLE hMonitor, LPWSTR /*pName*/, DWORD Level, LPBYTE pPorts,
                            DWORD cbBuf, LPDWORD pcbNeeded, LPDWORD pcReturned) {
    if (pcbNeeded == nullptr || pcReturned == nullptr || !IsOurMonitor(hMonitor)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    *pcReturned = 0;
    if (Level != 1 && Level != 2) {
        *pcbNeeded = 0;
        SetLastError(ERROR_INVALID_LEVEL);
        return FALSE;
    }
    const DWORD entrySize = Level == 1 ? sizeof(PORT_INFO_1W) : sizeof(PORT_INFO_2W);
    DWORD needed = entrySize * kPortCount;
    for (DWORD i = 0; i < kPortCount; ++i) {
        needed += StringBytes(kPorts[i]);
        if (Level == 2) needed += StringBytes(kMonitorName) + StringBytes(kPortDescription);
    }
    *pcbNeeded = needed;
    if (pPorts == nullptr || cbBuf < needed) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return FALSE;
    }

    // The entries at the front of the buffer, their strings packed from its end.
    BYTE* strings = pPorts + needed;
    for (DWORD i = 0; i < kPortCount; ++i) {
        if (Level == 1) {
            auto* info = reinterpret_cast<PORT_INFO_1W*>(pPorts) + i;
            info->pName = PlaceString(&strings, kPorts[i]);
        } else {
            auto* info = reinterpret_cast<PORT_INFO_2W*>(pPorts) + i;
            info->pPortName = PlaceString(&strings, kPorts[i]);
            info->pMonitorName = PlaceString(&strings, kMonitorName);
            info->pDescription = PlaceString(&strings, kPortDescription);
            info->fPortType = PORT_TYPE_WRITE | PORT_TYPE_READ;
            info->Reserved = 0;
        }
    }
    *pcReturned = kPortCount;
    return TRUE;
}

WINBOOL WINAPI MonOpenPort(HANDLE hMonitor, LPWSTR pName, PHANDLE pHandle) {
    if (pHandle == nullptr || !IsOurMonitor(hMonitor)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    *pHandle = nullptr;
    const DWORD index = FindPort(pName);
    if (index == kPortCount) {
        SetLastError(ERROR_UNKNOWN_PORT);
        return FALSE;
    }
    auto* port = new (std::nothrow) OpenPort;
    if (port == nullptr) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return FALSE;
    }
    port->portIndex = index;
    *pHandle = port;
    return TRUE;
}

WINBOOL WINAPI MonStartDocPort(HANDLE hPort, LPWSTR /*pPrinterName*/, DWORD /*JobId*/,
                               DWORD /*Level*/, LPBYTE /*pDocInfo*/) {
    OpenPort* port = AsPort(hPort);
    if (port == nullptr) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    port->inDocument = true;
    return TRUE;
}

WINBOOL WINAPI MonWritePort(HANDLE hPort, LPBYTE pBuffer, DWORD cbBuf, LPDWORD pcbWritten) {
    if (pcbWritten != nullptr) *pcbWritten = 0;
    if (AsPort(hPort) == nullptr) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    if (pcbWritten == nullptr || (pBuffer == nullptr && cbBuf != 0)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    // No device behind the port: everything counts as written.
    *pcbWritten = cbBuf;
    return TRUE;
}

WINBOOL WINAPI MonReadPort(HANDLE hPort, LPBYTE /*pBuffer*/, DWORD /*cbBuffer*/, LPDWORD pcbRead) {
    if (pcbRead != nullptr) *pcbRead = 0;
    if (AsPort(hPort) == nullptr) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    if (pcbRead == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    return TRUE;  // the printer has nothing to say
}

WINBOOL WINAPI MonEndDocPort(HANDLE hPort) {
    OpenPort* port = AsPort(hPort);
    if (port == nullptr) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    port->inDocument = false;
    return TRUE;
}

WINBOOL WINAPI MonClosePort(HANDLE hPort) {
    OpenPort* port = AsPort(hPort);
    if (port == nullptr) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    port->tag = 0;  // a stale handle no longer looks like ours
    delete port;
    return TRUE;
}

VOID WINAPI MonShutdown(HANDLE /*hMonitor*/) {}

MONITOR2 MakeMonitor2() {
    MONITOR2 m{};
    m.cbSize = sizeof(MONITOR2);
    m.pfnEnumPorts = MonEnumPorts;
    m.pfnOpenPort = MonOpenPort;
    m.pfnStartDocPort = MonStartDocPort;
    m.pfnWritePort = MonWritePort;
    m.pfnReadPort = MonReadPort;
    m.pfnEndDocPort = MonEndDocPort;
    m.pfnClosePort = MonClosePort;
    m.pfnShutdown = MonShutdown;
    return m;
}

MONITOR2 g_functions = MakeMonitor2();

}  // namespace

extern "C" LPMONITOR2 WINAPI InitializePrintMonitor2(PMONITORINIT pMonitorInit,
                                                     PHANDLE phMonitor) {
    if (pMonitorInit == nullptr || phMonitor == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    *phMonitor = static_cast<HANDLE>(&g_monitor);
    return &g_functions;
}
