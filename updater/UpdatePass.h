#pragma once
// The update pass: fetch the version file into the settings file, keep the
// player's boss key, compare versions, fetch the installer. Each pass runs on
// its own detached worker thread and reaches its window only through notices.
#include <atomic>
#include <cstdint>
#include <memory>
#include <string>

#include "updater/HttpCallBack.h"
#include "updater/HttpDownload.h"

class IAlert;
class INoticeSink;
class ISettingsStore;

// What a pass talks to. All three must live until the process ends: a pass
// still running at exit may use them.
struct UpdateServices {
    INoticeSink* sink = nullptr;
    ISettingsStore* store = nullptr;
    IAlert* alert = nullptr;  // nullptr: standard error
    int receiveTimeoutMs = kReceiveTimeoutMs;
};

// The services StartUpdatePass(target) uses. Set once at start-up, before the first pass.
void SetUpdateServices(const UpdateServices& services);

// The process's job counter: 1 at start, incremented by each StartUpdatePass
// on the window thread. A pass whose number differs is stale.
std::atomic<int32_t>& UpdateJobCounter();

// One pass, with copies of everything it reads, so that it never touches an
// object the process may be destroying.
class UpdateJob {
public:
    UpdateJob(void* target, int32_t jobId, std::string appDir, std::string updateBase, std::string version,
              const UpdateServices& services);

    void* Target() const { return target_; }
    int32_t JobId() const { return jobId_; }
    std::string SettingsPath() const { return appDir_ + "version.ini"; }
    std::string InstallerPath() const { return appDir_ + "install.exe"; }
    std::string VersionUrl() const { return updateBase_ + "/version.txt"; }
    std::string InstallerUrl() const { return updateBase_ + "/install.exe"; }
    const std::string& BuiltinVersion() const { return version_; }
    const UpdateServices& Services() const { return services_; }

private:
    void* target_;
    int32_t jobId_;
    std::string appDir_;
    std::string updateBase_;
    std::string version_;
    UpdateServices services_;
};

// Takes the next job number and starts the pass on a detached thread, with
// the application directory, update base and built-in version copied from
// the run-time settings. Does not wait. False when no thread could be
// started, or (first form) when no services have been set.
bool StartUpdatePass(void* target);
bool StartUpdatePass(void* target, const UpdateServices& services);

// The pass itself, on the calling thread; owns and frees the job.
void UpdateThreadProc(std::unique_ptr<UpdateJob> job);

// Reads [update] id of the settings file; when it is above the built-in
// version, posts HCB_UPDATE_AVAILABLE and returns whether it was delivered.
// Only meaningful inside a pass (it posts through the pass's sink).
bool CheckUpdateVersion(const UpdateJob& job);

// The progress callback of every download of a pass, and the poster of its
// own notices: 0 when the report's job is stale or the notice could not be
// posted. Progress notices are coalesced: while one is still unhandled by
// the window, later ones are skipped, except the last of a body.
int PostUpdateNotice(CHttpCallBack* report);

// The window calls this once it has acted on a notice, before deleting it
// (deleting it has the same effect), so the pass may post the next progress.
void OnUpdateNoticeHandled(const CHttpCallBack& notice);

// The notice that arrived in lParam of WM_UPDATE_NOTICE; the window owns it.
inline std::unique_ptr<CHttpCallBack> AdoptUpdateNotice(intptr_t lParam)
{
    return std::unique_ptr<CHttpCallBack>(reinterpret_cast<CHttpCallBack*>(lParam));
}
