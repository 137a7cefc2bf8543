// Uninstall's message texts: the string table by number (the same macros build
// the resource script's STRINGTABLE) and the few literal texts.
#pragma once

#include <cstdint>
#include <string>

#include "common/ProgramTitles.h"
#include "uninstall/res/UninstallIds.h"

namespace uninstall {

struct StringEntry {
    int32_t id;
    const char* text;
};

// The string table of Uninstall, in id order.
inline constexpr StringEntry kUninstallStrings[] = {
    {IDS_ABOUTBOX, TEXT_101},           {IDS_NOT_ADMIN, TEXT_102},
    {IDS_NO_CURRENT_DIR, TEXT_103},     {IDS_SEARCH_FAILED, TEXT_104},
    {IDS_NO_INI, TEXT_105},             {IDS_NOTHING_TO_REMOVE, TEXT_106},
    {IDS_SELECT_ITEMS, TEXT_107},       {IDS_INSTRUCTION, TEXT_108},
    {IDS_DELETING, TEXT_109},           {IDS_IN_USE, TEXT_110},
    {IDS_REMOVE_ERROR, TEXT_111},       {IDS_DELETED, TEXT_112},
    {IDS_OPEN_PRINTER_ERROR, TEXT_113}, {IDS_DELETING_PRINTER, TEXT_114},
    {IDS_PRINTER_INFO_ERROR, TEXT_115}, {IDS_NO_MEMORY, TEXT_116},
    {IDS_PRINTER_HAS_JOBS, TEXT_117},   {IDS_DELETE_PRINTER_ERROR, TEXT_118},
    {IDS_DRIVER_IN_USE, TEXT_119},      {IDS_DRIVER_DELETED, TEXT_120},
    {IDS_DELETE_DRIVER_ERROR, TEXT_121}, {IDS_DELETING_DRIVER, TEXT_122},
    {IDS_DELETE_JOBS_FIRST, TEXT_123},
};

// The text of string `id`; empty for an id outside the table.
inline const char* UninstallString(int32_t id) {
    for (const auto& entry : kUninstallStrings)
        if (entry.id == id) return entry.text;
    return "";
}

// String `id` with its first "%s" replaced by `argument` (as it stands: a name
// holding '%' is not read as a format).
std::string FormatString(int32_t id, const std::string& argument = {});

// ---- literal texts (not in the string table)
// The application name of the sample's Uninstall.exe; a renamed copy goes by
// its own file name (mutex, message box captions, help viewer).
inline constexpr const char* kApplicationName = program::kUninstallName;
inline constexpr const char* kErrorCaption = "Error";
inline constexpr const char* kSetupOpen = "Please close Quillset program first!";
inline constexpr const char* kNoSpoolerLibrary = "no Winspool lib  ";
inline constexpr const char* kNoSystemFolder = "Get system Directory error.";
// Follows text 121 at once, with the error number.
inline constexpr const char* kDriverErrorSuffix = "    er=";
// A DLL file that stays after its monitor or processor was removed:
// kFileNotDeleted, the file's full path, kFileNotDeletedEnd, then
// kDriverErrorSuffix with the error number.
inline constexpr const char* kFileNotDeleted = "Delete file ";
inline constexpr const char* kFileNotDeletedEnd = " error.";

// Window titles and names by which the programs find each other.
inline constexpr const char* kSetupWindowTitle = program::kSetupTitle;
inline constexpr const char* kMainWindowTitle = program::kUninstallTitle;
// The help viewer's title is the application name followed by this, as the
// help files set it: F1 brings that window forward instead of opening the
// file a second time.
inline constexpr const char* kHelpWindowSuffix = " Help";
inline constexpr const char* kHelpFileEnglish = ".\\Uninstall_EN.CHM";
inline constexpr const char* kHelpFileChinese = ".\\Uninstall_CN.CHM";

}  // namespace uninstall
