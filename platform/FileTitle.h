#pragma once
#include <cstddef>

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
