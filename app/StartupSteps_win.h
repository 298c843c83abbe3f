#pragma once
// The platform steps of start-up, each silent on failure.
#include <windows.h>

#include <optional>
#include <string>

// Enables SeDebugPrivilege in the process token.
void EnableDebugPrivilege();

// Writes the browser-emulation value named "<appTitle>.exe" under the
// machine-wide key (chosen by the native architecture) and under the user's.
void SetBrowserEmulation(const std::wstring& appTitle);
// One hive's write, open-or-create; true when the value was set.
bool WriteBrowserEmulationValue(HKEY hive, const char* subKey, const std::wstring& valueName);

// The executable's full path in the ANSI code page, whatever its length;
// its short form when the long one has characters outside the code page;
// nothing when neither converts without loss.
std::optional<std::string> ModulePathAnsi();
