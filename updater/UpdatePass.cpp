#include "updater/UpdatePass.h"

#include <thread>

#include "platform/Atoi.h"
#include "platform/SettingsStore.h"
#include "updater/NoticeSink.h"

namespace {

// Written at start-up, before any pass; never freed, so a pass still being
// started while the process exits reads no destroyed object.
struct Configuration {
    UpdateServices services;
    UpdateSettings settings;
};
Configuration& Configured()
{
    static Configuration* configuration = new Configuration;
    return *configuration;
}

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

    // The version file replaces the settings file; the player's boss key must
    // survive it. It goes into the new file before the replace, read at that
    // moment, so no instant exists at which the settings file lacks it, and a
    // key changed during the download is the one kept.
    const std::string& settings = job.SettingsPath();
    DownloadOptions versionOptions = options;
    versionOptions.maxLength = kMaxVersionFileBytes;
    versionOptions.beforeReplace = [&](const std::string& temporary) {
        const std::string bossKey = store.ReadString("boss", "key", "", kSettingsValueBuffer, settings);
        return bossKey.empty() || store.WriteString("boss", "key", bossKey, temporary);
    };
    if (!DownloadToFile(job.VersionUrl(), settings, PostUpdateNotice, job.Target(), job.JobId(), versionOptions))
        return;
    if (!CheckUpdateVersion(job))
        return;
    if (!DownloadToFile(job.InstallerUrl(), job.InstallerPath(), PostUpdateNotice, job.Target(), job.JobId(),
                        options))
        return;
    CHttpCallBack ready = OwnNotice(job, HCB_INSTALLER_READY);
    PostUpdateNotice(&ready);
}

}  // namespace

void ConfigureUpdates(const UpdateServices& services, const UpdateSettings& settings)
{
    Configured() = Configuration{services, settings};
}

UpdateJob::UpdateJob(void* target, int32_t jobId, UpdateSettings settings, const UpdateServices& services)
    : target_(target), jobId_(jobId), settings_(std::move(settings)), services_(services)
{
}

bool StartUpdatePass(void* target)
{
    const Configuration& configured = Configured();
    return StartUpdatePass(target, configured.services, configured.settings);
}

bool StartUpdatePass(void* target, const UpdateServices& services, const UpdateSettings& settings)
{
    if (!services.sink || !services.store)
        return false;
    try {
        int32_t jobId = UpdateJobCounter().fetch_add(1) + 1;
        auto job = std::make_unique<UpdateJob>(target, jobId, settings, services);
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
        NoticeScope scope(*job->Services().sink, job->JobId());
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
