#pragma once
#include <windows.h>

#include <string>

// A module's full path, whatever its length (the buffer grows until it fits).
std::wstring ModuleFileNameW(HMODULE module = nullptr);
