#pragma once
// Where the page engine can run, and how its script is started from a
// Windows program under Wine.
#include <windows.h>

#include <cstdint>
#include <string>

namespace pageengine {

// True when the process runs under Wine (ntdll exports wine_get_version):
// only there does the demo build put the engine in place of the platform's
// browser control.
bool RunningUnderWine();

// The engine script's Unix path: MORVANE_PAGE_ENGINE_SCRIPT from the
// environment, else the one the demo build was made with.
std::string EngineScriptPath();

// Starts the script as a Unix program, told to connect to the port. True
// when Wine took the command; whether the script runs shows at the port.
bool StartEngineScript(uint16_t port);

}  // namespace pageengine
