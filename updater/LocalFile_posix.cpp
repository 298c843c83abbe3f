#include "updater/LocalFile.h"

#include <dirent.h>
#include <signal.h>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>

namespace localfile {

ExclusiveFile::~ExclusiveFile()
{
    if (handle_ != kNone)
        close(static_cast<int>(handle_));
}

bool ExclusiveFile::Create(const std::string& path)
{
    if (handle_ != kNone)
        return false;
    int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    if (fd < 0)
        return false;
    // POSIX lets anyone unlink an open file; the lock tells a cleaner to keep it.
    if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
        close(fd);
        unlink(path.c_str());
        return false;
    }
    handle_ = fd;
    return true;
}

bool ExclusiveFile::Write(const char* data, size_t length)
{
    if (handle_ == kNone)
        return false;
    while (length > 0) {
        ssize_t n = write(static_cast<int>(handle_), data, length);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        data += n;
        length -= static_cast<size_t>(n);
    }
    return true;
}

bool ExclusiveFile::Close()
{
    if (handle_ == kNone)
        return false;
    int fd = static_cast<int>(handle_);
    handle_ = kNone;
    // The rename that follows must not put an empty file in the target's place after a crash.
    bool ok = fsync(fd) == 0;
    return close(fd) == 0 && ok;
}

uint32_t CurrentProcessId() { return static_cast<uint32_t>(getpid()); }

bool ProcessIsRunning(uint32_t pid)
{
    if (pid == 0 || pid > static_cast<uint32_t>(INT32_MAX))
        return false;
    // EPERM: it runs, under another user.
    return kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM;
}

std::string TemporaryPathFor(const std::string& target, int32_t job)
{
    return target + "." + std::to_string(getpid()) + "." + std::to_string(job) + ".tmp";
}

bool MoveIntoPlace(const std::string& source, const std::string& target)
{
    return rename(source.c_str(), target.c_str()) == 0;
}

bool RemoveFile(const std::string& path) { return unlink(path.c_str()) == 0; }

void RemoveStaleTemporaries(const std::string& target)
{
    size_t slash = target.rfind('/');
    std::string dir = slash == std::string::npos ? std::string(".") : target.substr(0, slash + 1);
    std::string base = slash == std::string::npos ? target : target.substr(slash + 1);
    DIR* d = opendir(dir.c_str());
    if (!d)
        return;
    while (const dirent* entry = readdir(d)) {
        std::string name = entry->d_name;
        std::string path = (slash == std::string::npos ? std::string() : dir) + name;
        if (!IsAbandonedTemporary(path, TemporaryOwnerOf(name, base)))
            continue;
        int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
        if (fd < 0)
            continue;
        if (flock(fd, LOCK_EX | LOCK_NB) == 0)
            unlink(path.c_str());
        close(fd);
    }
    closedir(d);
}

}  // namespace localfile
