#include <gtest/gtest.h>

#include <random>

#include "tests/platform/movie/MovieTestSupport.h"
#include "platform/movie/MovieFormat.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

namespace {

// A few thousand mutated copies of the real movie through the fuzz entry
// point, under the sanitizers of the native build. Mutations favour the
// bytes after the face picture, where the structure is dense.
TEST(MovieFuzzSmoke, MutatedCopiesOfTheRealMovie)
{
    const auto original = GeneratedMovieBytes();
    ASSERT_GT(original.size(), 64u);
    const size_t pictureEnd = movie::format::kHeaderSize + movie::format::kRecordHeaderSize +
                              (original[13] | (original[14] << 8) | (original[15] << 16) |
                               (size_t{original[16]} << 24));
    ASSERT_LT(pictureEnd, original.size());

    std::mt19937 rng(1234);
    auto below = [&](size_t n) { return n == 0 ? size_t{0} : std::uniform_int_distribution<size_t>(0, n - 1)(rng); };
    auto position = [&](size_t size) {
        switch (below(4)) {
        case 0: return below(std::min<size_t>(size, 48));  // header, picture record head
        case 1: return below(size);
        default: return size > pictureEnd ? pictureEnd + below(size - pictureEnd) : below(size);
        }
    };
    const uint32_t interesting[] = {0, 1, 0x7F, 0x80, 0xFF, 0xFFFF, 0x7FFFFFFF, 0x80000000, 0xFFFFFFFF,
                                    static_cast<uint32_t>(original.size())};

    int accepted = 0, rejected = 0;
    for (int iteration = 0; iteration < 3000; ++iteration) {
        std::vector<uint8_t> bytes = original;
        for (size_t m = 1 + below(3); m > 0 && !bytes.empty(); --m) {
            const size_t at = position(bytes.size());
            switch (below(6)) {
            case 0: bytes[at] ^= static_cast<uint8_t>(1u << below(8)); break;
            case 1: bytes[at] = static_cast<uint8_t>(rng()); break;
            case 2: {
                const uint32_t v = interesting[below(std::size(interesting))];
                for (size_t i = 0; i < 4 && at + i < bytes.size(); ++i)
                    bytes[at + i] = static_cast<uint8_t>(v >> (8 * i));
                break;
            }
            case 3: bytes.resize(at); break;
            case 4: bytes.erase(bytes.begin() + at, bytes.begin() + std::min(bytes.size(), at + 1 + below(16))); break;
            default: {
                const size_t n = std::min(bytes.size() - at, 1 + below(32));
                std::vector<uint8_t> slice(bytes.begin() + at, bytes.begin() + at + n);
                bytes.insert(bytes.begin() + position(bytes.size()), slice.begin(), slice.end());
                break;
            }
            }
        }
        LLVMFuzzerTestOneInput(bytes.data(), bytes.size());
        (movie::ParseMovie(bytes) ? accepted : rejected)++;
    }
    // Both outcomes must occur, or the mutations are not reaching the parser's decisions.
    EXPECT_GT(accepted, 0);
    EXPECT_GT(rejected, 1000);
}

}  // namespace
