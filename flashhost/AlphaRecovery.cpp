#include "flashhost/AlphaRecovery.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

// floor(d / 3) for d < 32768 as (d * 21846) >> 16: 21846 * 3 = 65536 + 2, so
// the product overshoots d / 3 by 2d / 196608, which stays below the 1/3 gap
// to the next integer for every d in range. The SSE2 path uses the same
// constant with a 16-bit high multiply, so both paths agree bit for bit.
constexpr uint32_t kDiv3Multiplier = 21846;

inline uint8_t AlphaFromRenders(const uint8_t* black, const uint8_t* white)
{
    const uint32_t d = uint8_t(white[0] - black[0]) + uint8_t(white[1] - black[1]) +
                       uint8_t(white[2] - black[2]);
    return static_cast<uint8_t>(255 - ((d * kDiv3Multiplier) >> 16));
}

}  // namespace

void RecoverAlpha(uint8_t* black, const uint8_t* white, uint32_t width, uint32_t height) noexcept
{
    const size_t count = size_t{width} * height;
    size_t i = 0;
#if defined(__SSE2__)
    // Four pixels per 128-bit lane, each pixel one 32-bit element:
    // byte differences wrap in _mm_sub_epi8; B+R and G (alpha masked off)
    // become 16-bit halves that one madd adds into d; the high multiply
    // divides by 3; the result goes into the top byte.
    const __m128i colourMask = _mm_set1_epi32(0x00FFFFFF);
    const __m128i lowBytes = _mm_set1_epi32(0x00FF00FF);
    const __m128i gOnly = _mm_set1_epi32(0x000000FF);
    const __m128i ones = _mm_set1_epi16(1);
    const __m128i div3 = _mm_set1_epi32(kDiv3Multiplier);  // 0 in the high halves
    const __m128i all255 = _mm_set1_epi32(255);
    for (; i + 4 <= count; i += 4) {
        const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(black + i * 4));
        const __m128i w = _mm_loadu_si128(reinterpret_cast<const __m128i*>(white + i * 4));
        const __m128i diff = _mm_sub_epi8(w, b);
        const __m128i br = _mm_and_si128(diff, lowBytes);                     // B | R << 16
        const __m128i g = _mm_and_si128(_mm_srli_epi32(diff, 8), gOnly);      // G
        const __m128i d = _mm_madd_epi16(_mm_add_epi16(br, g), ones);         // B + G + R
        const __m128i q = _mm_mulhi_epu16(d, div3);                           // floor(d / 3)
        const __m128i alpha = _mm_slli_epi32(_mm_sub_epi32(all255, q), 24);
        const __m128i out = _mm_or_si128(_mm_and_si128(b, colourMask), alpha);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(black + i * 4), out);
    }
#endif
    for (; i < count; ++i)
        black[i * 4 + 3] = AlphaFromRenders(black + i * 4, white + i * 4);
}

void RecoverAlphaReference(uint8_t* black, const uint8_t* white, uint32_t width, uint32_t height) noexcept
{
    uint8_t* pb = black;
    const uint8_t* pw = white;
    for (uint32_t y = 0; y < height; ++y) {
        for (uint32_t x = 0; x < width; ++x, pb += 4, pw += 4) {
            const uint8_t dB = static_cast<uint8_t>(pw[0] - pb[0]);
            const uint8_t dG = static_cast<uint8_t>(pw[1] - pb[1]);
            const uint8_t dR = static_cast<uint8_t>(pw[2] - pb[2]);
            const unsigned d = unsigned{dR} + dG + dB;
            pb[3] = static_cast<uint8_t>(255 - d / 3);
        }
    }
}
