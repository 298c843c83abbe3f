// The boss key settings dialog on a real window under Wine: its face, its
// key capture under real keyboard input, what it stores, its buttons.
#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <thread>
#include <string>
#include <vector>

#include "bosskey/BossDlg2_win.h"
#include "bosskey/BossKey.h"
#include "controls/ImageCache_win.h"
#include "platform/SettingsStore.h"
#include "platform/Text_win.h"
#include "resources/ResourceIds.h"
#include "settings/Settings.h"
#include "tests/support/HostedBrowser_win.h"
#include "tests/support/TempDir.h"
#include "tests/support/Win32TestSupport_win.h"

namespace {

void Key(BYTE vk, bool up)
{
    const DWORD extended = (vk == VK_NEXT || vk == VK_PRIOR) ? KEYEVENTF_EXTENDEDKEY : 0;
    keybd_event(vk, static_cast<BYTE>(MapVirtualKeyW(vk, MAPVK_VK_TO_VSC)), extended | (up ? KEYEVENTF_KEYUP : 0), 0);
}

// Presses the keys in order and lets them go in reverse, as a player does.
void Chord(const std::vector<BYTE>& keys)
{
    for (BYTE vk : keys) {
        Key(vk, false);
        Settle(40);
    }
    for (auto it = keys.rbegin(); it != keys.rend(); ++it) {
        Key(*it, true);
        Settle(40);
    }
}

class BossDialog : public ::testing::Test {
protected:
    void SetUp() override
    {
        SetAppDir(dir.Path() + "\\");
        ImageCache::Instance();
    }
    void TearDown() override
    {
        if (dlg.m_hWnd)
            DestroyWindow(dlg.m_hWnd);
        SetAppDir("C:\\");
    }
    void Store(const std::string& value)
    {
        std::ofstream(SettingsFilePath()) << "[boss]\r\nkey=" << value << "\r\n";
    }
    std::string Stored()
    {
        return DefaultSettingsStore().ReadString("boss", "key", "<none>", kSettingsValueBuffer, SettingsFilePath());
    }
    void Open()
    {
        ASSERT_TRUE(dlg.Create(IDD_BOSS, nullptr));
        Settle(200);
        SetForegroundWindow(dlg.m_hWnd);
        Settle(100);
    }
    std::string Label()
    {
        char text[128] = {};
        GetDlgItemTextA(dlg.m_hWnd, IDC_BOSS_TEXT, text, sizeof text);
        return text;
    }
    RECT ControlRect(int id)
    {
        RECT r;
        ::GetWindowRect(dlg.GetDlgItem(id), &r);
        MapWindowPoints(nullptr, dlg.m_hWnd, reinterpret_cast<POINT*>(&r), 2);
        return r;
    }

