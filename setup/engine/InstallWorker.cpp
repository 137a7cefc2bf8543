// InstallWorker: the stages of one installation, in their order, on the
// worker thread. A stage that fails leaves its text in the installation
// message; the worker then stops and reports the failure. Nothing installed
// before the failure is taken back.
#include <cctype>
#include <cstring>

#include "common/SpoolerControl.h"
#include "common/SystemProbes.h"
#include "platform/Clock.h"
#include "platform/Folders.h"
#include "platform/Windows.h"
#include "setup/engine/InstallCommand.h"
#include "setup/engine/Messages.h"
#include "setup/engine/Waits.h"

namespace {

const char* Text(const char* text) { return text ? text : ""; }

// Starts the spooler that the replacement stopped: two starts with the
// settling time of the Windows version between them, then the wait for the
// running state, and one more start when it does not come. False (with the
// text in `message`) when the spooler does not run.
bool StartStoppedSpooler(plat::Windows& windows, int32_t os, std::string& message) {
    StartSpooler(windows, message);
    if (os == WinNT4 || os == Win2000)
        windows.clock().Sleep(kSpoolerSettleNtMs);
    else if (os == WinXP || os == Win2003)
        windows.clock().Sleep(kSpoolerSettleXpMs);
    StartSpooler(windows, message);
    windows.clock().Sleep(kAfterSpoolerStartMs);
    if (!WaitSpoolerRunning(windows, message)) {
        StartSpooler(windows, message);
        return false;
    }
    return true;
}

// Replaces the one outdated component that this run replaces: a serial
// monitor before a USB monitor before the print processor. On the NT family
// the spooler is stopped around the copy and brought back after it, also
// when the copy failed.
bool ReplaceOutdatedComponent(plat::Windows& windows, InstallSession& s, int32_t version) {
    const int32_t os = s.choices.os;
    const int32_t flags = s.updateFlags;
    const char* processor = Text(s.printer.pPrintProcessor);
    const char* processorDll = s.files.Field(DriverFileTable::ProcessorDll);
    std::string& message = s.installMessage;
    MonitorSettings settings;

    if (os == Win98) {
        // The serial monitor is not examined on Windows 98/Me.
        s.reader.ReadMonitorSettings(os, settings);
        if (flags & UpdateUsbMonitor) return ReplaceUsbMonitor98(windows, settings, message);
        if (flags & UpdatePrintProcessor)
            return ReplacePrintProcessor98(windows, processor, processorDll, version, message);
        return true;
    }

    std::string processorDir;
    if (flags & UpdatePrintProcessor) {
        if (windows.folders().GetPrintProcessorDirectory(nullptr, processorDir, 256) !=
            plat::err::Success) {
            message = msg::kNoProcessorDir;
            return false;
        }
    }
    StopSpooler(windows);
    windows.clock().Sleep(kAfterSpoolerStopMs);
    s.reader.ReadMonitorSettings(os, settings);
    bool replaced = true;
    if (flags & UpdateSerialMonitor)
        replaced = ReplaceMonitorNT(windows, settings, UpdateSerialMonitor, os, message);
    else if (flags & UpdateUsbMonitor)
        replaced = ReplaceMonitorNT(windows, settings, UpdateUsbMonitor, os, message);
    else if (flags & UpdatePrintProcessor)
        replaced = ReplacePrintProcessorNT(windows, os, processor, processorDll, processorDir,
                                           version, message);
    if (!replaced) {
        // Nobody could print with the spooler left stopped: it comes back
        // as after a replacement, and the user still reads why the run failed.
        std::string ignored;
        StartStoppedSpooler(windows, os, ignored);
        return false;
    }
    return StartStoppedSpooler(windows, os, message);
}

// Stores the serial settings of a printer on a serial port: the number is
// the digit right after "COM", the port text runs from "COM" on.
void ApplySerialSettings(plat::Windows& windows, const InstallSession& s) {
    const char* com = strstr(s.portName, "COM");
    if (com == nullptr) return;
    const char digit = com[3];
    const int32_t portIndex = std::isdigit(static_cast<unsigned char>(digit)) ? digit - '0' : 0;
    const WizardChoices& c = s.choices;
    const char parity = static_cast<char>(std::tolower(static_cast<unsigned char>(c.parity)));
    if (c.os == Win98)
        WriteSerialSettings98(windows, portIndex, com, c.baudRate, c.dataBits, c.stopBits, parity,
                              c.flow);
    else
        WriteSerialSettingsNT(windows, com, c.baudRate, c.dataBits, c.stopBits, parity, c.flow);
}

bool RunStages(plat::Windows& windows, InstallSession& s) {
    const int32_t os = s.choices.os;
    std::string& message = s.installMessage;

    windows.clock().Sleep(kBeforeStagesMs);
    s.updateFlags = 0;

    const int32_t monitors = CheckPortMonitors(windows, s.reader, os, s.portName, message);
    if (monitors == -15) return false;
    s.updateFlags = monitors;

    const int32_t processor =
        CheckPrintProcessor(windows, os, Text(s.printer.pPrintProcessor),
                            s.files.Field(DriverFileTable::ProcessorDll), message);
    if (processor == -14) return false;
    s.updateFlags |= processor;

    const int32_t version = s.reader.ReadProcessorVersion();
    if (s.updateFlags != 0 && !ReplaceOutdatedComponent(windows, s, version)) return false;

    if (s.portKind == Usb && !ProbePorts(windows, message)) return false;

    if (!InstallDriverFiles(windows, s.reader, s.model, os, s.choices.driverMode, s.files,
                            s.driver, message))
        return false;

    bool keepName = false;
    if (s.portKind == Usb) {
        MarkUsbPortInstalled(windows, s.portName);
        keepName = true;
    }
    if (!CreatePrinterQueue(windows, s.printer, s.printerName, keepName, message)) return false;

    CopyBounded(s.createdName, sizeof s.createdName, s.printerName);
    if (s.createdName[0] == '\0') return false;
    if (s.choices.setDefault) MakeDefaultPrinter(windows, s.createdName);

    if (s.portKind == Serial) ApplySerialSettings(windows, s);

    if (os != Win98) message = s.portKind == Usb ? msg::kInstalledRepower : msg::kInstalled;
    return true;
}

}  // namespace

uint32_t InstallWorker(InstallJob& job) {
    InstallSession& s = job.session;
    const bool succeeded = RunStages(job.windows, s);
    // A failure never reads as a success in the final message.
    if (!succeeded && s.installMessage.empty()) s.installMessage = msg::kInstallFailed;
    job.completionState.store(succeeded ? CompletionSucceeded : CompletionFailed);
    return 0;
}
