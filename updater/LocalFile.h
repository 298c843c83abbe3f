#pragma once
// The few file-system operations a download needs, on Windows and POSIX.
// Paths are narrow, in the ANSI code page on Windows.
#include <cstddef>
#include <cstdint>
#include <string>

namespace localfile {

// A new file that only its writer uses while it is open. On Windows it is
// opened without sharing; elsewhere it holds an exclusive advisory lock that
// RemoveStaleTemporaries respects.
class ExclusiveFile {
public:
    ExclusiveFile() = default;
    ~ExclusiveFile();
    ExclusiveFile(const ExclusiveFile&) = delete;
    ExclusiveFile& operator=(const ExclusiveFile&) = delete;

    // Fails when the file exists or cannot be created.
    bool Create(const std::string& path);
    bool Write(const char* data, size_t length);
    // Flushes to the disk and closes; false when the data may not all be there.
    bool Close();
    bool IsOpen() const { return handle_ != kNone; }

private:
    static constexpr intptr_t kNone = -1;  // INVALID_HANDLE_VALUE, or no descriptor
    intptr_t handle_ = kNone;
};

// "<target>.<process id>.<job>.tmp": unique to one process and one pass.
std::string TemporaryPathFor(const std::string& target, int32_t job);

// Puts source in target's place in one step, replacing any file there.
// Retries briefly while another process holds the target open.
bool MoveIntoPlace(const std::string& source, const std::string& target);
bool RemoveFile(const std::string& path);

// Removes the temporaries of target (see TemporaryPathFor) that no live pass
// owns: one still being written, one of a pass of this process that is
// between writing and replacing (see OwnedTemporary), and any of another
// process that still runs are kept.
void RemoveStaleTemporaries(const std::string& target);

// True for the file name (no directory) of one of base's temporaries.
bool IsTemporaryNameOf(const std::string& fileName, const std::string& base);
// The process id in one of base's temporary names; 0 when it is not one.
uint32_t TemporaryOwnerOf(const std::string& fileName, const std::string& base);

// Marks a temporary of this process as owned by a live pass for the life of
// the object, so that no cleaner of this process removes it.
class OwnedTemporary {
public:
    explicit OwnedTemporary(std::string path);
    ~OwnedTemporary();
    OwnedTemporary(const OwnedTemporary&) = delete;
    OwnedTemporary& operator=(const OwnedTemporary&) = delete;

private:
    std::string path_;
};
bool IsOwnedTemporary(const std::string& path);

// This process's id, and whether a process with the given id runs.
uint32_t CurrentProcessId();
bool ProcessIsRunning(uint32_t pid);

// Whether the cleaner may remove the temporary at path, whose name carries
// the owner's process id (0: not a temporary).
bool IsAbandonedTemporary(const std::string& path, uint32_t owner);

}  // namespace localfile
