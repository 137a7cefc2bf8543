// The Install command of the wizard and its worker.
//
// The command runs on the user-interface thread: it checks the choices that
// the wizard collected, fills the spooler records from the package, settles
// the USB printer's identity, names the printer and binds its port, and then
// runs InstallWorker on its own thread while the progress window is shown
// modally. When the worker has ended it shows one final message, offers a
// restart on Windows 98/Me and tells the wizard to close.
//
// The wizard binds the command to its dialog through three small pieces: the
// collected choices (`WizardChoices`), the progress window (`ProgressHost`)
// and its own window (`WizardWindow`). Headless stand-ins of the two windows
// come with it, for programs and tests without a user interface.
#pragma once

#include <atomic>
#include <cstdint>
#include <string>

#include "common/Types.h"
#include "platform/Desktop.h"
#include "platform/Windows.h"
#include "setup/config/ModelConfigReader.h"
#include "setup/engine/PrinterQueue.h"
#include "setup/engine/Stages.h"

// What the wizard's pages hold when Install is pressed.
struct WizardChoices {
    int32_t module = -1;           // ModuleKind; anything outside 0..3 is none
    std::string model;             // up to 199 characters are used
    bool setDefault = false;       // "Set As Default Printer"
    int32_t setupType = SetupTypical;
    int32_t os = WinXP;            // OsClass
    bool installFonts = false;     // "Install Vietnamese Font"
    std::string portName;          // up to 99 characters are used
    int32_t driverMode = Std;      // DriverMode
    int32_t baudRate = 9600;
    int32_t dataBits = 8;
    double stopBits = 1.0;         // 1, 1.5 or 2
    char parity = 'n';             // first letter of the parity chosen
    char flow = 'p';               // 'x' Xon/Xoff, 'p' hardware, ' ' none
};

// CompletionState of the progress window: 0 while the worker runs.
enum CompletionState : int32_t {
    CompletionRunning = 0,
    CompletionFailed = 1,
    CompletionSucceeded = 2,
};

// The installation state of the wizard host, kept for the program's whole run.
// The records point into the reader's buffers and into the name buffers here,
// so the session never moves.
struct InstallSession {
    explicit InstallSession(plat::Windows& windows) : reader(windows) {}
    InstallSession(const InstallSession&) = delete;
    InstallSession& operator=(const InstallSession&) = delete;

    ModelConfigReader reader;
    WizardChoices choices;          // taken at Install
    char model[200] = {};
    char portName[kPortNameSize] = {};       // the chosen port
    char altPortName[kPortNameSize] = {};    // the "USB_KRT-C3_" port
    char printerName[kPrinterNameSize] = {}; // what PrinterRecord.pPrinterName points at
    char createdName[200] = {};              // the queue actually created
    int32_t portKind = -1;
    int32_t updateFlags = 0;
    DriverFileTable files;
    DriverRecord driver{};
    PrinterRecord printer{};
    // The one message of the installation; empty while nothing has failed.
    std::string installMessage;
};

// What the worker is handed.
struct InstallJob {
    plat::Windows& windows;
    InstallSession& session;
    std::atomic<int32_t>& completionState;
};

// Runs the stages of one installation in their order and sets
// `completionState` to 1 (failed) or 2 (succeeded) as its last action; the
// reason of a failure, or the success text, is in the session's
// installMessage. Returns 0 in every case.
uint32_t InstallWorker(InstallJob& job);

// The progress window, shown modally while the worker runs. The real window
// polls `completionState` on its timer and closes when it is 1 or 2; on
// Windows 98/Me (os 0) it also closes on its own at its 90th step.
class ProgressHost {
public:
    virtual ~ProgressHost() = default;
    virtual void RunModal(std::atomic<int32_t>& completionState, int32_t os) = 0;
};

// A progress window without a window: polls the state every 100 ms through
// the platform's clock and, like the real one, gives up waiting on Windows
// 98/Me after 90 polls.
class HeadlessProgress final : public ProgressHost {
public:
    explicit HeadlessProgress(plat::Windows& windows) : windows_(windows) {}
    void RunModal(std::atomic<int32_t>& completionState, int32_t os) override;

private:
    plat::Windows& windows_;
};

// The wizard's own window, which steps aside while the installation runs.
class WizardWindow {
public:
    virtual ~WizardWindow() = default;
    // ShowWindow(SW_SHOWMINIMIZED).
    virtual void ShowMinimized() = 0;
    // SetWindowPos(HWND_TOPMOST, SWP_NOMOVE | SWP_NOSIZE).
    virtual void MakeTopmost() = 0;
};

class NoWizardWindow final : public WizardWindow {
public:
    void ShowMinimized() override {}
    void MakeTopmost() override {}
};

enum class InstallOutcome {
    Refused,   // a check refused the choices: the wizard stays on the port page
    Finished,  // the worker ran (successfully or not): the wizard closes
};

class InstallCommand {
public:
    // `context` names the wizard as owner of the message boxes and the
    // application name as their caption.
    InstallCommand(plat::Windows& windows, InstallSession& session, ProgressHost& progress,
                   WizardWindow& wizard, MessageContext context);

    // Runs the command with the choices of the pages. May run again after a
    // refusal.
    InstallOutcome Run(const WizardChoices& choices);

private:
    bool CheckUsbIdentity();
    int Message(const char* text, uint32_t flags = plat::mb::Ok);

    plat::Windows& windows_;
    InstallSession& session_;
    ProgressHost& progress_;
    WizardWindow& wizard_;
    MessageContext context_;
};
