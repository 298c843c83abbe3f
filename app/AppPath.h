#pragma once
#include <string>
#include <string_view>

// The application directory from the executable's full path: drive followed
// by directory, always ending in a backslash ("C:\Games\x.exe" → "C:\Games\",
// "C:\x.exe" → "C:\"). Both separators are accepted, as the runtime's path
// splitting accepts them.
std::string AppDirFromModulePath(std::string_view modulePath);

// The framework's application title: the file name without its extension.
template <class Str>
Str FileTitleFromPath(const Str& path)
{
    size_t start = path.find_last_of(typename Str::value_type('\\'));
    size_t slash = path.find_last_of(typename Str::value_type('/'));
    if (start == Str::npos || (slash != Str::npos && slash > start))
        start = slash;
    start = (start == Str::npos) ? 0 : start + 1;
    Str name = path.substr(start);
    size_t dot = name.find_last_of(typename Str::value_type('.'));
    if (dot != Str::npos && dot != 0)
        name.resize(dot);
    return name;
}
