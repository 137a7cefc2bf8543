// The wizard's logic on a simulated Windows XP machine with the sample
// package mounted at C:\PKG (the program's folder and the current folder).
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "setup/engine/Messages.h"
#include "setup/res/resource.h"
#include "setup/wizard/ModulePage.h"
#include "setup/wizard/OsPage.h"
#include "setup/wizard/PortPage.h"
#include "setup/wizard/SetupState.h"
#include "setup/wizard/SetupTypePage.h"
#include "setup/wizard/WizardHost.h"
#include "setup/wizard/WizardTexts.h"
#include "simwindows/testing/SimTestWindows.h"
#include "tests/support/SamplePackage.h"

namespace wiztest {

inline constexpr const char* kPkg = "C:\\PKG";
inline constexpr const char* kReceiptIni = "C:\\PKG\\DRVCONFIG\\setup_receipt.ini";
inline constexpr plat::Window kWizardWindow = 0x4711;

// The host's window as the logic sees it: records which page is shown and
// how often each page's data was read.
class FakeFrames final : public PageFrames {
public:
    bool UpdatePageData(int index) override {
        ++updates[index];
        if (refuseUpdate) return false;
        return host ? host->Page(index)->UpdateData() : true;
    }
    void ShowPage(int index, bool show) override {
        shown[index] = show;
        log.push_back((show ? "show " : "hide ") + std::to_string(index));
    }
    int Visible() const {
        int visible = -1, count = 0;
        for (const auto& [index, show] : shown)
            if (show) {
                visible = index;
                ++count;
            }
        return count == 1 ? visible : -2;
    }
    WizardHost* host = nullptr;
    bool refuseUpdate = false;
    std::map<int, bool> shown;
    std::map<int, int> updates;
    std::vector<std::string> log;
};

class WizardMachine : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_GT(support::MountPackageForInstall(w, kPkg), 0);
        w.SetMonitorPorts("QSCOMMON.DLL", support::SerialMonitorPorts());
        w.SetUsbLibraryPresent(true);
        state.context = MessageContext{kWizardWindow, "Setup"};
    }

    // Builds the four pages and the host as Setup does and shows page 0.
    void StartWizard() {
        modules = std::make_unique<ModulePage>(w);
        setupType = std::make_unique<SetupTypePage>();
        os = std::make_unique<OsPage>();
        port = std::make_unique<PortPage>(state);
        host = std::make_unique<WizardHost>(state, *modules, *setupType, *os, *port);
        host->AddPage(wiztext::kPageCaptions[0], modules.get(), IDD_MODULE_PAGE);
        host->AddPage(wiztext::kPageCaptions[1], setupType.get(), IDD_SETUP_TYPE_PAGE);
        host->AddPage(wiztext::kPageCaptions[2], os.get(), IDD_OS_PAGE);
        host->AddPage(wiztext::kPageCaptions[3], port.get(), IDD_PORT_PAGE);
        modules->Initialize();
        setupType->Initialize();
        os->Initialize(w, state.context);
        port->Initialize();
        frames.host = host.get();
        host->Start(frames);
    }

    // Replaces a key of a model's "%s.PORT" section in the receipt INI.
    void SetPortKey(const std::string& model, const std::string& key, const std::string& value) {
        std::string text = *w.FileText(kReceiptIni);
        const std::string header = "[" + model + ".PORT]";
        size_t at = text.find(header);
        ASSERT_NE(at, std::string::npos);
        const size_t end = text.find("\n[", at + 1);
        const size_t keyAt = text.find("\n" + key + "=", at);
        if (keyAt != std::string::npos && keyAt < end) {
            const size_t lineEnd = text.find_first_of("\r\n", keyAt + 1);
            text.replace(keyAt + 1, lineEnd - keyAt - 1, key + "=" + value);
        } else {
            const size_t lineEnd = text.find('\n', at);
            text.insert(lineEnd + 1, key + "=" + value + "\r\n");
        }
        w.PutFile(kReceiptIni, text);
    }
    void RemovePortKey(const std::string& model, const std::string& key) {
        std::string text = *w.FileText(kReceiptIni);
        const size_t at = text.find("[" + model + ".PORT]");
        ASSERT_NE(at, std::string::npos);
        const size_t keyAt = text.find("\n" + key + "=", at);
        ASSERT_NE(keyAt, std::string::npos);
        const size_t lineEnd = text.find('\n', keyAt + 1);
        text.erase(keyAt + 1, lineEnd - keyAt);
        w.PutFile(kReceiptIni, text);
    }

    void SetVersion(uint32_t platformId, uint32_t major, uint32_t minor) {
        plat::OsVersion v;
        v.platformId = platformId;
        v.major = major;
        v.minor = minor;
        w.SetVersion(v);
    }

    std::vector<std::string> BoxTexts() const { return support::MessageTexts(w); }

    const ComboList& PortList() const { return port->View().List(IDC_PORT); }

    // Walks from page 0 to the port page.
    void NextToPortPage() {
        while (host->Current() < 3) {
            const int before = host->Current();
            host->Next(frames);
            ASSERT_NE(host->Current(), before) << "refused on page " << before;
        }
    }

    // Chooses a model of a module on page 0.
    void ChooseModel(int module, const std::string& model) {
        modules->ModuleClicked(module);
        const ComboList& list = modules->View().List(ModulePage::kLists[module]);
        const auto& entries = list.Entries();
        const auto it = std::find(entries.begin(), entries.end(), model);
        ASSERT_NE(it, entries.end()) << model;
        modules->ListSelectionChanged(module, static_cast<int>(it - entries.begin()));
    }

    plat::SimTestWindows w;
    SetupState state{w};
    std::unique_ptr<ModulePage> modules;
    std::unique_ptr<SetupTypePage> setupType;
    std::unique_ptr<OsPage> os;
    std::unique_ptr<PortPage> port;
    std::unique_ptr<WizardHost> host;
    FakeFrames frames;
};

}  // namespace wiztest
