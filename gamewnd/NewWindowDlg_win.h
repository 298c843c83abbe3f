#pragma once
// The game window: a maximised dialog whose whole client area is the browser
// showing the game page. Each opening is a fresh object, run modally and
// destroyed by its opener.
#include <string>

#include "browser/WebBrowser2_win.h"
#include "platform/Framework_win.h"

class CNewWindowDlg : public CDialog {
public:
    CNewWindowDlg();

    BOOL PreTranslateMessage(MSG* msg) override;

    std::string m_strURL;  // the game page, in the ANSI code page
    CWebBrowser2 m_browser;

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* pDX) override;

private:
    void OnSize(const msg::Size& size);
    // TRUE when the player confirmed the quit.
    bool ConfirmClose();
};

// Opens the game window on a page and returns when the player has closed it.
void RunNewWindowDlg(const std::string& url);
