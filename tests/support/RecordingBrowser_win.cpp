// The browser control's recording stand-in: the shared control with a log of
// what it was asked instead of a page engine.
#include "tests/support/RecordingBrowser_win.h"

#include <algorithm>

#include "platform/ClassFactory_win.h"
#include "platform/Messages_win.h"

namespace {

constexpr wchar_t kWindowClass[] = L"RecordingBrowser";

std::vector<RecordingBrowser*>& LiveList()
{
    static std::vector<RecordingBrowser*> live;
    return live;
}

}  // namespace

RecordingBrowser::RecordingBrowser() : BrowserControl(kWindowClass)
{
    LiveList().push_back(this);
}

RecordingBrowser::~RecordingBrowser()
{
    std::vector<RecordingBrowser*>& live = LiveList();
    live.erase(std::remove(live.begin(), live.end(), this), live.end());
}

ComPtr<RecordingBrowser> RecordingBrowser::Create()
{
    return ComPtr<RecordingBrowser>(new RecordingBrowser);
}

const std::vector<RecordingBrowser*>& RecordingBrowser::Live()
{
    return LiveList();
}

int RecordingBrowser::LiveCount()
{
    return static_cast<int>(LiveList().size());
}

RecordingBrowser* RecordingBrowser::FromWindow(HWND hwnd)
{
    if (!hwnd)
        return nullptr;
    for (RecordingBrowser* browser : LiveList()) {
        if (browser->Window() == hwnd)
            return browser;
    }
    for (RecordingBrowser* browser : LiveList()) {
        const HWND own = browser->Window();
        if (own && (IsChild(hwnd, own) || IsChild(own, hwnd)))
            return browser;
    }
    return nullptr;
}

HRESULT RecordingBrowser::OnNavigate(const std::wstring& url, bool navigate2)
{
    Record((navigate2 ? L"Navigate2 " : L"Navigate ") + url);
    return S_OK;
}

HRESULT RecordingBrowser::OnRefresh()
{
    Record(L"Refresh");
    return S_OK;
}

bool RecordingBrowser::OnWindowMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result)
{
    switch (message) {
    case WM_KEYDOWN:
        Record(L"Key " + std::to_wstring(msg::CrackKey(wParam, lParam).vk));
        *result = 0;
        return true;
    case WM_CHAR:
        Record(L"Char " + std::to_wstring(static_cast<UINT>(wParam)));
        *result = 0;
        return true;
    default:
        return false;
    }
}

// --- the class object ---

namespace {

HRESULT CreateRecordingBrowser(REFIID iid, void** ppv)
{
    return RecordingBrowser::Create()->QueryInterface(iid, ppv);
}

StaticClassFactory<&CreateRecordingBrowser> g_factory;

}  // namespace

RecordingBrowserRegistration::RecordingBrowserRegistration()
    : result_(registration_.Register(CLSID_WebBrowser, &g_factory))
{
}

RecordingBrowserRegistration::~RecordingBrowserRegistration() { registration_.Revoke(); }
