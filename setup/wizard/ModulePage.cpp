#include "setup/wizard/ModulePage.h"

#include "platform/Windows.h"
#include "setup/res/resource.h"

ModulePage::ModulePage(plat::Windows& windows) : reader_(windows) {
    for (int m = 0; m < kModules; ++m) {
        view_.Declare(kRadios[m]);
        // Only the Embedded list is sorted by its control.
        view_.DeclareList(kLists[m], m == Embedded);
    }
    view_.Declare(IDC_SET_DEFAULT);
}

int ModulePage::ModuleOfControl(int id) {
    for (int m = 0; m < kModules; ++m)
        if (kRadios[m] == id || kLists[m] == id) return m;
    return -1;
}

// Only the four radio buttons: "Set As Default Printer" lies in the same id
// range and keeps its state.
void ModulePage::CheckModule(int module) {
    for (int m = 0; m < kModules; ++m) view_.Check(kRadios[m], m == module);
}

// Tab reaches the module group at its checked radio button, or at the first
// one that can be chosen when none is checked or the checked one is greyed
// (a module without models): never only at a greyed one.
void ModulePage::PlaceTabStop() {
    int stop = -1;
    for (int m = 0; m < kModules && stop < 0; ++m)
        if (view_.Checked(kRadios[m]) && view_.Enabled(kRadios[m])) stop = m;
    for (int m = 0; m < kModules && stop < 0; ++m)
        if (view_.Enabled(kRadios[m])) stop = m;
    for (int m = 0; m < kModules; ++m) view_.SetTabStop(kRadios[m], m == stop);
}

void ModulePage::TakeModelFrom(int module) {
    // The model name holds at most 199 characters of the entry.
    std::string text = view_.List(kLists[module]).SelectedText();
    if (text.size() > kModelSize - 1) text.resize(kModelSize - 1);
    model_ = std::move(text);
}

void ModulePage::Initialize() {
    hasModels_ = true;
    const int32_t count = reader_.ReadModelCount();
    for (int32_t i = 1; i <= count; ++i) {
        char name[kModelSize] = {};
        const int32_t module = reader_.ReadModelEntry(i, name);
        if (module >= 0 && module < kModules) view_.List(kLists[module]).Add(name);
    }
    bool anyModels = false;
    for (int m = 0; m < kModules; ++m) {
        ComboList& list = view_.List(kLists[m]);
        list.Select(0);
        view_.Enable(kLists[m], false);
        if (list.Count() == 0)
            view_.Enable(kRadios[m], false);
        else
            anyModels = true;
    }
    if (!anyModels) hasModels_ = false;

    char name[260] = {};
    const int32_t d = reader_.ReadDefaultModel(name);
    if (d >= 0 && d < kModules) {
        CheckModule(d);
        ComboList& list = view_.List(kLists[d]);
        list.Select(list.FindPrefix(name, 0));
        TakeModelFrom(d);
        view_.Enable(kLists[d], true);
    }
    module_ = d;
    PlaceTabStop();
}

void ModulePage::ModuleClicked(int module) {
    if (module < 0 || module >= kModules) return;
    for (int m = 0; m < kModules; ++m) view_.Enable(kLists[m], false);
    CheckModule(module);
    TakeModelFrom(module);
    view_.Enable(kLists[module], true);
    module_ = module;
    PlaceTabStop();
}

void ModulePage::ListSelectionChanged(int module, int index) {
    if (module < 0 || module >= kModules) return;
    view_.List(kLists[module]).Select(index);
    TakeModelFrom(module);
}

bool ModulePage::UpdateData() {
    setDefault_ = view_.Checked(IDC_SET_DEFAULT);
    return true;
}
