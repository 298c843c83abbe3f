#pragma once
#include <optional>
#include <string>
#include <string_view>

// The program to start from the default browser's open command, as the
// registry or the shell's association gives it ("C:\Program Files\X\x.exe"
// -osint -url "%1"): the path alone, in double quotes, ready to be started
// with the URL as its argument. A command line that starts with a double
// quote gives the text up to the next one, and nothing when that quote is
// missing (a cut path would start the wrong program); any other gives its
// first blank-delimited word. Leading blanks are skipped; the text ends at
// its first NUL, as a registry string read with its terminator does. No path
// gives nothing.
std::optional<std::string> BrowserProgramFromCommandLine(std::string_view commandLine);
std::optional<std::wstring> BrowserProgramFromCommandLine(std::wstring_view commandLine);
