#include "platform/Framework_win.h"

#include "platform/Com_win.h"

namespace {

constexpr wchar_t kBindingProp[] = L"Morvane.CWnd";

thread_local CWnd* t_pendingWnd = nullptr;

}  // namespace

struct CreationHookAccess {
    static LRESULT CALLBACK CbtProc(int code, WPARAM wParam, LPARAM lParam)
    {
        if (code == HCBT_CREATEWND && t_pendingWnd) {
            CWnd* wnd = t_pendingWnd;
            t_pendingWnd = nullptr;  // only the first window: the dialog, not its controls
            wnd->Bind(reinterpret_cast<HWND>(wParam));
        }
        return CallNextHookEx(nullptr, code, wParam, lParam);
    }
};

// The dispatch: owner-draw and colour messages go to the control they are
// about, commands to OnCommand, the rest to the window's original procedure.
LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    HWND child = nullptr;
    switch (message) {
    case WM_DRAWITEM:
        child = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam)->hwndItem;
        break;
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORSCROLLBAR:
        child = reinterpret_cast<HWND>(lParam);
        break;
    case WM_COMMAND:
        if (OnCommand(msg::CrackCommand(wParam, lParam)))
            return 0;
        break;
    default:
        break;
    }
    if (child) {
        CWnd* control = FromHandlePermanent(child);
        LRESULT result = 0;
        if (control && control != this && control->OnChildNotify(message, wParam, lParam, &result))
            return result;
    }
    return DefWindowProc(message, wParam, lParam);
}

LRESULT CALLBACK CWnd::StaticWndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    CWnd* wnd = FromHandlePermanent(hwnd);
    if (!wnd)
        return ::DefWindowProcW(hwnd, message, wParam, lParam);
    BoundCheck bound(wnd);
    const LRESULT result = WindowProcBoundary(0, [&] { return wnd->WindowProc(message, wParam, lParam); });
    // A handler may have destroyed the object; then nothing of it is touched.
    if (message == WM_NCDESTROY && bound) {
        wnd->UnsubclassWindow();
        wnd->PostNcDestroy();
    }
    return result;
}

CWnd::CreationHook::CreationHook(CWnd* wnd) : previous(t_pendingWnd)
{
    t_pendingWnd = wnd;
    hook.Reset(SetWindowsHookExW(WH_CBT, &CreationHookAccess::CbtProc, nullptr, GetCurrentThreadId()));
}

CWnd::CreationHook::~CreationHook()
{
    hook.Reset();
    t_pendingWnd = previous;
}

CWnd::~CWnd()
{
    if (m_hWnd && IsWindow(m_hWnd)) {
        HWND hwnd = m_hWnd;
        // The window outlives nothing that points at this object.
        ::DestroyWindow(hwnd);
        if (IsWindow(hwnd))
            UnsubclassWindow();
    }
    BreakBoundChecks();
}

CWnd::BoundCheck::BoundCheck(CWnd* wnd) : wnd_(wnd && wnd->m_hWnd ? wnd : nullptr)
{
    if (wnd_) {
        next_ = wnd_->m_pBoundChecks;
        wnd_->m_pBoundChecks = this;
    }
}

CWnd::BoundCheck::~BoundCheck()
{
    if (!wnd_)
        return;
    for (BoundCheck** link = &wnd_->m_pBoundChecks; *link; link = &(*link)->next_) {
        if (*link == this) {
            *link = next_;
            break;
        }
    }
}

void CWnd::BreakBoundChecks()
{
    for (BoundCheck* check = m_pBoundChecks; check; check = check->next_)
        check->wnd_ = nullptr;
    m_pBoundChecks = nullptr;
}

CWnd* CWnd::FromHandlePermanent(HWND hwnd)
{
    return hwnd ? static_cast<CWnd*>(GetPropW(hwnd, kBindingProp)) : nullptr;
}

BOOL CWnd::WalkPreTranslateTree(MSG* msg)
{
    for (HWND hwnd = msg->hwnd; hwnd; hwnd = ::GetParent(hwnd)) {
        CWnd* wnd = FromHandlePermanent(hwnd);
        if (wnd && wnd->PreTranslateMessage(msg))
            return TRUE;
    }
    return FALSE;
}

BOOL CWnd::PreTranslateMessage(MSG*) { return FALSE; }

void CWnd::Bind(HWND hwnd)
{
    m_hWnd = hwnd;
    SetPropW(hwnd, kBindingProp, this);
    m_pfnSuper = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&CWnd::StaticWndProc)));
}

BOOL CWnd::SubclassWindow(HWND hwnd)
{
    if (!hwnd || m_hWnd || FromHandlePermanent(hwnd))
        return FALSE;
    Bind(hwnd);
    PreSubclassWindow();
    return TRUE;
}

BOOL CWnd::SubclassDlgItem(UINT id, CWnd* parent)
{
    return parent ? SubclassWindow(::GetDlgItem(parent->m_hWnd, static_cast<int>(id))) : FALSE;
}

HWND CWnd::UnsubclassWindow()
{
    HWND hwnd = m_hWnd;
    if (!hwnd)
        return nullptr;
    if (m_pfnSuper)
        SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_pfnSuper));
    RemovePropW(hwnd, kBindingProp);
    m_pfnSuper = nullptr;
    m_hWnd = nullptr;
    m_pCtrlSite = nullptr;
    BreakBoundChecks();
    return hwnd;
}

BOOL CWnd::DestroyWindow()
{
    return m_hWnd ? ::DestroyWindow(m_hWnd) : FALSE;
}

LRESULT CWnd::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (m_pfnSuper)
        return CallWindowProcW(m_pfnSuper, m_hWnd, message, wParam, lParam);
    return ::DefWindowProcW(m_hWnd, message, wParam, lParam);
}

BOOL CWnd::OnChildNotify(UINT, WPARAM, LPARAM, LRESULT*) { return FALSE; }
BOOL CWnd::OnCommand(const msg::Command&) { return FALSE; }
