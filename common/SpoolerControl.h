// The print spooler service: stopped around the replacement of its
// components, started again, and waited for.
#pragma once

#include <string>

#include "platform/Windows.h"


// Which program restarts the spooler: they wait differently between stop
// and start.
enum class SpoolerRestart { Setup, Uninstall };

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
void RestartSpooler(plat::Windows& windows, SpoolerRestart flavour);
