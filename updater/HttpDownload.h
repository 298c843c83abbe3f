#pragma once
#include <cstdint>
#include <functional>
#include <string>

#include "updater/HttpCallBack.h"

class IAlert;

// A receive that gets no data for this long fails, in the header and in the body.
constexpr int kReceiveTimeoutMs = 5000;

struct DownloadOptions {
    IAlert* alert = nullptr;  // the send-failure box; nullptr: standard error
    int receiveTimeoutMs = kReceiveTimeoutMs;
    // A body announced longer than this is a bad response (nothing is written).
    int32_t maxLength = INT32_MAX;
    // Runs on the complete, closed temporary just before it replaces the
    // target; false keeps the target as it was (reported as a file failure).
    std::function<bool(const std::string& temporary)> beforeReplace;
};

// Fetches url with one GET from port 80 of its host into localPath and
// reports each step to callback (statuses in HttpCallBack.h); the callback's
// result is heeded after HCB_STARTING, HCB_RECEIVE_FAILED, HCB_PROGRESS and
// HCB_FINISHED. The body goes into a temporary beside localPath, which
// replaces localPath only once all Content-Length bytes are on disk and the
// callback has let the download finish; otherwise localPath is left as it
// was. Returns 1 on success, 0 otherwise. Runs on the calling thread; the
// socket library must have been started (sock::Library).
int DownloadToFile(std::string url, std::string localPath, HttpProgressProc callback, void* hTarget,
                   int nJobId, const DownloadOptions& options);
int DownloadToFile(std::string url, std::string localPath, HttpProgressProc callback, void* hTarget,
                   int nJobId);
