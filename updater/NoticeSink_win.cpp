#include <windows.h>

#include "resources/ResourceIds.h"
#include "updater/NoticeSink.h"
#include "updater/UpdateNotices.h"
#include "updater/UpdateServices_win.h"

namespace {

class PostingSink final : public INoticeSink {
public:
    bool Post(std::unique_ptr<CHttpCallBack>& notice) override
    {
        // Fails once the window is gone: the caller then frees the notice and the pass stops.
        HWND target = static_cast<HWND>(notice->hTarget);
        if (!PostMessageW(target, WM_UPDATE_NOTICE, 0, reinterpret_cast<LPARAM>(notice.get())))
            return false;
        notice.release();
        return true;
    }
};

}  // namespace

INoticeSink& Win32NoticeSink()
{
    static PostingSink* sink = new PostingSink;
    return *sink;
}

void DiscardQueuedUpdateNotices(HWND window)
{
    MSG queued;
    while (PeekMessageW(&queued, window, WM_UPDATE_NOTICE, WM_UPDATE_NOTICE, PM_REMOVE))
        TakeUpdateNotice(queued.lParam);
}
