#include "updater/HttpDownload.h"

#include <optional>

#include "updater/Alert.h"
#include "updater/HttpSocket.h"
#include "updater/HttpText.h"
#include "updater/LocalFile.h"

namespace {

constexpr int kBlockBytes = 1024;

// The report of one download: every status goes through Report, which says
// whether the callback wants the download to go on.
class Reporter {
public:
    Reporter(HttpProgressProc callback, void* target, int job, const std::string& url) : callback_(callback)
    {
        record_.hTarget = target;
        record_.nJobId = job;
        record_.strUrl = url;
    }
    bool Report(int status)
    {
        record_.nStatus = status;
        return callback_(&record_) != 0;
    }
    bool Report(int status, int32_t value)
    {
        record_.nValue = value;
        return Report(status);
    }

private:
    HttpProgressProc callback_;
    CHttpCallBack record_;
};

// The temporary a body is written into; removed unless it has been put in place.
class PendingFile {
public:
    PendingFile(std::string target, int job)
        : target_(std::move(target)), temp_(localfile::TemporaryPathFor(target_, job)), owned_(temp_)
    {
    }
    ~PendingFile()
    {
        if (created_) {
            file_.Close();
            localfile::RemoveFile(temp_);
        }
    }
    PendingFile(const PendingFile&) = delete;
    PendingFile& operator=(const PendingFile&) = delete;

    bool Create()
    {
        localfile::RemoveStaleTemporaries(target_);
        created_ = file_.Create(temp_);
        return created_;
    }
    bool Write(const char* data, size_t n) { return file_.Write(data, n); }
    bool Close() { return file_.Close(); }
    const std::string& TemporaryPath() const { return temp_; }
    bool Commit()
    {
        if (!localfile::MoveIntoPlace(temp_, target_))
            return false;
        created_ = false;
        return true;
    }

private:
    std::string target_;
    std::string temp_;
    // No cleaner of this process removes it between its close and the replace.
    localfile::OwnedTemporary owned_;
    localfile::ExclusiveFile file_;
    bool created_ = false;
};

}  // namespace

int DownloadToFile(std::string url, std::string localPath, HttpProgressProc callback, void* hTarget, int nJobId,
                   const DownloadOptions& options)
{
    UrlParts parts = SplitUrl(url);
    CHttpSocket http(options.alert ? *options.alert : StderrAlert());
    http.ComposeGetRequest(parts.host, parts.path, nullptr, nullptr, 0, 0);
    // A socket that could not be made shows up as a failed connect.
    http.OpenTcpSocket();

    Reporter reporter(callback, hTarget, nJobId, url);
    if (!reporter.Report(HCB_STARTING, 0))
        return 0;
    if (!http.ConnectToHost(parts.host.c_str(), 80)) {
        reporter.Report(HCB_CONNECT_FAILED);
        return 0;
    }
    // Bounded from the first header byte on: a silent server must not hold the pass.
    http.SetIoTimeout(options.receiveTimeoutMs, 0);
    if (!http.SendRequestText(nullptr, 0)) {
        reporter.Report(HCB_SEND_FAILED);
        return 0;
    }
    std::optional<int32_t> total;
    if (http.ReadHeaderBlock() == CHttpSocket::HeaderState::Complete && http.HttpStatusCode() == 200) {
        if (std::optional<std::string> value = http.FindHeaderValue("Content-Length"))
            total = ParseContentLength(*value);
    }
    if (!total || *total > options.maxLength) {
        reporter.Report(HCB_BAD_RESPONSE);
        return 0;
    }
    reporter.Report(HCB_LENGTH_KNOWN, *total);

    PendingFile file(localPath, nJobId);
    if (!file.Create()) {
        reporter.Report(HCB_OPEN_FILE_FAILED);
        return 0;
    }
    bool complete = true;
    int32_t written = 0;
    char block[kBlockBytes];
    while (written < *total) {
        int want = *total - written < kBlockBytes ? *total - written : kBlockBytes;
        int n = http.ReceiveChunk(block, want);
        if (n <= 0) {
            // A close before Content-Length bytes is as much a failure as a time-out.
            if (!reporter.Report(HCB_RECEIVE_FAILED))
                return 0;
            complete = false;
            break;
        }
        if (!file.Write(block, static_cast<size_t>(n))) {
            reporter.Report(HCB_OPEN_FILE_FAILED);
            return 0;
        }
        written += n;
        if (!reporter.Report(HCB_PROGRESS, written))
            return 0;
    }
    http.CloseConnection();
    bool closed = file.Close();
    if (!reporter.Report(HCB_FINISHED) || !complete)
        return 0;
    if (!closed || (options.beforeReplace && !options.beforeReplace(file.TemporaryPath())) || !file.Commit()) {
        reporter.Report(HCB_OPEN_FILE_FAILED);
        return 0;
    }
    return 1;
}

int DownloadToFile(std::string url, std::string localPath, HttpProgressProc callback, void* hTarget, int nJobId)
{
    return DownloadToFile(std::move(url), std::move(localPath), callback, hTarget, nJobId, DownloadOptions{});
}
