#pragma once
// The white-screen watchdog's memory sample and its report. A game page that
// has gone blank lets go of most of its memory, so a working set below the
// white threshold is taken as a white screen; a working set grown very large
// is trimmed on the way. Portable: the process's counters come through
// IProcessMemory, and the shell shows the report in its message box.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace watchdog {

// Memory figures are in units of 1000 bytes (shown as "K").
constexpr uint64_t kBytesPerUnit = 1000;
// A working set below this counts as a blank page.
constexpr uint64_t kWhiteThresholdK = 60000;
// A peak working set above this is trimmed.
constexpr uint64_t kTrimThresholdK = 800000;

// The two counters of the process the sample reads, in bytes.
struct MemoryCounters {
    uint64_t workingSetBytes = 0;
    uint64_t pagefileBytes = 0;
};

// The current process's memory services.
class IProcessMemory {
public:
    virtual ~IProcessMemory() = default;
    // The process memory counters; nothing when the query fails.
    virtual std::optional<MemoryCounters> QueryCounters() = 0;
    // Empties the process's working set; its result does not matter.
    virtual void EmptyWorkingSet() = 0;
};

// Highest figures seen so far, in units of 1000 bytes. Shared by every game
// window of the process (ProcessMemoryPeaks); the working-set peak is reset
// by a trim, the page-file peak never.
struct MemoryPeaks {
    uint64_t workingSetK = 0;
    uint64_t pagefileK = 0;
};

// The peaks of this process, zero at start and kept until it ends.
MemoryPeaks& ProcessMemoryPeaks() noexcept;

// Reads the counters, raises the peaks, trims the working set (and zeroes its
// peak) once the peak exceeds kTrimThresholdK. True while the current working
// set is at least kWhiteThresholdK (the page is alive), false below (white).
// A failed query tells nothing about the page: it counts as alive and leaves
// the peaks and the working set alone.
bool SampleMemory(IProcessMemory& process, MemoryPeaks& peaks);

// The local time a report is made at, as the platform's clock gives it.
struct LocalTime {
    int year = 0;
    int month = 0;
    int day = 0;
    int hour = 0;
    int minute = 0;
    int second = 0;
};

// The report's text (UTF-8): the time, month and day padded with spaces to
// two places and the clock fields with zeros, then the memory figure, which
// is the peak page-file use.
std::string WhiteScreenReport(const LocalTime& when, uint64_t memoryK);

// The report's message box caption (UTF-8).
inline constexpr std::string_view kWhiteScreenCaption = "提示";

}  // namespace watchdog
