#include "gamewnd/NewWindowDlg_win.h"

#include "platform/Com_win.h"
#include "platform/Text_win.h"
#include <memory>

#include "resources/ResourceIds.h"

// The dispatch: a close asks first; the browser fills the client area.
LRESULT CNewWindowDlg::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CLOSE:
        if (!ConfirmClose())
            return 0;
        break;
    case WM_SIZE:
        OnSize(msg::CrackSize(wParam, lParam));
        break;
    default:
        break;
    }
    return CDialog::WindowProc(message, wParam, lParam);
}

CNewWindowDlg::CNewWindowDlg() : CDialog(IDD_NEWWINDOW, nullptr) {}

void CNewWindowDlg::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_GAME_BROWSER, m_browser);
}

BOOL CNewWindowDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    ShowWindow(SW_MAXIMIZE);
    RECT client;
    GetClientRect(&client);
    OnSize(msg::Size{SIZE_RESTORED, client.right, client.bottom});
    ScopedBstr text(AnsiToWide(m_strURL).c_str());
    VARIANT url;
    VariantInit(&url);
    url.vt = VT_BSTR;
    url.bstrVal = text.Get();
    VARIANT none[4];
    for (VARIANT& v : none)
        VariantInit(&v);
    m_browser.Navigate2(&url, &none[0], &none[1], &none[2], &none[3]);
    ::BringWindowToTop(m_hWnd);
    return TRUE;
}

void CNewWindowDlg::OnSize(const msg::Size& size)
{
    if (m_browser.m_hWnd)
        m_browser.SetWindowPos(nullptr, 0, 0, size.cx, size.cy, SWP_NOZORDER);
}

bool CNewWindowDlg::ConfirmClose()
{
    return MessageBoxW(m_hWnd, L"确实要退出游戏？", L"提示", MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) != IDNO;
}

BOOL CNewWindowDlg::PreTranslateMessage(MSG* msg)
{
    if (msg->message == WM_KEYDOWN) {
        switch (msg->wParam) {
        case VK_ESCAPE:
        case VK_RETURN:
            return FALSE;  // they belong to the page and never end the dialog
        case VK_F5:
            m_browser.Refresh();
            return TRUE;
        default:
            break;
        }
    }
    return CDialog::PreTranslateMessage(msg);
}

void RunNewWindowDlg(const std::string& url)
{
    auto dialog = std::make_unique<CNewWindowDlg>();
    dialog->m_strURL = url;
    dialog->DoModal();
}
