// The white-screen watchdog: the memory sample's verdict, peaks and trim, and
// the report's text.
#include <gtest/gtest.h>

#include <optional>

#include "gamewnd/WhiteScreen.h"

using namespace watchdog;

namespace {

class FakeProcessMemory : public IProcessMemory {
public:
    std::optional<MemoryCounters> counters;
    int trims = 0;

    std::optional<MemoryCounters> QueryCounters() override { return counters; }
    void EmptyWorkingSet() override { ++trims; }
};

TEST(WhiteScreen, AliveFromSixtyThousandUnitsOfWorkingSet)
{
    struct Case {
        uint64_t workingSetBytes;
        bool alive;
    };
    const Case cases[] = {
        {60'000'000, true},
        {60'000'999, true},
        {59'999'999, false},  // units are whole thousands, rounded down
        {59'999'000, false},
        {0, false},
        {2'000'000'000, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.workingSetBytes);
        FakeProcessMemory process;
        process.counters = MemoryCounters{c.workingSetBytes, 0};
        MemoryPeaks peaks;
        EXPECT_EQ(SampleMemory(process, peaks), c.alive);
    }
}

TEST(WhiteScreen, PeaksRiseAndTheWorkingSetIsTrimmedAboveEightHundredThousandUnits)
{
    struct Step {
        MemoryCounters counters;
        uint64_t peakWorkingSetK;
        uint64_t peakPagefileK;
        bool trimmed;
    };
    const Step steps[] = {
        {{500'000'000, 300'000'000}, 500'000, 300'000, false},
        {{400'000'000, 200'000'000}, 500'000, 300'000, false},
        {{800'000'999, 310'000'000}, 800'000, 310'000, false},  // not above the threshold
        {{800'001'000, 250'000'000}, 0, 310'000, true},
        // After a trim the peak starts again: this would have been trimmed
        // against the old peak.
        {{700'000'000, 100'000'000}, 700'000, 310'000, false},
        {{900'000'000, 320'000'000}, 0, 320'000, true},
    };
    FakeProcessMemory process;
    MemoryPeaks peaks;
    int trims = 0;
    for (size_t i = 0; i < std::size(steps); ++i) {
        SCOPED_TRACE(i);
        const Step& s = steps[i];
        process.counters = s.counters;
        SampleMemory(process, peaks);
        trims += s.trimmed ? 1 : 0;
        EXPECT_EQ(process.trims, trims);
        EXPECT_EQ(peaks.workingSetK, s.peakWorkingSetK);
        EXPECT_EQ(peaks.pagefileK, s.peakPagefileK);
    }
}

TEST(WhiteScreen, AFailedQueryCountsAsAliveAndChangesNothing)
{
    FakeProcessMemory process;
    MemoryPeaks peaks{700'000, 300'000};
    EXPECT_TRUE(SampleMemory(process, peaks));
    EXPECT_EQ(peaks.workingSetK, 700'000u);
    EXPECT_EQ(peaks.pagefileK, 300'000u);
    EXPECT_EQ(process.trims, 0);
}

TEST(WhiteScreen, ReportPadsMonthAndDayWithSpacesAndTheClockWithZeros)
{
    struct Case {
        LocalTime when;
        uint64_t memoryK;
        const char* text;
    };
    const Case cases[] = {
        {{2026, 3, 5, 7, 8, 9}, 123456, "白屏发生在:2026- 3- 5 07:08:09 内存为:123456K"},
        {{2026, 12, 31, 23, 59, 59}, 0, "白屏发生在:2026-12-31 23:59:59 内存为:0K"},
        {{2027, 1, 10, 0, 0, 0}, 4'294'967'296, "白屏发生在:2027- 1-10 00:00:00 内存为:4294967296K"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(WhiteScreenReport(c.when, c.memoryK), c.text);
    }
}

}  // namespace
