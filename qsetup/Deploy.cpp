// install, uninstall and list on a machine: the exclusion of Setup and
// Uninstall, the checks before anything changes, the runs through the
// programs' own logic, and the exit codes.
#include "qsetup/Deploy.h"

#include <algorithm>
#include <cctype>

#include "common/ProgramName.h"
#include "common/SystemProbes.h"
#include "common/Text.h"
#include "common/Types.h"
#include "platform/sim/SimWindows.h"
#include "qsetup/OsNames.h"
#include "qsetup/PackageCheck.h"
#include "qsetup/PackageWindows.h"
#include "qsetup/SimulatedMachine.h"
#include "setup/engine/Messages.h"
#include "setup/engine/PrinterQueue.h"
#include "setup/wizard/SetupStartup.h"
#include "setup/wizard/WizardTexts.h"
#include "uninstall/Messages.h"
#include "uninstall/UninstallDialogLogic.h"
#include "uninstall/UninstallEngine.h"

namespace qsetup {

namespace {

// Message boxes answered without a window: each text goes to the output, a
// Yes/No question is answered by the run's rules, and Windows is never
// restarted (the run ends with 3010 instead).
class AnswerWindows final : public plat::ForwardingWindows {
public:
    AnswerWindows(plat::Windows& inner, DeployOutput& out, bool setId)
        : ForwardingWindows(inner), out_(out), setId_(setId) {}

    int MessageBox(plat::Window, const std::string& text, const std::string& caption,
                   uint32_t flags) override {
        if ((flags & 0xF) != plat::mb::YesNo) {
            out_.Tell(caption, text);
            last_ = text;
            return plat::mb::IdOk;
        }
        if (text == msg::kRestartQuestion) {
            restart_ = true;
            return plat::mb::IdNo;
        }
        // Only the question whether the USB printer may take the port's ID has
        // an option that answers Yes.
        const bool yes = setId_ && text == msg::kChangePrinterName;
        out_.Tell(caption, text + (yes ? "\n(answered Yes: --set-id)" : "\n(answered No)"));
        if (!yes) declined_ = true;
        return yes ? plat::mb::IdYes : plat::mb::IdNo;
    }
    uint32_t ExitWindows(uint32_t, uint32_t) override {
        restart_ = true;
        return plat::err::AccessDenied;
    }

