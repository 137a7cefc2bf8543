// Sample content and test tooling, not part of Setup.
//
// The printer driver of the sample installation package: QSDRV.DLL (the
// driver) and QSDRVUI.DLL (its configuration DLL) are both built from this
// file. The spooler asks the configuration DLL for the printer's default
// settings (DrvDocumentPropertySheets) and its capabilities
// (DrvDeviceCapabilities); both answer for a small monochrome thermal receipt
// printer with one roll of 80 mm paper, shown as 80 x 297 mm, at 203 dpi.
// There is no property sheet: asked to show one, the driver declines.
#include <windows.h>
#include <winspool.h>
#include <compstui.h>

#include <cstddef>
#include <cstring>
#include <cwchar>

namespace {

// The header that the spooler passes to DrvDocumentPropertySheets when it
// wants a DEVMODE without a property sheet (the DDK's DOCUMENTPROPERTYHEADER).
struct DocumentPropertyHeader {
    WORD cbSize;
    WORD Reserved;
    HANDLE hPrinter;
    LPWSTR pszPrinterName;
    PDEVMODEW pdmIn;
    PDEVMODEW pdmOut;
    DWORD cbOut;
    DWORD fMode;
};

constexpr WORD kDriverVersion = 0x0100;
// The roll: a driver-defined paper, 80 mm wide, shown as 297 mm long.
constexpr short kPaperId = DMPAPER_USER + 1;
constexpr short kPaperWidth = 800;    // tenths of a millimetre
constexpr short kPaperLength = 2970;  // tenths of a millimetre
constexpr const wchar_t* kPaperName = L"Roll Paper 80 x 297 mm";
constexpr const wchar_t* kBinName = L"Roll Paper";
constexpr short kDpi = 203;
constexpr short kMaxCopies = 99;

constexpr DWORD kFields = DM_ORIENTATION | DM_PAPERSIZE | DM_PAPERLENGTH | DM_PAPERWIDTH |
                          DM_SCALE | DM_COPIES | DM_DEFAULTSOURCE | DM_PRINTQUALITY |
                          DM_COLOR | DM_DUPLEX | DM_YRESOLUTION | DM_COLLATE | DM_FORMNAME;

// Copies `text` into the fixed field `field` of `count` characters, cut to fit
// and always terminated.
void CopyField(WCHAR* field, size_t count, const wchar_t* text) {
    memset(field, 0, count * sizeof(WCHAR));
    if (text != nullptr) wcsncpy(field, text, count - 1);
}

void FillDefaultDevMode(DEVMODEW& dm, const wchar_t* deviceName) {
    memset(&dm, 0, sizeof(dm));
    CopyField(dm.dmDeviceName, CCHDEVICENAME, deviceName);
    dm.dmSpecVersion = DM_SPECVERSION;
    dm.dmDriverVersion = kDriverVersion;
    dm.dmSize = sizeof(DEVMODEW);
    dm.dmDriverExtra = 0;
    dm.dmFields = kFields;
    dm.dmOrientation = DMORIENT_PORTRAIT;
    dm.dmPaperSize = kPaperId;
    dm.dmPaperLength = kPaperLength;
    dm.dmPaperWidth = kPaperWidth;
    dm.dmScale = 100;
    dm.dmCopies = 1;
    dm.dmDefaultSource = DMBIN_ONLYONE;
    dm.dmPrintQuality = kDpi;
    dm.dmColor = DMCOLOR_MONOCHROME;
    dm.dmDuplex = DMDUP_SIMPLEX;
    dm.dmYResolution = kDpi;
    dm.dmTTOption = DMTT_BITMAP;
    dm.dmCollate = DMCOLLATE_FALSE;
    CopyField(dm.dmFormName, CCHFORMNAME, kPaperName);
}

// True when the caller's DEVMODE is long enough to hold the field that ends
// at `end`.
bool Covers(const DEVMODEW& dm, size_t end) {
    return dm.dmSize >= end;
}

// Takes over the settings of `in` that this printer can honour: orientation
// and copies. Everything else stays at the printer's defaults.
void MergeDevMode(DEVMODEW& out, const DEVMODEW& in) {
    if (!Covers(in, offsetof(DEVMODEW, dmFields) + sizeof(in.dmFields))) return;
    if ((in.dmFields & DM_ORIENTATION) &&
        Covers(in, offsetof(DEVMODEW, dmOrientation) + sizeof(in.dmOrientation)) &&
        (in.dmOrientation == DMORIENT_PORTRAIT || in.dmOrientation == DMORIENT_LANDSCAPE))
        out.dmOrientation = in.dmOrientation;
    if ((in.dmFields & DM_COPIES) &&
        Covers(in, offsetof(DEVMODEW, dmCopies) + sizeof(in.dmCopies)) && in.dmCopies >= 1 &&
        in.dmCopies <= kMaxCopies)
        out.dmCopies = in.dmCopies;
}

// Writes the one name of a list of fixed-width names of `width` characters
// and returns the list's length.
DWORD WriteNames(void* output, size_t width, const wchar_t* name) {
    if (output != nullptr) CopyField(static_cast<WCHAR*>(output), width, name);
    return 1;
}

}  // namespace

