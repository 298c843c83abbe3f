#pragma once
// Records the reports of one download (one at a time per process: the
// callback is a plain function), and the alerts.
#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "updater/Alert.h"
#include "updater/HttpCallBack.h"

class DownloadRecorder {
public:
    explicit DownloadRecorder(int stopAt = 0) : stopAt_(stopAt) { current_ = this; }
    ~DownloadRecorder() { current_ = nullptr; }
    DownloadRecorder(const DownloadRecorder&) = delete;
    DownloadRecorder& operator=(const DownloadRecorder&) = delete;

    static int Callback(CHttpCallBack* report)
    {
        DownloadRecorder* self = current_;
        self->records_.push_back(*report);
        return report->nStatus == self->stopAt_ ? 0 : 1;
    }

    const std::vector<CHttpCallBack>& Records() const { return records_; }
    std::string Reports() const
    {
        std::string s;
        for (const CHttpCallBack& r : records_)
            s += (s.empty() ? "" : "|") + std::to_string(r.nStatus) + " " + std::to_string(r.nValue);
        return s;
    }

    IAlert& Alert() { return alert_; }
    int AlertCount() const { return alert_.count; }

private:
    struct CountingAlert final : IAlert {
        void Show(std::string_view, std::string_view) override { ++count; }
        int count = 0;
    };
    static inline DownloadRecorder* current_ = nullptr;
    int stopAt_;
    std::vector<CHttpCallBack> records_;
    CountingAlert alert_;
};

// The names in a directory, sorted.
inline std::vector<std::string> FileNames(const std::string& dir)
{
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(dir))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}
