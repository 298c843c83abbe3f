#include "bosskey/BossDlg2_win.h"

#include "platform/SettingsStore.h"
#include "platform/Text_win.h"
#include "resources/ResourceIds.h"
#include "settings/Settings.h"

namespace {

// A hotkey id of the dialog's own, held only for the moment of the check.
constexpr int kProbeHotKeyId = 0xB055;

// The modifiers held, as the player sees them. The asynchronous state is
// what the hardware says now; the thread's state is what it said when the
// key message was made, which is the one that counts if the player let go
// of the modifier before the dialog got round to the message.
BossKeyModifiers HeldModifiers()
{
    auto held = [](int vk) { return GetAsyncKeyState(vk) != 0 || GetKeyState(vk) < 0; };
    return BossKeyModifiers{held(VK_CONTROL), held(VK_SHIFT), held(VK_MENU)};
}

// The size the framework's point fonts take: tenths of a point on this
// device's vertical resolution.
HFONT CreatePointFont(int tenthsOfPoint, const wchar_t* face, HDC dc)
{
    LOGFONTW font{};
    font.lfHeight = -MulDiv(tenthsOfPoint, GetDeviceCaps(dc, LOGPIXELSY), 720);
    font.lfCharSet = DEFAULT_CHARSET;
    wcsncpy_s(font.lfFaceName, face, _TRUNCATE);
    return CreateFontIndirectW(&font);
}

bool IsKeyMessage(UINT message)
{
    return message == WM_KEYDOWN || message == WM_KEYUP || message == WM_SYSKEYDOWN || message == WM_SYSKEYUP;
}

}  // namespace

BossDlg2::BossDlg2() : CDialogEx(IDD_BOSS) {}
BossDlg2::~BossDlg2() = default;

void BossDlg2::DoDataExchange(CDataExchange* pDX)
{
    CDialogEx::DoDataExchange(pDX);
    DDX_Control(pDX, IDOK, m_btnSave);
    DDX_Control(pDX, IDCANCEL, m_btnClose);
}

BOOL BossDlg2::OnInitDialog()
{
    CDialogEx::OnInitDialog();
    m_nCaptured = 0;
    const int stored = LoadBossKey(DefaultSettingsStore(), SettingsFilePath());
    m_capture = BossKeyCapture(stored);
    ShowBossKeyText(stored);

    LoadImageFromResource(m_background, IDB_BOSS_BACKGROUND, L"PNG");
    CenterOnScreenTopmost();

    m_btnSave.SetPngStrip(IDB_BOSS_SAVE_BTN, 3, CPngButton::kPush);
    m_btnClose.SetPngStrip(IDB_CLOSE_BTN, 3, CPngButton::kPush);

    // The label's large font: selected when its colours are asked for too,
    // but given to it as well, for a platform whose static control picks
    // its own font after asking.
    {
        HDC dc = ::GetDC(m_hWnd);
        m_labelFont.Reset(CreatePointFont(200, L"黑体", dc));
        ::ReleaseDC(m_hWnd, dc);
        ::SendMessageW(GetDlgItem(IDC_BOSS_TEXT), WM_SETFONT, reinterpret_cast<WPARAM>(m_labelFont.Get()), FALSE);
    }

    // The warning line sits under the label, as wide, hidden until needed.
    RECT label;
    ::GetWindowRect(GetDlgItem(IDC_BOSS_TEXT), &label);
    MapWindowPoints(nullptr, m_hWnd, reinterpret_cast<POINT*>(&label), 2);
    m_hNotice = CreateWindowExW(0, L"STATIC", L"", WS_CHILD | SS_LEFT | SS_NOPREFIX, label.left,
                                label.bottom + 8, label.right - label.left, 40, m_hWnd,
                                reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDC_BOSS_NOTICE)),
                                AfxGetInstanceHandle(), nullptr);
    m_noticeFont.Reset(CreateFontW(-14, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                                   CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, L"黑体"));
    if (m_hNotice && m_noticeFont)
        ::SendMessageW(m_hNotice, WM_SETFONT, reinterpret_cast<WPARAM>(m_noticeFont.Get()), FALSE);
    m_strNotice.clear();  // the line is new with each opening
    CheckRegistrable(stored);
    return TRUE;
}

