#pragma once
// Conversions at the edges: the program's own texts are UTF-8 in the source,
// data texts (URLs, settings, movie arguments) are narrow in the ANSI code
// page, and everything shown goes through the wide-character calls.
#include <string>
#include <string_view>

std::wstring Utf8ToWide(std::string_view text);
std::string WideToUtf8(std::wstring_view text);
std::wstring AnsiToWide(std::string_view text);
std::string WideToAnsi(std::wstring_view text);
// As WideToAnsi; *lossless is false when some character has no ANSI form.
std::string WideToAnsi(std::wstring_view text, bool* lossless);
