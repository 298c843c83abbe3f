#pragma once
#include <string_view>

// Whether the page's focused element takes typed text, so that Backspace
// reaches it instead of being swallowed (elsewhere it would navigate back):
// a TEXTAREA, an INPUT of a text-like type (no type is text), or anything
// content-editable. Names compare without regard to ASCII case.
bool IsEditableElement(std::string_view tagName, std::string_view inputType, bool isContentEditable);
