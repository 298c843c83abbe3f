// The dialog templates as the program ships them.
#include <gtest/gtest.h>

#include "platform/DialogTemplate.h"
#include "resources/ResourceIds.h"

#include <windows.h>

#include <cstring>

namespace {

DialogTemplateInfo Load(UINT id)
{
    HMODULE module = GetModuleHandleW(nullptr);
    HRSRC info = FindResourceW(module, MAKEINTRESOURCEW(id), MAKEINTRESOURCEW(5));
    EXPECT_NE(info, nullptr) << id;
    if (!info)
        return {};
    const auto* bytes = static_cast<const uint8_t*>(LockResource(LoadResource(module, info)));
    auto parsed = ParseDialogTemplate(bytes, SizeofResource(module, info));
    EXPECT_TRUE(parsed) << id;
    return parsed ? *parsed : DialogTemplateInfo{};
}

const char kBrowserClsid[] = "{8856F961-340A-11D0-A96B-00C04FD705A2}";

TEST(Templates, Launcher102)
{
    DialogTemplateInfo t = Load(IDD_MORVANE_DIALOG);
    EXPECT_EQ(t.style, 0x90000040u);
    EXPECT_EQ(t.exStyle, 0x40000u);
    EXPECT_EQ(t.cx, 415);
    EXPECT_EQ(t.cy, 293);
    EXPECT_TRUE(t.title.empty());
    EXPECT_EQ(t.pointSize, 9);
    EXPECT_EQ(t.typeface, u"宋体");
    EXPECT_TRUE(t.controls.empty());
}

TEST(Templates, GameWindow130)
{
    DialogTemplateInfo t = Load(IDD_NEWWINDOW);
    EXPECT_EQ(t.style, DWORD(DS_SETFONT | DS_MODALFRAME | WS_POPUP | WS_VISIBLE | WS_CAPTION | WS_SYSMENU));
    EXPECT_EQ(t.cx, 448);
    EXPECT_EQ(t.cy, 339);
    EXPECT_TRUE(t.title.empty());
    EXPECT_EQ(t.typeface, u"System");
    ASSERT_EQ(t.controls.size(), 1u);
    EXPECT_EQ(t.controls[0].id, 2000u);
    EXPECT_EQ(NarrowAscii(t.controls[0].className), kBrowserClsid);
    EXPECT_EQ(t.controls[0].style, DWORD(WS_CHILD | WS_VISIBLE | WS_TABSTOP));
    EXPECT_EQ(t.controls[0].cx, 150);
    EXPECT_EQ(t.controls[0].cy, 85);
}

TEST(Templates, Update132)
{
    DialogTemplateInfo t = Load(IDD_UPDATE);
    EXPECT_EQ(t.style, DWORD(DS_SETFONT | DS_MODALFRAME | WS_POPUP | WS_CAPTION | WS_SYSMENU));
    EXPECT_EQ(t.title, u"程序升级");
    EXPECT_EQ(t.cx, 188);
    EXPECT_EQ(t.cy, 29);
    EXPECT_EQ(t.typeface, u"System");
    ASSERT_EQ(t.controls.size(), 1u);
    const DialogControl& bar = t.controls[0];
    EXPECT_EQ(bar.id, 1003u);
    EXPECT_EQ(_stricmp(NarrowAscii(bar.className).c_str(), "msctls_progress32"), 0);
    EXPECT_EQ(bar.style, DWORD(WS_CHILD | WS_VISIBLE | WS_BORDER));
    EXPECT_EQ((std::vector<int>{bar.x, bar.y, bar.cx, bar.cy}), (std::vector<int>{7, 7, 174, 15}));
}

TEST(Templates, WebPage141)
{
    DialogTemplateInfo t = Load(IDD_WEBWND);
    EXPECT_EQ(t.style, DWORD(DS_SETFONT | DS_FIXEDSYS | WS_POPUP | WS_SYSMENU));
    EXPECT_EQ(t.cx, 355);
    EXPECT_EQ(t.cy, 207);
    ASSERT_EQ(t.controls.size(), 1u);
    const DialogControl& web = t.controls[0];
    EXPECT_EQ(web.id, 1000u);
    EXPECT_EQ(NarrowAscii(web.className), kBrowserClsid);
    EXPECT_EQ((std::vector<int>{web.x, web.y, web.cx, web.cy}), (std::vector<int>{7, 7, 228, 117}));
}

TEST(Templates, BossKey201)
{
    DialogTemplateInfo t = Load(IDD_BOSS);
    EXPECT_EQ(t.style & (WS_CAPTION | WS_BORDER | WS_POPUP), DWORD(WS_POPUP));
    EXPECT_EQ(t.typeface, u"Microsoft Sans Serif");
    ASSERT_EQ(t.controls.size(), 3u);
    struct Expected {
        uint32_t id;
        const char16_t* text;
        int x, y, cx, cy;
    } expected[] = {{1, u"确定", 150, 177, 43, 18}, {1010, u"快捷键", 58, 124, 300, 16}, {2, u"确定", 315, 13, 43, 18}};
    for (size_t i = 0; i < 3; ++i) {
        const DialogControl& c = t.controls[i];
        EXPECT_EQ(c.id, expected[i].id);
        EXPECT_EQ(c.text, expected[i].text);
        EXPECT_EQ((std::vector<int>{c.x, c.y, c.cx, c.cy}),
                  (std::vector<int>{expected[i].x, expected[i].y, expected[i].cx, expected[i].cy}));
    }
    EXPECT_EQ(t.controls[0].classOrdinal, 0x80);  // push buttons
    EXPECT_EQ(t.controls[1].classOrdinal, 0x82);  // static
}

TEST(Resources, IconAndVersion)
{
    HMODULE module = GetModuleHandleW(nullptr);
    EXPECT_NE(LoadIconW(module, MAKEINTRESOURCEW(IDR_MAINFRAME)), nullptr);
    EXPECT_NE(FindResourceW(module, MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(16) /* RT_VERSION */), nullptr);
    EXPECT_NE(FindResourceW(module, MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(24) /* RT_MANIFEST */), nullptr);
}

}  // namespace
