// What the wizard host needs of a page: its view and its update-data step.
#pragma once

#include "gui/PageView.h"

class WizardPage {
public:
    virtual ~WizardPage() = default;
    PageView& View() { return view_; }
    const PageView& View() const { return view_; }
    // Copies the page's check boxes (already read back into the view) into
    // its members; false stops a page change.
    virtual bool UpdateData() { return true; }
    // Whether the page has anything to choose from (the module page's models).
    virtual bool HasModels() const { return true; }

protected:
    PageView view_;
};
