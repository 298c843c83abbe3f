#pragma once
#include <optional>
#include <string_view>

#include "platform/Geometry.h"

// The launcher's Flash command set, without any window: which command a word
// names, the rectangle a "moveweb" argument describes, and where centring
// puts the launcher.

enum class LauncherCommand {
    None,
    Close,
    MoveWeb,
    MoveWeb2,
    OpenWeb,
    WebUrl,
    WebUrl2,
    Min,
};

// Case-insensitive for ASCII letters, like lstrcmpiA on these words; any
// other word gives None. The text ends at its first NUL, as the C string the
// command arrives as would.
LauncherCommand MatchLauncherCommand(std::string_view word) noexcept;

// "x,y,w,h" -> {x, y, x + w, y + h}. The text is split at every comma; an
// empty field between two commas counts (as 0), an empty last field after the
// final comma does not. Fields are read with CrtAtoi, so "609.8" is 609.
// Fewer than four fields gives no rectangle (the command is then ignored);
// fields after the fourth are ignored. The sums wrap to 32 bits.
std::optional<Rect> ParseWebRect(std::string_view args) noexcept;

// The top-left corner that centres `window` (only its size matters) on
// `workArea`, pushed back inside it: first against the right/bottom edge,
// then against the left/top edge, so a window larger than the work area
// lands on the work area's top-left corner. Halves round toward zero, as the
// framework's CenterWindow does.
Point CentreInWorkArea(const Rect& window, const Rect& workArea) noexcept;
