#include "launcher/TavrinDlg.h"

#include "app/Settings.h"
#include "platform/AppMessages.h"
#include "platform/Handles.h"
#include "platform/Text.h"
#include "resources/ResourceIds.h"

CTavrinDlg::CTavrinDlg(CWnd* parent)
    : CDialog(IDD_MORVANE_DIALOG, parent),
      m_hIcon(LoadIconW(AfxGetInstanceHandle(), MAKEINTRESOURCEW(IDR_MAINFRAME)))
{
}

CTavrinDlg::~CTavrinDlg()
{
    if (m_hWnd && IsWindow(m_hWnd))
        ::DestroyWindow(m_hWnd);
}

LRESULT CTavrinDlg::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_ACTIVATE: {
        LRESULT r = CDialog::WindowProc(message, wParam, lParam);
        OnActivate(LOWORD(wParam));
        return r;
    }
    case WM_PAINT:
        if (IsIconic(m_hWnd)) {
            OnPaint();
            return 0;
        }
        break;
    case WM_QUERYDRAGICON:
        return reinterpret_cast<LRESULT>(m_hIcon);
    case WM_NEWWINDOW_CLOSED:
        return 0;
    default:
        break;
    }
    return CDialog::WindowProc(message, wParam, lParam);
}

BOOL CTavrinDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    SendMessage(WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(m_hIcon));
    SendMessage(WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(m_hIcon));
    SetWindowText(AnsiToWide(g_strTitle));
    return TRUE;
}

void CTavrinDlg::OnOK()
{
    // An OK command (Enter) never ends the launcher.
}

void CTavrinDlg::OnActivate(UINT state)
{
    if (state != WA_INACTIVE)
        ShowWindow(SW_SHOW);
}

void CTavrinDlg::OnPaint()
{
    PaintDc paint(m_hWnd);
    SendMessage(WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(paint.Get()), 0);
    RECT client;
    GetClientRect(&client);
    int x = (client.right - client.left - GetSystemMetrics(SM_CXICON) + 1) / 2;
    int y = (client.bottom - client.top - GetSystemMetrics(SM_CYICON) + 1) / 2;
    DrawIcon(paint.Get(), x, y, m_hIcon);
}

BOOL CTavrinDlg::PreTranslateMessage(MSG* msg)
{
    if (msg->hwnd == m_hWnd) {
        if (msg->message == WM_SYSCOMMAND && (msg->wParam & 0xFFF0) == SC_CLOSE) {
            PostQuitMessage(0);
            return TRUE;
        }
        if (msg->message == WM_RBUTTONDOWN)
            return TRUE;
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
