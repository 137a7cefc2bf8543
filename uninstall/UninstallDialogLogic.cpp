#include "uninstall/UninstallDialogLogic.h"

#include <vector>

#include "common/SystemProbes.h"
#include "platform/Desktop.h"
#include "platform/Files.h"
#include "platform/Folders.h"
#include "platform/Spooler.h"
#include "platform/Windows.h"
#include "uninstall/Messages.h"

namespace uninstall {

namespace {

constexpr uint32_t kFolderCapacity = 256;
constexpr const char* kIniName = "Uninstall.ini";

void BringForward(plat::Windows& windows, plat::Window window) {
    windows.desktop().SetForegroundWindow(window);
    if (windows.desktop().IsIconic(window)) windows.desktop().RestoreWindow(window);
}

// Lists `folder` (ending in "\") until an entry holds "Uninstall.ini".
// Returns 0 when found, IDS_NO_INI when not, IDS_SEARCH_FAILED when the
// listing can't start.
int32_t SearchFolder(plat::Windows& windows, const std::string& folder) {
    plat::FindHandle find;
    plat::FindData entry;
    if (windows.files().FindFirstFile(folder + "*.*", find, entry) != plat::err::Success)
        return IDS_SEARCH_FAILED;
    do {
        if (entry.name.find(kIniName) != std::string::npos) return 0;
    } while (windows.files().FindNextFile(find, entry) == plat::err::Success);
    return IDS_NO_INI;
}

bool Fail(plat::Windows& windows, plat::Window owner, int32_t id) {
    windows.desktop().MessageBox(owner, UninstallString(id), kErrorCaption, plat::mb::Ok);
    return false;
}

}  // namespace

StartUpResult StartUp(plat::Windows& windows, const std::string& appName, plat::Mutex& mutex) {
    if (windows.desktop().CreateMutex(appName, true, mutex) == plat::err::AlreadyExists) {
        mutex.reset();
        if (plat::Window first = windows.desktop().FindWindow(kMainWindowTitle))
            BringForward(windows, first);
        return StartUpResult::SecondCopy;
    }
    if (windows.desktop().FindWindow(kSetupWindowTitle)) {
        windows.desktop().MessageBox(0, kSetupOpen, appName,
                           plat::mb::Ok | plat::mb::IconExclamation);
        return StartUpResult::SetupOpen;
    }
    return StartUpResult::Run;
}

void AddStatus(UninstallState& state, UninstallView& view, const std::string& text,
               int32_t id) {
    state.statusText = text;
    view.AddStatusLine(state.statusText, id);
}

int32_t FindUninstallIni(plat::Windows& windows, UninstallState& state) {
    std::string folder = state.iniPath;
    if (folder.empty() || folder.back() != '\\') folder += '\\';
    int32_t result = SearchFolder(windows, folder);
    if (result == IDS_NO_INI) {
        folder += "DRVCONFIG\\";
        result = SearchFolder(windows, folder);
    }
    if (result == 0) state.iniPath = folder + kIniName;
    return result;
}

void FillItemList(plat::Windows& windows, const UninstallState& state, const UninstallIni& ini,
                  UninstallView& view) {
    // Each list of Uninstall.ini is read once for the whole fill, however
    // many printers, monitors and processors the machine has.
    const std::vector<std::string> printerEntries = ini.PrinterEntries();
    std::vector<plat::PrinterInfo5> printers;
    if (windows.spooler().EnumPrinters(printers) == plat::err::Success)
        for (const auto& printer : printers)
            if (ini.IsListedPrinter(printer.printerName, printerEntries))
                view.AddItem(printer.printerName);

    const std::vector<std::string> monitorEntries = ini.MonitorEntries();
    std::vector<std::string> monitors;
    if (windows.spooler().EnumMonitors(monitors) == plat::err::Success)
        for (const auto& monitor : monitors)
            if (HoldsEntry(monitor, monitorEntries)) view.AddItem(monitor);

    // The processors of this program's own environment ("Windows NT x86" or,
    // for the 64-bit build, "Windows x64"); Windows 98/Me lists none anyway.
    const char* environment =
        state.osClass == Win98 ? kWin98Environment : windows.spooler().LocalEnvironment();
    const std::vector<std::string> processorEntries = ini.ProcessorEntries();
    std::vector<std::string> processors;
    if (windows.spooler().EnumPrintProcessors(environment, processors) == plat::err::Success)
        for (const auto& processor : processors)
            if (HoldsEntry(processor, processorEntries)) view.AddItem(processor);
}

bool RunStartUpChecks(plat::Windows& windows, UninstallState& state, const UninstallIni& ini,
                      UninstallView& view, plat::Window owner, int32_t* failure) {
    auto fail = [&](int32_t id) {
        if (failure) *failure = id;
        return Fail(windows, owner, id);
    };
    if (failure) *failure = 0;
    state.iniPath.clear();
    state.osClass = GetOsClassAndMarkCompatibility(windows);
    if (ChecksAdministrator(state.osClass) && !IsUserAdmin(windows))
        return fail(IDS_NOT_ADMIN);
    if (windows.folders().GetCurrentDirectory(state.iniPath, kFolderCapacity) !=
        plat::err::Success) {
        state.iniPath.clear();
        return fail(IDS_NO_CURRENT_DIR);
    }
    if (int32_t found = FindUninstallIni(windows, state)) return fail(found);
    FillItemList(windows, state, ini, view);
    if (view.ItemCount() <= 0) return fail(IDS_NOTHING_TO_REMOVE);
    AddStatus(state, view, UninstallString(IDS_SELECT_ITEMS), IDS_SELECT_ITEMS);
    view.SetInstruction(UninstallString(IDS_INSTRUCTION));
    return true;
}

bool LoadSpooler(plat::Windows& windows, UninstallState& state, plat::Window owner) {
    uint32_t error = 0;
    state.spooler = windows.spooler().LoadSpoolerLibrary("Winspool.drv", error);
    if (state.spooler) return true;
    windows.desktop().MessageBox(owner, kNoSpoolerLibrary, state.appName, plat::mb::Ok);
    return false;
}

void SelectAll(UninstallView& view) {
    for (int i = 0; i < view.ItemCount(); ++i) view.CheckItem(i);
}

void OpenHelp(plat::Windows& windows, const std::string& appName) {
    if (plat::Window viewer = windows.desktop().FindWindow(appName + kHelpWindowSuffix)) {
        BringForward(windows, viewer);
        return;
    }
    if (windows.desktop().ShellOpen(kHelpFileEnglish) <= 32)
        windows.desktop().ShellOpen(kHelpFileChinese);
}

}  // namespace uninstall
