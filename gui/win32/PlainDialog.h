// A modal dialog from a template with no handlers of its own: OK and Cancel
// close it with that result (the About boxes, Uninstall's restart question).
#pragma once

#include "platform/win32/WindowsApi.h"

namespace gui {

// Runs dialog template `templateId` of `instance` modally, owned by `owner`;
// IDOK or IDCANCEL, -1 when it could not be shown.
INT_PTR ShowPlainDialog(HINSTANCE instance, int templateId, HWND owner);

}  // namespace gui
