// The wizard host's logic: the page list, the moves between the pages with
// the checks and preparations between them, the button states, the
// collection of the user's choices and the hand-over to the Install command.
//
// The host's window does what needs a window through `PageFrames`; the
// button states are in the host's own view.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "gui/PageView.h"
#include "setup/engine/InstallCommand.h"
#include "setup/res/resource.h"
#include "setup/wizard/ModulePage.h"
#include "setup/wizard/OsPage.h"
#include "setup/wizard/PortPage.h"
#include "setup/wizard/SetupState.h"
#include "setup/wizard/SetupTypePage.h"

// The positions of the wizard's pages, in the order SetupWizard adds them.
namespace wizpage {
enum Position : int { Module = 0, SetupType = 1, Os = 2, Port = 3 };
}  // namespace wizpage

// What the host's window does for the logic.
class PageFrames {
public:
    virtual ~PageFrames() = default;
    // Reads the page's check boxes back into its view and runs its
    // update-data; false stops the move.
    virtual bool UpdatePageData(int index) = 0;
    virtual void ShowPage(int index, bool show) = 0;
};

class WizardHost {
public:
    static constexpr int kButtonOk = 1, kButtonCancel = 2, kButtonBack = IDC_BACK;

    WizardHost(SetupState& state, ModulePage& modules, SetupTypePage& setupType, OsPage& os,
               PortPage& port);

    void AddPage(std::string caption, WizardPage* page, int templateId);
    int PageCount() const { return static_cast<int>(pages_.size()); }
    WizardPage* Page(int index) const;
    int TemplateOf(int index) const { return templates_.at(static_cast<size_t>(index)); }
    const std::string& CaptionOf(int index) const { return captions_.at(static_cast<size_t>(index)); }
    int Current() const { return current_; }
    bool OnLastPage() const { return current_ == PageCount() - 1; }

    // After the pages' windows exist: the first page and the button texts.
    void Start(PageFrames& frames);
    // Whether the user may run Setup at all: from Windows 2000 on an
    // administrator only (the message is shown here). False ends the wizard.
    bool CheckAdministrator();
    // The full path of the wizard's picture, "DRVCONFIG\Left.bmp" in the
    // current folder; empty when no such file is there (the picture is
    // looked for nowhere else, not even beside the program).
    std::string PicturePath();

    void SwitchPage(PageFrames& frames, int n);
    void Next(PageFrames& frames);
    // Ignored while the Back button is disabled or an installation runs.
    void Back(PageFrames& frames);
    // F1: brings the open help viewer to the front or opens the help file.
    void Help();

    // The Install command's first steps: every page's update-data, then the
    // port page's values into the collected choices.
    WizardChoices CollectForInstall(PageFrames& frames);
    // Runs the Install command with the collected choices. Installing()
    // holds while it runs (its message boxes let the window's messages
    // through) and no longer once it has returned, whichever way.
    InstallOutcome Install(PageFrames& frames, ProgressHost& progress, WizardWindow& window);
    bool Installing() const { return installing_; }

    const WizardChoices& Choices() const { return choices_; }
    const char* SetupIniPath() const { return setupIni_; }
    const char* ModuleIniPath() const { return moduleIni_; }

    // Back, Next/Install and Cancel.
    PageView& View() { return view_; }

private:
    int32_t ReadPortKey(const char* key);
    void ArriveAtLastPage();

    SetupState& state_;
    ModulePage& modules_;
    SetupTypePage& setupType_;
    OsPage& os_;
    PortPage& port_;

    std::vector<WizardPage*> pages_;
    std::vector<std::string> captions_;
    std::vector<int> templates_;
    int current_ = -1;
    bool installing_ = false;

    WizardChoices choices_;
    char setupIni_[200] = {};
    char moduleIni_[200] = {};
    PageView view_;
};
