#pragma once
// The notice protocol between an update pass and its window: the pass posts
// heap copies of its reports through its sink; the window takes each one out
// of its message and frees it. Progress notices are coalesced: while one is
// still unhandled by the window, later ones are skipped, except the last of a
// body.
#include <atomic>
#include <cstdint>
#include <memory>
#include <optional>

#include "updater/HttpCallBack.h"

class INoticeSink;

// Makes the pass's sink and job number the ones PostUpdateNotice uses on this
// thread, for as long as the scope lives (the download callback is a plain
// function without a context argument).
class NoticeScope {
public:
    NoticeScope(INoticeSink& sink, int32_t jobId);
    ~NoticeScope();
    NoticeScope(const NoticeScope&) = delete;
    NoticeScope& operator=(const NoticeScope&) = delete;

private:
    struct State;
    std::unique_ptr<State> state_;
    NoticeScope* previous_;
    friend int PostUpdateNotice(CHttpCallBack* report);
};

// The process's job counter: 1 at start, incremented by each started pass on
// the window thread. A pass whose number differs is stale.
std::atomic<int32_t>& UpdateJobCounter();

// The progress callback of every download of a pass, and the poster of its
// own notices: 0 when no pass runs on this thread, the report's job is stale
// or the notice could not be posted.
int PostUpdateNotice(CHttpCallBack* report);

// The record a WM_UPDATE_NOTICE carries in lParam, copied out; the heap copy
// is freed at once, which lets the pass post its next progress. Nothing for a
// null record.
std::optional<CHttpCallBack> TakeUpdateNotice(intptr_t lParam);
