// Fuzz entry point of the movie parser, shared by the libFuzzer target and the
// deterministic smoke test. Beyond "no crash, no out-of-bounds read" it checks
// that whatever the parser accepts survives a write and a second parse, and
// that the player's pointer logic copes with every accepted movie.
#include <cstddef>
#include <cstdint>

#include "platform/movie/ButtonTracker.h"
#include "platform/movie/Movie.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::span<const uint8_t> bytes(data, size);
    (void)movie::UnwrapEmbeddedStream(bytes);
    const auto parsed = movie::ParseMovie(bytes);
    if (!parsed)
        return 0;
    const auto again = movie::ParseMovie(movie::WriteMovie(*parsed));
    if (!again || !(*again == *parsed))
        __builtin_trap();

    movie::ButtonTracker tracker = movie::ButtonTracker::ForMovie(*parsed);
    for (const movie::Button& b : parsed->buttons) {
        const Rect r = movie::ToPixels(b.place);
        tracker.MouseMove(r.left, r.top, false);
        tracker.LeftDown(r.left, r.top);
        const auto up = tracker.LeftUp(r.left, r.top);
        if (up.clicked && *up.clicked >= parsed->buttons.size())
            __builtin_trap();
    }
    tracker.MouseLeave();
    return 0;
}
