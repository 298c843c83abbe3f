#pragma once
#include <cstddef>
#include <cstdint>

// Recovers per-pixel alpha from two renders of the same frame: one over opaque
// black, one over opaque white. Both surfaces are 32-bit BGRA, `width` x
// `height` pixels, rows back to back (stride = width * 4).
//
// For each pixel the channel differences are taken as unsigned 8-bit
// subtractions (wrapping modulo 256), d = dR + dG + dB (0..765), and
// alpha = 255 - floor(d / 3) goes into byte 3 of the black pixel. Its colour
// bytes stay as rendered: over black they already are the premultiplied
// colour that the layered-window composition expects. `white` is only read.
//
// The two functions give bit-identical results; RecoverAlpha is the one to
// ship, RecoverAlphaReference is the formula written out, kept for tests and
// the benchmark.
void RecoverAlpha(uint8_t* black, const uint8_t* white, uint32_t width, uint32_t height) noexcept;
void RecoverAlphaReference(uint8_t* black, const uint8_t* white, uint32_t width, uint32_t height) noexcept;
