// The dialog framework on real windows: modal loops, pre-translation, data
// exchange, reflection and the template's ActiveX entries.
#include <gtest/gtest.h>

#include "platform/Framework_win.h"

#include <commctrl.h>

#include <functional>
#include <vector>

#include "resources/ResourceIds.h"
#include "tests/support/Win32TestSupport_win.h"

namespace {

constexpr UINT kWmRun = WM_APP + 1;

// A dialog that runs a given action from its own message queue once it is up.
class ScriptedDialog : public CDialog {
public:
    ScriptedDialog(UINT id, std::function<void(ScriptedDialog&)> action, CWnd* parent = nullptr)
        : CDialog(id, parent), action_(std::move(action))
    {
    }
    std::function<BOOL(MSG*)> preTranslate;
    std::vector<UINT> seen;

    BOOL PreTranslateMessage(MSG* msg) override
    {
        if (preTranslate && preTranslate(msg))
            return TRUE;
        return CDialog::PreTranslateMessage(msg);
    }

protected:
    BOOL OnInitDialog() override
    {
        CDialog::OnInitDialog();
        PostMessage(kWmRun);
        return TRUE;
    }
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == kWmRun) {
            action_(*this);
            return 0;
        }
        return CDialog::WindowProc(message, wParam, lParam);
    }

private:
    std::function<void(ScriptedDialog&)> action_;
};

TEST(ModalLoop, NestedRunsDisableTheOwnerAndReturnTheirResults)
{
    INT_PTR inner = 0;
    BOOL outerEnabledDuringInner = TRUE;
    ScriptedDialog outer(IDD_UPDATE, [&](ScriptedDialog& self) {
        ScriptedDialog child(IDD_BOSS, [&](ScriptedDialog& me) {
            outerEnabledDuringInner = IsWindowEnabled(self.m_hWnd);
            me.EndDialog(7);
        }, &self);
        inner = child.DoModal();
        EXPECT_TRUE(IsWindowEnabled(self.m_hWnd));
        self.EndDialog(8);
    });
    EXPECT_EQ(outer.DoModal(), 8);
    EXPECT_EQ(inner, 7);
    EXPECT_FALSE(outerEnabledDuringInner);
    EXPECT_EQ(outer.m_hWnd, nullptr);  // destroyed and unbound
}

