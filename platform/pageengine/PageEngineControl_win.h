#pragma once
// The browser control of the demo build under Wine: the shared control's
// contract toward its host, with the page shown by the page engine's
// browser. Each control is one page (a DevTools target) of the shared
// engine; its frames are painted into the control's window at the window's
// size, and the window's mouse and keys go to the page.
#include <windows.h>

#include <memory>
#include <optional>
#include <string>

#include "platform/Handles_win.h"
#include "platform/devtools/DevToolsConnection.h"
#include "platform/pageengine/BrowserControl_win.h"
#include "platform/pageengine/EngineHost_win.h"

namespace pageengine {

class PageEngineControl final : public BrowserControl, private EngineHost::Client {
public:
    static ComPtr<PageEngineControl> Create();

private:
    PageEngineControl();
    ~PageEngineControl() override;

    // The host's calls.
    HRESULT OnNavigate(const std::wstring& url, bool navigate2) override;
    HRESULT OnRefresh() override;
    void OnRefreshAccelerator() override;
    void OnBackAccelerator() override;
    bool OnWindowMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) override;
    void OnWindowCreated() override;
    void OnClose() override;
    void OnHostInfoChanged() override;

    // The engine's side.
    void OnEngineReady() override;
    void OnEngineFailed(const std::wstring& text) override;
    void OnEngineEvent(const devtools::Json& event) override;
    void OnFrame(std::shared_ptr<const devtools::FramePicture> picture) override;
    devtools::Json OnExternalCall(const devtools::Json& request) override;

    void CreatePage();
    void SetUpSession();
    void Send(const std::string& method, devtools::Json params = devtools::Json::object(),
              EngineHost::Reply reply = {});
    void NavigateNow(const std::string& url);
    void ApplySize();
    void ApplyScrollbars();
    void StartScreencast();

    void OnRequestPaused(const devtools::Json& params);
    void OnFrameNavigated(const devtools::Json& params);
    void OnLoadEventFired();
    void OnDialogOpening(const devtools::Json& params);
    void OnBindingCalled(const devtools::Json& params);

    void Paint(HDC dc);
    void ForwardMouse(UINT message, WPARAM wParam, LPARAM lParam);
    void ForwardKey(UINT message, WPARAM wParam, LPARAM lParam);
    int CountPress(const std::string& button, POINT at);

    EngineHost* host_ = nullptr;
    bool ready_ = false;
    bool creatingPage_ = false;
    std::string targetId_;
    std::string session_;
    int setupPending_ = 0;      // set-up commands not yet answered
    bool sessionReady_ = false;  // the page may navigate
    std::optional<std::string> pendingUrl_;
    std::string currentUrl_;
    bool reloading_ = false;
    std::optional<bool> scrollbarsHidden_;  // as last told to the page
    std::wstring failure_;
    SIZE viewport_{};
    std::shared_ptr<const devtools::FramePicture> frame_;  // the last, the size the browser sent
    int buttons_ = 0;  // the mouse buttons held, as the engine counts them
    struct {
        int count = 0;
        std::string button;
        LONG time = 0;
        POINT at{};
    } clicks_;  // the presses in a row so far
};

// Registers the control for the browser control's class id in this process
// when it runs under Wine; true when it did. The demo build calls it at
// start-up; a Windows machine keeps the platform's own control.
bool RegisterPageEngineClass();
void RevokePageEngineClass();

}  // namespace pageengine