    TempDir dir;
    BossDlg2 dlg;
};

// A thread that plays the player's part while the test thread runs the
// dialog's own modal loop.
template <class Script>
INT_PTR RunModalWith(BossDlg2& dlg, Script script)
{
    std::thread player([&] {
        for (int i = 0; i < 200 && !(dlg.m_hWnd && IsWindowVisible(dlg.m_hWnd)); ++i)
            Sleep(20);
        Sleep(200);
        script();
    });
    const INT_PTR result = dlg.DoModal();
    player.join();
    return result;
}

void ClickAt(HWND hwnd, int id)
{
    RECT r;
    ::GetWindowRect(GetDlgItem(hwnd, id), &r);
    SetCursorPos((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    Sleep(100);
    mouse_event(MOUSEEVENTF_LEFTDOWN, 0, 0, 0, 0);
    Sleep(50);
    mouse_event(MOUSEEVENTF_LEFTUP, 0, 0, 0, 0);
}

// Keys sent from the player's thread: no pumping there.
void ChordFromThread(const std::vector<BYTE>& keys)
{
    for (BYTE vk : keys) {
        Key(vk, false);
        Sleep(40);
    }
    for (auto it = keys.rbegin(); it != keys.rend(); ++it) {
        Key(*it, true);
        Sleep(40);
    }
}

TEST_F(BossDialog, OpensCentredAndTopmostAtItsPictureSizeOverTheControlsItsFaceDrawsFor)
{
    Store("1136");
    Open();
    RECT w;
    dlg.GetWindowRect(&w);
    EXPECT_EQ(w.right - w.left, 531);
    EXPECT_EQ(w.bottom - w.top, 363);
    EXPECT_EQ(w.left, static_cast<int>((GetSystemMetrics(SM_CXSCREEN) - 531) * 0.5));
    EXPECT_EQ(w.top, static_cast<int>((GetSystemMetrics(SM_CYSCREEN) - 363) * 0.5));
    EXPECT_TRUE(GetWindowLongPtrW(dlg.m_hWnd, GWL_EXSTYLE) & WS_EX_TOPMOST);
    EXPECT_TRUE(dlg.IsWindowVisible());
    EXPECT_EQ(Label(), "Ctrl+f1");
    EXPECT_EQ(dlg.m_nCaptured, 0);
    // Both buttons are one frame of their strips, where the face leaves
    // room for them (the artwork is drawn for these places).
    const RECT save = ControlRect(IDOK), close = ControlRect(IDCANCEL), label = ControlRect(IDC_BOSS_TEXT);
    EXPECT_EQ(save.right - save.left, 120);
    EXPECT_EQ(save.bottom - save.top, 36);
    EXPECT_EQ(close.right - close.left, 20);
    EXPECT_EQ(close.bottom - close.top, 20);
    EXPECT_EQ((std::vector<LONG>{save.left, save.top, close.left, close.top, label.left, label.top}),
              (std::vector<LONG>{225, 288, 473, 21, 87, 202}));
    // The face is the picture; the label's white text floats on its dark
    // slot, with the slot showing between the letters.
    HDC dc = GetDC(dlg.m_hWnd);
    int white = 0, dark = 0, inkRows = 0;
    for (int y = label.top; y < label.bottom; ++y) {
        bool ink = false;
        for (int x = label.left; x < label.left + 90; ++x) {
            const COLORREF c = GetPixel(dc, x, y);
            const bool w = GetRValue(c) > 230 && GetGValue(c) > 230 && GetBValue(c) > 230;
            white += w;
            ink = ink || w;
            dark += GetRValue(c) < 40 && GetGValue(c) < 40 && GetBValue(c) < 70;
        }
        inkRows += ink;
    }
    ReleaseDC(dlg.m_hWnd, dc);
    EXPECT_GT(white, 100);
    EXPECT_GT(dark, 90 * 26 / 2);
    EXPECT_GE(inkRows, 16);  // letters of the 20-point face, not the dialog's 8
    SaveScreen(BesideThisProgram(L"boss-dialog.bmp"));
}

TEST_F(BossDialog, AnEntryThatIsNoCodeShowsAnEmptyLabel)
{
    for (const char* stored : std::vector<const char*>{"", "abc", nullptr}) {
        if (stored)
            Store(stored);
        else
            DeleteFileA(SettingsFilePath().c_str());
        BossDlg2 fresh;
        ASSERT_TRUE(fresh.Create(IDD_BOSS, nullptr));
        char text[64] = "x";
        GetDlgItemTextA(fresh.m_hWnd, IDC_BOSS_TEXT, text, sizeof text);
        EXPECT_STREQ(text, "") << (stored ? stored : "(no file)");
        EXPECT_TRUE(fresh.RefusedNotice().empty());
        DestroyWindow(fresh.m_hWnd);
    }
}

// Real key presses: the label follows the combination, the release stores it.
TEST_F(BossDialog, CapturesWhatThePlayerPressesAndStoresItAtTheRelease)
{
    struct Case {
        std::vector<BYTE> keys;
        std::string label;
        std::string stored;
    };
    const Case cases[] = {
        {{VK_CONTROL, VK_F1}, "Ctrl+f1", "1136"},
        {{VK_CONTROL, VK_SHIFT, 'A'}, "Ctrl+Shift+A", "1601"},
        {{VK_CONTROL, VK_SHIFT, VK_MENU, VK_NEXT}, "Ctrl+Shift+Alt+pagedown", "1826"},
        {{VK_NUMPAD1}, "a", "97"},
        {{VK_ESCAPE}, "esc", "27"},     // captured, the dialog stays
        {{VK_RETURN}, "enter", "13"},   // likewise
        {{VK_MENU, 'A'}, "Alt+A", "321"},  // system keys, captured as plain ones
        {{VK_CONTROL}, std::string("Ctrl+") + char(17), "1041"},
        {{VK_MENU}, std::string("Alt+") + char(18), "274"},
    };
    Store("0");
    Open();
    for (const Case& c : cases) {
        Chord(c.keys);
        EXPECT_EQ(Label(), c.label);
        EXPECT_EQ(Stored(), c.stored) << c.label;
        EXPECT_EQ(std::to_string(dlg.m_nCaptured), c.stored);
        EXPECT_TRUE(dlg.IsWindowVisible()) << c.label;
    }
    // After Alt alone the next key is captured, not eaten by a menu.
    Chord({'B'});
    EXPECT_EQ(Label(), "B");
}

TEST_F(BossDialog, AKeyHeldWhenTheDialogOpensStoresNothingAtItsRelease)
{
    Store("1136");
    Key(VK_SHIFT, false);
    Settle(50);
    Open();
    Key(VK_SHIFT, true);
    Settle(100);
    EXPECT_EQ(Stored(), "1136");
    EXPECT_EQ(Label(), "Ctrl+f1");
}

TEST_F(BossDialog, TheButtonsAndAltF4EndItWithoutStoring)
{
    struct Case {
        const char* what;
        std::function<void(HWND)> act;
        INT_PTR result;
    };
    const Case cases[] = {
        {"confirm", [](HWND h) { ClickAt(h, IDOK); }, IDOK},
        {"close", [](HWND h) { ClickAt(h, IDCANCEL); }, IDCANCEL},
        {"Alt+F4", [](HWND) { ChordFromThread({VK_MENU, VK_F4}); }, IDCANCEL},
    };
    for (const Case& c : cases) {
        Store("1136");
        BossDlg2 modal;
        const INT_PTR result = RunModalWith(modal, [&] { c.act(modal.m_hWnd); });
        EXPECT_EQ(result, c.result) << c.what;
        EXPECT_EQ(Stored(), "1136") << c.what;
    }
}

// A combination another program holds cannot be the boss key: the dialog
// says so while it is the chosen one, and stops saying so once another is.
TEST_F(BossDialog, SaysSoWhenTheChosenKeyCannotBeRegistered)
{
    HWND other = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
    ASSERT_TRUE(RegisterHotKey(other, 7, MOD_CONTROL | MOD_SHIFT, 'B'));
    Store(std::to_string(kBossKeyCtrl | kBossKeyShift | 'B'));
    Open();
    const std::wstring expected = Utf8ToWide(kBossKeyRefusedText);
    EXPECT_EQ(dlg.RefusedNotice(), expected);
    HWND notice = dlg.GetDlgItem(IDC_BOSS_NOTICE);
    EXPECT_TRUE(IsWindowVisible(notice));
    EXPECT_EQ(WindowText(notice), expected);
    Chord({VK_CONTROL, VK_SHIFT, 'C'});
    EXPECT_EQ(Stored(), "1603");
    EXPECT_TRUE(dlg.RefusedNotice().empty());
    EXPECT_FALSE(IsWindowVisible(notice));
    // The check let the free combination go again.
    EXPECT_TRUE(RegisterHotKey(other, 8, MOD_CONTROL | MOD_SHIFT, 'C'));
    UnregisterHotKey(other, 8);
    // The dialog is reused for each opening: a refused key is said again.
    DestroyWindow(dlg.m_hWnd);
    Store(std::to_string(kBossKeyCtrl | kBossKeyShift | 'B'));
    Open();
    EXPECT_TRUE(IsWindowVisible(dlg.GetDlgItem(IDC_BOSS_NOTICE)));
    DestroyWindow(dlg.m_hWnd);
    Open();
    EXPECT_TRUE(IsWindowVisible(dlg.GetDlgItem(IDC_BOSS_NOTICE)));
    UnregisterHotKey(other, 7);
    DestroyWindow(other);
}

}  // namespace
