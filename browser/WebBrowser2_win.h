#pragma once
// The window-side wrapper of one WebBrowser control on a dialog: the
// operations the program uses, called through the control's site.
#include <windows.h>
#include <oaidl.h>

#include <string>

#include "platform/Com_win.h"
#include "platform/Framework_win.h"

class CWebBrowser2 : public CWnd {
public:
    // The control's DISPIDs the program relies on, operations and events.
    enum : DISPID {
        kNavigate = 104,
        kNavigate2 = 500,
        kRefresh = -550,
        kDocument = 203,
        kBeforeNavigate2 = 250,
        kNewWindow2 = 251,
        kNavigateComplete2 = 252,
        kDocumentComplete = 259,
    };

    // url in the ANSI code page; the other arguments may be null.
    void Navigate(const std::string& url, VARIANT* flags, VARIANT* targetFrame, VARIANT* postData,
                  VARIANT* headers);
    void Navigate2(VARIANT* url, VARIANT* flags, VARIANT* targetFrame, VARIANT* postData, VARIANT* headers);
    void Refresh();
    // The current page's document object; null when there is none.
    ComPtr<IDispatch> GetDocument();
};