TEST(ModalLoop, QuitEndsTheInnerAndTheOuterLoopAndStaysQueued)
{
    INT_PTR inner = 0;
    ScriptedDialog outer(IDD_UPDATE, [&](ScriptedDialog& self) {
        ScriptedDialog child(IDD_BOSS, [](ScriptedDialog&) { PostQuitMessage(5); }, &self);
        inner = child.DoModal();
    });
    EXPECT_EQ(outer.DoModal(), -1);
    EXPECT_EQ(inner, -1);
    MSG msg;
    ASSERT_TRUE(PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(msg.wParam, 5u);
}

TEST(ModalLoop, HiddenTemplateIsShownOnceTheLoopIsIdle)
{
    bool visibleAtInit = true;
    ScriptedDialog dlg(IDD_UPDATE, [&](ScriptedDialog& self) {
        visibleAtInit = IsWindowVisible(self.m_hWnd);
        SetTimer(self.m_hWnd, 1, 30, nullptr);
    });
    dlg.preTranslate = [&](MSG* msg) {
        if (msg->message == WM_TIMER && msg->hwnd == dlg.m_hWnd) {
            KillTimer(dlg.m_hWnd, 1);
            EXPECT_TRUE(IsWindowVisible(dlg.m_hWnd));
            dlg.EndDialog(IDOK);
            return TRUE;
        }
        return FALSE;
    };
    EXPECT_EQ(dlg.DoModal(), IDOK);
    EXPECT_FALSE(visibleAtInit);
}

TEST(ModalLoop, PreTranslateSeesMessagesForChildWindows)
{
    HWND seenFor = nullptr;
    int seenId = 0;
    ScriptedDialog dlg(IDD_BOSS, [](ScriptedDialog& self) {
        PostMessageW(self.GetDlgItem(IDC_BOSS_TEXT), WM_KEYDOWN, 'Q', 0);
    });
    dlg.preTranslate = [&](MSG* msg) {
        if (msg->message == WM_KEYDOWN && msg->wParam == 'Q') {
            seenFor = msg->hwnd;
            seenId = GetDlgCtrlID(msg->hwnd);
            dlg.EndDialog(IDCANCEL);
            return TRUE;
        }
        return FALSE;
    };
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
    EXPECT_NE(seenFor, nullptr);
    EXPECT_EQ(seenId, IDC_BOSS_TEXT);
}

TEST(ModalLoop, EnterAndEscapeReachOkAndCancelThroughTheDialogManager)
{
    ScriptedDialog dlg(IDD_BOSS, [](ScriptedDialog& self) {
        PostMessageW(self.m_hWnd, WM_KEYDOWN, VK_ESCAPE, 0);
    });
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
}

TEST(ModalLoop, ModelessCreateAndAHandlerThatDestroysItsWindow)
{
    ScriptedDialog dlg(IDD_BOSS, [](ScriptedDialog& self) { self.DestroyWindow(); });
    ASSERT_TRUE(dlg.Create(IDD_BOSS, nullptr));
    EXPECT_EQ(CWnd::FromHandlePermanent(dlg.m_hWnd), &dlg);
    EXPECT_TRUE(PumpUntil([&] { return dlg.m_hWnd == nullptr; }));
}

class ProgressDialog : public CDialog {
public:
    ProgressDialog() : CDialog(IDD_UPDATE) {}
    CWnd m_progress;

protected:
    void DoDataExchange(CDataExchange* pDX) override { DDX_Control(pDX, IDC_UPDATE_PROGRESS, m_progress); }
};

TEST(DataExchange, ControlIsBoundToItsWindowObject)
{
    ProgressDialog dlg;
    ASSERT_TRUE(dlg.Create(IDD_UPDATE, nullptr));
    ASSERT_NE(dlg.m_progress.m_hWnd, nullptr);
    EXPECT_EQ(dlg.m_progress.m_hWnd, dlg.GetDlgItem(IDC_UPDATE_PROGRESS));
    EXPECT_EQ(CWnd::FromHandlePermanent(dlg.m_progress.m_hWnd), &dlg.m_progress);
    // The bound control still works as its class: the range goes through.
    dlg.m_progress.SendMessage(PBM_SETRANGE32, 0, 500);
    EXPECT_EQ(dlg.m_progress.SendMessage(PBM_GETRANGE, FALSE, 0), 500);
    dlg.DestroyWindow();
    EXPECT_EQ(dlg.m_progress.m_hWnd, nullptr);
}

class ColourButton : public CButton {
public:
    HBRUSH brush = CreateSolidBrush(RGB(1, 2, 3));
    int draws = 0;
    ~ColourButton() override { DeleteObject(brush); }
    void DrawItem(LPDRAWITEMSTRUCT item) override
    {
        ++draws;
        FillRect(item->hDC, &item->rcItem, brush);
    }
    HBRUSH CtlColor(HDC, UINT) override { return brush; }
};

class ButtonDialog : public CDialog {
public:
    ButtonDialog() : CDialog(IDD_BOSS) {}
    ColourButton ok;

protected:
    void DoDataExchange(CDataExchange* pDX) override { DDX_Control(pDX, IDOK, ok); }
};

TEST(Reflection, OwnerDrawAndControlColourReachTheButtonObject)
{
    ButtonDialog dlg;
    ASSERT_TRUE(dlg.Create(IDD_BOSS, nullptr));
    HWND button = dlg.ok.m_hWnd;
    ASSERT_NE(button, nullptr);
    SetWindowLongPtrW(button, GWL_STYLE, (GetWindowLongPtrW(button, GWL_STYLE) & ~0xF) | BS_OWNERDRAW);
    dlg.ShowWindow(SW_SHOW);
    InvalidateRect(button, nullptr, TRUE);
    UpdateWindow(button);
    EXPECT_GE(dlg.ok.draws, 1);
    HDC dc = GetDC(button);
    LRESULT brush = dlg.SendMessage(WM_CTLCOLORBTN, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(button));
    ReleaseDC(button, dc);
    EXPECT_EQ(reinterpret_cast<HBRUSH>(brush), dlg.ok.brush);
}

class RecordingOcc : public COccManager {
public:
    std::vector<DialogControl> got;
    bool dialogInitialised = false;
    bool* initFlag = nullptr;
    BOOL CreateDlgControls(CDialog*, const std::vector<DialogControl>& controls) override
    {
        got = controls;
        dialogInitialised = initFlag && *initFlag;
        return TRUE;
    }
};

class WebDialog : public CDialog {
public:
    WebDialog() : CDialog(IDD_WEBWND) {}
    bool initialised = false;

protected:
    BOOL OnInitDialog() override
    {
        initialised = true;
        return CDialog::OnInitDialog();
    }
};

TEST(ControlContainer, ActiveXEntriesAreSkippedWithoutAManager)
{
    AfxDisableControlContainer();
    WebDialog dlg;
    ASSERT_TRUE(dlg.Create(IDD_WEBWND, nullptr));
    EXPECT_EQ(dlg.GetDlgItem(IDC_WEB_BROWSER), nullptr);
    ASSERT_EQ(dlg.ActiveXControls().size(), 1u);
    EXPECT_EQ(dlg.ActiveXControls()[0].id, static_cast<uint32_t>(IDC_WEB_BROWSER));
    EXPECT_EQ(NarrowAscii(dlg.ActiveXControls()[0].className), "{8856F961-340A-11D0-A96B-00C04FD705A2}");
    EXPECT_FALSE(dlg.IsWindowVisible());
}

TEST(ControlContainer, TheManagerGetsTheEntriesBeforeInitialisation)
{
    RecordingOcc occ;
    AfxEnableControlContainer(&occ);
    WebDialog dlg;
    occ.initFlag = &dlg.initialised;
    ASSERT_TRUE(dlg.Create(IDD_WEBWND, nullptr));
    AfxDisableControlContainer();
    ASSERT_EQ(occ.got.size(), 1u);
    EXPECT_EQ(occ.got[0].id, static_cast<uint32_t>(IDC_WEB_BROWSER));
    EXPECT_EQ(occ.got[0].cx, 228);
    EXPECT_FALSE(occ.dialogInitialised);
    EXPECT_TRUE(dlg.initialised);
}

// A modeless dialog that deletes itself once its window is gone, and
// destroys its window from inside a handler. The bound check a dispatcher
// holds across the handler must tell it the object is gone.
class SelfDeletingDialog : public CDialog {
public:
    SelfDeletingDialog(bool* deleted, int* touchedAfter)
        : CDialog(IDD_BOSS), deleted_(deleted), touchedAfter_(touchedAfter)
    {
    }
    ~SelfDeletingDialog() override { *deleted_ = true; }

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == kWmRun) {
            BoundCheck bound(this);
            ::DestroyWindow(m_hWnd);
            if (bound)
                ++*touchedAfter_;
            return 0;
        }
        return CDialog::WindowProc(message, wParam, lParam);
    }
    void PostNcDestroy() override { delete this; }