    bool Declined() const { return declined_; }
    bool RestartWanted() const { return restart_; }
    const std::string& LastMessage() const { return last_; }

private:
    DeployOutput& out_;
    bool setId_;
    bool declined_ = false;
    bool restart_ = false;
    std::string last_;
};

// Refuses while Setup's or Uninstall's window is open or either program's
// mutex is held; otherwise holds both mutexes until the run ends, so that
// neither program starts meanwhile. 0 or kDeployBusy.
int Exclude(plat::Windows& machine, const PackageOnMachine& package, plat::Mutex& setupMutex,
            plat::Mutex& uninstallMutex, DeployOutput& out) {
    const std::string setupName = ProgramName(package.setupProgram);
    const std::string uninstallName = ProgramName(package.uninstallProgram);
    std::string busy;
    if (machine.FindWindow(wiztext::kWizardTitle))
        busy = setupName + " is running (its window \"" + wiztext::kWizardTitle + "\" is open)";
    else if (machine.FindWindow(wiztext::kUninstallTitle))
        busy = uninstallName + " is running (its window \"" + wiztext::kUninstallTitle +
               "\" is open)";
    else if (machine.CreateMutex(setupName, true, setupMutex) == plat::err::AlreadyExists)
        busy = setupName + " is running (its mutex \"" + setupName + "\" is held)";
    else if (machine.CreateMutex(uninstallName, true, uninstallMutex) == plat::err::AlreadyExists)
        busy = uninstallName + " is running (its mutex \"" + uninstallName + "\" is held)";
    if (busy.empty()) return kDeployDone;
    setupMutex.reset();
    uninstallMutex.reset();
    out.Error(busy + ": try again once it has ended");
    return kDeployBusy;
}

std::string Describe(const plat::OsVersion& v) {
    return (v.platformId == 1 ? std::string("Windows 9x ") : std::string("Windows NT ")) +
           std::to_string(v.major) + "." + std::to_string(v.minor) + " build " +
           std::to_string(v.build);
}

}  // namespace

std::string EnterFolder(plat::Windows& machine, const std::string& dir) {
    std::string root;
    if (machine.SetCurrentDirectory(dir) != plat::err::Success ||
        machine.GetCurrentDirectory(root, 260) != plat::err::Success)
        return {};
    while (root.size() > 3 && root.back() == '\\') root.pop_back();
    return root;
}

PackageOnMachine FindPrograms(plat::Windows& machine, const std::string& root) {
    PackageOnMachine package;
    package.root = root;
    package.setupProgram = PackageFileName(machine, root, "Setup.exe");
    package.uninstallProgram = PackageFileName(machine, root, "Uninstall.exe");
    return package;
}

int RunInstall(plat::Windows& machine, const PackageOnMachine& package,
               const InstallOptions& options, DeployOutput& out) {
    const WizardInput& input = options.wizard;
    plat::Mutex setupMutex, uninstallMutex;
    if (const int busy = Exclude(machine, package, setupMutex, uninstallMutex, out)) return busy;

    // The Windows the OS page would find: Setup installs only for it.
    plat::OsVersion version;
    machine.GetVersion(version);
    const int32_t os = OsClassOf(version);
    out.LogOnly("Windows found: " + Describe(version) + ", which Setup installs for as " +
                OsName(os));
    if (options.os >= 0 && options.os != os) {
        out.Error(std::string("Setup installs only for the running Windows, ") + OsName(os) +
                  "; --os asks for " + OsName(options.os));
        return kDeployBadInput;
    }

    // Before anything changes: the same walk on a simulated machine of this
    // Windows (which says whether the wizard offers these choices and how
    // many steps to expect), and the package's faults for this installation.
    PackageWindows packageWindows(machine, package.root, package.setupProgram);
    int32_t mode = -1;
    std::string failure;  // Setup's message where the rehearsal failed
    {
        plat::SimWindows sim;
        if (!CopyPackage(packageWindows, package.root, sim)) {
            out.Error(package.root + ": the package can't be read");
            return kDeployBadInput;
        }
        std::string assumed;
        PrepareMachine(sim, os, std::nullopt, assumed);
        Journal journal;
        RecordingWindows recorder(sim, journal);
        JoinedProgress progress;
        const WizardResult rehearsal = RunWizard(recorder, input, progress, ApplicationName(sim));
        const std::vector<JournalEntry> steps = journal.Entries();
        if (rehearsal.end == WizardEnd::BadChoice) {
            out.Error(rehearsal.problem);
            return kDeployBadInput;
        }
        if (rehearsal.end == WizardEnd::Unsupported) {
            std::string why = "the model does not support this Windows";
            for (const JournalEntry& e : steps)
                if (e.action == "message") why = e.text;
            out.Error(input.model + " can't be installed on " + OsName(os) + ": " + why);
            return kDeployBadInput;
        }
        if (rehearsal.end == WizardEnd::Installed)
            out.ExpectSteps(static_cast<int>(std::count_if(
                steps.begin(), steps.end(),
                [](const JournalEntry& e) { return e.action != "message"; })));
        mode = rehearsal.mode;
        if (rehearsal.end == WizardEnd::Failed)
            failure = rehearsal.message.empty() ? "no printer was created" : rehearsal.message;
    }
    // The package's faults that concern this installation, chosen by their
    // subject: its model, this Windows, its driver mode and its port kind.
    const CheckReport report = CheckPackage(packageWindows, package.root, {.rehearse = false});
    const std::vector<Finding> faults = ErrorsConcerning(
        report.findings, input.model, os, mode, DerivePortKind(input.port.c_str()));
    if (!faults.empty()) {
        for (const Finding& f : faults) out.Error(FormatFinding(f));
        out.Error("the package can't install " + input.model + " on " + OsName(os) +
                  " (qsetup check tells all its findings)");
        return kDeployBadInput;
    }
    if (!failure.empty()) {
        out.Error("on a fresh simulated " + std::string(OsName(os)) + " the installation fails: " +
                  OneLine(failure));
        out.Error("the package can't install " + input.model + " on " + OsName(os) +
                  " (qsetup plan shows its steps)");
        return kDeployBadInput;
    }

    // The wizard on this machine.
    AnswerWindows answers(packageWindows, out, options.setId);
    RecordingWindows recorder(answers, out);
    JoinedProgress progress;
    const WizardResult result = RunWizard(recorder, input, progress, ApplicationName(answers));
    switch (result.end) {
        case WizardEnd::Installed:
            if (answers.RestartWanted()) {
                out.Note("Windows must be restarted for the changes to take effect");
                out.Finish("installed \"" + result.printer + "\"; restart needed", kDeployRestart);
                return kDeployRestart;
            }
            out.Finish("installed \"" + result.printer + "\"", kDeployDone);
            return kDeployDone;
        case WizardEnd::NotStarted:
            out.Finish("not installed: not an administrator", kDeployNotAdmin);
            return kDeployNotAdmin;
        case WizardEnd::BadChoice:
            out.Error(result.problem);
            out.Finish("not installed", kDeployBadInput);
            return kDeployBadInput;
        case WizardEnd::Unsupported:
            out.Finish("not installed: the model does not support this Windows", kDeployBadInput);
            return kDeployBadInput;
        case WizardEnd::Refused:
            if (answers.Declined()) {
                out.Finish("not installed: a question was answered No", kDeployDeclined);
                return kDeployDeclined;
            }
            out.Finish("not installed: " + OneLine(answers.LastMessage()), kDeployFailed);
            return kDeployFailed;
        case WizardEnd::Failed:
            break;
    }
    out.Finish("the installation failed: " + OneLine(result.message), kDeployFailed);
    return kDeployFailed;
}

namespace {

// Uninstall's controls without a window: the list in memory, the status
// lines to the output, the restart dialog answered No (and remembered).
class ListControls final : public uninstall::UninstallControls {
public:
    explicit ListControls(DeployOutput* out) : out_(out) {}