extern "C" {

LONG WINAPI DrvDocumentPropertySheets(PPROPSHEETUI_INFO pPSUIInfo, LPARAM lParam) {
    if (pPSUIInfo != nullptr) {
        // A property sheet was asked for; this sample has none to show.
        SetLastError(ERROR_NOT_SUPPORTED);
        return -1;
    }
    auto* header = reinterpret_cast<DocumentPropertyHeader*>(lParam);
    if (header == nullptr || header->cbSize < sizeof(DocumentPropertyHeader)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return -1;
    }
    constexpr LONG kDevModeSize = sizeof(DEVMODEW);
    if (header->fMode == 0 || header->pdmOut == nullptr) return kDevModeSize;
    if (!(header->fMode & DM_OUT_BUFFER)) return IDOK;  // nothing to write back
    // The output buffer is the size this function gave for fMode 0. Its
    // cbOut is not checked: Wine's spooler takes it from the dmSize of the
    // (not yet filled) output buffer, so it holds whatever lay there.

    DEVMODEW result;
    FillDefaultDevMode(result, header->pszPrinterName);
    if ((header->fMode & DM_IN_BUFFER) && header->pdmIn != nullptr)
        MergeDevMode(result, *header->pdmIn);
    memcpy(header->pdmOut, &result, sizeof(result));
    return IDOK;
}

DWORD WINAPI DrvDeviceCapabilities(HANDLE /*hPrinter*/, PWSTR /*pDeviceName*/, WORD iDevCap,
                                   PVOID pvOutput, PDEVMODEW /*pDevMode*/) {
    switch (iDevCap) {
    case DC_FIELDS:
        return kFields;
    case DC_PAPERS:
        if (pvOutput != nullptr) *static_cast<WORD*>(pvOutput) = kPaperId;
        return 1;
    case DC_PAPERSIZE:
        if (pvOutput != nullptr) *static_cast<POINT*>(pvOutput) = POINT{kPaperWidth, kPaperLength};
        return 1;
    case DC_PAPERNAMES:
    case DC_MEDIAREADY:
        return WriteNames(pvOutput, 64, kPaperName);
    case DC_MINEXTENT:
    case DC_MAXEXTENT:
        return MAKELONG(kPaperWidth, kPaperLength);
    case DC_BINS:
        if (pvOutput != nullptr) *static_cast<WORD*>(pvOutput) = DMBIN_ONLYONE;
        return 1;
    case DC_BINNAMES:
        return WriteNames(pvOutput, 24, kBinName);
    case DC_ENUMRESOLUTIONS:
        if (pvOutput != nullptr) {
            auto* resolution = static_cast<LONG*>(pvOutput);
            resolution[0] = kDpi;
            resolution[1] = kDpi;
        }
        return 1;
    case DC_COPIES:
        return kMaxCopies;
    case DC_DRIVER:
        return kDriverVersion;
    case DC_VERSION:
        return DM_SPECVERSION;
    case DC_SIZE:
        return sizeof(DEVMODEW);
    case DC_EXTRA:
        return 0;
    case DC_ORIENTATION:
        return 90;  // landscape is portrait turned by 90 degrees
    case DC_DUPLEX:
    case DC_COLLATE:
    case DC_COLORDEVICE:
    case DC_STAPLE:
        return 0;
    case DC_TRUETYPE:
        return DCTT_BITMAP;
    case DC_PRINTRATE:
        return 0;
    default:
        return GDI_ERROR;
    }
}

}  // extern "C"
