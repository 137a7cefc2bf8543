// Setup's wizard without its windows, walked page by page with the choices
// of a command line: the very page logic, host checks and Install command
// that Setup.exe runs, so that a plan or an unattended installation does
// exactly what a person clicking through the wizard would get.
#pragma once

#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/Windows.h"
#include "setup/engine/InstallCommand.h"

namespace qsetup {

// What the person would choose, page by page.
struct WizardInput {
    std::string model;         // an entry of the module page's lists
    bool setDefault = false;   // "Set As Default Printer"
    bool advanced = false;     // Advanced on the setup-type page
    bool fonts = false;        // "Install Vietnamese Font"
    std::string port;          // an entry of the port list
    bool raster = false;       // "Raster Graphic Printing" (see RunWizard)
    // The serial settings as entries of the port page's lists ("9600",
    // "None", "8", "1.5", "Hardware"); empty ones stay as the page has them.
    std::string baud, parity, dataBits, stopBits, protocol;
};

// The progress window of a run without windows: it shows nothing and returns
// at once, and the Install command then waits for the worker's end itself
// (as it does when the window closes early on Windows 98/Me). The waiting
// thread sleeps in the join instead of polling.
class JoinedProgress final : public ProgressHost {
public:
    void RunModal(std::atomic<int32_t>&, int32_t) override {}
};

enum class WizardEnd {
    Installed,   // the printer queue was created
    Failed,      // the installation ran and failed
    Refused,     // Setup said no with a message and stays open (nothing installed by the worker)
    Unsupported, // the model does not support this Windows: Setup said so on its OS page
    NotStarted,  // the wizard ended before its pages (not an administrator)
    BadChoice,   // the wizard offers no such choice: nothing was installed
};

struct WizardResult {
    WizardEnd end = WizardEnd::BadChoice;
    // BadChoice: what the wizard does not offer, and what it offers instead.
    std::string problem;
    int32_t os = -1;            // the class the OS page detected
    std::string printer;        // the queue created
    std::string message;        // the final message Setup showed
    bool restartOffered = false;
    // What the pages offered, as far as the walk came: the models of the
    // module page's lists, the ports of the port page, whether the raster
    // box could be ticked or cleared for the chosen port, and the driver
    // mode (DriverMode) that the port page chose.
    std::vector<std::string> models, ports;
    bool rasterChoice = false;
    int32_t mode = -1;
};

// Walks the pages on `windows` (whose program folder and current folder are
// the package) and presses Install. Message boxes go to `windows` as Setup
// shows them. `progress` stands in for the progress window.
//
// An empty model or port ends the walk at that page with BadChoice, having
// told what the pages offer up to there.
//
// "Raster Graphic Printing" is the driver variant: in an Advanced setup the
// box is ticked with `raster` and cleared without it; a Typical setup hides
// the box and takes the raster driver for parallel and USB ports, the text
// driver for serial ones, so `raster` there is a choice it does not offer. A serial port
// never takes the raster driver.
WizardResult RunWizard(plat::Windows& windows, const WizardInput& input, ProgressHost& progress,
                       const std::string& applicationName);

}  // namespace qsetup
