// The wizard's own texts: window titles, button texts, remarks and the page
// captions. The engine's message texts are in setup/engine/Messages.h.
#pragma once

#include <cstdint>

#include "common/ProgramTitles.h"

namespace wiztext {

inline constexpr const char* kWizardTitle = program::kSetupTitle;
inline constexpr const char* kUninstallTitle = program::kUninstallTitle;
// The title of the help viewer showing the package's help file.
inline constexpr const char* kHelpViewerTitle = "VX900 Printer Driver Installer";
inline constexpr const char* kHelpFile = ".\\POS.CHM";
inline constexpr const char* kLeftBitmap = "DRVCONFIG\\Left.bmp";
inline constexpr const char* kCloseUninstallFirst = "Please close Uninstall program first!";

inline constexpr const char* kBack = "<<Back (&B)";
inline constexpr const char* kNext = "Next (&N)>>";
inline constexpr const char* kInstall = "Install (&I)";
inline constexpr const char* kCancel = "Cancel (&C)";

inline constexpr const char* kSupportMultiUsb = "Support multi-USB printer";        // 136
inline constexpr const char* kSupportDriverMode = "Support driver mode selection";  // 137

// The captions stored with the pages, in page order. The setup-type page's
// caption is Chinese text in code page 936 ("select installation mode").
inline constexpr const char* kPageCaptions[4] = {
    "STEP 2\tSelect Install Module",
    "\xd1\xa1\xd4\xf1\xb0\xb2\xd7\xb0\xc4\xa3\xca\xbd",
    "STEP 1\tSelect Install OS",
    "STEP 3\tSet Printer Port and Confirm Setup",
};

}  // namespace wiztext
