#include "uninstall/UninstallEngine.h"

#include <vector>

#include "common/FileAttributes.h"
#include "common/MakerKeys.h"
#include "common/SpoolerControl.h"
#include "common/SystemProbes.h"
#include "platform/Clock.h"
#include "platform/Desktop.h"
#include "platform/Files.h"
#include "platform/Folders.h"
#include "platform/Registry.h"
#include "platform/Spooler.h"
#include "uninstall/Messages.h"
#include "uninstall/Printers.h"
#include "uninstall/UninstallDialogLogic.h"

namespace uninstall {

namespace {

constexpr uint32_t kFolderCapacity = 256;
constexpr uint32_t kDpdDeleteUnusedFiles = 1;

// The waits of a run.
constexpr uint32_t kBeforeItemMs = 500;
constexpr uint32_t kAfterRestartMs = 500;
constexpr uint32_t kAfterFailureMs = 100;
constexpr uint32_t kAfterPrinterDeletedMs = 100;
constexpr uint32_t kAfterPrinterRestartMs = 1000;
constexpr uint32_t kAfterDriverStepMs = 1000;

int32_t ReadFailureText(PrinterRead read) {
    return read == PrinterRead::MemoryError ? IDS_NO_MEMORY : IDS_PRINTER_INFO_ERROR;
}

}  // namespace

UninstallEngine::~UninstallEngine() { Wait(); }

void UninstallEngine::Wait() { worker_.Join(); }

void UninstallEngine::Status(int32_t id, const std::string& argument) {
    AddStatus(state_, view_, FormatString(id, argument), id);
}

void UninstallEngine::Status(const std::string& text) { AddStatus(state_, view_, text); }

void UninstallEngine::RestartSpooler() { ::RestartSpooler(windows_, SpoolerRestart::Uninstall); }

bool UninstallEngine::OnUninstall() {
    // A second press before the worker has disabled the button, or any press
    // while it runs, starts nothing.
    if (running_.load()) return false;
    if (!PreCheck()) return false;
    Wait();  // the previous run's thread has ended; collect it
    running_.store(true);
    if (windows_.clock().StartThread([this] { UninstallWorker(); }, worker_) !=
        plat::err::Success) {
        // No thread to run on: nothing was removed and the controls stay as they are.
        running_.store(false);
        return false;
    }
    return true;
}

bool UninstallEngine::EveryPrinter(
    const std::function<bool(const std::string& name, const plat::PrinterInfo& info)>& accept) {
    std::vector<plat::PrinterInfo5> printers;
    if (windows_.spooler().EnumPrinters(printers) != plat::err::Success) printers.clear();
    for (const auto& entry : printers) {
        plat::Printer printer;
        if (windows_.spooler().OpenPrinter(entry.printerName, printer) != plat::err::Success) {
            Status(IDS_OPEN_PRINTER_ERROR, entry.printerName);
            return false;
        }
        plat::PrinterInfo info;
        const PrinterRead read = ReadPrinterInfo(windows_, printer, info);
        if (read != PrinterRead::Ok) {
            Status(ReadFailureText(read));
            windows_.clock().Sleep(kAfterFailureMs);
            return false;
        }
        if (!accept(entry.printerName, info)) return false;
    }
    return true;
}

bool UninstallEngine::PreCheck() {
    return EveryPrinter([this](const std::string& name, const plat::PrinterInfo& info) {
        if (info.cJobs == 0) return true;
        Status(IDS_DELETE_JOBS_FIRST, name);
        windows_.clock().Sleep(kAfterFailureMs);
        return false;
    });
}

uint32_t UninstallEngine::UninstallWorker() {
    running_.store(true);
    for (int id : {IDC_UNINSTALL, IDC_ITEM_LIST, IDC_SELECT_ALL, kExitButton})
        view_.Enable(id, false);

    bool removed = false;
    bool stopped = false;
    fileLeft_ = false;
    for (int i = 0; i < view_.ItemCount(); ++i) {
        windows_.clock().Sleep(kBeforeItemMs);
        if (!view_.IsItemChecked(i)) continue;
        state_.currentItem = view_.ItemText(i);
        Outcome outcome;
        if (ini_.IsListedMonitor(state_.currentItem))
            outcome = RemoveMonitor(i);
        else if (ini_.IsListedProcessor(state_.currentItem))
            outcome = RemoveProcessor(i);
        else
            outcome = RemovePrinter(i);
        if (outcome == Outcome::Stop) {
            stopped = true;
            break;
        }
        if (outcome == Outcome::Removed) {
            removed = true;
            --i;  // the next item moved up into this place
        }
    }
    removed_ = removed;
    if (!stopped && removed) OfferRestart();

    if (view_.ItemCount() > 0) {
        Status(IDS_SELECT_ITEMS);
        view_.Enable(IDC_ITEM_LIST, true);
        view_.Enable(IDC_UNINSTALL, true);
        view_.Enable(IDC_SELECT_ALL, true);
    }
    view_.Enable(kExitButton, true);
    // Last: once a new run or the dialog's end may wait for this thread, it
    // asks nothing more of the user-interface thread.
    running_.store(false);
    return 1;
}

UninstallEngine::Outcome UninstallEngine::RemoveMonitor(int index) {
    const std::string name = state_.currentItem;
    Status(IDS_DELETING, name);
    if (state_.osClass == Win98 && !CheckSerialPortsFree()) {
        Status(IDS_IN_USE, name);
        return Outcome::Kept;
    }
    uint32_t error = windows_.spooler().DeleteMonitor(nullptr, name);
    if (error != plat::err::Success) {
        RestartSpooler();
        windows_.clock().Sleep(kAfterRestartMs);
        error = windows_.spooler().DeleteMonitor(nullptr, name);
    }
    if (error != plat::err::Success) {
        Status(error == plat::err::PrintMonitorInUse ? IDS_IN_USE : IDS_REMOVE_ERROR, name);
        windows_.clock().Sleep(kAfterFailureMs);
        return Outcome::Kept;
    }
    if (name.find("USB") != std::string::npos) {
        // The USB installation records go with the USB monitor; PRINTERPORT stays.
        windows_.registry().RegDeleteKey(plat::Root::LocalMachine, WithoutClosingSlash(kInstallPrinterKey));
        windows_.registry().RegDeleteKey(plat::Root::LocalMachine, WithoutClosingSlash(kPortNameKey));
    }
    RestartSpooler();
    windows_.clock().Sleep(kAfterRestartMs);
    DeleteMonitorFiles(name);
    Status(IDS_DELETED, name);
    view_.DeleteItem(index);
    return Outcome::Removed;
}

UninstallEngine::Outcome UninstallEngine::RemoveProcessor(int index) {
    const std::string name = state_.currentItem;
    Status(IDS_DELETING, name);
    const uint32_t error = windows_.spooler().DeletePrintProcessor(nullptr, name);
    if (error != plat::err::Success) {
        Status(error == plat::err::CanNotComplete ? IDS_IN_USE : IDS_REMOVE_ERROR, name);
        windows_.clock().Sleep(kAfterFailureMs);
        return Outcome::Kept;
    }
    RestartSpooler();
    windows_.clock().Sleep(kAfterRestartMs);
    DeleteProcessorFile(name);
    Status(IDS_DELETED, name);
    view_.DeleteItem(index);
    return Outcome::Removed;
}

UninstallEngine::Outcome UninstallEngine::RemovePrinter(int index) {
    const std::string name = state_.currentItem;
    plat::Printer printer;
    if (windows_.spooler().OpenPrinter(name, printer) != plat::err::Success) {
        Status(IDS_OPEN_PRINTER_ERROR, name);
        return Outcome::Stop;
    }
    Status(IDS_DELETING_PRINTER, name);
    plat::PrinterInfo info;
    const PrinterRead read = ReadPrinterInfo(windows_, printer, info);
    if (read != PrinterRead::Ok) {
        printer.reset();
        Status(ReadFailureText(read));
        windows_.clock().Sleep(kAfterFailureMs);
        return Outcome::Stop;
    }
    if (info.cJobs > 0) {
        printer.reset();
        Status(IDS_PRINTER_HAS_JOBS, name);
        windows_.clock().Sleep(kAfterFailureMs);
        return Outcome::Stop;
    }
    if (windows_.spooler().DeletePrinter(printer) != plat::err::Success) {
        Status(IDS_DELETE_PRINTER_ERROR);
        windows_.clock().Sleep(kAfterFailureMs);
        return Outcome::Kept;
    }
    windows_.clock().Sleep(kAfterPrinterDeletedMs);
    Status(IDS_DELETED, name);
    printer.reset();
    view_.DeleteItem(index);
    RestartSpooler();
    windows_.clock().Sleep(kAfterPrinterRestartMs);

    if (state_.osClass == Win98 || state_.osClass == WinNT4) {
        // These systems keep the driver.
        windows_.clock().Sleep(kAfterDriverStepMs);
        return Outcome::Removed;
    }
    Status(IDS_DELETING_DRIVER, name);
    DeletePrinterDriver(info);
    windows_.clock().Sleep(kAfterFailureMs);
    windows_.clock().Sleep(kAfterDriverStepMs);
    return Outcome::Removed;
}

void UninstallEngine::DeletePrinterDriver(const plat::PrinterInfo& info) {
    // A local printer reports no server name: the local machine.
    const char* server = info.serverName.empty() ? nullptr : info.serverName.c_str();
    uint32_t error;
    if (state_.HasDeletePrinterDriverEx())
        error = state_.spooler->DeletePrinterDriverEx(server, nullptr, info.driverName.c_str(),
                                                      kDpdDeleteUnusedFiles, 0);
    else
        error = windows_.spooler().DeletePrinterDriver(server, nullptr, info.driverName);
    if (error == plat::err::Success)
        Status(IDS_DRIVER_DELETED);
    else if (error == plat::err::PrinterDriverInUse)
        Status(IDS_DRIVER_IN_USE);
    else
        Status(std::string(UninstallString(IDS_DELETE_DRIVER_ERROR)) + kDriverErrorSuffix +
               std::to_string(static_cast<int32_t>(error)));
}

void UninstallEngine::OfferRestart() {
    if (view_.AskRestart() != kRestartYes) return;
    if (GetOsClassAndMarkCompatibility(windows_) != Win98 &&
        windows_.desktop().EnableShutdownPrivilege() != plat::err::Success)
        return;
    windows_.desktop().ExitWindows(plat::ewx::Reboot, 0);
}

bool UninstallEngine::CheckSerialPortsFree() {
    return EveryPrinter([this](const std::string&, const plat::PrinterInfo& info) {
        if (info.portName.find("KVCOM") == std::string::npos) return true;
        Status(IDS_PRINTER_HAS_JOBS, state_.currentItem);
        windows_.clock().Sleep(kAfterFailureMs);
        return false;
    });
}

void UninstallEngine::DeleteMonitorFiles(const std::string& monitorName) {
    const MonitorDlls dlls = ini_.MonitorDllNames(monitorName);
    std::string folder;
    if (windows_.folders().GetSystemDirectory(folder, kFolderCapacity) != plat::err::Success ||
        folder.empty()) {
        // Without the folder no path is complete: nothing is deleted.
        Status(kNoSystemFolder);
        return;
    }
    for (const std::string* dll : {&dlls.monitorDll, &dlls.uiDll})
        if (NamesDllFile(*dll)) DeleteDllFile(folder + "\\" + *dll);
}

void UninstallEngine::DeleteProcessorFile(const std::string& processorName) {
    const std::string dll = ini_.ProcessorDllName(processorName);
    std::string folder;
    if (windows_.folders().GetPrintProcessorDirectory(nullptr, folder, kFolderCapacity) !=
            plat::err::Success ||
        folder.empty()) {
        Status(kNoSystemFolder);
        return;
    }
    if (NamesDllFile(dll)) DeleteDllFile(folder + "\\" + dll);
}

void UninstallEngine::DeleteDllFile(const std::string& path) {
    // A DLL copied from read-only media carries the mark; only this file's
    // mark is cleared.
    ClearReadOnly(windows_, path);
    const uint32_t error = windows_.files().DeleteFile(path);
    // A file that is not there is no leftover.
    if (error == plat::err::Success || error == plat::err::FileNotFound ||
        error == plat::err::PathNotFound)
        return;
    fileLeft_ = true;
    Status(std::string(kFileNotDeleted) + path + kFileNotDeletedEnd + kDriverErrorSuffix +
           std::to_string(static_cast<int32_t>(error)));
    windows_.clock().Sleep(kAfterFailureMs);
}

}  // namespace uninstall
