#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "platform/movie/Movie.h"

// The start of a PNG file as the parser checks it (signature and IHDR); the
// image data is not needed, since the player decodes looks, not the parser.
std::vector<uint8_t> FakePng(uint32_t width, uint32_t height);

// A small movie with every kind of record, built in code.
movie::Movie SmallMovie();

// The movie file the build generated from the committed description.
std::vector<uint8_t> GeneratedMovieBytes();
