#pragma once
// A fresh directory for one test, removed with everything in it afterwards.
#include <atomic>
#include <filesystem>
#include <string>
#ifdef _WIN32
#include <process.h>
#define MORVANE_GETPID _getpid
#else
#include <unistd.h>
#define MORVANE_GETPID getpid
#endif

class TempDir {
public:
#ifdef _WIN32
    static constexpr const char* kSeparator = "\\";
#else
    static constexpr const char* kSeparator = "/";
#endif
    TempDir()
    {
        static std::atomic<int> counter{0};
        path_ = std::filesystem::temp_directory_path() /
                ("morvane-test-" + std::to_string(MORVANE_GETPID()) + "-" + std::to_string(++counter));
        std::filesystem::remove_all(path_);
        std::filesystem::create_directories(path_);
    }
    ~TempDir()
    {
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    std::string Path() const { return path_.string(); }
    // A path inside the directory, with the platform's separator.
    std::string File(const std::string& name) const { return path_.string() + kSeparator + name; }

private:
    std::filesystem::path path_;
};
