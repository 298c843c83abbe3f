#include "updater/UpdateNotices.h"

#include "updater/NoticeSink.h"

namespace {

// Whether a progress notice of the pass is still waiting to be handled.
struct ProgressGate {
    std::atomic<bool> inFlight{false};
};

// The heap copy that travels to the window. The one progress notice that
// took the gate opens it again when destroyed.
class GatedNotice final : public CHttpCallBack {
public:
    GatedNotice(const CHttpCallBack& report, std::shared_ptr<ProgressGate> gate)
        : CHttpCallBack(report), gate_(std::move(gate))
    {
    }
    ~GatedNotice() override
    {
        if (gate_)
            gate_->inFlight.store(false);
    }
    GatedNotice(const GatedNotice&) = delete;
    GatedNotice& operator=(const GatedNotice&) = delete;

private:
    std::shared_ptr<ProgressGate> gate_;
};

thread_local NoticeScope* t_scope = nullptr;

}  // namespace

struct NoticeScope::State {
    INoticeSink* sink;
    int32_t jobId;
    std::shared_ptr<ProgressGate> gate = std::make_shared<ProgressGate>();
    int32_t bodyLength = -1;
};

NoticeScope::NoticeScope(INoticeSink& sink, int32_t jobId)
    : state_(new State{&sink, jobId}), previous_(t_scope)
{
    t_scope = this;
}

NoticeScope::~NoticeScope() { t_scope = previous_; }

std::atomic<int32_t>& UpdateJobCounter()
{
    static std::atomic<int32_t> counter{1};
    return counter;
}

int PostUpdateNotice(CHttpCallBack* report)
{
    NoticeScope* scope = t_scope;
    if (!scope || !report)
        return 0;
    NoticeScope::State& pass = *scope->state_;
    if (report->nJobId != UpdateJobCounter().load())
        return 0;
    try {
        if (report->nStatus == HCB_LENGTH_KNOWN)
            pass.bodyLength = report->nValue;
        std::shared_ptr<ProgressGate> gate;
        if (report->nStatus == HCB_PROGRESS && report->nValue != pass.bodyLength) {
            // The window has not caught up: skip this one, the next or the last will say more.
            if (pass.gate->inFlight.exchange(true))
                return 1;
            gate = pass.gate;
        }
        std::unique_ptr<CHttpCallBack> notice = std::make_unique<GatedNotice>(*report, std::move(gate));
        return pass.sink->Post(notice) ? 1 : 0;
    } catch (...) {
        return 0;
    }
}

std::optional<CHttpCallBack> TakeUpdateNotice(intptr_t lParam)
{
    std::unique_ptr<CHttpCallBack> owned(reinterpret_cast<CHttpCallBack*>(lParam));
    if (!owned)
        return std::nullopt;
    return CHttpCallBack(*owned);
}
