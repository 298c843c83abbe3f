#include "browser/EditableElement.h"

#include "platform/AsciiCase.h"

bool IsEditableElement(std::string_view tagName, std::string_view inputType, bool isContentEditable)
{
    if (isContentEditable || EqualsIgnoringAsciiCase(tagName, "TEXTAREA"))
        return true;
    if (!EqualsIgnoringAsciiCase(tagName, "INPUT"))
        return false;
    static constexpr std::string_view kTextTypes[] = {"", "text", "password", "search", "email", "url", "tel", "number"};
    for (std::string_view type : kTextTypes) {
        if (EqualsIgnoringAsciiCase(inputType, type))
            return true;
    }
    return false;
}
