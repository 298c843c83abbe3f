#pragma once
// The launcher's embedded page window: a borderless modeless dialog over the
// launcher's face, owned by the launcher.
#include <string>

#include "browser/WebWndOwner.h"
#include "platform/Framework_win.h"

class CWebWnd : public CDialog {
public:
    CWebWnd();

    void SetOwnerDialog(IWebWndOwner* owner) { m_pOwnerDialog = owner; }
    IWebWndOwner* OwnerDialog() const { return m_pOwnerDialog; }

    // Loads a page in the window's browser. Until the program hosts its own
    // browser control the window has none, and the request is only recorded.
    void Navigate(const std::string& url);
    const std::string& LastNavigation() const { return m_strLastNavigation; }

private:
    IWebWndOwner* m_pOwnerDialog = nullptr;
    std::string m_strLastNavigation;
};
