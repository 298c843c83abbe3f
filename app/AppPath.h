#pragma once
#include <optional>
#include <string>
#include <string_view>

#include "platform/FileTitle.h"

// The application directory from the executable's full path: drive followed
// by directory, always ending in a backslash ("C:\Games\x.exe" → "C:\Games\",
// "C:\x.exe" → "C:\"). Both separators are accepted, as the runtime's path
// splitting accepts them.
std::string AppDirFromModulePath(std::string_view modulePath);

// One form of the executable's path converted to the ANSI code page, and
// whether the conversion kept every character.
struct AnsiPathForm {
    std::string text;
    bool lossless = false;
};
// The path the program may use: the long form when it converts losslessly,
// else the short (8.3) form when that does, else nothing. A lossy form is
// never used: best-fit characters (a fullwidth backslash or dot) would name
// another directory.
std::optional<std::string> UsableAnsiPath(const AnsiPathForm& longForm, const std::optional<AnsiPathForm>& shortForm);
