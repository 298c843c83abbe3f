#include "updater/LocalFile.h"

#include <cstdint>
#include <mutex>
#include <set>

namespace localfile {

namespace {

// Digits, with a minus sign allowed in front: the job part is a signed integer.
size_t SkipNumber(const std::string& s, size_t i, bool allowSign)
{
    if (allowSign && i < s.size() && s[i] == '-')
        ++i;
    size_t start = i;
    while (i < s.size() && s[i] >= '0' && s[i] <= '9')
        ++i;
    return i == start ? std::string::npos : i;
}

}  // namespace

uint32_t TemporaryOwnerOf(const std::string& fileName, const std::string& base)
{
    if (fileName.size() <= base.size() || fileName.compare(0, base.size(), base) != 0 || fileName[base.size()] != '.')
        return 0;
    const size_t pidStart = base.size() + 1;
    size_t i = SkipNumber(fileName, pidStart, false);
    if (i == std::string::npos || i >= fileName.size() || fileName[i] != '.')
        return 0;
    const std::string pidText = fileName.substr(pidStart, i - pidStart);
    i = SkipNumber(fileName, i + 1, true);
    if (i == std::string::npos || fileName.compare(i, std::string::npos, ".tmp") != 0)
        return 0;
    // Too long for a process id: still ours in form, owned by nobody alive.
    if (pidText.size() > 10)
        return UINT32_MAX;
    const unsigned long long pid = std::stoull(pidText);
    return pid > UINT32_MAX ? UINT32_MAX : static_cast<uint32_t>(pid == 0 ? UINT32_MAX : pid);
}

bool IsTemporaryNameOf(const std::string& fileName, const std::string& base)
{
    return TemporaryOwnerOf(fileName, base) != 0;
}

namespace {

std::mutex& OwnedMutex()
{
    static std::mutex* m = new std::mutex;
    return *m;
}
std::multiset<std::string>& Owned()
{
    // Never freed: a pass may still run while the process exits.
    static std::multiset<std::string>* owned = new std::multiset<std::string>;
    return *owned;
}

}  // namespace

OwnedTemporary::OwnedTemporary(std::string path) : path_(std::move(path))
{
    std::lock_guard<std::mutex> lock(OwnedMutex());
    Owned().insert(path_);
}

OwnedTemporary::~OwnedTemporary()
{
    std::lock_guard<std::mutex> lock(OwnedMutex());
    auto it = Owned().find(path_);
    if (it != Owned().end())
        Owned().erase(it);
}

bool IsOwnedTemporary(const std::string& path)
{
    std::lock_guard<std::mutex> lock(OwnedMutex());
    return Owned().count(path) != 0;
}

bool IsAbandonedTemporary(const std::string& path, uint32_t owner)
{
    if (owner == 0)
        return false;
    if (owner == CurrentProcessId())
        return !IsOwnedTemporary(path);
    return !ProcessIsRunning(owner);
}

}  // namespace localfile
