// Small probes both programs run around their main work: administrator
// rights, the Windows version class, and the print spooler service.
#pragma once

#include <cstdint>
#include <string>

#include "common/Types.h"
#include "platform/System.h"
#include "platform/Windows.h"

// True when the running user's token lists the local Administrators group
// (also as a deny-only group of a filtered token). Every failure gives false.
bool IsUserAdmin(plat::Windows& windows);

// The OsClass of a Windows version: NT 6.0 and every later NT version are
// WinVista; the 9x family, NT 3.x, 4.x past 4.0 and 5.x past 5.2 are Win98.
int32_t OsClassOf(const plat::OsVersion& version);

// Which program asks: they classify an unknown platform differently, and
// Uninstall writes its compatibility mark from inside the probe.
enum class ProbeFlavour { Setup, Uninstall };

// The OsClass of the running system. NT 6.0 and every later NT version are
// WinVista; NT 3.x, 4.x past 4.0 and 5.x past 5.2 are Win98. Uninstall gives
// OsUnknown for a platform that is neither 9x nor NT, and on WinVista also
// writes the current user's compatibility mark before it returns.
int32_t GetOsClass(plat::Windows& windows, ProbeFlavour flavour = ProbeFlavour::Setup);

// Asks the "Spooler" service to stop and pauses 100 ms; reports nothing.
void StopSpooler(plat::Windows& windows);
// Starts the spooler; a failure other than "already running" writes
// "Start spool service error, error code = %u" into `message`.
void StartSpooler(plat::Windows& windows, std::string& message);
// Polls up to 10 times, 300 ms apart, for the running state; when it never
// comes, writes "StartSpoolService error" into `message` and returns false.
bool WaitSpoolerRunning(plat::Windows& windows, std::string& message);
// Stops the spooler, waits (300 ms for Setup, 2000 ms for Uninstall), starts
// it again; reports nothing and does not wait for the running state.
void RestartSpooler(plat::Windows& windows, ProbeFlavour flavour);
