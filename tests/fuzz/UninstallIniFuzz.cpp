// Uninstall.ini from the input, with the list fill on a machine that holds
// the package's printers, monitors and processor beside the system's own,
// and the DLL look-ups of every listed monitor and processor.
//
// Header byte: 0 OsClass (-1..5). The rest is Uninstall.ini.
//
// Checked: the fill reads each list once (one read per count and entry, at
// most kMaxListEntries entries a list), lists only installed items that an
// entry names, and every DLL value it would delete is a plain file name.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "common/FileNames.h"
#include "simwindows/testing/SimTestWindows.h"
#include "tests/fuzz/FuzzInput.h"
#include "tests/support/ItemList.h"
#include "tests/support/SimMachine.h"
#include "uninstall/UninstallDialogLogic.h"
#include "uninstall/UninstallIni.h"
#include "uninstall/UninstallState.h"

namespace {

using fuzz::Check;
using namespace uninstall;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const int32_t os = static_cast<int32_t>(fuzz::Byte(data, size, 0) % 7) - 1;
    const std::string text = fuzz::Parts(data, size, 1, 1)[0];

    plat::SimTestWindows w;
    // The package is read thousands of times over: from an index of each file.
    w.SetProfileIndexing(true);
    const std::string env = w.spooler().LocalEnvironment();
    w.InstallMonitor("Local Port", env, "localspl.dll");
    w.InstallMonitor("Quillset USB Port Monitor", env, "QSUSBMON.DLL");
    w.InstallMonitor("Quillset Serial Port Monitor", env, "QSCOMMON.DLL");
    w.InstallPrintProcessor(env, "WinPrint", "winprint.dll");
    w.InstallPrintProcessor(env, "QSPrint", "QSPROC.DLL");
    support::InstallQueue(w, "Quillset KRT-P58(U) 1", "Quillset KRT-P58 Receipt");
    support::InstallQueue(w, "Office Laser 0", "HP LaserJet 0");

    UninstallState state;
    state.iniPath = "C:\\PKG\\DRVCONFIG\\Uninstall.ini";
    state.osClass = os;
    w.PutFile(state.iniPath, text);
    UninstallIni ini(w, state);
    support::ItemList controls;

    const int before = w.CallCount("GetPrivateProfileString");
    FillItemList(w, state, ini, controls);
    const int reads = w.CallCount("GetPrivateProfileString") - before;
    Check(reads <= 3 * (1 + kMaxListEntries), "the fill reads no more than the lists hold");

    // The fill makes the reads of reading each list once, and no more.
    int listReads = w.CallCount("GetPrivateProfileString");
    const std::vector<std::string> monitors = ini.MonitorEntries();
    const std::vector<std::string> processors = ini.ProcessorEntries();
    const std::vector<std::string> printers = ini.PrinterEntries();
    listReads = w.CallCount("GetPrivateProfileString") - listReads;
    Check(reads == listReads, "the fill reads each list once");
    Check(monitors.size() <= kMaxListEntries && processors.size() <= kMaxListEntries &&
              printers.size() <= kMaxListEntries,
          "lists are bounded");
    Check(os != Win98 || processors.empty(), "Windows 98/Me lists no processor");

    for (const std::string& item : controls.items) {
        const bool monitor = HoldsEntry(item, monitors);
        const bool processor = HoldsEntry(item, processors);
        Check(monitor || processor || ini.IsListedPrinter(item), "only listed items are offered");
        if (monitor) {
            const MonitorDlls dlls = ini.MonitorDllNames(item);
            for (const std::string* dll : {&dlls.monitorDll, &dlls.uiDll})
                Check(!NamesDllFile(*dll) || IsPlainFileName(*dll), "a DLL to delete is a plain name");
        } else if (processor) {
            const std::string dll = ini.ProcessorDllName(item);
            Check(!NamesDllFile(dll) || IsPlainFileName(dll), "a DLL to delete is a plain name");
        }
    }
    return 0;
}
