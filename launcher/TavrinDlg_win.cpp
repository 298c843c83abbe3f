#include "launcher/TavrinDlg_win.h"

#include <shellapi.h>

#include "settings/Settings.h"
#include "browser/ImpIDispatch_win.h"
#include "launcher/CommandArgs.h"
#include "launcher/UpdateHandoff_win.h"
#include "updater/UpdateNotices.h"
#include "updater/UpdatePass.h"
#include "updater/UpdateServices_win.h"
#include "resources/ResourceIds.h"
#include "platform/Geometry_win.h"
#include "platform/Handles_win.h"
#include "platform/Text_win.h"

namespace {
constexpr DWORD kLauncherStyle = WS_POPUP | WS_SYSMENU | WS_MINIMIZEBOX;  // 0x800A0000
}

// The dispatch. The base handles activation and sizing first; a handler
// after it runs only while the window is still this object's.
LRESULT CTavrinDlg::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_ACTIVATE: {
        BoundCheck bound(this);
        const LRESULT r = CDialog::WindowProc(message, wParam, lParam);
        if (bound)
            OnActivate(msg::CrackActivate(wParam, lParam));
        return r;
    }
    case WM_SIZE: {
        BoundCheck bound(this);
        const LRESULT r = CDialog::WindowProc(message, wParam, lParam);
        if (bound)
            OnSize(msg::CrackSize(wParam, lParam));
        return r;
    }
    case WM_PAINT:
        if (IsIconic(m_hWnd)) {
            OnPaintIconic();
            return 0;
        }
        break;
    case WM_QUERYDRAGICON:
        return reinterpret_cast<LRESULT>(m_hIcon);
    case WM_UPDATE_NOTICE:
        if (std::optional<CHttpCallBack> notice = TakeUpdateNotice(lParam))
            OnUpdateNotice(*notice);
        return 0;
    case WM_NEWWINDOW_CLOSED:
        return 0;
    case WM_DESTROY:
        DiscardQueuedUpdateNotices(m_hWnd);
        // Pages' commands act on the launcher only while it exists.
        if (CImpIDispatch* bridge = PageBridge(); bridge && bridge->pTargetWnd == this)
            bridge->pTargetWnd = nullptr;
        break;
    default:
        break;
    }
    return CDialog::WindowProc(message, wParam, lParam);
}

CTavrinDlg::CTavrinDlg(CWnd* parent)
    : CDialog(IDD_MORVANE_DIALOG, parent),
      m_hIcon(LoadIconW(AfxGetInstanceHandle(), MAKEINTRESOURCEW(IDR_MAINFRAME)))
{
}

BOOL CTavrinDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    SendMessage(WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(m_hIcon));
    SendMessage(WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(m_hIcon));
    StartUpdatePass(m_hWnd);
    CFlashDlgBase::Create(m_hWnd, CLSID_ShockwaveFlash, WS_EX_LAYERED, kLauncherStyle,
                          SIZE{g_nLauncherWidth, g_nLauncherHeight});
    m_webWnd.Create(IDD_WEBWND, this);
    m_webWnd.SetOwnerDialog(this);
    LayoutWebWnd();
    if (CImpIDispatch* bridge = PageBridge())
        bridge->pTargetWnd = this;
    SetWindowText(AnsiToWide(g_strTitle));
    return TRUE;
}

void CTavrinDlg::OnOK()
{
    // An OK command (Enter) never ends the launcher.
}

void CTavrinDlg::OnActivate(const msg::Activate& activate)
{
    if (activate.state != WA_INACTIVE)
        ShowWindow(SW_SHOW);
}

void CTavrinDlg::OnSize(const msg::Size& size)
{
    LayoutWebWnd();
    if (size.type == SIZE_MINIMIZED) {
        m_bMinimized = true;
    } else if (m_bMinimized) {
        // Restored: the face was left as it was before the minimise, and the
        // picture may have changed since (a button's hover went out).
        m_bMinimized = false;
        Draw(nullptr, nullptr, FALSE);
    }
}

void CTavrinDlg::OnPaintIconic()
{
    PaintDc paint(m_hWnd);
    SendMessage(WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(paint.Get()), 0);
    RECT client;
    GetClientRect(&client);
    int x = (client.right - client.left - GetSystemMetrics(SM_CXICON) + 1) / 2;
    int y = (client.bottom - client.top - GetSystemMetrics(SM_CYICON) + 1) / 2;
    DrawIcon(paint.Get(), x, y, m_hIcon);
}

HRESULT CTavrinDlg::OnFSCommand(const std::wstring& command, const std::wstring& args)
{
    OnFSCommand(WideToAnsi(command), WideToAnsi(args));
    return S_OK;
}

