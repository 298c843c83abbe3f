// The PNG button on a real dialog under Wine.
#include <gtest/gtest.h>

#include <vector>

#include "controls/ImageCache_win.h"
#include "controls/PngButton_win.h"
#include "resources/ResourceIds.h"
#include "tests/support/Win32TestSupport_win.h"

namespace {

// A dialog with the boss-key template's button 1 bound to a PNG button;
// it keeps the clicks it is told of.
class ButtonDialog : public CDialog {
public:
    ButtonDialog() : CDialog(IDD_BOSS) {}
    CPngButton button;
    std::vector<UINT> clicks;

protected:
    void DoDataExchange(CDataExchange* pDX) override { DDX_Control(pDX, IDOK, button); }
    BOOL OnCommand(const msg::Command& command) override
    {
        if (command.code == BN_CLICKED)
            clicks.push_back(command.id);
        return TRUE;
    }
};

class PngButton : public ::testing::Test {
protected:
    void SetUp() override
    {
        ImageCache::Instance();  // GDI+ running, as the dialog's background loader does
        ASSERT_TRUE(dlg.Create(IDD_BOSS, nullptr));
        dlg.ShowWindow(SW_SHOW);
    }
    SIZE ButtonSize()
    {
        RECT r;
        dlg.button.GetWindowRect(&r);
        return SIZE{r.right - r.left, r.bottom - r.top};
    }

    ButtonDialog dlg;
};

TEST_F(PngButton, BecomesOwnerDrawnAndOneFrameInSize)
{
    EXPECT_EQ(dlg.button.GetStyle() & 0xF, DWORD(BS_OWNERDRAW));
    EXPECT_TRUE(dlg.button.GetStyle() & WS_CLIPSIBLINGS);
    dlg.button.SetPngStrip(IDB_CLOSE_BTN, 3, CPngButton::kPush);  // 60 x 20, three frames
    EXPECT_EQ(ButtonSize().cx, 20);
    EXPECT_EQ(ButtonSize().cy, 20);
    // A missing strip leaves the size alone.
    const SIZE before = ButtonSize();
    dlg.button.SetPngStrip(4242, 3, CPngButton::kPush);
    EXPECT_EQ(ButtonSize().cx, before.cx);
}

TEST_F(PngButton, LooksFollowThePointerAndAPushButtonComesBack)
{
    dlg.button.SetPngStrip(IDB_CLOSE_BTN, 3, CPngButton::kPush);
    CPngButton& b = dlg.button;
    b.SendMessage(WM_MOUSEHOVER);
    EXPECT_EQ(b.m_nState, 2);
    b.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    EXPECT_EQ(b.m_nState, 3);
    b.SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    EXPECT_EQ(b.m_nState, 2);
    b.SendMessage(WM_MOUSELEAVE);
    EXPECT_EQ(b.m_nState, 1);
    // The click reached the parent as the platform button reports it.
    EXPECT_TRUE(PumpUntil([&] { return !dlg.clicks.empty(); }, 2000));
    EXPECT_EQ(dlg.clicks, std::vector<UINT>{IDOK});
}

TEST_F(PngButton, ALatchingButtonOncePressedLooksPressedWhenThePointerLeaves)
{
    dlg.button.SetPngStrip(IDB_CLOSE_BTN, 3, CPngButton::kLatching);
    CPngButton& b = dlg.button;
    b.SendMessage(WM_MOUSELEAVE);
    EXPECT_EQ(b.m_nState, 1);  // not pressed yet
    b.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    b.SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    b.SendMessage(WM_MOUSELEAVE);
    EXPECT_EQ(b.m_nState, 3);
    EXPECT_TRUE(b.m_bLatched);
}

TEST_F(PngButton, ADisabledButtonTakesTheDisabledLookUntilThePointerChangesIt)
{
    dlg.button.SetPngStrip(IDB_CLOSE_BTN, 3, CPngButton::kPush);
    CPngButton& b = dlg.button;
    EnableWindow(b.m_hWnd, FALSE);
    InvalidateRect(b.m_hWnd, nullptr, FALSE);
    UpdateWindow(b.m_hWnd);
    EXPECT_EQ(b.m_nState, 4);
    EnableWindow(b.m_hWnd, TRUE);
    InvalidateRect(b.m_hWnd, nullptr, FALSE);
    UpdateWindow(b.m_hWnd);
    EXPECT_EQ(b.m_nState, 4);  // nothing sets it back but the pointer
    b.SendMessage(WM_MOUSEHOVER);
    EXPECT_EQ(b.m_nState, 2);
}

}  // namespace
