#pragma once
// The launcher's embedded page window: a borderless modeless dialog over the
// launcher's face, owned by the launcher. It decides where the page's links
// go: most stay here, a partner page goes to the default browser, and the
// game's entry page opens the game window with the launcher hidden.
#include <string>

#include "browser/WebBrowser2_win.h"
#include "browser/WebWndOwner.h"
#include "platform/Framework_win.h"

class CWebWnd : public CDialog {
public:
    CWebWnd();

    void SetOwnerDialog(IWebWndOwner* owner) { m_pOwnerDialog = owner; }
    IWebWndOwner* OwnerDialog() const { return m_pOwnerDialog; }

    // url in the ANSI code page; the other arguments may be null.
    void Navigate(const std::string& url, VARIANT* flags = nullptr, VARIANT* targetFrame = nullptr,
                  VARIANT* postData = nullptr, VARIANT* headers = nullptr);

    BOOL PreTranslateMessage(MSG* msg) override;

    CWebBrowser2 m_browser;

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* pDX) override;
    const EventSinkMap* GetEventSinkMap() const override;

private:
    void OnSize(const msg::Size& size);
    void OnBeforeNavigate2(IDispatch* browser, VARIANT* url, VARIANT* flags, VARIANT* targetFrame,
                           VARIANT* postData, VARIANT* headers, VARIANT_BOOL* cancel);
    void OnNewWindow2(IDispatch** browser, VARIANT_BOOL* cancel);
    void OnNavigateComplete2(IDispatch* browser, VARIANT* url);
    void OnDocumentComplete(IDispatch* browser, VARIANT* url);
    void RunGameWindowOver(const std::string& pageUrl);

    IWebWndOwner* m_pOwnerDialog = nullptr;
};
