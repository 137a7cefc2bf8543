// The removal of the ticked items: the pre-check of the Uninstall button and
// the worker that removes printers (with their drivers), port monitors and
// print processors (with their DLL files) in list order, restarts the spooler
// after each removal and offers a restart of Windows at the end.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>

#include "platform/Spooler.h"
#include "platform/Threads.h"
#include "platform/Windows.h"
#include "uninstall/UninstallIni.h"
#include "uninstall/UninstallState.h"
#include "uninstall/UninstallView.h"

namespace uninstall {

class UninstallEngine {
public:
    // The state, the file and the view belong to the dialog and outlive the
    // engine.
    UninstallEngine(plat::Windows& windows, UninstallState& state, const UninstallIni& ini,
                    UninstallView& view)
        : windows_(windows), state_(state), ini_(ini), view_(view) {}
    // Waits for a worker that still runs.
    ~UninstallEngine();
    UninstallEngine(const UninstallEngine&) = delete;
    UninstallEngine& operator=(const UninstallEngine&) = delete;

    // Button 1002, on the user-interface thread: when every local printer
    // passed the pre-check, starts the worker on its own thread and returns
    // true without waiting for it. A press while a worker runs does nothing.
    bool OnUninstall();
    // True from the start of a run until the worker has given the controls
    // back; close requests are ignored meanwhile.
    bool Running() const { return running_.load(); }
    // Waits until the worker thread has ended (tests; shutdown).
    void Wait();

    // Every local printer, listed or not, can be opened and read and has no
    // jobs; otherwise one status line says why.
    bool PreCheck();
    // One run over the list, on the calling thread. Returns 1.
    uint32_t UninstallWorker();
    // Whether the last run removed an item, and whether a DLL file of a
    // removed item stayed (deleted only at the next start of Windows).
    bool Removed() const { return removed_; }
    bool FileLeft() const { return fileLeft_; }

    // Windows 98/Me, before a monitor is deleted: no printer uses a KVCOM port.
    bool CheckSerialPortsFree();
    // Deletes the monitor's DLL and UI DLL from the system folder.
    void DeleteMonitorFiles(const std::string& monitorName);
    // Deletes the processor's DLL from the print-processor folder.
    void DeleteProcessorFile(const std::string& processorName);
    // Deletes one DLL file, read-only or not; a file that stays gets a status
    // line with its path and the error number.
    void DeleteDllFile(const std::string& path);

private:
    enum class Outcome { Removed, Kept, Stop };

    Outcome RemoveMonitor(int index);
    Outcome RemoveProcessor(int index);
    Outcome RemovePrinter(int index);
    void DeletePrinterDriver(const plat::PrinterInfo& info);
    void OfferRestart();
    void Status(int32_t id, const std::string& argument = {});
    void Status(const std::string& text);
    void RestartSpooler();
    // Opens and reads every local printer and hands each to `accept`. The
    // first printer that can't be opened or read, or that `accept` refuses,
    // ends the walk with false; `accept` writes its own status line.
    bool EveryPrinter(
        const std::function<bool(const std::string& name, const plat::PrinterInfo& info)>&
            accept);

    plat::Windows& windows_;
    UninstallState& state_;
    const UninstallIni& ini_;
    UninstallView& view_;
    std::atomic<bool> running_{false};
    bool removed_ = false;
    bool fileLeft_ = false;
    plat::Thread worker_;
};

}  // namespace uninstall
