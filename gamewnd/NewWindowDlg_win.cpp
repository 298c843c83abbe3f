#include "gamewnd/NewWindowDlg_win.h"

#include <cstdio>
#include <cstring>
#include <ctime>
#include <iostream>

#include <commctrl.h>

#include "bosskey/BossKey.h"
#include "controls/ImageCache_win.h"
#include "gamewnd/GameServices_win.h"
#include "gamewnd/FrameLayout.h"
#include "platform/Atoi.h"
#include "platform/Com_win.h"
#include "platform/DefaultBrowser_win.h"
#include "platform/EventSinkMap_win.h"
#include "platform/Geometry_win.h"
#include "platform/SettingsStore.h"
#include "platform/Text_win.h"
#include "resources/ResourceIds.h"
#include "settings/Settings.h"

namespace {

constexpr UINT kWatchdogTimer = 1;
constexpr UINT kWatchdogPeriodMs = 600000;
constexpr int kBossHotKeyId = 1001;
constexpr UINT kRefreshCommand = 101;

struct SkinImage {
    const char* key;
    UINT id;
};
// In the order the frame keeps them: minimise, maximise, close, boss.
constexpr SkinImage kSystemButtonImages[] = {
    {"dialog\\dlg_minimize_button.bmp", IDB_MINIMIZE_BTN},
    {"dialog\\dlg_maxmize_button.bmp", IDB_MAXIMIZE_BTN},
    {"dialog\\dlg_close_btn.bmp", IDB_CLOSE_BTN},
    {"dialog\\dlg_boss_btn.bmp", IDB_BOSS_BTN},
};

int ReadBossKey()
{
    const std::string value =
        DefaultSettingsStore().ReadString("boss", "key", "", kSettingsValueBuffer, SettingsFilePath());
    return CrtAtoi(value.c_str());
}

Gdiplus::Bitmap* CachedPng(const char* key, UINT id) { return ImageCache::Instance().GetImage(key, L"PNG", id); }

std::vector<gameframe::CaptionButton> RectsOf(const std::map<int, CDUIButton>& buttons)
{
    std::vector<gameframe::CaptionButton> out;
    for (const auto& [id, button] : buttons)
        out.push_back(gameframe::CaptionButton{id, ToRect(button.m_rect)});
    return out;
}

}  // namespace

// The dispatch: the frame's non-client messages first, then the window's.
LRESULT CNewWindowDlg::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_NCCREATE:
        return OnNcCreate(wParam, lParam);
    case WM_NCCALCSIZE:
        return OnNcCalcSize(wParam, lParam);
    case WM_GETMINMAXINFO:
        reinterpret_cast<MINMAXINFO*>(lParam)->ptMinTrackSize.y = m_nCaptionHeight + m_nBorderWidth;
        break;
    case WM_NCPAINT:
        PaintFrame();
        return 0;
    case WM_SETTEXT: {
        // The platform draws its own caption when the text changes; the
        // frame is this window's to draw, so it is out of the way meanwhile.
        const DWORD style = GetStyle();
        SetWindowLongPtrW(m_hWnd, GWL_STYLE, style & ~WS_CAPTION);
        const LRESULT r = CDialog::WindowProc(message, wParam, lParam);
        SetWindowLongPtrW(m_hWnd, GWL_STYLE, style);
        PaintFrame();
        return r;
    }
    case WM_NCACTIVATE:
        InvalidateRect(m_hWnd, nullptr, TRUE);
        return TRUE;
    case WM_NCHITTEST:
        return OnNcHitTest(wParam, lParam);
    case WM_NCMOUSEMOVE:
        OnNcMouseMove(static_cast<UINT>(wParam), msg::PointFromLParam(lParam), wParam, lParam);
        return 0;
    case WM_NCMOUSELEAVE:
        OnNcMouseLeave();
        return 0;
    case WM_NCLBUTTONDOWN:
        OnNcLButtonDown(static_cast<UINT>(wParam), msg::PointFromLParam(lParam), wParam, lParam);
        return 0;
    case WM_NCLBUTTONUP:
        OnNcLButtonUp(msg::PointFromLParam(lParam), wParam, lParam);
        return 0;
    case WM_NCLBUTTONDBLCLK:
        OnNcLButtonDblClk(msg::PointFromLParam(lParam));
        return 0;
    case WM_SIZE: {
        BoundCheck bound(this);
        const LRESULT r = CDialog::WindowProc(message, wParam, lParam);
        if (bound)
            OnSize(msg::CrackSize(wParam, lParam));
        return r;
    }
    case WM_ERASEBKGND:
        return TRUE;
    case WM_CLOSE:
        if (!ConfirmClose())
            return 0;
        // The settings dialog's loop runs inside this window's: end it too,
        // or the game would stay on the screen until it is closed.
        if (m_bSettingsOpen)
            m_bossDlg.EndDialog(IDCANCEL);
        break;
    case WM_DESTROY: {
        const LRESULT r = CDialog::WindowProc(message, wParam, lParam);
        UnregisterHotKey(m_hWnd, kBossHotKeyId);
        // A window that ends while hidden leaves no dead icon behind.
        if (m_bHiddenToTray)
            Shell_NotifyIconA(NIM_DELETE, &m_tray);
        return r;
    }
    case WM_HOTKEY:
        if (m_bHiddenToTray)
            ShowFromTray();
        else
            HideToTray();
        return 0;
    case WM_TRAY_CALLBACK:
        // The tip promises that a double click opens the game again.
        if (LOWORD(lParam) == WM_LBUTTONDBLCLK && m_bHiddenToTray)
            ShowFromTray();
        return 0;
    case WM_TIMER:
        if (!SampleMemory()) {
            ReportWhiteScreen();
            return 0;
        }
        break;
    default:
        break;
    }
    return CDialog::WindowProc(message, wParam, lParam);
}

