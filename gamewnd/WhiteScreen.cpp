#include "gamewnd/WhiteScreen.h"

#include <algorithm>
#include <cinttypes>
#include <cstdio>

namespace watchdog {

MemoryPeaks& ProcessMemoryPeaks() noexcept
{
    static MemoryPeaks peaks;
    return peaks;
}

bool SampleMemory(IProcessMemory& process, MemoryPeaks& peaks)
{
    const std::optional<MemoryCounters> counters = process.QueryCounters();
    if (!counters)
        return true;
    const uint64_t workingSetK = counters->workingSetBytes / kBytesPerUnit;
    const uint64_t pagefileK = counters->pagefileBytes / kBytesPerUnit;
    peaks.workingSetK = std::max(peaks.workingSetK, workingSetK);
    peaks.pagefileK = std::max(peaks.pagefileK, pagefileK);
    if (peaks.workingSetK > kTrimThresholdK) {
        process.EmptyWorkingSet();
        peaks.workingSetK = 0;
    }
    return workingSetK >= kWhiteThresholdK;
}

std::string WhiteScreenReport(const LocalTime& when, uint64_t memoryK)
{
    // The figure is unsigned and may need more than an int's digits.
    static constexpr char kFormat[] = "白屏发生在:%4d-%2d-%2d %02d:%02d:%02d 内存为:%" PRIu64 "K";
    const int length = std::snprintf(nullptr, 0, kFormat, when.year, when.month, when.day, when.hour,
                                     when.minute, when.second, memoryK);
    if (length <= 0)
        return {};
    std::string text(static_cast<size_t>(length) + 1, '\0');
    std::snprintf(text.data(), text.size(), kFormat, when.year, when.month, when.day, when.hour, when.minute,
                  when.second, memoryK);
    text.resize(static_cast<size_t>(length));
    return text;
}

}  // namespace watchdog