int CTavrinDlg::OnFSCommand(const std::string& command, const std::string& args)
{
    switch (MatchLauncherCommand(command)) {
    case LauncherCommand::Close:
        m_webWnd.DestroyWindow();
        EndDialog(IDOK);
        break;
    case LauncherCommand::MoveWeb:
        if (std::optional<Rect> r = ParseWebRect(args)) {
            m_rcWeb = *r;
            LayoutWebWnd();
            m_webWnd.ShowWindow(SW_SHOW);
        }
        break;
    case LauncherCommand::MoveWeb2:
        if (std::optional<Rect> r = ParseWebRect(args)) {
            m_rcWeb2 = *r;
            LayoutWebWnd();
        }
        break;
    case LauncherCommand::OpenWeb:
        ShellExecuteA(nullptr, "open", "iexplore.exe", args.c_str(), nullptr, SW_SHOW);
        break;
    case LauncherCommand::WebUrl:
        m_webWnd.Navigate(args);
        CentreOnWorkArea();
        LayoutWebWnd();
        break;
    case LauncherCommand::WebUrl2:
        CentreOnWorkArea();
        LayoutWebWnd();
        break;
    case LauncherCommand::Min:
        PostMessage(WM_SYSCOMMAND, SC_MINIMIZE, 0);
        break;
    case LauncherCommand::None:
        break;
    }
    return 0;
}

void CTavrinDlg::CentreOnWorkArea()
{
    // The launcher has no owner: centre it on the monitor of the active
    // window, or the primary one (where a window off every screen goes).
    HMONITOR monitor = MonitorFromWindow(GetActiveWindow(), MONITOR_DEFAULTTOPRIMARY);
    MONITORINFO info{};
    info.cbSize = sizeof info;
    if (!GetMonitorInfoW(monitor, &info))
        SystemParametersInfoW(SPI_GETWORKAREA, 0, &info.rcWork, 0);
    RECT window;
    GetWindowRect(&window);
    Point p = CentreInWorkArea(ToRect(window), ToRect(info.rcWork));
    SetWindowPos(nullptr, p.x, p.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void CTavrinDlg::LayoutWebWnd()
{
    if (!m_rcWeb.IsEmpty()) {
        POINT topLeft = ToPOINT(Point{m_rcWeb.left, m_rcWeb.top});
        POINT bottomRight = ToPOINT(Point{m_rcWeb.right, m_rcWeb.bottom});
        ClientToScreen(&topLeft);
        ClientToScreen(&bottomRight);
        if (m_webWnd.m_hWnd) {
            // Deliberately 2 pixels narrower and lower than the movie's area:
            // the page never covers the area's right and bottom edge.
            m_webWnd.SetWindowPos(nullptr, topLeft.x, topLeft.y, bottomRight.x - topLeft.x - 2,
                                  bottomRight.y - topLeft.y - 2, SWP_NOZORDER | SWP_NOACTIVATE);
            ::SetFocus(m_webWnd.m_hWnd);
            ::BringWindowToTop(m_webWnd.m_hWnd);
        }
    }
    // m_rcWeb2 is only recorded: no window goes over it.
}

BOOL CTavrinDlg::PreTranslateMessage(MSG* msg)
{
    if (msg->hwnd == m_hWnd) {
        if (msg->message == WM_SYSCOMMAND && (msg->wParam & 0xFFF0) == SC_CLOSE) {
            PostQuitMessage(0);
            return TRUE;
        }
        if (msg->message == WM_RBUTTONDOWN)
            return TRUE;  // the movie never opens a context menu
        Routed routed = RouteMessage(msg->message, msg->wParam, msg->lParam);
        if (routed.moved)
            LayoutWebWnd();
        if (routed.handled)
            return static_cast<BOOL>(routed.result);
    }
    // No dialog keyboard handling: Tab, Enter and Esc mean nothing here.
    return CWnd::PreTranslateMessage(msg);
}

LRESULT CTavrinDlg::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCHITTEST)
        return HTCLIENT;
    return CDialog::DefWindowProc(message, wParam, lParam);
}

void CTavrinDlg::OnUpdateNotice(const CHttpCallBack& notice) { HandleLauncherUpdateNotice(*this, notice); }

void CTavrinDlg::PauseFace()
{
    if (pControl)
        pControl->StopPlay();
}

void CTavrinDlg::ResumeFace()
{
    if (pControl)
        pControl->Play();
}

void CTavrinDlg::ShowFace() { ShowWindow(SW_SHOW); }

void CTavrinDlg::HideFace() { ShowWindow(SW_HIDE); }
