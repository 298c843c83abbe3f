#pragma once
#include <string_view>

// The one text-to-integer conversion of the program, with the C runtime's
// atoi rules: leading white space, an optional sign, then decimal digits up to
// the first other character; no digits gives 0. Values beyond the int range
// saturate to INT_MIN / INT_MAX, on every build (atoi itself leaves that
// undefined, and the CRTs disagree).
int CrtAtoi(std::string_view text) noexcept;
