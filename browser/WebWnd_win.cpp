#include "browser/WebWnd_win.h"

#include <ctime>

#include "browser/GameWindowRunner.h"
#include "browser/NavigationRules.h"
#include "platform/DefaultBrowser_win.h"
#include "platform/EventSinkMap_win.h"
#include "platform/Handles_win.h"
#include "platform/Text_win.h"
#include "resources/ResourceIds.h"

namespace {

// One page window per process: the Backspace hook and the window it serves.
HHOOK g_backspaceHook = nullptr;
HWND g_webWindow = nullptr;

// A Backspace taken from the queue goes to the dialog manager first, which
// hands it straight to the focused control (a text field of the page then
// deletes a character); the browser's history accelerator never sees it.
LRESULT CALLBACK BackspaceHook(int code, WPARAM wParam, LPARAM lParam)
{
    if (code >= 0 && wParam == PM_REMOVE) {
        auto* msg = reinterpret_cast<MSG*>(lParam);
        if (msg->message >= WM_KEYDOWN && msg->message <= 0x0109 /* WM_UNICHAR */ && msg->wParam == VK_BACK &&
            g_webWindow && ::IsDialogMessageW(g_webWindow, msg)) {
            msg->message = WM_NULL;
            msg->wParam = 0;
            msg->lParam = 0;
        }
    }
    return CallNextHookEx(g_backspaceHook, code, wParam, lParam);
}

std::string UrlText(const VARIANT* url)
{
    if (!url || url->vt != VT_BSTR || !url->bstrVal)
        return std::string();
    return WideToAnsi(std::wstring_view(url->bstrVal, SysStringLen(url->bstrVal)));
}

}  // namespace

// The dispatch: the hook lives from WM_INITDIALOG to WM_DESTROY; the size
// rule runs before the dialog's own size handling.
LRESULT CWebWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        if (!g_backspaceHook)
            g_backspaceHook = SetWindowsHookExW(WH_GETMESSAGE, &BackspaceHook, nullptr, GetCurrentThreadId());
        break;
    case WM_DESTROY:
        if (g_backspaceHook) {
            UnhookWindowsHookEx(g_backspaceHook);
            g_backspaceHook = nullptr;
        }
        if (g_webWindow == m_hWnd)
            g_webWindow = nullptr;
        break;
    case WM_SIZE:
        OnSize(msg::CrackSize(wParam, lParam));
        break;
    default:
        break;
    }
    return CDialog::WindowProc(message, wParam, lParam);
}

const EventSinkMap* CWebWnd::GetEventSinkMap() const
{
    static const EventSinkEntry entries[] = {
        OnEvent<&CWebWnd::OnBeforeNavigate2>(IDC_WEB_BROWSER, CWebBrowser2::kBeforeNavigate2),
        OnEvent<&CWebWnd::OnNewWindow2>(IDC_WEB_BROWSER, CWebBrowser2::kNewWindow2),
        OnEvent<&CWebWnd::OnNavigateComplete2>(IDC_WEB_BROWSER, CWebBrowser2::kNavigateComplete2),
        OnEvent<&CWebWnd::OnDocumentComplete>(IDC_WEB_BROWSER, CWebBrowser2::kDocumentComplete),
    };
    static const EventSinkMap map{CDialog::GetEventSinkMap(), entries};
    return &map;
}

CWebWnd::CWebWnd() : CDialog(IDD_WEBWND, nullptr) {}

void CWebWnd::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_WEB_BROWSER, m_browser);
}

BOOL CWebWnd::OnInitDialog()
{
    CDialog::OnInitDialog();
    g_webWindow = m_hWnd;
    RECT client;
    GetClientRect(&client);
    OnSize(msg::Size{SIZE_RESTORED, client.right, client.bottom});
    return TRUE;
}

void CWebWnd::Navigate(const std::string& url, VARIANT* flags, VARIANT* targetFrame, VARIANT* postData,
                       VARIANT* headers)
{
    m_browser.Navigate(url, flags, targetFrame, postData, headers);
}

void CWebWnd::OnSize(const msg::Size& size)
{
    // The control's 2-pixel edge lies outside the visible area.
    if (m_browser.m_hWnd)
        m_browser.SetWindowPos(nullptr, -2, -2, size.cx + 4, size.cy + 4, SWP_NOZORDER | SWP_NOACTIVATE);
}

BOOL CWebWnd::PreTranslateMessage(MSG* msg)
{
    if (msg->message == WM_KEYDOWN && GetAsyncKeyState(VK_CONTROL) == 0) {
        if (msg->wParam == VK_F5) {
            m_browser.Refresh();
            return TRUE;
        }
        // Enter and Escape belong to the page: no default button, no closing.
        if (msg->wParam == VK_RETURN || msg->wParam == VK_ESCAPE)
            return CWnd::PreTranslateMessage(msg);
    }
    if (msg->message == WM_RBUTTONDOWN)
        return TRUE;
    return CDialog::PreTranslateMessage(msg);
}

void CWebWnd::OnBeforeNavigate2(IDispatch*, VARIANT* url, VARIANT*, VARIANT*, VARIANT*, VARIANT*,
                                VARIANT_BOOL* cancel)
{
    const std::string u = UrlText(url);
    switch (DecideNavigation(u, BuiltinNavigationUrls())) {
    case NavigationAction::LoadHere:
        *cancel = VARIANT_FALSE;
        break;
    case NavigationAction::OpenInDefaultBrowser:
        OpenInDefaultBrowser(u);
        *cancel = VARIANT_TRUE;
        break;
    case NavigationAction::OpenGameWindow:
        // The navigation is refused before the game window's run, which
        // returns only when the player has closed it.
        *cancel = VARIANT_TRUE;
        RunGameWindowOver(GameWindowUrl(u, static_cast<int64_t>(std::time(nullptr))));
        break;
    }
}

void CWebWnd::RunGameWindowOver(const std::string& pageUrl)
{
    BoundCheck bound(this);
    ShowWindow(SW_HIDE);
    if (m_pOwnerDialog) {
        m_pOwnerDialog->PauseFace();
        m_pOwnerDialog->HideFace();
    }
    RunGameWindow(pageUrl);
    // The launcher may have closed meanwhile (a page of the game window can
    // close it); then nothing here is shown again.
    if (!bound)
        return;
    if (m_pOwnerDialog) {
        m_pOwnerDialog->ResumeFace();
        m_pOwnerDialog->ShowFace();
    }
    ShowWindow(SW_SHOW);
}

// A page's new window is left to the control: Cancel stays as it came.
void CWebWnd::OnNewWindow2(IDispatch**, VARIANT_BOOL*) {}

void CWebWnd::OnNavigateComplete2(IDispatch*, VARIANT*) {}

void CWebWnd::OnDocumentComplete(IDispatch*, VARIANT*) {}
