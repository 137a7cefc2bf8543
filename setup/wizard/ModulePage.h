// The module page: printer family (module) and model, and "Set As Default
// Printer". The model lists come from the package's setup.ini.
#pragma once

#include <cstdint>
#include <string>

#include "platform/Windows.h"
#include "setup/config/ModelConfigReader.h"
#include "setup/res/resource.h"
#include "setup/wizard/WizardPage.h"

class ModulePage final : public WizardPage {
public:
    static constexpr int kModules = kModuleCount;
    static constexpr int kRadios[kModules] = {IDC_MODULE_RECEIPT, IDC_MODULE_TICKET,
                                              IDC_MODULE_LABEL, IDC_MODULE_EMBEDDED};
    static constexpr int kLists[kModules] = {IDC_LIST_RECEIPT, IDC_LIST_TICKET, IDC_LIST_LABEL,
                                             IDC_LIST_EMBEDDED};
    static constexpr size_t kModelSize = 200;

    explicit ModulePage(plat::Windows& windows);

    // Fills the lists from setup.ini and places the default model.
    void Initialize();
    // A module's radio button was clicked (module 0..3).
    void ModuleClicked(int module);
    // The user chose entry `index` of a module's list (-1: no selection).
    void ListSelectionChanged(int module, int index);
    bool UpdateData() override;
    bool HasModels() const override { return hasModels_; }

    // 0..3, or -1 when no module is chosen.
    int32_t ModuleIndex() const { return module_; }
    const std::string& ModelName() const { return model_; }
    bool SetAsDefault() const { return setDefault_; }

    // The module of a radio button or list id; -1 for another id.
    static int ModuleOfControl(int id);

private:
    void TakeModelFrom(int module);
    void CheckModule(int module);
    void PlaceTabStop();

    ModelConfigReader reader_;
    std::string model_;
    int32_t module_ = 0;
    bool setDefault_ = false;
    bool hasModels_ = false;
};
