// Sample content and test tooling, not part of Setup.
//
// The print processor "QSPrint" of the sample installation package,
// QSPROC.DLL. It offers the one data type "RAW" and lets the spooler open,
// run, control and close a processor for a job; printing a document does
// nothing and succeeds, since the sample printers have no device behind
// their ports.
//
// The spooler talks to print processors in UTF-16 (the headers declare
// GetPrintProcessorCapabilities with the generic text type).
#ifndef UNICODE
#define UNICODE
#endif
#include <windows.h>
#include <winspool.h>
#include <winsplp.h>

#include <cstdint>
#include <cstring>
#include <cwchar>
#include <new>

namespace {

constexpr const wchar_t* kRaw = L"RAW";
constexpr uint32_t kProcessorTag = 0x434F5250;  // "PROC"

struct Processor {
    uint32_t tag = kProcessorTag;
    bool paused = false;
    bool aborted = false;
};

Processor* AsProcessor(HANDLE handle) {
    auto* processor = static_cast<Processor*>(handle);
    if (processor == nullptr || processor->tag != kProcessorTag) return nullptr;
    return processor;
}

}  // namespace

extern "C" {

WINBOOL WINAPI EnumPrintProcessorDatatypesW(LPWSTR /*pName*/, LPWSTR /*pPrintProcessorName*/,
                                            DWORD Level, LPBYTE pDatatypes, DWORD cbBuf,
                                            LPDWORD pcbNeeded, LPDWORD pcReturned) {
    if (pcbNeeded == nullptr || pcReturned == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    *pcReturned = 0;
    if (Level != 1) {
        *pcbNeeded = 0;
        SetLastError(ERROR_INVALID_LEVEL);
        return FALSE;
    }
    const DWORD nameBytes = static_cast<DWORD>((wcslen(kRaw) + 1) * sizeof(wchar_t));
    const DWORD needed = sizeof(DATATYPES_INFO_1W) + nameBytes;
    *pcbNeeded = needed;
    if (pDatatypes == nullptr || cbBuf < needed) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return FALSE;
    }
    auto* info = reinterpret_cast<DATATYPES_INFO_1W*>(pDatatypes);
    auto* name = reinterpret_cast<wchar_t*>(pDatatypes + sizeof(DATATYPES_INFO_1W));
    memcpy(name, kRaw, nameBytes);
    info->pName = name;
    *pcReturned = 1;
    return TRUE;
}

HANDLE WINAPI OpenPrintProcessor(LPWSTR /*pPrinterName*/,
                                 PPRINTPROCESSOROPENDATA pPrintProcessorOpenData) {
    if (pPrintProcessorOpenData == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    const wchar_t* datatype = pPrintProcessorOpenData->pDatatype;
    if (datatype == nullptr || _wcsicmp(datatype, kRaw) != 0) {
        SetLastError(ERROR_INVALID_DATATYPE);
        return nullptr;
    }
    auto* processor = new (std::nothrow) Processor;
    if (processor == nullptr) SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return processor;
}

WINBOOL WINAPI PrintDocumentOnPrintProcessor(HANDLE hPrintProcessor, LPWSTR /*pDocumentName*/) {
    if (AsProcessor(hPrintProcessor) == nullptr) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    return TRUE;
}

WINBOOL WINAPI ClosePrintProcessor(HANDLE hPrintProcessor) {
    Processor* processor = AsProcessor(hPrintProcessor);
    if (processor == nullptr) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    processor->tag = 0;  // a stale handle no longer looks like ours
    delete processor;
    return TRUE;
}

WINBOOL WINAPI ControlPrintProcessor(HANDLE hPrintProcessor, DWORD Command) {
    Processor* processor = AsProcessor(hPrintProcessor);
    if (processor == nullptr) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    switch (Command) {
    case JOB_CONTROL_PAUSE:
        processor->paused = true;
        return TRUE;
    case JOB_CONTROL_RESUME:
        processor->paused = false;
        return TRUE;
    case JOB_CONTROL_CANCEL:
    case JOB_CONTROL_DELETE:
        processor->aborted = true;
        return TRUE;
    default:
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
}

DWORD WINAPI GetPrintProcessorCapabilities(LPWSTR pValueName, DWORD /*dwAttributes*/,
                                           LPBYTE pData, DWORD nSize, LPDWORD pcbNeeded) {
    if (pcbNeeded == nullptr || pValueName == nullptr) return ERROR_INVALID_PARAMETER;
    if (_wcsicmp(pValueName, kRaw) != 0) return ERROR_INVALID_DATATYPE;
    *pcbNeeded = sizeof(PRINTPROCESSOR_CAPS_1);
    if (pData == nullptr || nSize < sizeof(PRINTPROCESSOR_CAPS_1)) return ERROR_MORE_DATA;
    PRINTPROCESSOR_CAPS_1 caps{};
    caps.dwLevel = 1;
    caps.dwNupOptions = 1;  // one page per sheet
    caps.dwPageOrderFlags = NORMAL_PRINT;
    caps.dwNumberOfCopies = 1;
    memcpy(pData, &caps, sizeof(caps));
    return ERROR_SUCCESS;
}

}  // extern "C"
