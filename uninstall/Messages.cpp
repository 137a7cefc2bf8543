#include "uninstall/Messages.h"

namespace uninstall {

std::string FormatString(int32_t id, const std::string& argument) {
    std::string text = UninstallString(id);
    const size_t at = text.find("%s");
    if (at != std::string::npos) text.replace(at, 2, argument);
    return text;
}

}  // namespace uninstall
