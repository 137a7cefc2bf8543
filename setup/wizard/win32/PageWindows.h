// The windows of the four wizard pages: child dialogs without a frame that
// the host creates inside itself. Their procedures only pass the user's
// actions to the page logic and copy the page's view to the controls.
#pragma once

#include "platform/win32/WindowsApi.h"

#include <memory>
#include <span>

#include "gui/win32/ControlSync.h"
#include "gui/win32/DialogBase.h"
#include "setup/wizard/ModulePage.h"
#include "setup/wizard/OsPage.h"
#include "setup/wizard/PortPage.h"
#include "setup/wizard/SetupState.h"
#include "setup/wizard/SetupTypePage.h"
#include "setup/wizard/win32/ColorLabel.h"

namespace gui {

// What the host does with a page's window.
class PageWindow {
public:
    virtual ~PageWindow() = default;
    // Creates the page's window from its template as a child of `parent`.
    virtual HWND Create(HINSTANCE instance, HWND parent, int templateId) = 0;
    virtual HWND Window() const = 0;
    virtual WizardPage& Logic() = 0;

    // Copies the view's changes to the controls.
    void Sync() { sync_.Apply(Window(), Logic().View()); }
    // Reads the user's check-box clicks into the view.
    void ReadBack() { sync_.ReadChecks(Window(), Logic().View()); }

protected:
    void SyncAll() { sync_.Apply(Window(), Logic().View(), true); }

    ControlSync sync_;
};

template <class Self>
class PageDialog : public Dialog<Self>, public PageWindow {
public:
    HWND Create(HINSTANCE instance, HWND parent, int templateId) override {
        return ::CreateDialogParamA(instance, MAKEINTRESOURCEA(templateId), parent, &Self::Proc,
                                    reinterpret_cast<LPARAM>(static_cast<Self*>(this)));
    }
    HWND Window() const override { return this->hwnd_; }
};

class ModulePageWindow final : public PageDialog<ModulePageWindow> {
public:
    explicit ModulePageWindow(ModulePage& page) : page_(page) {}
    WizardPage& Logic() override { return page_; }
    static std::span<const Route> Routes();

private:
    INT_PTR OnInitDialog(WPARAM, LPARAM);
    INT_PTR OnModuleClicked(WPARAM, LPARAM);
    INT_PTR OnListChanged(WPARAM, LPARAM);

    ModulePage& page_;
};

class SetupTypePageWindow final : public PageDialog<SetupTypePageWindow> {
public:
    explicit SetupTypePageWindow(SetupTypePage& page) : page_(page) {}
    WizardPage& Logic() override { return page_; }
    static std::span<const Route> Routes();

private:
    INT_PTR OnInitDialog(WPARAM, LPARAM);
    INT_PTR OnTypical(WPARAM, LPARAM);
    INT_PTR OnAdvanced(WPARAM, LPARAM);

    SetupTypePage& page_;
};

class OsPageWindow final : public PageDialog<OsPageWindow> {
public:
    OsPageWindow(OsPage& page, SetupState& state) : page_(page), state_(state) {}
    WizardPage& Logic() override { return page_; }
    static std::span<const Route> Routes();

private:
    INT_PTR OnInitDialog(WPARAM, LPARAM);

    OsPage& page_;
    SetupState& state_;
};

class PortPageWindow final : public PageDialog<PortPageWindow> {
public:
    explicit PortPageWindow(PortPage& page) : page_(page) {}
    WizardPage& Logic() override { return page_; }
    static std::span<const Route> Routes();

private:
    INT_PTR OnInitDialog(WPARAM, LPARAM);
    INT_PTR OnListChanged(WPARAM, LPARAM);
    INT_PTR OnCtlColorStatic(WPARAM, LPARAM);

    PortPage& page_;
    ColorLabel note_;
    HWND tooltip_ = nullptr;  // destroyed with the page, its owner
};

}  // namespace gui