private:
    bool* deleted_;
    int* touchedAfter_;
};

TEST(Dispatch, AHandlerThatDestroysItsOwnWindowAndObjectIsSafe)
{
    bool deleted = false;
    int touchedAfter = 0;
    auto* dlg = new SelfDeletingDialog(&deleted, &touchedAfter);
    ASSERT_TRUE(dlg->Create(IDD_BOSS, nullptr));
    HWND hwnd = dlg->m_hWnd;
    SendMessageW(hwnd, kWmRun, 0, 0);
    EXPECT_TRUE(deleted);
    EXPECT_EQ(touchedAfter, 0);
    EXPECT_FALSE(IsWindow(hwnd));
}

TEST(Dispatch, AWindowDestroyedFromInsideANestedModalRunEndsBothRunsCleanly)
{
    INT_PTR inner = 0;
    bool boundAfterInner = true;
    ScriptedDialog outer(IDD_UPDATE, [&](ScriptedDialog& self) {
        CWnd::BoundCheck bound(&self);
        ScriptedDialog child(IDD_BOSS, [&](ScriptedDialog&) { ::DestroyWindow(self.m_hWnd); }, &self);
        inner = child.DoModal();
        boundAfterInner = static_cast<bool>(bound);
    });
    EXPECT_EQ(outer.DoModal(), -1);
    EXPECT_EQ(inner, -1);  // its owner took it along
    EXPECT_FALSE(boundAfterInner);
    EXPECT_EQ(outer.m_hWnd, nullptr);
    EXPECT_EQ(FindThreadDialog(), nullptr);  // no orphan window
}

}  // namespace
