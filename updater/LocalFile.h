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

// Removes the temporaries of target (see TemporaryPathFor) that are left
// over from earlier passes; one still being written is kept.
void RemoveStaleTemporaries(const std::string& target);

// True for the file name (no directory) of one of base's temporaries.
bool IsTemporaryNameOf(const std::string& fileName, const std::string& base);

}  // namespace localfile
