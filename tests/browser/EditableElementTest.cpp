#include <gtest/gtest.h>

#include "browser/EditableElement.h"

namespace {

TEST(IsEditableElement, TextTakingElementsOnly)
{
    struct Case {
        std::string_view tag;
        std::string_view type;
        bool contentEditable;
        bool expected;
    };
    const Case cases[] = {
        {"TEXTAREA", "", false, true},
        {"textarea", "", false, true},
        {"INPUT", "", false, true},
        {"INPUT", "text", false, true},
        {"INPUT", "password", false, true},
        {"INPUT", "search", false, true},
        {"INPUT", "email", false, true},
        {"INPUT", "url", false, true},
        {"INPUT", "tel", false, true},
        {"INPUT", "number", false, true},
        {"input", "PassWord", false, true},
        {"INPUT", "button", false, false},
        {"INPUT", "checkbox", false, false},
        {"INPUT", "radio", false, false},
        {"INPUT", "submit", false, false},
        {"INPUT", "reset", false, false},
        {"INPUT", "image", false, false},
        {"INPUT", "file", false, false},
        {"INPUT", "hidden", false, false},
        {"INPUT", "texts", false, false},
        {"INPUT", " text", false, false},
        {"INPUTS", "text", false, false},
        {"BUTTON", "", false, false},
        {"BODY", "", false, false},
        {"A", "text", false, false},  // a type only counts on an INPUT
        {"", "", false, false},
        {"DIV", "", true, true},
        {"BODY", "", true, true},
        {"INPUT", "checkbox", true, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.tag << " type \"" << c.type << "\" contentEditable " << c.contentEditable);
        EXPECT_EQ(IsEditableElement(c.tag, c.type, c.contentEditable), c.expected);
    }
}

}  // namespace