const EventSinkMap* CNewWindowDlg::GetEventSinkMap() const
{
    static const EventSinkEntry entries[] = {
        OnEvent<&CNewWindowDlg::OnNavigateComplete2>(IDC_GAME_BROWSER, CWebBrowser2::kNavigateComplete2),
        OnEvent<&CNewWindowDlg::OnDocumentComplete>(IDC_GAME_BROWSER, CWebBrowser2::kDocumentComplete),
    };
    static const EventSinkMap map{CDialog::GetEventSinkMap(), entries};
    return &map;
}

CNewWindowDlg::CNewWindowDlg() : CDialog(IDD_NEWWINDOW, nullptr)
{
    ImageCache::Instance().SetBaseDirectory(std::string(g_strAppDir) + "Skins\\Default\\");
    for (const SkinImage& image : kSystemButtonImages)
        m_sysButtonImages.push_back(CachedPng(image.key, image.id));
    m_pBackground = CachedPng("dialog\\DialogBkg.png", IDB_SKIN);
    m_rcIcon = ToRECT(gameframe::IconRect(Size{GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON)}));
    LoadBitmapFromResource(IDB_LOGO, L"PNG", &m_pLogo);
    LoadBitmapFromResource(IDB_WELCOME, L"PNG", &m_pWelcome);
    m_nBossKey = ReadBossKey();
}


void CNewWindowDlg::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_GAME_BROWSER, m_browser);
}

