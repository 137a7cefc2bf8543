#include "setup/wizard/WizardHost.h"

#include "common/SystemProbes.h"
#include "platform/Desktop.h"
#include "platform/Files.h"
#include "platform/Folders.h"
#include "platform/Windows.h"
#include "setup/config/ModelConfigReader.h"
#include "setup/engine/Messages.h"
#include "setup/res/resource.h"
#include "setup/wizard/WizardTexts.h"

WizardHost::WizardHost(SetupState& state, ModulePage& modules, SetupTypePage& setupType,
                       OsPage& os, PortPage& port)
    : state_(state), modules_(modules), setupType_(setupType), os_(os), port_(port) {
    view_.Declare(kButtonBack, false);
    view_.Declare(kButtonOk, false);
    view_.Declare(kButtonCancel);
}

void WizardHost::AddPage(std::string caption, WizardPage* page, int templateId) {
    pages_.push_back(page);
    captions_.push_back(std::move(caption));
    templates_.push_back(templateId);
}

WizardPage* WizardHost::Page(int index) const {
    if (index < 0 || index >= PageCount()) return nullptr;
    return pages_[static_cast<size_t>(index)];
}

void WizardHost::Start(PageFrames& frames) {
    if (PageCount() > 0) SwitchPage(frames, wizpage::Module);
    view_.SetText(kButtonBack, wiztext::kBack);
    view_.SetText(kButtonOk, PageCount() > 1 ? wiztext::kNext : wiztext::kInstall);
    view_.SetText(kButtonCancel, wiztext::kCancel);
}

bool WizardHost::CheckAdministrator() {
    const int32_t os = GetOsClass(state_.windows);
    if (!ChecksAdministrator(os)) return true;
    if (IsUserAdmin(state_.windows)) return true;
    state_.windows.desktop().MessageBox(state_.context.owner, msg::kNotAdministrator,
                              state_.context.caption, plat::mb::Ok);
    return false;
}

std::string WizardHost::PicturePath() {
    plat::Windows& w = state_.windows;
    std::string path;
    if (w.folders().GetCurrentDirectory(path, 260) != plat::err::Success || path.empty()) return {};
    if (path.back() != '\\') path += '\\';
    path += wiztext::kLeftBitmap;
    uint32_t attributes = 0;
    if (w.files().GetFileAttributes(path, attributes) != plat::err::Success ||
        (attributes & plat::attr::Directory) != 0)
        return {};
    return path;
}

int32_t WizardHost::ReadPortKey(const char* key) {
    return ReadPortSectionKey(state_.windows, state_.moduleIniPath, state_.portSection, key);
}

void WizardHost::SwitchPage(PageFrames& frames, int n) {
    const int cur = current_;
    if (cur >= 0 && Page(cur)) {
        if (!frames.UpdatePageData(cur)) return;
        frames.ShowPage(cur, false);
    }
    WizardPage* page = Page(n);
    if (!page) return;
    if (cur == wizpage::Os && n < wizpage::Os) state_.baudResetPending = true;
    if (cur == -1) view_.Enable(kButtonOk, page->HasModels());

    if (cur >= 0 && cur <= wizpage::Port && n > cur) {
        if (cur == wizpage::Module) {
            choices_.module = modules_.ModuleIndex();
            const char* name = ModuleIniName(choices_.module);
            state_.moduleIniPath = ProgramFolder(state_.windows) + (name ? name : "");
            state_.portSection = PortSection(modules_.ModelName());
            if (ReadPortKey(portkey::kAdvancedSetup) != 0) {
                setupType_.ApplyModelRestriction(true);
            } else {
                setupType_.ApplyModelRestriction(false);
            }
        } else if (cur == wizpage::Os) {
            const int32_t supports2003 = ReadPortKey(portkey::kSystem2003Supported);
            const int32_t supportsVista = ReadPortKey(portkey::kSystemVistaSupported);
            if (state_.baudResetPending) {
                port_.ApplyModelBaudRate(ReadPortKey(portkey::kBaudRate));
                state_.baudResetPending = false;
            }
            const char* refusal = nullptr;
            if (os_.OsClass() == Win2003 && supports2003 == 0) refusal = msg::kNo2003;
            if (os_.OsClass() == WinVista && supportsVista == 0) refusal = msg::kNoVista;
            if (refusal) {
                state_.windows.desktop().MessageBox(state_.context.owner, refusal,
                                                    state_.context.caption,
                                                    plat::mb::Ok | plat::mb::IconExclamation);
                current_ = n - 1;
                frames.ShowPage(current_, true);
                return;
            }
        }
    }
    current_ = n;
    frames.ShowPage(n, true);
}

