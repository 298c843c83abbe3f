#pragma once
#include <string>
#include <string_view>

#include "platform/FileTitle.h"

// The application directory from the executable's full path: drive followed
// by directory, always ending in a backslash ("C:\Games\x.exe" → "C:\Games\",
// "C:\x.exe" → "C:\"). Both separators are accepted, as the runtime's path
// splitting accepts them.
std::string AppDirFromModulePath(std::string_view modulePath);
