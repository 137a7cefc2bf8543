#include "setup/wizard/SetupTypePage.h"

#include "setup/engine/Messages.h"
#include "setup/res/resource.h"
#include "setup/wizard/WizardTexts.h"

SetupTypePage::SetupTypePage() {
    view_.Declare(IDC_TYPICAL);
    view_.Declare(IDC_ADVANCED);
    view_.Declare(IDC_REMARK1);
    view_.Declare(IDC_REMARK2, true, false);
    view_.Declare(IDC_REMARK3, true, false);
}

void SetupTypePage::ShowTypical() {
    view_.SetText(IDC_REMARK1, msg::kInstallDefaultDriver);
    view_.Show(IDC_REMARK2, false);
    view_.Show(IDC_REMARK3, false);
    setupType_ = SetupTypical;
}

void SetupTypePage::Initialize() {
    setupType_ = SetupTypical;
    view_.CheckRadio(IDC_TYPICAL, IDC_ADVANCED, IDC_TYPICAL);
    view_.SetText(IDC_REMARK1, msg::kInstallDefaultDriver);
}

void SetupTypePage::TypicalClicked() {
    view_.CheckRadio(IDC_TYPICAL, IDC_ADVANCED, IDC_TYPICAL);
    ShowTypical();
}

void SetupTypePage::AdvancedClicked() {
    // A greyed Advanced button can't be clicked; a stray click changes nothing.
    if (!view_.Enabled(IDC_ADVANCED)) return;
    view_.CheckRadio(IDC_TYPICAL, IDC_ADVANCED, IDC_ADVANCED);
    view_.SetText(IDC_REMARK1, wiztext::kSupportMultiUsb);
    view_.SetText(IDC_REMARK2, wiztext::kSupportDriverMode);
    view_.Show(IDC_REMARK2, true);
    view_.Show(IDC_REMARK3, false);
    setupType_ = SetupAdvanced;
}

void SetupTypePage::ApplyModelRestriction(bool advancedAllowed) {
    if (advancedAllowed) {
        view_.Enable(IDC_ADVANCED, true);
        return;
    }
    view_.Enable(IDC_ADVANCED, false);
    view_.CheckRadio(IDC_TYPICAL, IDC_ADVANCED, IDC_TYPICAL);
    ShowTypical();
}
