#pragma once
// A stand-in for the platform's web browser control, registered in the test
// process for its class id. Toward its host it keeps the control's contract
// (the shared browser control); toward the test it records what it is asked
// and fires events and page actions on demand. Nothing is ever shown: where
// the real control would show its own message box or menu, the test is told.
#include <string>
#include <vector>

#include "platform/ClassFactory_win.h"
#include "platform/pageengine/BrowserControl_win.h"

class RecordingBrowser final : public BrowserControl {
public:
    // A new instance, already in Live(); what the class object hands out.
    static ComPtr<RecordingBrowser> Create();

    // Every instance not yet freed, oldest first.
    static const std::vector<RecordingBrowser*>& Live();
    static int LiveCount();
    // The live instance whose window is hwnd, lies inside it or holds it; null if none.
    static RecordingBrowser* FromWindow(HWND hwnd);

    // What the host asked, in order: "Navigate <url>", "Navigate2 <url>",
    // "Refresh", "Document"; what the control's own accelerators did:
    // "Refresh by accelerator", "GoBack by accelerator"; and the keys its
    // window received: "Key <vk>" (WM_KEYDOWN), "Char <code>" (WM_CHAR).
    const std::vector<std::wstring>& Calls() const { return calls_; }
    void ClearCalls() { calls_.clear(); }

private:
    RecordingBrowser();
    ~RecordingBrowser() override;

    HRESULT OnNavigate(const std::wstring& url, bool navigate2) override;
    HRESULT OnRefresh() override;
    void OnDocumentAsked() override { Record(L"Document"); }
    void OnRefreshAccelerator() override { Record(L"Refresh by accelerator"); }
    void OnBackAccelerator() override { Record(L"GoBack by accelerator"); }
    bool OnWindowMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) override;

    void Record(std::wstring entry) { calls_.push_back(std::move(entry)); }

    std::vector<std::wstring> calls_;
};

// The stand-in's class object, registered for the browser control's class
// id for the life of the scope. OLE must be initialised on the thread.
class RecordingBrowserRegistration {
public:
    RecordingBrowserRegistration();
    ~RecordingBrowserRegistration();
    RecordingBrowserRegistration(const RecordingBrowserRegistration&) = delete;
    RecordingBrowserRegistration& operator=(const RecordingBrowserRegistration&) = delete;
    HRESULT Result() const { return result_; }

private:
    ProcessClassRegistration registration_;  // made before result_, which it gives
    HRESULT result_;
};
