// <windows.h> and the other Win32 headers the platform layer needs, without
// the A/W name macros that would rename members of plat::Windows.
//
// The Win32 headers map names such as CopyFile, RegOpenKey or MessageBox to
// their ...A / ...W functions with macros, and ExitWindows is even a
// function-like macro. Any translation unit that sees both <windows.h> and
// platform/Platform.h must include this header instead of <windows.h>, before
// Platform.h; the code then calls the explicit ...A functions.
#pragma once

#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif

#include <windows.h>
#include <shellapi.h>
#include <winspool.h>

#undef RegOpenKey
#undef RegCreateKey
#undef RegQueryValue
#undef RegSetValue
#undef RegEnumValue
#undef RegEnumKey
#undef RegDeleteKey
#undef RegDeleteValue
#undef GetPrivateProfileString
#undef GetProfileString
#undef WriteProfileString
#undef GetCurrentDirectory
#undef SetCurrentDirectory
#undef GetModuleFileName
#undef GetSystemDirectory
#undef GetWindowsDirectory
#undef GetPrinterDriverDirectory
#undef GetPrintProcessorDirectory
#undef CopyFile
#undef GetFileAttributes
#undef SetFileAttributes
#undef DeleteFile
#undef CreateDirectory
#undef FindFirstFile
#undef FindNextFile
#undef AddMonitor
#undef DeleteMonitor
#undef EnumMonitors
#undef AddPrintProcessor
#undef DeletePrintProcessor
#undef EnumPrintProcessors
#undef AddPrinterDriver
#undef DeletePrinterDriver
#undef DeletePrinterDriverEx
#undef EnumPrinterDrivers
#undef AddPrinter
#undef OpenPrinter
#undef GetPrinter
#undef SetPrinter
#undef EnumPrinters
#undef EnumPorts
#undef SetDefaultPrinter
#undef OpenService
#undef StartService
#undef ExitWindows
#undef MessageBox
#undef FindWindow
#undef CreateMutex
