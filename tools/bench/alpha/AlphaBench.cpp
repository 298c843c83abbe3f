// Alpha recovery on launcher-sized surfaces: the shipped implementation, the
// formula written out, and a memcpy of both input surfaces as the floor that
// no pass reading both can beat by much. Prints medians and ratios of one run.
#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <functional>
#include <random>
#include <vector>

#include "flashhost/AlphaRecovery.h"

namespace {

constexpr uint32_t kWidth = 1506;
constexpr uint32_t kHeight = 867;
constexpr int kRuns = 41;

std::vector<uint8_t> RandomSurface(std::mt19937& rng, size_t pixels)
{
    std::vector<uint8_t> s(pixels * 4);
    for (auto& b : s)
        b = static_cast<uint8_t>(rng());
    return s;
}

// The reference formula with the compiler's vectoriser off: the per-pixel
// loop as the system runs it. At -O3 GCC vectorises RecoverAlphaReference by
// itself, which makes it a second SIMD implementation rather than the
// baseline; both are printed.
#if defined(__GNUC__) && !defined(__clang__)
__attribute__((optimize("no-tree-vectorize")))
#endif
void ScalarReference(uint8_t* black, const uint8_t* white, uint32_t width, uint32_t height)
{
    const size_t count = size_t{width} * height;
    for (size_t i = 0; i < count; ++i, black += 4, white += 4) {
        const unsigned d = uint8_t(white[0] - black[0]) + uint8_t(white[1] - black[1]) + uint8_t(white[2] - black[2]);
        black[3] = static_cast<uint8_t>(255 - d / 3);
    }
}

bool SameOutput(std::mt19937& rng, uint32_t w, uint32_t h)
{
    auto black = RandomSurface(rng, size_t{w} * h);
    const auto white = RandomSurface(rng, size_t{w} * h);
    auto fast = black;
    auto scalar = black;
    RecoverAlpha(fast.data(), white.data(), w, h);
    ScalarReference(scalar.data(), white.data(), w, h);
    RecoverAlphaReference(black.data(), white.data(), w, h);
    return fast == black && scalar == black;
}

double MedianMs(std::vector<double>& samples)
{
    std::sort(samples.begin(), samples.end());
    return samples[samples.size() / 2];
}

}  // namespace

int main()
{
    std::mt19937 rng(20240611);
    const uint32_t sizes[][2] = {{kWidth, kHeight}, {1, 1}, {3, 7}, {5, 5}, {1023, 3}, {17, 31}};
    for (const auto& s : sizes) {
        if (!SameOutput(rng, s[0], s[1])) {
            std::printf("MISMATCH: fast and reference differ at %ux%u\n", s[0], s[1]);
            return 1;
        }
    }
    std::printf("fast == reference == scalar ref on random %zu surfaces: yes\n", std::size(sizes));

    const size_t pixels = size_t{kWidth} * kHeight;
    auto black = RandomSurface(rng, pixels);
    const auto white = RandomSurface(rng, pixels);
    std::vector<uint8_t> copyBlack(black.size()), copyWhite(white.size());

    using Clock = std::chrono::steady_clock;
    const std::function<void()> passes[] = {
        [&] { RecoverAlpha(black.data(), white.data(), kWidth, kHeight); },
        [&] { RecoverAlphaReference(black.data(), white.data(), kWidth, kHeight); },
        [&] { ScalarReference(black.data(), white.data(), kWidth, kHeight); },
        [&] {
            std::memcpy(copyBlack.data(), black.data(), black.size());
            std::memcpy(copyWhite.data(), white.data(), white.size());
        },
    };
    const char* names[] = {"fast", "reference", "scalar ref", "memcpy floor"};
    constexpr int kPasses = 4;
    std::vector<double> samples[kPasses];
    for (auto& p : passes)
        p();  // warm caches and page tables
    // Interleaved, so a change of clock speed hits all passes alike.
    for (int run = 0; run < kRuns; ++run) {
        for (int k = 0; k < kPasses; ++k) {
            const auto t0 = Clock::now();
            passes[k]();
            const auto t1 = Clock::now();
            samples[k].push_back(std::chrono::duration<double, std::milli>(t1 - t0).count());
        }
    }
    double ms[kPasses];
    for (int k = 0; k < kPasses; ++k) {
        ms[k] = MedianMs(samples[k]);
        std::printf("%-13s %8.3f ms  (median of %d, %ux%u)\n", names[k], ms[k], kRuns, kWidth, kHeight);
    }
    std::printf("fast / floor       %6.2f  (goal <= 1.5)\n", ms[0] / ms[3]);
    std::printf("reference / fast   %6.2f  (goal >= 3; the compiler may vectorise the reference)\n", ms[1] / ms[0]);
    std::printf("scalar ref / fast  %6.2f  (goal >= 3)\n", ms[2] / ms[0]);
    // Keeps the copies observable.
    std::printf("checksum %u\n", static_cast<unsigned>(copyBlack[pixels] ^ copyWhite[pixels / 2] ^ black[7]));
    return 0;
}