void BossDlg2::ShowBossKeyText(int code)
{
    SetDlgItemTextA(m_hWnd, IDC_BOSS_TEXT, FormatBossKeyText(code).c_str());
    RedrawWindow(m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
}

void BossDlg2::CenterOnScreenTopmost()
{
    const int width = m_background.Width();
    const int height = m_background.Height();
    const int x = static_cast<int>((GetSystemMetrics(SM_CXSCREEN) - width) * 0.5);
    const int y = static_cast<int>((GetSystemMetrics(SM_CYSCREEN) - height) * 0.5);
    SetWindowPos(HWND_TOPMOST, x, y, width, height, SWP_SHOWWINDOW);
}

BOOL BossDlg2::PreTranslateMessage(MSG* msg)
{
    if (m_hWnd && IsKeyMessage(msg->message) && (msg->hwnd == m_hWnd || IsChild(m_hWnd, msg->hwnd)) &&
        CaptureKey(*msg))
        return TRUE;
    return CDialogEx::PreTranslateMessage(msg);
}

BOOL BossDlg2::CaptureKey(const MSG& msg)
{
    const int vk = static_cast<int>(msg.wParam);
    const bool down = msg.message == WM_KEYDOWN || msg.message == WM_SYSKEYDOWN;
    const BossKeyCaptureStep step = down ? m_capture.KeyDown(vk, HeldModifiers()) : m_capture.KeyUp(vk, HeldModifiers());
    if (down && step.consumed)
        m_nCaptured = m_capture.Shown();
    if (step.showChanged)
        ShowBossKeyText(m_capture.Shown());
    if (step.store) {
        SaveBossKey(DefaultSettingsStore(), SettingsFilePath(), *step.store);
        CheckRegistrable(*step.store);
    }
    return step.consumed ? TRUE : FALSE;
}

void BossDlg2::CheckRegistrable(int code)
{
    std::wstring notice;
    if (code != 0) {
        const BossHotKey hotKey = BossKeyHotKey(code);
        if (RegisterHotKey(m_hWnd, kProbeHotKeyId, hotKey.modifiers, hotKey.virtualKey))
            UnregisterHotKey(m_hWnd, kProbeHotKeyId);
        else
            notice = Utf8ToWide(kBossKeyRefusedText);
    }
    if (notice == m_strNotice)
        return;
    m_strNotice = notice;
    if (!m_hNotice)
        return;
    ::SetWindowTextW(m_hNotice, m_strNotice.c_str());
    ::ShowWindow(m_hNotice, m_strNotice.empty() ? SW_HIDE : SW_SHOWNA);
    RedrawWindow(m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
}

BOOL BossDlg2::OnCommand(const msg::Command& command)
{
    if (command.code == BN_CLICKED && command.id == IDOK) {
        EndDialog(IDOK);
        return TRUE;
    }
    return CDialogEx::OnCommand(command);
}

LRESULT BossDlg2::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_PAINT:
        OnPaint();
        return 0;
    case WM_ERASEBKGND:
        return TRUE;  // the picture covers the whole dialog
    case WM_CTLCOLORSTATIC:
        if (HBRUSH brush = OnCtlColor(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam)))
            return reinterpret_cast<LRESULT>(brush);
        break;
    default:
        break;
    }
    return CDialogEx::WindowProc(message, wParam, lParam);
}

void BossDlg2::OnPaint()
{
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(m_hWnd, &ps);
    SetStretchBltMode(dc, HALFTONE);
    SetBrushOrgEx(dc, 0, 0, nullptr);
    m_background.Draw(dc, 0, 0, m_background.Width(), m_background.Height());
    EndPaint(m_hWnd, &ps);
}

// The texts float on the picture: transparent, with no brush behind them.
HBRUSH BossDlg2::OnCtlColor(HDC dc, HWND control)
{
    const int id = GetDlgCtrlID(control);
    if (id == IDC_BOSS_TEXT) {
        SelectObject(dc, m_labelFont.Get());
        SetTextColor(dc, RGB(255, 255, 255));
    } else if (id == IDC_BOSS_NOTICE) {
        SetTextColor(dc, RGB(255, 178, 96));
    } else {
        return nullptr;
    }
    SetBkMode(dc, TRANSPARENT);
    return static_cast<HBRUSH>(GetStockObject(HOLLOW_BRUSH));
}
