#include "qsetup/WizardRun.h"

#include <algorithm>
#include <cctype>
#include <vector>

#include "common/Text.h"
#include "platform/Windows.h"
#include "qsetup/OsNames.h"
#include "setup/engine/Messages.h"
#include "setup/wizard/SetupWizard.h"

namespace qsetup {

namespace {

// The host's window as far as the logic needs one: pages are shown by no one.
class Frames final : public PageFrames {
public:
    explicit Frames(WizardHost& host) : host_(host) {}
    bool UpdatePageData(int index) override { return host_.Page(index)->UpdateData(); }
    void ShowPage(int, bool) override {}

private:
    WizardHost& host_;
};

std::string Join(const std::vector<std::string>& texts) {
    std::string out;
    for (const std::string& t : texts) out += (out.empty() ? "" : ", ") + t;
    return out.empty() ? "none" : out;
}

WizardResult Bad(WizardResult r, std::string problem) {
    r.end = WizardEnd::BadChoice;
    r.problem = std::move(problem);
    return r;
}

}  // namespace

WizardResult RunWizard(plat::Windows& windows, const WizardInput& input, ProgressHost& progress,
                       const std::string& applicationName) {
    SetupState state(windows);
    state.context.caption = applicationName;

    // The pages and the host as Setup builds them; each page initialises
    // when its window is made, then the host shows page 0 and checks the user.
    SetupWizard wizard(state);
    ModulePage& modules = wizard.modules;
    SetupTypePage& setupType = wizard.setupType;
    OsPage& os = wizard.os;
    PortPage& port = wizard.port;
    WizardHost& host = wizard.host;
    modules.Initialize();
    setupType.Initialize();
    os.Initialize(windows, state.context);
    port.Initialize();
    Frames frames(host);
    host.Start(frames);
    WizardResult result;
    result.os = os.OsClass();
    if (!host.CheckAdministrator()) {
        result.end = WizardEnd::NotStarted;
        return result;
    }

    // Module page: the model in its module's list, and the default check box.
    int module = -1, entry = -1;
    std::vector<std::string> offered;
    for (int m = 0; m < ModulePage::kModules; ++m) {
        const auto& entries = modules.View().List(ModulePage::kLists[m]).Entries();
        offered.insert(offered.end(), entries.begin(), entries.end());
        const auto it = std::find(entries.begin(), entries.end(), input.model);
        if (module < 0 && it != entries.end()) {
            module = m;
            entry = static_cast<int>(it - entries.begin());
        }
    }
    result.models = offered;
    if (module < 0)
        return Bad(result, "the model \"" + input.model + "\" is not offered; the package offers " +
                   Join(offered));
    modules.ModuleClicked(module);
    modules.ListSelectionChanged(module, entry);
    modules.View().TakeUserCheck(IDC_SET_DEFAULT, input.setDefault);
    host.Next(frames);

    // Setup-type page.
    if (input.advanced) {
        if (!setupType.View().Enabled(IDC_ADVANCED))
            return Bad(result, input.model + " has no Advanced setup (its AdvancedSetup is 0)");
        setupType.AdvancedClicked();
    }
    host.Next(frames);

    // OS page: the running Windows is detected, not chosen.
    os.View().TakeUserCheck(IDC_VIET_FONTS, input.fonts);
    host.Next(frames);
    if (host.Current() != wizpage::Port) {
        result.end = WizardEnd::Unsupported;
        return result;
    }

    // Port page.
    const auto& ports = port.View().List(IDC_PORT).Entries();
    result.ports = ports;
    const auto found = std::find(ports.begin(), ports.end(), input.port);
    if (found == ports.end())
        return Bad(result, "the port \"" + input.port + "\" is not offered for " + input.model + " on " +
                   OsName(result.os) +
                   (input.advanced ? " (Advanced)" : " (Typical)") + "; the port page offers " +
                   Join(ports));
    port.SelectionChanged(IDC_PORT, static_cast<int>(found - ports.begin()));

    const struct {
        int id;
        const std::string& text;
        const char* what;
    } serial[] = {{IDC_BAUD, input.baud, "baud rate"},
                  {IDC_PARITY, input.parity, "parity"},
                  {IDC_DATA_BITS, input.dataBits, "byte size"},
                  {IDC_STOP_BITS, input.stopBits, "stop bits"},
                  {IDC_FLOW, input.protocol, "protocol"}};
    for (const auto& s : serial) {
        if (s.text.empty()) continue;
        if (!port.View().Enabled(s.id))
            return Bad(result, "serial settings are for serial ports; \"" + input.port + "\" is not one");
        const auto& entries = port.View().List(s.id).Entries();
        const auto it = std::find_if(entries.begin(), entries.end(),
                                     [&](const std::string& e) { return EqualsIgnoringCase(e, s.text); });
        if (it == entries.end())
            return Bad(result, std::string("the ") + s.what + " \"" + s.text +
                       "\" is not in the port page's list: " + Join(entries));
        port.SelectionChanged(s.id, static_cast<int>(it - entries.begin()));
    }

    result.rasterChoice = port.View().Visible(IDC_RASTER) && port.View().Enabled(IDC_RASTER);
    if (result.rasterChoice) {
        port.View().TakeUserCheck(IDC_RASTER, input.raster);
    } else if (input.raster && !input.advanced) {
        return Bad(result, "--raster is for an Advanced setup: a Typical one takes the raster "
                           "driver for parallel and USB ports and the text driver for serial ones");
    } else if (input.raster && !port.View().Checked(IDC_RASTER)) {
        return Bad(result, "the raster driver is not offered for the serial port \"" + input.port + "\"");
    }

    NoWizardWindow window;
    const InstallOutcome outcome = host.Install(frames, progress, window);
    result.mode = port.DriverMode();
    if (outcome == InstallOutcome::Refused) {
        result.end = WizardEnd::Refused;
        return result;
    }
    const InstallSession& session = state.session;
    result.printer = session.createdName;
    result.message = session.installMessage.empty() ? msg::kInstalled : session.installMessage;
    result.end = result.printer.empty() ? WizardEnd::Failed : WizardEnd::Installed;
    result.restartOffered = result.os == Win98;
    return result;
}

}  // namespace qsetup
