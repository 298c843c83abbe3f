#include "platform/Framework.h"

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
BOOL CWnd::OnCommand(WPARAM, LPARAM) { return FALSE; }

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
        if (OnCommand(wParam, lParam))
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
    LRESULT result = 0;
    try {
        result = wnd->WindowProc(message, wParam, lParam);
    } catch (...) {
        // Nothing may unwind through the system's dispatcher.
        result = 0;
    }
    if (message == WM_NCDESTROY && FromHandlePermanent(hwnd) == wnd) {
        wnd->UnsubclassWindow();
        wnd->PostNcDestroy();
    }
    return result;
}
