// User-visible Chinese texts must display right under any ANSI code page:
// this suite also runs under code page 1252, where a narrow-text mistake
// shows as question marks.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "platform/Framework_win.h"
#include "resources/ResourceIds.h"
#include "tests/support/Win32TestSupport_win.h"

namespace {

UINT ExpectedCodePage()
{
    const char* cp = std::getenv("MORVANE_CODEPAGE");
    return cp ? static_cast<UINT>(std::atoi(cp)) : 936u;
}

class TestApp : public CWinApp {
public:
    TestApp() { m_strAppName = L"Morvane"; }
};

TEST(TextDisplay, RunsUnderTheIntendedCodePage) { EXPECT_EQ(GetACP(), ExpectedCodePage()); }

TEST(TextDisplay, DialogCaptionFromTheTemplate)
{
    CDialog dlg(IDD_UPDATE);
    ASSERT_TRUE(dlg.Create(IDD_UPDATE, nullptr));
    EXPECT_EQ(WindowText(dlg.m_hWnd), L"程序升级");
}

std::wstring g_boxText, g_boxCaption;

// Reads the message box back while it runs, then dismisses it.
void CALLBACK ReadBackBox(HWND, UINT, UINT_PTR id, DWORD)
{
    HWND box = FindThreadDialog();
    if (!box)
        return;
    KillTimer(nullptr, id);
    g_boxCaption = WindowText(box);
    wchar_t buffer[256] = {};
    GetDlgItemTextW(box, 0xFFFF, buffer, 256);
    g_boxText = buffer;
    PostMessageW(box, WM_COMMAND, IDOK, 0);
}

TEST(TextDisplay, ApplicationMessageBoxTextAndCaption)
{
    TestApp app;
    UINT_PTR timer = SetTimer(nullptr, 0, 50, &ReadBackBox);
    int result = AfxMessageBox(L"程序升级完毕,即将重新启动", MB_OK | MB_ICONEXCLAMATION);
    KillTimer(nullptr, timer);
    EXPECT_EQ(result, IDOK);
    EXPECT_EQ(g_boxCaption, L"Morvane");
    EXPECT_EQ(g_boxText, L"程序升级完毕,即将重新启动");
}

}  // namespace
