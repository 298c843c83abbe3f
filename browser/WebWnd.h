#pragma once
// The launcher's embedded page window: a borderless modeless dialog over the
// launcher's face, owned by the launcher.
#include <string>

#include "platform/Framework.h"

class CTavrinDlg;

class CWebWnd : public CDialog {
public:
    CWebWnd();

    void SetOwnerDialog(CTavrinDlg* owner) { m_pOwnerDialog = owner; }
    CTavrinDlg* OwnerDialog() const { return m_pOwnerDialog; }

    // Loads a page in the window's browser. Until the program hosts its own
    // browser control the window has none, and the request is only recorded.
    void Navigate(const std::string& url);
    const std::string& LastNavigation() const { return m_strLastNavigation; }

private:
    CTavrinDlg* m_pOwnerDialog = nullptr;
    std::string m_strLastNavigation;
};