BOOL CNewWindowDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    HICON icon = LoadIconW(AfxGetInstanceHandle(), MAKEINTRESOURCEW(IDR_MAINFRAME));
    SetWindowLongPtrW(m_hWnd, GWL_STYLE, GetStyle() | WS_OVERLAPPEDWINDOW);
    SendMessage(WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
    SendMessage(WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
    SetClassLongPtrW(m_hWnd, GCL_STYLE, CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS);
    ShowWindow(SW_MAXIMIZE);
    RECT client;
    GetClientRect(&client);
    if (m_browser.m_hWnd)
        m_browser.SetWindowPos(nullptr, 0, 0, client.right, client.bottom, SWP_NOZORDER);
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
    m_nBossKey = ReadBossKey();
    RegisterBossKey(m_nBossKey);
    m_bHiddenToTray = false;
    SetTimer(m_hWnd, kWatchdogTimer, kWatchdogPeriodMs, nullptr);
    return TRUE;
}

BOOL CNewWindowDlg::OnCommand(const msg::Command& command)
{
    if (command.id == kRefreshCommand) {
        m_browser.Refresh();
        return TRUE;
    }
    return CDialog::OnCommand(command);
}

BOOL CNewWindowDlg::PreTranslateMessage(MSG* msg)
{
    if (msg->message == WM_KEYDOWN) {
        switch (msg->wParam) {
        case VK_ESCAPE:
        case VK_RETURN:
            return FALSE;  // they belong to the page and never end the dialog
        case VK_F12:
            ClearUrlCache();
            return TRUE;
        case VK_F5:
            m_browser.Refresh();
            return TRUE;
        case VK_F11:
            SampleMemory();
            ReportWhiteScreen();
            return TRUE;
        default:
            break;
        }
    }
    return CDialog::PreTranslateMessage(msg);
}

bool CNewWindowDlg::ConfirmClose()
{
    return MessageBoxW(m_hWnd, L"确实要退出游戏？", L"提示", MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) != IDNO;
}

// The page's title is not shown: the frame would draw it over the logo.
void CNewWindowDlg::OnDocumentComplete(IDispatch*, VARIANT*)
{
    SetWindowText(L"");
    InvalidateRect(m_hWnd, nullptr, TRUE);
}

// ---------------------------------------------------------------------------
// The frame

POINT CNewWindowDlg::ToWindow(POINT screen) const
{
    RECT window;
    GetWindowRect(&window);
    return POINT{screen.x - window.left, screen.y - window.top};
}

LRESULT CNewWindowDlg::OnNcCreate(WPARAM wParam, LPARAM lParam)
{
    const LRESULT created = CDialog::WindowProc(WM_NCCREATE, wParam, lParam);
    const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
    const gameframe::CaptionButtons initial = gameframe::InitialButtonRects(create->cx);
    auto imageOf = [&](int id) -> Gdiplus::Bitmap* {
        switch (id) {
        case gameframe::kMinimizeButton:
            return m_sysButtonImages[0];
        case gameframe::kMaximizeButton:
            return m_sysButtonImages[1];
        case gameframe::kCloseButton:
            return m_sysButtonImages[2];
        case gameframe::kBossButton:
            return m_sysButtonImages[3];
        case gameframe::kBossKeySettingsButton:
            return CachedPng("Button1.png", IDB_BOSSKEY_BTN);
        case gameframe::kForumButton:
            return CachedPng("Button2.png", IDB_FORUM_BTN);
        case gameframe::kHomeButton:
            return CachedPng("Button3.png", IDB_HOMEPAGE_BTN);
        default:
            return CachedPng("Button4.png", IDB_REFRESH_BTN);
        }
    };
    for (const gameframe::CaptionButton& b : initial)
        m_buttons[b.id].Setup(nullptr, ToRECT(b.rect), this, imageOf(b.id), 3, b.id);
    return created ? TRUE : FALSE;
}

LRESULT CNewWindowDlg::OnNcCalcSize(WPARAM wParam, LPARAM lParam)
{
    if (wParam)
        reinterpret_cast<NCCALCSIZE_PARAMS*>(lParam)->rgrc[0].top += gameframe::kClientTopOffset;
    return CDialog::WindowProc(WM_NCCALCSIZE, wParam, lParam);
}

void CNewWindowDlg::OnSize(const msg::Size& size)
{
    if (m_browser.m_hWnd)
        m_browser.SetWindowPos(nullptr, 0, 0, size.cx, size.cy, SWP_NOZORDER);
    LayoutCaptionButtons();
    InvalidateRect(m_hWnd, nullptr, TRUE);
    // The frame may have been painted at this size with the old layout.
    PaintFrame();
}

void CNewWindowDlg::LayoutCaptionButtons()
{
    RECT window;
    GetWindowRect(&window);
    for (const gameframe::CaptionButton& b : gameframe::CaptionButtonRects(window.right - window.left))
        m_buttons[b.id].m_rect = ToRECT(b.rect);
}

int CNewWindowDlg::ButtonAt(POINT windowPoint) const
{
    const std::vector<gameframe::CaptionButton> rects = RectsOf(m_buttons);
    return gameframe::ButtonAt(rects, ToPoint(windowPoint));
}

// What the composed frame shows: when nothing of it changed, the last
// composition is copied again instead of drawn anew.
struct CNewWindowDlg::FrameLook {
    int width = 0;
    int height = 0;
    std::wstring text;
    // Place, hover, pressed and disabled of each, in id order: the place too,
    // since the platform may paint the frame at a new size before the
    // window hears of the size and lays its buttons out again.
    std::vector<int> buttons;
    friend bool operator==(const FrameLook&, const FrameLook&) = default;
};

// The off-screen picture of the whole window: a 32-bit top-down DIB in a
// memory context, which GDI+ draws into directly through its pixels.
class CNewWindowDlg::FrameSurface {
public:
    FrameSurface(HDC compatible, int width, int height) : width_(width), height_(height)
    {
        BITMAPINFO bmi{};
        bmi.bmiHeader.biSize = sizeof bmi.bmiHeader;
        bmi.bmiHeader.biWidth = width;
        bmi.bmiHeader.biHeight = -height;
        bmi.bmiHeader.biPlanes = 1;
        bmi.bmiHeader.biBitCount = 32;
        bmi.bmiHeader.biCompression = BI_RGB;
        dc_ = CreateCompatibleDC(compatible);
        bitmap_ = CreateDIBSection(compatible, &bmi, DIB_RGB_COLORS, &bits_, nullptr, 0);
        if (dc_ && bitmap_)
            old_ = SelectObject(dc_, bitmap_);
    }
    ~FrameSurface()
    {
        if (old_)
            SelectObject(dc_, old_);
        if (dc_ && !DeleteDC(dc_))
            printf("3 error code:%lu/n", GetLastError());
        if (bitmap_ && !DeleteObject(bitmap_))
            printf("2 error code:%lu/n", GetLastError());
    }
    FrameSurface(const FrameSurface&) = delete;
    FrameSurface& operator=(const FrameSurface&) = delete;

    bool Ok() const { return old_ != nullptr && bits_ != nullptr; }
    bool Fits(int width, int height) const { return width == width_ && height == height_; }
    HDC Dc() const { return dc_; }
    std::unique_ptr<Gdiplus::Bitmap> Canvas() const
    {
        return std::make_unique<Gdiplus::Bitmap>(width_, height_, width_ * 4, PixelFormat32bppPARGB,
                                                 static_cast<BYTE*>(bits_));
    }

    FrameLook look;  // what the picture shows now

private:
    int width_;
    int height_;
    HDC dc_ = nullptr;
    HBITMAP bitmap_ = nullptr;
    HGDIOBJ old_ = nullptr;
    void* bits_ = nullptr;
};

CNewWindowDlg::FrameLook CNewWindowDlg::CurrentLook(int width, int height) const
{
    FrameLook look;
    look.width = width;
    look.height = height;
    const int length = GetWindowTextLengthW(m_hWnd);
    if (length > 0) {
        look.text.assign(static_cast<size_t>(length) + 1, L'\0');
        look.text.resize(static_cast<size_t>(GetWindowTextW(m_hWnd, look.text.data(), length + 1)));
    }
    for (const auto& [id, button] : m_buttons) {
        look.buttons.insert(look.buttons.end(),
                            {button.m_rect.left, button.m_rect.top, button.m_rect.right, button.m_rect.bottom});
        look.buttons.push_back(button.m_bHover);
        look.buttons.push_back(button.m_bPressed);
        look.buttons.push_back(button.m_bDisabled);
    }
    return look;
}

void CNewWindowDlg::ComposeFrame(HDC window, const FrameLook& look)
{
    const int W = look.width;
    const int H = look.height;
    const int C = m_nCaptionHeight;
    const int B = m_nBorderWidth;
    std::unique_ptr<Gdiplus::Bitmap> canvas = m_frame->Canvas();
    Gdiplus::Graphics graphics(canvas.get());
    const int iw = static_cast<int>(m_pBackground->GetWidth());
    const int ih = static_cast<int>(m_pBackground->GetHeight());
    // Stretched pieces would fade at their ends where the filter reads
    // past the source square; mirroring at the edges keeps them solid.
    Gdiplus::ImageAttributes edges;
    edges.SetWrapMode(Gdiplus::WrapModeTileFlipXY);
    for (const gameframe::SkinPiece& piece : gameframe::SkinPieces(W, H, C, B, iw, ih)) {
        graphics.DrawImage(m_pBackground, Gdiplus::Rect(piece.dest.x, piece.dest.y, piece.dest.width, piece.dest.height),
                           piece.source.x, piece.source.y, piece.source.width, piece.source.height, Gdiplus::UnitPixel,
                           &edges);
    }
    if (m_pLogo)
        graphics.DrawImage(m_pLogo.get(), 0, 3, static_cast<INT>(m_pLogo->GetWidth()),
                           static_cast<INT>(m_pLogo->GetHeight()));
    if (m_pWelcome)
        graphics.DrawImage(m_pWelcome.get(), 154, 24, static_cast<INT>(m_pWelcome->GetWidth()),
                           static_cast<INT>(m_pWelcome->GetHeight()));
    if (!look.text.empty()) {
        LOGFONTW logFont{};
        logFont.lfHeight = -12;
        logFont.lfWeight = FW_BOLD;
        wcscpy_s(logFont.lfFaceName, L"宋体");
        Gdiplus::Font font(window, &logFont);
        Gdiplus::StringFormat format(Gdiplus::StringFormatFlagsNoWrap);
        Gdiplus::SolidBrush white(Gdiplus::Color(255, 255, 255, 255));
        graphics.DrawString(look.text.c_str(), -1, &font, Gdiplus::PointF(15.0f, 15.0f), &format, &white);
    }
    // Every button: the composition is kept, so it must be whole.
    for (auto& [id, button] : m_buttons)
        button.Draw(graphics);
    m_frame->look = look;
}

CNewWindowDlg::~CNewWindowDlg() = default;  // where FrameSurface is complete

// Composed off screen and copied in one transfer with the client area
// clipped out, so the page is never painted over and nothing flickers.
void CNewWindowDlg::PaintFrame()
{
    if (IsIconic(m_hWnd)) {
        PAINTSTRUCT ps;
        BeginPaint(m_hWnd, &ps);
        EndPaint(m_hWnd, &ps);
        return;
    }
    HDC window = GetWindowDC(m_hWnd);
    if (!window)
        return;
    if (!m_pBackground) {
        ReleaseDC(m_hWnd, window);
        return;
    }
    RECT bounds;
    GetWindowRect(&bounds);
    const int W = bounds.right - bounds.left;
    const int H = bounds.bottom - bounds.top;
    RECT client;
    GetClientRect(&client);
    ExcludeClipRect(window, m_nBorderWidth, m_nCaptionHeight, m_nBorderWidth + client.right,
                    m_nCaptionHeight + client.bottom);
    if (!m_frame || !m_frame->Fits(W, H))
        m_frame = std::make_unique<FrameSurface>(window, W, H);
    if (m_frame->Ok()) {
        const FrameLook look = CurrentLook(W, H);
        if (!(m_frame->look == look))
            ComposeFrame(window, look);
        BitBlt(window, 0, 0, W, H, m_frame->Dc(), 0, 0, SRCCOPY);
    }
    SelectClipRgn(window, nullptr);
    ReleaseDC(m_hWnd, window);
    InvalidateRect(m_hWnd, nullptr, TRUE);
}

LRESULT CNewWindowDlg::OnNcHitTest(WPARAM wParam, LPARAM lParam)
{
    const POINT p = ToWindow(msg::PointFromLParam(lParam));
    const int button = ButtonAt(p);
    const bool inIcon = PtInRect(&m_rcIcon, p) != FALSE;
    if (std::optional<int> code = gameframe::CaptionHitCode(button, inIcon))
        return *code;
    RECT window;
    GetWindowRect(&window);
    const LRESULT platform = CDialog::WindowProc(WM_NCHITTEST, wParam, lParam);
    return gameframe::BandHitCode(static_cast<int>(platform),
                                  gameframe::InCaptionBand(ToPoint(p), window.right - window.left, m_nCaptionHeight));
}

void CNewWindowDlg::OnNcMouseMove(UINT hitCode, POINT screen, WPARAM wParam, LPARAM lParam)
{
    if (!m_nTracking) {
        TRACKMOUSEEVENT track{sizeof track, TME_LEAVE | TME_NONCLIENT, m_hWnd, 1};
        m_nTracking = _TrackMouseEvent(&track);
    }
    if (gameframe::PlatformDragsOrSizes(static_cast<int>(hitCode)))
        CDialog::WindowProc(WM_NCMOUSEMOVE, wParam, lParam);
    const int found = ButtonAt(ToWindow(screen));
    if (found == m_nHoverId)
        return;
    if (m_nHoverId != -1) {
        CDUIButton& old = m_buttons[m_nHoverId];
        if (!old.m_bDisabled)
            old.m_bHover = old.m_bPressed = 0;
        m_nHoverId = -1;
    }
    if (found != -1) {
        m_nHoverId = found;
        if (!m_buttons[found].m_bDisabled)
            m_buttons[found].m_bHover = 1;
    }
    // The new look shows now, not at whenever the frame is next painted.
    PaintFrame();
}

void CNewWindowDlg::OnNcMouseLeave()
{
    m_nTracking = 0;
    if (m_nHoverId != -1) {
        CDUIButton& old = m_buttons[m_nHoverId];
        if (!old.m_bDisabled)
            old.m_bHover = old.m_bPressed = 0;
        m_nHoverId = -1;
        PaintFrame();
    }
}

void CNewWindowDlg::InvalidateButton(const CDUIButton& button)
{
    // Window coordinates, which the call takes as client ones.
    InvalidateRect(m_hWnd, &button.m_rect, TRUE);
}

void CNewWindowDlg::OnNcLButtonDown(UINT hitCode, POINT screen, WPARAM wParam, LPARAM lParam)
{
    const POINT p = ToWindow(screen);
    const int found = ButtonAt(p);
    if (found != -1) {
        CDUIButton& button = m_buttons[found];
        if (!button.m_bDisabled) {
            button.m_bPressed = 1;
            InvalidateButton(button);
        }
        PaintFrame();
        return;
    }
    if (PtInRect(&m_rcIcon, p)) {
        TrackPopupMenu(GetSystemMenu(m_hWnd, FALSE), 0, screen.x, screen.y, 0, m_hWnd, nullptr);
        return;
    }
    if (gameframe::PlatformDragsOrSizes(static_cast<int>(hitCode)))
        CDialog::WindowProc(WM_NCLBUTTONDOWN, wParam, lParam);
}

void CNewWindowDlg::OnNcLButtonUp(POINT screen, WPARAM wParam, LPARAM lParam)
{
    const int found = ButtonAt(ToWindow(screen));
    BoundCheck bound(this);
    switch (found) {
    case -1:
        CDialog::WindowProc(WM_NCLBUTTONUP, wParam, lParam);
        return;
    case gameframe::kMinimizeButton:
        SendMessage(WM_SYSCOMMAND, SC_MINIMIZE, 0);
        return;
    case gameframe::kMaximizeButton:
        SendMessage(WM_SYSCOMMAND, IsZoomed(m_hWnd) ? SC_RESTORE : SC_MAXIMIZE, 0);
        return;
    case gameframe::kCloseButton:
        SendMessage(WM_SYSCOMMAND, SC_CLOSE, 0);
        return;
    case gameframe::kBossButton:
        HideToTray();
        break;
    case gameframe::kBossKeySettingsButton:
        OpenBossKeySettings();
        break;
    case gameframe::kForumButton:
        OpenInDefaultBrowser(g_strForumUrl);
        break;
    case gameframe::kHomeButton:
        OpenInDefaultBrowser(g_strHomeUrl);
        break;
    case gameframe::kRefreshButton:
        m_browser.Refresh();
        break;
    default:
        return;
    }
    if (bound)
        CompleteClick(found);
}

void CNewWindowDlg::CompleteClick(int id)
{
    auto it = m_buttons.find(id);
    if (it == m_buttons.end())
        return;
    CDUIButton& button = it->second;
    if (button.m_bDisabled || !button.m_bPressed)
        return;
    button.m_bPressed = 0;
    button.m_bChecked = !button.m_bChecked;
    InvalidateButton(button);
    PostMessage(WM_COMMAND, static_cast<WPARAM>(id), 0);
}

void CNewWindowDlg::OnNcLButtonDblClk(POINT screen)
{
    RECT window;
    GetWindowRect(&window);
    if (gameframe::InCaptionBand(ToPoint(ToWindow(screen)), window.right - window.left, m_nCaptionHeight))
        ShowWindow(IsZoomed(m_hWnd) ? SW_RESTORE : SW_MAXIMIZE);
}

// ---------------------------------------------------------------------------
// The services

void CNewWindowDlg::RegisterBossKey(int code)
{
    const BossHotKey hotKey = BossKeyHotKey(code);
    RegisterHotKey(m_hWnd, kBossHotKeyId, hotKey.modifiers, hotKey.virtualKey);
}

void CNewWindowDlg::HideToTray()
{
    m_tray = NOTIFYICONDATAA{};
    m_tray.cbSize = sizeof m_tray;
    m_tray.hWnd = m_hWnd;
    m_tray.uID = IDR_MAINFRAME;
    m_tray.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP | NIF_SHOWTIP;
    m_tray.uCallbackMessage = WM_TRAY_CALLBACK;
    m_tray.hIcon = LoadIconW(AfxGetInstanceHandle(), MAKEINTRESOURCEW(IDR_MAINFRAME));
    strncpy_s(m_tray.szTip, builtin::kTitle, _TRUNCATE);
    m_tray.uVersion = NOTIFYICON_VERSION_4;
    // No balloon: a boss key must not draw attention.
    Shell_NotifyIconA(NIM_ADD, &m_tray);
    Shell_NotifyIconA(NIM_SETVERSION, &m_tray);
    ShowWindow(SW_HIDE);
    m_bHiddenToTray = true;
}

void CNewWindowDlg::ShowFromTray()
{
    m_bHiddenToTray = false;
    ShowWindow(SW_SHOW);
    SetForegroundWindow(m_hWnd);
    Shell_NotifyIconA(NIM_DELETE, &m_tray);
}

bool CNewWindowDlg::SampleMemory()
{
    Win32ProcessMemory process;
    return watchdog::SampleMemory(process, watchdog::ProcessMemoryPeaks());
}

void CNewWindowDlg::ReportWhiteScreen()
{
    SYSTEMTIME now;
    GetLocalTime(&now);
    const watchdog::LocalTime at{now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond};
    const std::string text = watchdog::WhiteScreenReport(at, watchdog::ProcessMemoryPeaks().pagefileK);
    MessageBoxW(m_hWnd, Utf8ToWide(text).c_str(), Utf8ToWide(watchdog::kWhiteScreenCaption).c_str(), MB_OK);
}

void CNewWindowDlg::ClearUrlCache()
{
    WinInetUrlCache cache;
    urlcache::ClearUrlCache(cache, std::cout);
    std::cout.flush();
}

// Every page gets the handler that keeps script errors quiet.
void CNewWindowDlg::OnNavigateComplete2(IDispatch*, VARIANT*)
{
    ComPtr<IDispatch> document = m_browser.GetDocument();
    InstallErrorHandler(document.Get());
}

void CNewWindowDlg::OpenBossKeySettings()
{
    if (m_bSettingsOpen) {
        m_bossDlg.CenterOnScreenTopmost();
        return;
    }
    m_bSettingsOpen = true;
    // Let go of the key while the player sets one: pressing the current
    // combination in the dialog must reach it rather than hide this window.
    UnregisterHotKey(m_hWnd, kBossHotKeyId);
    BoundCheck bound(this);
    m_bossDlg.DoModal();
    if (!bound)
        return;
    m_bSettingsOpen = false;
    m_nBossKey = ReadBossKey();
    RegisterBossKey(m_nBossKey);
}

void RunNewWindowDlg(const std::string& url)
{
    auto dialog = std::make_unique<CNewWindowDlg>();
    dialog->m_strURL = url;
    dialog->DoModal();
}
