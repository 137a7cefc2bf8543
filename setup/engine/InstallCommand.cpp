#include "setup/engine/InstallCommand.h"

#include <cstdio>
#include <cstring>

#include "platform/Clock.h"
#include "platform/Desktop.h"
#include "platform/Windows.h"
#include "setup/engine/Messages.h"
#include "setup/engine/ModelRules.h"
#include "setup/engine/Waits.h"

void HeadlessProgress::RunModal(std::atomic<int32_t>& completionState, int32_t os) {
    for (int step = 0;; ++step) {
        if (completionState.load() != CompletionRunning) return;
        if (os == Win98 && step >= 90) return;
        windows_.clock().Sleep(kProgressTickMs);
    }
}

InstallCommand::InstallCommand(plat::Windows& windows, InstallSession& session,
                               ProgressHost& progress, WizardWindow& wizard,
                               MessageContext context)
    : windows_(windows),
      session_(session),
      progress_(progress),
      wizard_(wizard),
      context_(std::move(context)) {}

int InstallCommand::Message(const char* text, uint32_t flags) {
    return windows_.desktop().MessageBox(context_.owner, text, context_.caption, flags);
}

namespace {

bool Win2003Supported(plat::Windows& windows, int32_t module, const char* model) {
    char setupIni[200] = {};
    char moduleIni[200] = {};
    BuildConfigPaths(windows, module, setupIni, moduleIni);
    return ReadPortSectionKey(windows, moduleIni, PortSection(model),
                              portkey::kSystem2003Supported) != 0;
}

}  // namespace

// The attached printer's stored ID must match the number of the chosen USB
// port; false when the installation must not go on.
bool InstallCommand::CheckUsbIdentity() {
    InstallSession& s = session_;
    const int32_t id = ReadPrinterId(windows_, context_);
    const int32_t idPort = PrinterIdToPortNumber(id);

    if (s.choices.setupType != SetupTypical) {
        if (id == -1) {
            Message(msg::kNoUsbDevice);
            return false;
        }
        if (id == -2) return false;  // the reader has said why
        char mark[16];
        snprintf(mark, sizeof mark, "_%d", idPort);
        if (strstr(s.portName, mark) == nullptr) {
            const int32_t port = UsbPortNumber(s.portName);
            if (idPort != port) {
                if (Message(msg::kChangePrinterName, plat::mb::YesNo) != plat::mb::IdYes)
                    return false;
                if (!WritePrinterId(windows_, context_, port)) {
                    Message(msg::kSetIdFailed);
                    return false;
                }
            }
        }
        return true;
    }

    // Typical: the printer answers to the first port.
    if (id == -1) return true;
    if (idPort != 1) {
        if (Message(msg::kChangePrinterName, plat::mb::YesNo) != plat::mb::IdYes) return false;
        if (!WritePrinterId(windows_, context_, 1)) return false;
    }
    return true;
}

InstallOutcome InstallCommand::Run(const WizardChoices& choices) {
    InstallSession& s = session_;
    s.choices = choices;
    if (s.choices.installFonts) InstallVietnameseFonts(windows_);

    s.reader.SetModuleKind(s.choices.module);
    s.altPortName[0] = '\0';
    CopyBounded(s.model, sizeof s.model, s.choices.model.c_str());
    CopyBounded(s.portName, sizeof s.portName, s.choices.portName.c_str());
    const int32_t os = s.choices.os;
    const int32_t mode = s.choices.driverMode;

    if (s.model[0] == '\0') {
        Message(msg::kNoModuleSelected);
        return InstallOutcome::Refused;
    }
    if (os == Win2003 && !Win2003Supported(windows_, s.choices.module, s.model)) {
        Message(msg::kNo2003);
        return InstallOutcome::Refused;
    }
    s.portKind = DerivePortKind(s.portName);
    if (s.portKind < 0) {
        Message(msg::kPortNotSupported);
        return InstallOutcome::Refused;
    }

    s.files.Clear();
    s.driver = DriverRecord{};
    s.printer = PrinterRecord{};
    s.reader.ReadDriverFileTable(s.model, os, s.files, mode);
    s.reader.ReadDriverRecord(s.model, os, s.driver, mode);
    s.reader.ReadPrinterRecord(s.model, os, s.printer, mode);
    // The name is composed in the session's own buffer, which has room for
    // the suffixes and the numbering.
    CopyBounded(s.printerName, sizeof s.printerName,
                s.printer.pPrinterName ? s.printer.pPrinterName : s.model);
    s.printer.pPrinterName = s.printerName;
    s.printer.pPortName = s.portName;

    if (s.portKind == Usb) {
        if (!CheckUsbIdentity()) return InstallOutcome::Refused;
        AppendUsbSuffixes(s.printerName, sizeof s.printerName, s.portName);
        if (IsKrtC3Port(s.portName)) {
            CopyBounded(s.altPortName, sizeof s.altPortName, BoundUsbPort(s.portName).c_str());
            s.printer.pPortName = s.altPortName;
        }
        WriteUsbPortRecords(windows_, s.printer.pPortName);
    }
    AppendPortSuffix(s.printerName, sizeof s.printerName, s.portKind);

    if (os == WinNT4 && s.portKind == Usb) {
        Message(msg::kNoUsbOnNt4);
        return InstallOutcome::Refused;
    }

    wizard_.ShowMinimized();
    wizard_.MakeTopmost();
    std::atomic<int32_t> completionState{CompletionRunning};
    InstallJob job{windows_, s, completionState};
    plat::Thread worker;
    if (windows_.clock().StartThread([&job] { InstallWorker(job); }, worker) !=
        plat::err::Success) {
        // No thread to run the installation on: nothing was installed.
        s.installMessage = msg::kNoMemory;
        completionState = CompletionFailed;
    } else {
        progress_.RunModal(completionState, os);
        // On Windows 98/Me the progress window may close while the worker
        // still runs; the final message waits for its end.
        worker.Join();
    }

    Message(s.installMessage.empty() ? msg::kInstalled : s.installMessage.c_str());

    if (os == Win98 && Message(msg::kRestartQuestion, plat::mb::YesNo) == plat::mb::IdYes) {
        if (windows_.desktop().ExitWindows(plat::ewx::Reboot, 0) != plat::err::Success)
            s.installMessage = msg::kExitWindowsError;
    }
    return InstallOutcome::Finished;
}
