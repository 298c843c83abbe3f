#pragma once
// Reading an HTTP message header, the same for every client and server of
// the program: header lines end in CR LF, the first is the start line.
#include <optional>
#include <string_view>

// The text without the spaces and tabs around it.
std::string_view TrimBlanks(std::string_view s);

// The value of the first field with this name (compared without regard to
// case, at the start of a header line), without the white space around it.
std::optional<std::string_view> FindHeaderField(std::string_view header, std::string_view name);
