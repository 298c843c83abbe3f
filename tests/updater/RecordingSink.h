#pragma once
// A notice sink that keeps every posted notice, and that the test tells when
// the "window" has handled one.
#include <chrono>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "updater/NoticeSink.h"
#include "updater/UpdateNotices.h"

class RecordingSink final : public INoticeSink {
public:
    enum class Mode { HandleAtOnce, Hold, Refuse };
    explicit RecordingSink(Mode mode = Mode::HandleAtOnce) : mode_(mode) {}

    bool Post(std::unique_ptr<CHttpCallBack>& notice) override
    {
        std::function<void(const CHttpCallBack&)> hook;
        {
            std::lock_guard<std::mutex> lock(mutex_);
            if (mode_ == Mode::Refuse)
                return false;
            hook = onPost_;
            log_.push_back(*notice);
            if (mode_ == Mode::HandleAtOnce)
                TakeUpdateNotice(reinterpret_cast<intptr_t>(notice.release()));
            else
                unhandled_.push_back(std::move(notice));
        }
        if (hook)
            hook(log_.back());
        changed_.notify_all();
        return true;
    }

    // Runs on the pass's thread after each accepted notice (synchronous passes only).
    void OnPost(std::function<void(const CHttpCallBack&)> hook) { onPost_ = std::move(hook); }

    // "<status>|..." with runs of progress shown once, so block sizes do not matter.
    std::string Statuses() const
    {
        std::lock_guard<std::mutex> lock(mutex_);
        std::string s;
        int last = 0;
        for (const CHttpCallBack& n : log_) {
            if (n.nStatus == HCB_PROGRESS && last == HCB_PROGRESS)
                continue;
            s += (s.empty() ? "" : "|") + std::to_string(n.nStatus);
            last = n.nStatus;
        }
        return s;
    }
    std::vector<int32_t> ProgressValues() const
    {
        std::lock_guard<std::mutex> lock(mutex_);
        std::vector<int32_t> v;
        for (const CHttpCallBack& n : log_)
            if (n.nStatus == HCB_PROGRESS)
                v.push_back(n.nValue);
        return v;
    }
    std::vector<CHttpCallBack> Log() const
    {
        std::lock_guard<std::mutex> lock(mutex_);
        return log_;
    }
    // The window deals with its oldest notice: takes it out of its message
    // as a window does, or only deletes it (a window destroyed with notices
    // still queued).
    bool HandleOldest(bool take)
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (unhandled_.empty())
            return false;
        if (take)
            TakeUpdateNotice(reinterpret_cast<intptr_t>(unhandled_.front().release()));
        unhandled_.erase(unhandled_.begin());
        return true;
    }
    bool WaitFor(int status, std::chrono::milliseconds timeout)
    {
        std::unique_lock<std::mutex> lock(mutex_);
        return changed_.wait_for(lock, timeout, [&] {
            for (const CHttpCallBack& n : log_)
                if (n.nStatus == status)
                    return true;
            return false;
        });
    }

private:
    mutable std::mutex mutex_;
    std::condition_variable changed_;
    Mode mode_;
    std::function<void(const CHttpCallBack&)> onPost_;
    std::vector<CHttpCallBack> log_;
    std::vector<std::unique_ptr<CHttpCallBack>> unhandled_;
};
