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
#include "platform/Desktop.h"
#include "platform/Folders.h"
#include "platform/Spooler.h"
#include "platform/System.h"
#include "platform/Windows.h"
#include "qsetup/MountedPackage.h"
#include "qsetup/OsNames.h"
#include "qsetup/PackageCheck.h"
#include "qsetup/PackageWindows.h"
#include "qsetup/Status.h"
#include "setup/engine/Messages.h"
#include "setup/engine/PrinterQueue.h"
#include "setup/engine/Stages.h"
#include "setup/wizard/SetupStartup.h"
#include "setup/wizard/WizardTexts.h"
#include "simwindows/SimWindows.h"
#include "uninstall/Messages.h"
#include "uninstall/UninstallDialog.h"
#include "uninstall/UninstallDialogLogic.h"
#include "uninstall/UninstallView.h"

namespace qsetup {

namespace {

// Message boxes answered without a window: each text goes to the output, a
// Yes/No question is answered by the run's rules, and Windows is never
// restarted (the run ends with 3010 instead).
class AnswerDesktop : public plat::ForwardingDesktop {
public:
    AnswerDesktop(plat::Desktop& inner, DeployOutput& out, bool setId)
        : ForwardingDesktop(inner), out_(out), setId_(setId) {}

    int MessageBox(plat::Window, const std::string& text, const std::string& caption,
                   uint32_t flags) override {
        if ((flags & 0xF) != plat::mb::YesNo) {
            out_.Tell(caption, text);
            last_ = text;
            return plat::mb::IdOk;
        }
        // Setup asks two questions: whether the USB printer may take the
        // port's ID, which --set-id answers Yes, and, on Windows 98/Me after
        // the installation, whether to restart, answered No (the exit code
        // says 3010; the run's restart value, not these words, decides it).
        if (text == msg::kRestartQuestion) return plat::mb::IdNo;
        const bool yes = setId_;
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
using AnswerWindows = plat::Decorated<AnswerDesktop>;

// Refuses while Setup's or Uninstall's window is open or either program's
// mutex is held; otherwise holds both mutexes until the run ends, so that
// neither program starts meanwhile. 0 or kDeployBusy.
int Exclude(plat::Windows& machine, const PackageOnMachine& package, plat::Mutex& setupMutex,
            plat::Mutex& uninstallMutex, DeployOutput& out) {
    const std::string setupName = ProgramName(package.setupProgram);
    const std::string uninstallName = ProgramName(package.uninstallProgram);
    std::string busy;
    if (machine.desktop().FindWindow(wiztext::kWizardTitle))
        busy = setupName + " is running (its window \"" + wiztext::kWizardTitle + "\" is open)";
    else if (machine.desktop().FindWindow(wiztext::kUninstallTitle))
        busy = uninstallName + " is running (its window \"" + wiztext::kUninstallTitle +
               "\" is open)";
    else if (machine.desktop().CreateMutex(setupName, true, setupMutex) == plat::err::AlreadyExists)
        busy = setupName + " is running (its mutex \"" + setupName + "\" is held)";
    else if (machine.desktop().CreateMutex(uninstallName, true, uninstallMutex) ==
             plat::err::AlreadyExists)
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
    if (machine.folders().SetCurrentDirectory(dir) != plat::err::Success ||
        machine.folders().GetCurrentDirectory(root, 260) != plat::err::Success)
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

namespace {

// Everything an installation checks before it changes anything: the Windows
// it runs on, a rehearsal of the wizard on a simulated machine of this
// Windows (which says whether the wizard offers these choices, how many
// steps to expect and, in `wanted`, what the installation makes), and the
// package's faults. kDeployDone, or the exit code of a refusal (told).
int CheckBeforeInstall(plat::Windows& machine, const PackageOnMachine& package,
                       const InstallOptions& options, DeployOutput& out, int32_t& os,
                       WantedState& wanted) {
    const WizardInput& input = options.wizard;
    // The Windows the OS page would find: Setup installs only for it.
    plat::OsVersion version;
    machine.system().GetVersion(version);
    os = OsClassOf(version);
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
    // The package is read once, into the simulated machine, where its many
    // profile reads cost little (a real GetPrivateProfileString reads the
    // file at every call); it is mounted there read-only, so the rehearsal
    // leaves it as it was for the check.
    plat::SimWindows sim;
    sim.SetProfileIndexing(true);
    int32_t mode = -1;
    std::string failure;  // Setup's message where the rehearsal failed
    {
        if (!CopyPackage(packageWindows, package.root, sim)) {
            out.Error(package.root + ": the package can't be read");
            return kDeployBadInput;
        }
        // The look of status and --ensure needs the whole installation: an
        // Advanced USB one finds a printer answering to the chosen port.
        const bool usb = DerivePortKind(input.port.c_str()) == Usb;
        std::optional<int32_t> usbPrinter;
        if (options.ensure && usb && input.advanced)
            usbPrinter = std::max(0, UsbPortNumber(input.port.c_str()) - 1);
        std::string assumed;
        PrepareMachine(sim, os, usbPrinter, assumed);
        Journal journal;
        CaptureWindows capture(sim, wanted);
        RecordingWindows recorder(capture, journal);
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
        FinishWanted(sim, os, input.port, options.serialAsked, wanted);
        wanted.setDefault = input.setDefault;
        mode = rehearsal.mode;
        if (rehearsal.end == WizardEnd::Failed)
            failure = rehearsal.message.empty() ? "no printer was created" : rehearsal.message;
    }
    // The package's faults that concern this installation, chosen by their
    // subject: its model, this Windows, its driver mode and its port kind.
    const CheckReport report = CheckPackage(sim, kSimPackage, {.rehearse = false});
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
    return kDeployDone;
}

void TellStatus(const StatusReport& report, DeployOutput& out) {
    for (const StatusItem& item : report.items)
        out.LogOnly(std::string(item.item) + ": " + (item.ok ? std::string("ok") : item.differs));
}

}  // namespace

int RunInstall(plat::Windows& machine, const PackageOnMachine& package,
               const InstallOptions& options, DeployOutput& out) {
    plat::Mutex setupMutex, uninstallMutex;
    if (const int busy = Exclude(machine, package, setupMutex, uninstallMutex, out)) {
        out.Finish("nothing done", busy);
        return busy;
    }
    int32_t os = -1;
    WantedState wanted;
    if (const int code = CheckBeforeInstall(machine, package, options, out, os, wanted)) {
        out.Finish("nothing done", code);
        return code;
    }
    PackageWindows packageWindows(machine, package.root, package.setupProgram);

    // --ensure: the same look as status first.
    WizardInput input = options.wizard;
    std::string found;
    if (options.ensure && wanted.known) {
        const StatusReport before = CompareWithMachine(packageWindows, wanted, os);
        TellStatus(before, out);
        found = before.queue;
        out.SetPrinter(found);
        if (before.InPlace()) {
            out.Print("qsetup: everything is in place; nothing to do");
            out.Finish("already installed \"" + found + "\"", kDeployDone);
            return kDeployDone;
        }
        // A queue found stays the queue: no numbered second one, and its
        // default is set below under its own name.
        if (!found.empty()) {
            out.Note("the queue \"" + found + "\" is bound to " + wanted.port +
                     " with the driver; it is kept");
            input.setDefault = false;
        }
    }

    // The wizard on this machine.
    AnswerWindows answers(packageWindows, out, options.setId);
    RecordingWindows recorder(answers, out);
    KeepQueueWindows keep(recorder, wanted, found);
    JoinedProgress progress;
    WizardResult result = RunWizard(keep, input, progress, ApplicationName(answers));
    if (result.end == WizardEnd::Installed && keep.Kept()) {
        result.printer = found;
        if (options.wizard.setDefault) MakeDefaultPrinter(recorder, found.c_str());
    }
    if (!result.printer.empty()) out.SetPrinter(result.printer);
    if (options.ensure && wanted.known && result.end == WizardEnd::Installed) {
        // What a second look finds now; a difference left is told, not hidden.
        const StatusReport after = CompareWithMachine(packageWindows, wanted, os);
        for (const StatusItem& item : after.items)
            if (!item.ok) out.Error("still differs after the installation: " +
                                    std::string(item.item) + ": " + item.differs);
    }
    if (result.end == WizardEnd::BadChoice) out.Error(result.problem);
    const InstallEnd end =
        EndOfInstall(result, answers.Declined(), answers.RestartWanted(), answers.LastMessage());
    if (end.code == kDeployRestart) out.Note("Windows must be restarted for the changes to take effect");
    out.Finish(end.summary, end.code);
    return end.code;
}

InstallEnd EndOfInstall(const WizardResult& result, bool declined, bool restartWanted,
                        const std::string& lastMessage) {
    switch (result.end) {
        case WizardEnd::Installed:
            // Setup offers the restart on Windows 98/Me (a value of the run,
            // whatever the question's words); a restart asked of Windows
            // counts too.
            if (result.restartOffered || restartWanted)
                return {kDeployRestart, "installed \"" + result.printer + "\"; restart needed"};
            return {kDeployDone, "installed \"" + result.printer + "\""};
        case WizardEnd::NotStarted:
            return {kDeployNotAdmin, "not installed: not an administrator"};
        case WizardEnd::BadChoice:
            return {kDeployBadInput, "not installed"};
        case WizardEnd::Unsupported:
            return {kDeployBadInput, "not installed: the model does not support this Windows"};
        case WizardEnd::Refused:
            if (declined) return {kDeployDeclined, "not installed: a question was answered No"};
            return {kDeployFailed, "not installed: " + OneLine(lastMessage)};
        case WizardEnd::Failed:
            break;
    }
    return {kDeployFailed, "the installation failed: " + OneLine(result.message)};
}

int RunStatus(plat::Windows& machine, const PackageOnMachine& package,
              const InstallOptions& options, DeployOutput& out) {
    plat::Mutex setupMutex, uninstallMutex;
    if (const int busy = Exclude(machine, package, setupMutex, uninstallMutex, out)) {
        out.Finish("nothing compared", busy);
        return busy;
    }
    InstallOptions look = options;
    look.ensure = true;
    int32_t os = -1;
    WantedState wanted;
    if (const int code = CheckBeforeInstall(machine, package, look, out, os, wanted)) {
        out.Finish("nothing compared", code);
        return code;
    }
    if (!wanted.known) {
        out.Error("the installation with these choices makes no printer queue on " +
                  std::string(OsName(os)) + " (qsetup plan shows why)");
        out.Finish("nothing compared", kDeployBadInput);
        return kDeployBadInput;
    }
    PackageWindows packageWindows(machine, package.root, package.setupProgram);
    const StatusReport report = CompareWithMachine(packageWindows, wanted, os);
    int differ = 0;
    for (const StatusItem& item : report.items) {
        out.Print(std::string(item.item) + ": " + (item.ok ? std::string("ok") : item.differs));
        differ += item.ok ? 0 : 1;
    }
    out.SetPrinter(report.queue);
    out.AddJson("\"items\":" + StatusItemsJson(report));
    if (differ == 0) {
        out.Finish("in place: \"" + report.queue + "\"", kDeployDone);
        return kDeployDone;
    }
    out.Finish(std::to_string(differ) + " of " + std::to_string(report.items.size()) +
                   " items differ",
               kDeployDiffers);
    return kDeployDiffers;
}

namespace {

// Uninstall's screen without a window: each status line goes to the output
// as it is added, and the restart question is answered No (the deployment
// tool restarts Windows when it sees 3010).
class ConsoleScreen final : public uninstall::UninstallScreen {
public:
    explicit ConsoleScreen(DeployOutput& out) : out_(out) {}

    void Changed(uninstall::UninstallView& view) override {
        const std::vector<std::string>& lines = view.StatusLines();
        for (; told_ < lines.size(); ++told_) {
            const std::string& text = lines[told_];
            // The invitation to choose, shown at every start and end of a
            // run, asks nothing of a run without a window: the log keeps it.
            if (view.StatusLineId(told_) == IDS_SELECT_ITEMS)
                out_.LogOnly(std::string(uninstall::kApplicationName) + ": " + text);
            else
                out_.Tell(uninstall::kApplicationName, text);
        }
    }
    int AskRestart() override { return uninstall::kRestartNo; }

private:
    DeployOutput& out_;
    size_t told_ = 0;
};

}  // namespace

int RunUninstall(plat::Windows& machine, const PackageOnMachine& package,
                 const UninstallOptions& options, DeployOutput& out) {
    plat::Mutex setupMutex, uninstallMutex;
    if (const int busy = Exclude(machine, package, setupMutex, uninstallMutex, out)) {
        out.Finish("nothing removed", busy);
        return busy;
    }

    // Uninstall's own dialog without its window: the running program is the
    // package's Uninstall.
    PackageWindows packageWindows(machine, package.root, package.uninstallProgram);
    AnswerWindows answers(packageWindows, out, false);
    RecordingWindows recorder(answers, out);
    uninstall::UninstallDialog dialog(recorder, uninstall::kApplicationName);
    uninstall::UninstallView& view = dialog.View();
    ConsoleScreen screen(out);
    view.SetScreen(&screen);
    int32_t failure = 0;
    if (!dialog.OnInitDialog(0, &failure)) {
        if (failure == IDS_NOT_ADMIN) {
            out.Finish("nothing removed: not an administrator", kDeployNotAdmin);
            return kDeployNotAdmin;
        }
        if (failure == IDS_NOTHING_TO_REMOVE) {
            const int code = options.all || options.ensure ? kDeployDone : kDeployNotListed;
            if (options.ensure && !options.all) out.Print("qsetup: already gone; nothing to remove");
            out.Finish("nothing to remove", code);
            return code;
        }
        out.Finish("nothing removed", kDeployBadInput);
        return kDeployBadInput;
    }

    // Every named item must be in the list before anything is removed; with
    // --ensure one that is not there is already gone.
    std::vector<int> chosen;
    for (const std::string& name : options.items) {
        int found = -1;
        for (int i = 0; i < view.ItemCount() && found < 0; ++i)
            if (view.ItemText(i) == name) found = i;
        for (int i = 0; i < view.ItemCount() && found < 0; ++i)
            if (EqualsIgnoringCase(view.ItemText(i), name)) found = i;
        if (found < 0 && options.ensure) {
            out.Print("qsetup: \"" + name + "\" is already gone");
            continue;
        }
        if (found < 0) {
            std::string offered;
            for (int i = 0; i < view.ItemCount(); ++i)
                offered += (i ? ", " : "") + std::string("\"") + view.ItemText(i) + "\"";
            out.Error("\"" + name + "\" is not in Uninstall's list; it offers " + offered);
            out.Finish("nothing removed", kDeployNotListed);
            return kDeployNotListed;
        }
        chosen.push_back(found);
    }
    if (!options.all && chosen.empty()) {
        out.Finish("nothing to remove", kDeployDone);
        return kDeployDone;
    }
    // The ticks the user would give, then the Uninstall button.
    if (options.all) dialog.OnSelectAll();
    for (int index : chosen) view.CheckItem(index);
    if (!dialog.OnUninstall()) {
        out.Finish("nothing removed", kDeployFailed);
        return kDeployFailed;
    }
    dialog.Wait();
    if (std::any_of(view.Items().begin(), view.Items().end(),
                    [](const uninstall::UninstallItem& item) { return item.checked; })) {
        out.Finish("some items could not be removed", kDeployFailed);
        return kDeployFailed;
    }
    // Uninstall offers a restart after every removal; it is needed only
    // where the spooler's restart does not take the change (Windows 98/Me)
    // or a DLL file stayed until the next start.
    const uninstall::UninstallEngine& engine = dialog.Engine();
    if (engine.Removed() && (dialog.State().osClass == Win98 || engine.FileLeft())) {
        out.Note("Windows must be restarted for the changes to take effect");
        out.Finish("removed; restart needed", kDeployRestart);
        return kDeployRestart;
    }
    if (view.RestartQuestions() > 0)
        out.LogOnly("Uninstall itself would offer a restart of Windows now; the spooler has "
                    "been restarted after each removal, so none is needed");
    out.Finish("removed", kDeployDone);
    return kDeployDone;
}

bool ListItems(plat::Windows& machine, const PackageOnMachine& package,
               std::vector<ListedItem>& items, std::string& error) {
    PackageWindows packageWindows(machine, package.root, package.uninstallProgram);
    uninstall::UninstallState state;
    state.osClass = GetOsClassAndMarkCompatibility(packageWindows);
    state.iniPath = package.root;
    if (const int32_t failure = uninstall::FindUninstallIni(packageWindows, state)) {
        error = uninstall::UninstallString(failure);
        return false;
    }
    const uninstall::UninstallIni ini(packageWindows, state);
    uninstall::UninstallView view;
    uninstall::FillItemList(packageWindows, state, ini, view);
    items.clear();
    for (const uninstall::UninstallItem& item : view.Items()) {
        const std::string& name = item.text;
        // Told apart again as the engine tells them apart.
        const char* kind = ini.IsListedMonitor(name)     ? "monitor"
                           : ini.IsListedProcessor(name) ? "processor"
                                                         : "printer";
        items.push_back({name, kind});
    }
    return true;
}

}  // namespace qsetup
