#include "setup/wizard/OsPage.h"

#include "common/CompatibilityMarks.h"
#include "common/SystemProbes.h"
#include "platform/Desktop.h"
#include "platform/System.h"
#include "platform/Windows.h"
#include "setup/engine/Messages.h"
#include "setup/res/resource.h"

OsPage::OsPage() {
    for (int id : kRadios) view_.Declare(id);
    view_.Declare(IDC_VIET_FONTS);
}

void OsPage::Initialize(plat::Windows& windows, const MessageContext& context) {
    plat::OsVersion version;
    const bool known = windows.system().GetVersion(version) == plat::err::Success;
    osClass_ = known ? OsClassOf(version) : Win98;
    // The radio range: Vista's button lies beyond Server 2003's and is only
    // part of it on Vista and later.
    constexpr int first = IDC_OS_98, last = IDC_OS_2003;

    if (known && version.platformId == 1) {
        // 98 and Me; Windows 95 (minor 0) gets nothing checked.
        if (version.minor > 0) view_.CheckRadio(first, last, IDC_OS_98);
    } else if (known && version.platformId == 2) {
        switch (osClass_) {
            case WinNT4: view_.CheckRadio(first, last, IDC_OS_NT); break;
            case Win2000: view_.CheckRadio(first, last, IDC_OS_2000); break;
            case WinXP:
                view_.CheckRadio(first, last, IDC_OS_XP);
                MarkCompatibilityPersistedAllUsers(windows);
                break;
            case Win2003: view_.CheckRadio(first, last, IDC_OS_2003); break;
            case WinVista:
                view_.CheckRadio(first, IDC_OS_VISTA, IDC_OS_VISTA);
                MarkCompatibilityPersisted(windows);
                break;
            default: break;  // an NT version of no class: nothing checked
        }
    } else {
        windows.desktop().MessageBox(context.owner, msg::kSystemNotSupported, context.caption,
                           plat::mb::Ok | plat::mb::IconExclamation);
    }

    for (int os = 0; os < 6; ++os) view_.Enable(kRadios[os], os == osClass_);
}

bool OsPage::UpdateData() {
    installFonts_ = view_.Checked(IDC_VIET_FONTS);
    return true;
}
