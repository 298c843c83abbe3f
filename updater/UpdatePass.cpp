#include "updater/UpdatePass.h"

#include <thread>

#include "app/Settings.h"
#include "platform/Atoi.h"
#include "platform/SettingsStore.h"
#include "updater/NoticeSink.h"

namespace {

UpdateServices g_services;  // written once at start-up, before any pass

// Whether a progress notice of the pass is still waiting to be handled.
struct ProgressGate {
    std::atomic<bool> inFlight{false};
};

// The heap copy that travels to the window. The one progress notice that
// took the gate opens it again when handled or destroyed, whichever is first.
class UpdateNotice final : public CHttpCallBack {
public:
    UpdateNotice(const CHttpCallBack& report, std::shared_ptr<ProgressGate> gate)
        : CHttpCallBack(report), gate_(std::move(gate)), holdsGate_(gate_ != nullptr)
    {
    }
    ~UpdateNotice() override { Release(); }

    void Release() const
    {
        if (holdsGate_.exchange(false))
            gate_->inFlight.store(false);
    }

private:
    std::shared_ptr<ProgressGate> gate_;
    mutable std::atomic<bool> holdsGate_;
};

// What PostUpdateNotice needs of the pass running on this thread: the
// download callback is a plain function without a context argument.
struct PassContext {
    const UpdateJob* job = nullptr;
    std::shared_ptr<ProgressGate> gate = std::make_shared<ProgressGate>();
    int32_t bodyLength = -1;
};

thread_local PassContext* t_pass = nullptr;

class ScopedPass {
public:
    explicit ScopedPass(PassContext& context) : previous_(t_pass) { t_pass = &context; }
    ~ScopedPass() { t_pass = previous_; }
    ScopedPass(const ScopedPass&) = delete;
    ScopedPass& operator=(const ScopedPass&) = delete;

private:
    PassContext* previous_;
};

CHttpCallBack OwnNotice(const UpdateJob& job, int status)
{
    CHttpCallBack report;
    report.hTarget = job.Target();
    report.nJobId = job.JobId();
    report.nStatus = status;
    return report;
}

void RunPass(const UpdateJob& job)
{
    ISettingsStore& store = *job.Services().store;
    DownloadOptions options;
    options.alert = job.Services().alert;
    options.receiveTimeoutMs = job.Services().receiveTimeoutMs;

    // The version file replaces the settings file; the player's boss key must survive it.
    const std::string settings = job.SettingsPath();
    const std::string bossKey = store.ReadString("boss", "key", "", kSettingsValueBuffer, settings);
    if (!DownloadToFile(job.VersionUrl(), settings, PostUpdateNotice, job.Target(), job.JobId(), options))
        return;
    if (!bossKey.empty())
        store.WriteString("boss", "key", bossKey, settings);
    if (!CheckUpdateVersion(job))
        return;
    if (!DownloadToFile(job.InstallerUrl(), job.InstallerPath(), PostUpdateNotice, job.Target(), job.JobId(),
                        options))
        return;
    CHttpCallBack ready = OwnNotice(job, HCB_INSTALLER_READY);
    PostUpdateNotice(&ready);
}

}  // namespace

void SetUpdateServices(const UpdateServices& services) { g_services = services; }

std::atomic<int32_t>& UpdateJobCounter()
{
    static std::atomic<int32_t> counter{1};
    return counter;
}

UpdateJob::UpdateJob(void* target, int32_t jobId, std::string appDir, std::string updateBase, std::string version,
                     const UpdateServices& services)
    : target_(target),
      jobId_(jobId),
      appDir_(std::move(appDir)),
      updateBase_(std::move(updateBase)),
      version_(std::move(version)),
      services_(services)
{
}

bool StartUpdatePass(void* target) { return StartUpdatePass(target, g_services); }

bool StartUpdatePass(void* target, const UpdateServices& services)
{
    if (!services.sink || !services.store)
        return false;
    try {
        int32_t jobId = UpdateJobCounter().fetch_add(1) + 1;
        auto job = std::make_unique<UpdateJob>(target, jobId, g_strAppDir, g_strUpdateBase, g_strVersion, services);
        std::thread(UpdateThreadProc, std::move(job)).detach();
        return true;
    } catch (...) {
        return false;
    }
}

void UpdateThreadProc(std::unique_ptr<UpdateJob> job)
{
    if (!job || !job->Services().sink || !job->Services().store)
        return;
    try {
        PassContext context;
        context.job = job.get();
        ScopedPass scope(context);
        RunPass(*job);
    } catch (...) {
        // Nothing may leave the thread; the window just hears no more from this pass.
    }
}

bool CheckUpdateVersion(const UpdateJob& job)
{
    std::string id = job.Services().store->ReadString("update", "id", "", kSettingsValueBuffer, job.SettingsPath());
    if (CrtAtoi(job.BuiltinVersion()) >= CrtAtoi(id))
        return false;
    CHttpCallBack available = OwnNotice(job, HCB_UPDATE_AVAILABLE);
    return PostUpdateNotice(&available) != 0;
}

int PostUpdateNotice(CHttpCallBack* report)
{
    PassContext* pass = t_pass;
    if (!pass || !report)
        return 0;
    if (report->nJobId != UpdateJobCounter().load())
        return 0;
    try {
        if (report->nStatus == HCB_LENGTH_KNOWN)
            pass->bodyLength = report->nValue;
        std::shared_ptr<ProgressGate> gate;
        if (report->nStatus == HCB_PROGRESS && report->nValue != pass->bodyLength) {
            // The window has not caught up: skip this one, the next or the last will say more.
            if (pass->gate->inFlight.exchange(true))
                return 1;
            gate = pass->gate;
        }
        std::unique_ptr<CHttpCallBack> notice = std::make_unique<UpdateNotice>(*report, std::move(gate));
        return pass->job->Services().sink->Post(notice) ? 1 : 0;
    } catch (...) {
        return 0;
    }
}

void OnUpdateNoticeHandled(const CHttpCallBack& notice)
{
    if (const auto* own = dynamic_cast<const UpdateNotice*>(&notice))
        own->Release();
}
