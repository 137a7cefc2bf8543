// Uninstall's checkbox list without a window, holding only the item texts:
// for the benchmarks and fuzz targets that fill it.
#pragma once

#include <string>
#include <vector>

#include "uninstall/UninstallState.h"

namespace support {

class ItemList final : public uninstall::UninstallControls {
public:
    std::vector<std::string> items;

    int ItemCount() override { return static_cast<int>(items.size()); }
    std::string ItemText(int i) override {
        return i >= 0 && i < ItemCount() ? items[static_cast<size_t>(i)] : std::string();
    }
    bool IsItemChecked(int) override { return false; }
    void CheckItem(int) override {}
    void AddItem(const std::string& text) override { items.push_back(text); }
    void DeleteItem(int) override {}
    void AddStatusLine(const std::string&) override {}
    void SetInstruction(const std::string&) override {}
    void EnableControl(int, bool) override {}
    int ShowRestartDialog() override { return 2; }
};

}  // namespace support
