#include "updater/LocalFile.h"

#include <windows.h>

namespace localfile {

namespace {

HANDLE AsHandle(intptr_t h) { return reinterpret_cast<HANDLE>(h); }

}  // namespace

ExclusiveFile::~ExclusiveFile()
{
    if (handle_ != kNone)
        CloseHandle(AsHandle(handle_));
}

bool ExclusiveFile::Create(const std::string& path)
{
    if (handle_ != kNone)
        return false;
    // Share mode 0: no other pass or process can open, delete or replace it meanwhile.
    HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return false;
    handle_ = reinterpret_cast<intptr_t>(h);
    return true;
}

bool ExclusiveFile::Write(const char* data, size_t length)
{
    if (handle_ == kNone)
        return false;
    while (length > 0) {
        DWORD chunk = length > 0x40000000u ? 0x40000000u : static_cast<DWORD>(length);
        DWORD written = 0;
        if (!WriteFile(AsHandle(handle_), data, chunk, &written, nullptr) || written == 0)
            return false;
        data += written;
        length -= written;
    }
    return true;
}

bool ExclusiveFile::Close()
{
    if (handle_ == kNone)
        return false;
    HANDLE h = AsHandle(handle_);
    handle_ = kNone;
    // The move is write-through; the data it points at must be on the disk first.
    bool ok = FlushFileBuffers(h) != FALSE;
    return CloseHandle(h) != FALSE && ok;
}

uint32_t CurrentProcessId() { return GetCurrentProcessId(); }

bool ProcessIsRunning(uint32_t pid)
{
    if (pid == 0)
        return false;
    HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, pid);
    if (!process)
        return GetLastError() == ERROR_ACCESS_DENIED;  // it runs, out of our reach
    const bool running = WaitForSingleObject(process, 0) == WAIT_TIMEOUT;
    CloseHandle(process);
    return running;
}

std::string TemporaryPathFor(const std::string& target, int32_t job)
{
    return target + "." + std::to_string(GetCurrentProcessId()) + "." + std::to_string(job) + ".tmp";
}

bool MoveIntoPlace(const std::string& source, const std::string& target)
{
    // A player's virus scanner or a second launcher may hold the target for a moment.
    constexpr int kAttempts = 10;
    constexpr DWORD kPauseMs = 50;
    for (int attempt = 1;; ++attempt) {
        if (MoveFileExA(source.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
            return true;
        DWORD error = GetLastError();
        if ((error != ERROR_SHARING_VIOLATION && error != ERROR_LOCK_VIOLATION) || attempt == kAttempts)
            return false;
        Sleep(kPauseMs);
    }
}

bool RemoveFile(const std::string& path) { return DeleteFileA(path.c_str()) != FALSE; }

void RemoveStaleTemporaries(const std::string& target)
{
    size_t sep = target.find_last_of("\\/");
    std::string dir = sep == std::string::npos ? std::string() : target.substr(0, sep + 1);
    std::string base = sep == std::string::npos ? target : target.substr(sep + 1);
    WIN32_FIND_DATAA found;
    HANDLE find = FindFirstFileA((target + ".*.tmp").c_str(), &found);
    if (find == INVALID_HANDLE_VALUE)
        return;
    do {
        // The pattern also matches short names; only our own form is removed.
        // A file still open for writing is not shared, so its delete fails.
        const std::string path = dir + found.cFileName;
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) &&
            IsAbandonedTemporary(path, TemporaryOwnerOf(found.cFileName, base)))
            DeleteFileA(path.c_str());
    } while (FindNextFileA(find, &found));
    FindClose(find);
}

}  // namespace localfile
