#pragma once
// The keys a hosted page never gets to act on by itself: F5 (the browser's
// own refresh) and Backspace (its history back). Portable so that the rule
// is tested without a browser.
#include <cstdint>

namespace hostui {

constexpr unsigned kKeyDown = 0x0100;  // WM_KEYDOWN
constexpr uintptr_t kBackspace = 0x08;  // VK_BACK

// Whether the host consumes a key message the browser offers it before its
// own accelerators run. f5Held: F5 is down at this moment (any key pressed
// while it is held is consumed too). editableFocused: the page's focused
// element takes typed text, so Backspace there deletes a character and is
// left to the page.
bool ConsumesKey(unsigned message, uintptr_t key, bool f5Held, bool editableFocused);

}  // namespace hostui
