#include "platform/Framework_win.h"

BOOL CButton::OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result)
{
    switch (message) {
    case WM_DRAWITEM:
        DrawItem(reinterpret_cast<LPDRAWITEMSTRUCT>(lParam));
        *result = TRUE;
        return TRUE;
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORSTATIC:
        if (HBRUSH brush = CtlColor(reinterpret_cast<HDC>(wParam), message)) {
            *result = reinterpret_cast<LRESULT>(brush);
            return TRUE;
        }
        return FALSE;
    default:
        return FALSE;
    }
}
