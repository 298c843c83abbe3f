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

bool SameOutput(std::mt19937& rng, uint32_t w, uint32_t h)
{
    auto black = RandomSurface(rng, size_t{w} * h);
    const auto white = RandomSurface(rng, size_t{w} * h);
    auto fast = black;
    RecoverAlpha(fast.data(), white.data(), w, h);
    RecoverAlphaReference(black.data(), white.data(), w, h);
    return fast == black;
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
    std::printf("fast == reference on random %zu surfaces: yes\n", std::size(sizes));

    const size_t pixels = size_t{kWidth} * kHeight;
    auto black = RandomSurface(rng, pixels);
    const auto white = RandomSurface(rng, pixels);
    std::vector<uint8_t> copyBlack(black.size()), copyWhite(white.size());

    using Clock = std::chrono::steady_clock;
    const std::function<void()> passes[] = {
        [&] { RecoverAlpha(black.data(), white.data(), kWidth, kHeight); },
        [&] { RecoverAlphaReference(black.data(), white.data(), kWidth, kHeight); },
        [&] {
            std::memcpy(copyBlack.data(), black.data(), black.size());
            std::memcpy(copyWhite.data(), white.data(), white.size());
        },
    };
    const char* names[] = {"fast", "reference", "memcpy floor"};
    std::vector<double> samples[3];
    for (auto& p : passes)
        p();  // warm caches and page tables
    // Interleaved, so a change of clock speed hits all three alike.
    for (int run = 0; run < kRuns; ++run) {
        for (int k = 0; k < 3; ++k) {
            const auto t0 = Clock::now();
            passes[k]();
            const auto t1 = Clock::now();
            samples[k].push_back(std::chrono::duration<double, std::milli>(t1 - t0).count());
        }
    }
    double ms[3];
    for (int k = 0; k < 3; ++k) {
        ms[k] = MedianMs(samples[k]);
        std::printf("%-13s %8.3f ms  (median of %d, %ux%u)\n", names[k], ms[k], kRuns, kWidth, kHeight);
    }
    std::printf("fast / floor       %6.2f  (goal <= 1.5)\n", ms[0] / ms[2]);
    std::printf("reference / fast   %6.2f  (goal >= 3)\n", ms[1] / ms[0]);
    // Keeps the copies observable.
    std::printf("checksum %u\n", static_cast<unsigned>(copyBlack[pixels] ^ copyWhite[pixels / 2] ^ black[7]));
    return 0;
}
