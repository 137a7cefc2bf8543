// The rules that single out models by name. Setup's engine follows them and
// qsetup's package check asks the same functions.
#pragma once

#include <string>
#include <string_view>

// The colour library that some models' Windows 98/Me drivers need.
inline constexpr const char* kDmColorDll = "DMCOLOR.DLL";

// Whether a model's Windows 98/Me installation copies DMCOLOR.DLL: a name
// that contains "KRT-B200" or "KRT-A100" (case-sensitive).
inline bool TakesDmColor(std::string_view model) {
    return model.find("KRT-B200") != std::string_view::npos ||
           model.find("KRT-A100") != std::string_view::npos;
}

// The model whose USB printers are bound to a port of its own,
// "USB_KRT-C3_" and the chosen port's last character.
inline constexpr const char* kKrtC3 = "KRT-C3";

// Whether a USB port name is one of the KRT-C3's (contains "KRT-C3",
// case-sensitive).
inline bool IsKrtC3Port(std::string_view portName) {
    return portName.find(kKrtC3) != std::string_view::npos;
}

// The port a KRT-C3 printer on `portName` is bound to; `portName` must not
// be empty.
inline std::string KrtC3BoundPort(std::string_view portName) {
    return std::string("USB_") + kKrtC3 + "_" + portName.back();
}
