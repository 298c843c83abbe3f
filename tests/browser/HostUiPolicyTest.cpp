// The keys the host keeps from a page's browser.
#include <gtest/gtest.h>

#include "browser/HostUiPolicy.h"

namespace {

constexpr unsigned kKeyDown = 0x0100, kKeyUp = 0x0101, kChar = 0x0102;
constexpr uintptr_t kF5 = 0x74, kA = 'A', kBack = 0x08, kEnter = 0x0D;

TEST(HostUiPolicy, F5HeldSwallowsKeyDownsAndBackspaceOnlyOutsideTextFields)
{
    struct Case {
        unsigned message;
        uintptr_t key;
        bool f5Held, editable, consumed;
    };
    const Case cases[] = {
        {kKeyDown, kF5, true, false, true},
        {kKeyDown, kA, true, false, true},      // any key while F5 is held
        {kKeyDown, kA, true, true, true},       // even in a text field
        {kKeyUp, kF5, true, false, false},      // only key-downs
        {kKeyDown, kF5, false, false, false},   // the message's key is not what counts
        {kKeyDown, kBack, false, false, true},  // history back never runs
        {kChar, kBack, false, false, true},
        {kKeyUp, kBack, false, false, true},
        {kKeyDown, kBack, false, true, false},  // a text field deletes a character
        {kChar, kBack, false, true, false},
        {kKeyDown, kEnter, false, false, false},
        {kChar, kA, false, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.message << " " << c.key << " f5=" << c.f5Held << " edit=" << c.editable);
        EXPECT_EQ(hostui::ConsumesKey(c.message, c.key, c.f5Held, c.editable), c.consumed);
    }
}

}  // namespace
