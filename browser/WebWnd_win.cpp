#include "browser/WebWnd_win.h"

#include "resources/ResourceIds.h"

CWebWnd::CWebWnd() : CDialog(IDD_WEBWND, nullptr) {}

void CWebWnd::Navigate(const std::string& url)
{
    m_strLastNavigation = url;
}