void WizardHost::ArriveAtLastPage() {
    choices_.module = modules_.ModuleIndex();
    choices_.model = modules_.ModelName();
    choices_.setDefault = modules_.SetAsDefault();
    BuildConfigPaths(state_.windows, choices_.module, setupIni_, moduleIni_);
    state_.setupType = setupType_.SetupType();
    choices_.setupType = state_.setupType;
    port_.SetSetupType(state_.setupType);
    choices_.os = os_.OsClass();
    if (state_.setupType == SetupTypical)
        port_.BuildTypicalList(choices_.model, choices_.os, moduleIni_);
    else
        port_.BuildAdvancedList(choices_.model, choices_.os, moduleIni_);
}

void WizardHost::Next(PageFrames& frames) {
    if (installing_) return;
    SwitchPage(frames, current_ + 1);
    if (OnLastPage()) {
        ArriveAtLastPage();
        view_.SetText(kButtonOk, wiztext::kInstall);
    }
    view_.Enable(kButtonBack, true);
    view_.SetFocus(kButtonOk);
}

void WizardHost::Back(PageFrames& frames) {
    // A greyed Back may still be reached (its mnemonic, a queued click) and
    // would enable button 1 below, also where no model can be chosen.
    if (installing_ || !view_.Enabled(kButtonBack)) return;
    if (current_ > 0) {
        if (current_ <= PageCount() - 1) view_.SetText(kButtonOk, wiztext::kNext);
        SwitchPage(frames, current_ - 1);
    }
    if (current_ <= 0) {
        view_.Enable(kButtonBack, false);
        view_.SetFocus(kButtonOk);
    }
    view_.Enable(kButtonOk, true);
}

void WizardHost::Help() {
    plat::Windows& w = state_.windows;
    const plat::Window viewer = w.desktop().FindWindow(wiztext::kHelpViewerTitle);
    if (viewer != 0) {
        w.desktop().SetForegroundWindow(viewer);
        if (w.desktop().IsIconic(viewer)) w.desktop().RestoreWindow(viewer);
        return;
    }
    w.desktop().ShellOpen(wiztext::kHelpFile);
}

WizardChoices WizardHost::CollectForInstall(PageFrames& frames) {
    for (int i = 0; i < PageCount(); ++i) frames.UpdatePageData(i);
    choices_.installFonts = os_.InstallFonts();
    choices_.portName = port_.PortName();
    choices_.driverMode = port_.DriverMode();
    choices_.baudRate = port_.BaudRate();
    choices_.dataBits = port_.DataBits();
    choices_.stopBits = port_.StopBits();
    choices_.parity = port_.Parity();
    choices_.flow = port_.Flow();
    return choices_;
}

InstallOutcome WizardHost::Install(PageFrames& frames, ProgressHost& progress,
                                   WizardWindow& window) {
    if (installing_) return InstallOutcome::Refused;
    struct InstallingFlag {
        bool& flag;
        explicit InstallingFlag(bool& f) : flag(f) { flag = true; }
        ~InstallingFlag() { flag = false; }
    } installing(installing_);
    const WizardChoices choices = CollectForInstall(frames);
    InstallCommand command(state_.windows, state_.session, progress, window, state_.context);
    return command.Run(choices);
}
