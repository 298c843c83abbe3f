#pragma once
// The update pass: fetch the version file into the settings file, keep the
// player's boss key, compare versions, fetch the installer. Each pass runs on
// its own detached worker thread and reaches its window only through notices
// (UpdateNotices.h).
#include <cstdint>
#include <memory>
#include <string>

#include "updater/HttpCallBack.h"
#include "updater/HttpDownload.h"
#include "updater/UpdateNotices.h"

class IAlert;
class INoticeSink;
class ISettingsStore;

// A version file is a few lines; anything larger is refused as a bad response
// and the settings file stays as it was.
constexpr int32_t kMaxVersionFileBytes = 64 * 1024;

// What a pass talks to. All three must live until the process ends: a pass
// still running at exit may use them.
struct UpdateServices {
    INoticeSink* sink = nullptr;
    ISettingsStore* store = nullptr;
    IAlert* alert = nullptr;  // nullptr: standard error
    int receiveTimeoutMs = kReceiveTimeoutMs;
};

// Where a pass reads and writes, and what it compares with; every pass takes
// its own copy.
struct UpdateSettings {
    std::string settingsPath;   // the settings file the version file replaces
    std::string installerPath;  // where the installer goes
    std::string updateBase;     // the update server's site root, no trailing slash
    std::string version;        // this launcher's version number
};

// What StartUpdatePass(target) uses. Set at start-up, before the first pass.
void ConfigureUpdates(const UpdateServices& services, const UpdateSettings& settings);

// One pass, with copies of everything it reads, so that it never touches an
// object the process may be destroying.
class UpdateJob {
public:
    UpdateJob(void* target, int32_t jobId, UpdateSettings settings, const UpdateServices& services);

    void* Target() const { return target_; }
    int32_t JobId() const { return jobId_; }
    const std::string& SettingsPath() const { return settings_.settingsPath; }
    const std::string& InstallerPath() const { return settings_.installerPath; }
    std::string VersionUrl() const { return settings_.updateBase + "/version.txt"; }
    std::string InstallerUrl() const { return settings_.updateBase + "/install.exe"; }
    const std::string& BuiltinVersion() const { return settings_.version; }
    const UpdateServices& Services() const { return services_; }

private:
    void* target_;
    int32_t jobId_;
    UpdateSettings settings_;
    UpdateServices services_;
};

// Takes the next job number and starts the pass on a detached thread. Does
// not wait. False when no thread could be started, or when no services have
// been configured (first form) or given.
bool StartUpdatePass(void* target);
bool StartUpdatePass(void* target, const UpdateServices& services, const UpdateSettings& settings);

// The pass itself, on the calling thread; owns and frees the job.
void UpdateThreadProc(std::unique_ptr<UpdateJob> job);

// Reads [update] id of the settings file; when it is above the built-in
// version, posts HCB_UPDATE_AVAILABLE and returns whether it was delivered.
// Only meaningful inside a pass (it posts through the pass's sink).
bool CheckUpdateVersion(const UpdateJob& job);
