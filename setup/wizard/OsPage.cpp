#include "setup/wizard/OsPage.h"

#include "common/CompatibilityMarks.h"
#include "setup/engine/Messages.h"
#include "setup/res/resource.h"

OsPage::OsPage() {
    for (int id : kRadios) view_.Declare(id);
    view_.Declare(IDC_VIET_FONTS);
}

void OsPage::Initialize(plat::Windows& windows, const MessageContext& context) {
    osClass_ = Win98;
    plat::OsVersion version;
    const bool known = windows.GetVersion(version) == plat::err::Success;
    // The radio range: Vista's button lies beyond Server 2003's and is only
    // part of it on Vista and later.
    constexpr int first = IDC_OS_98, last = IDC_OS_2003;

    if (known && version.platformId == 1) {
        // 98 and Me; Windows 95 (minor 0) gets nothing checked.
        if (version.minor > 0) view_.CheckRadio(first, last, IDC_OS_98);
    } else if (known && version.platformId == 2) {
        if (version.major == 4) {
            if (version.minor == 0) {
                view_.CheckRadio(first, last, IDC_OS_NT);
                osClass_ = WinNT4;
            }
        } else if (version.major == 5) {
            switch (version.minor) {
                case 0:
                    view_.CheckRadio(first, last, IDC_OS_2000);
                    osClass_ = Win2000;
                    break;
                case 1:
                    view_.CheckRadio(first, last, IDC_OS_XP);
                    osClass_ = WinXP;
                    MarkCompatibilityPersistedAllUsers(windows);
                    break;
                case 2:
                    view_.CheckRadio(first, last, IDC_OS_2003);
                    osClass_ = Win2003;
                    break;
                default:
                    break;
            }
        } else if (version.major >= 6) {
            // Vista and every later Windows take the Vista driver family.
            view_.CheckRadio(first, IDC_OS_VISTA, IDC_OS_VISTA);
            osClass_ = WinVista;
            MarkCompatibilityPersisted(windows);
        }
    } else {
        windows.MessageBox(context.owner, msg::kSystemNotSupported, context.caption,
                           plat::mb::Ok | plat::mb::IconExclamation);
    }

    for (int os = 0; os < 6; ++os) view_.Enable(kRadios[os], os == osClass_);
}

bool OsPage::UpdateData() {
    installFonts_ = view_.Checked(IDC_VIET_FONTS);
    return true;
}
