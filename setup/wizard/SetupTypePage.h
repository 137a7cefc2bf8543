// The setup-type page: Typical (the model's default driver on one port) or
// Advanced (several USB printers, choice of the driver variant).
#pragma once

#include <cstdint>

#include "common/Types.h"
#include "setup/wizard/WizardPage.h"

class SetupTypePage final : public WizardPage {
public:
    SetupTypePage();

    void Initialize();
    void TypicalClicked();
    void AdvancedClicked();
    // The model's "AdvancedSetup": when it forbids Advanced, Typical is
    // forced and Advanced greyed; otherwise Advanced is enabled and the
    // user's choice stays.
    void ApplyModelRestriction(bool advancedAllowed);

    // 1 Typical, 0 Advanced.
    int32_t SetupType() const { return setupType_; }

private:
    void ShowTypical();

    int32_t setupType_ = SetupTypical;
};