    int ItemCount() override { return static_cast<int>(items_.size()); }
    std::string ItemText(int index) override {
        return index >= 0 && index < ItemCount() ? items_[static_cast<size_t>(index)].text
                                                 : std::string();
    }
    bool IsItemChecked(int index) override {
        return index >= 0 && index < ItemCount() && items_[static_cast<size_t>(index)].checked;
    }
    void CheckItem(int index) override {
        if (index >= 0 && index < ItemCount()) items_[static_cast<size_t>(index)].checked = true;
    }
    void AddItem(const std::string& text) override { items_.push_back({text, false}); }
    void DeleteItem(int index) override {
        if (index >= 0 && index < ItemCount()) items_.erase(items_.begin() + index);
    }
    void AddStatusLine(const std::string& text) override {
        if (out_) out_->Tell(uninstall::kApplicationName, text);
    }
    void SetInstruction(const std::string&) override {}
    void EnableControl(int, bool) override {}
    int ShowRestartDialog() override {
        restartOffered_ = true;
        return 2;  // No: the deployment tool restarts Windows when it sees 3010
    }

    bool RestartOffered() const { return restartOffered_; }
    bool AnyChecked() const {
        return std::any_of(items_.begin(), items_.end(), [](const Item& i) { return i.checked; });
    }

private:
    struct Item {
        std::string text;
        bool checked;
    };
    DeployOutput* out_;
    std::vector<Item> items_;
    bool restartOffered_ = false;
};

}  // namespace

int RunUninstall(plat::Windows& machine, const PackageOnMachine& package,
                 const UninstallOptions& options, DeployOutput& out) {
    plat::Mutex setupMutex, uninstallMutex;
    if (const int busy = Exclude(machine, package, setupMutex, uninstallMutex, out)) return busy;

    // Uninstall's own start: the running program is the package's Uninstall.
    PackageWindows packageWindows(machine, package.root, package.uninstallProgram);
    AnswerWindows answers(packageWindows, out, false);
    RecordingWindows recorder(answers, out);
    uninstall::UninstallState state;
    const uninstall::UninstallIni ini(recorder, state);
    ListControls controls(&out);
    if (!uninstall::RunStartUpChecks(recorder, state, ini, controls, 0)) {
        const std::string why = answers.LastMessage();
        if (why == uninstall::UninstallString(IDS_NOT_ADMIN)) {
            out.Finish("nothing removed: not an administrator", kDeployNotAdmin);
            return kDeployNotAdmin;
        }
        if (why == uninstall::UninstallString(IDS_NOTHING_TO_REMOVE)) {
            const int code = options.all ? kDeployDone : kDeployNotListed;
            out.Finish("nothing to remove", code);
            return code;
        }
        out.Finish("nothing removed", kDeployBadInput);
        return kDeployBadInput;
    }
    uninstall::LoadSpooler(recorder, state, 0);

    // Every named item must be in the list before anything is removed.
    std::vector<int> chosen;
    for (const std::string& name : options.items) {
        int found = -1;
        for (int i = 0; i < controls.ItemCount() && found < 0; ++i)
            if (controls.ItemText(i) == name) found = i;
        for (int i = 0; i < controls.ItemCount() && found < 0; ++i)
            if (EqualsIgnoringCase(controls.ItemText(i), name)) found = i;
        if (found < 0) {
            std::string offered;
            for (int i = 0; i < controls.ItemCount(); ++i)
                offered += (i ? ", " : "") + std::string("\"") + controls.ItemText(i) + "\"";
            out.Error("\"" + name + "\" is not in Uninstall's list; it offers " + offered);
            out.Finish("nothing removed", kDeployNotListed);
            return kDeployNotListed;
        }
        chosen.push_back(found);
    }
    if (options.all) uninstall::SelectAll(controls);
    for (int index : chosen) controls.CheckItem(index);

    uninstall::UninstallEngine engine(recorder, state, ini, controls);
    if (!engine.PreCheck()) {
        out.Finish("nothing removed", kDeployFailed);
        return kDeployFailed;
    }
    engine.UninstallWorker();
    if (controls.AnyChecked()) {
        out.Finish("some items could not be removed", kDeployFailed);
        return kDeployFailed;
    }
    if (controls.RestartOffered()) {
        out.Note("Windows must be restarted for the changes to take effect");
        out.Finish("removed; restart needed", kDeployRestart);
        return kDeployRestart;
    }
    out.Finish("removed", kDeployDone);
    return kDeployDone;
}

bool ListItems(plat::Windows& machine, const PackageOnMachine& package,
               std::vector<ListedItem>& items, std::string& error) {
    PackageWindows packageWindows(machine, package.root, package.uninstallProgram);
    uninstall::UninstallState state;
    state.osClass = GetOsClass(packageWindows, ProbeFlavour::Uninstall);
    state.iniPath = package.root;
    if (const int32_t failure = uninstall::FindUninstallIni(packageWindows, state)) {
        error = uninstall::UninstallString(failure);
        return false;
    }
    const uninstall::UninstallIni ini(packageWindows, state);
    ListControls controls(nullptr);
    uninstall::FillItemList(packageWindows, state, ini, controls);
    items.clear();
    for (int i = 0; i < controls.ItemCount(); ++i) {
        const std::string name = controls.ItemText(i);
        // Told apart again as the engine tells them apart.
        const char* kind = ini.IsListedMonitor(name)     ? "monitor"
                           : ini.IsListedProcessor(name) ? "processor"
                                                         : "printer";
        items.push_back({name, kind});
    }
    return true;
}

}  // namespace qsetup
