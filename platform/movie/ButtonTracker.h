#pragma once
#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "platform/Geometry.h"
#include "platform/movie/Movie.h"

namespace movie {

enum class Look {
    Up,
    Over,     // hovered, nothing held
    Pressed,  // held down and still under the pointer (drawn with the over look)
};

// What one pointer event did: the buttons whose look changed (so the player
// knows whether to invalidate) and the button clicked, if any.
struct PointerOutcome {
    std::optional<size_t> clicked;

    std::span<const size_t> Changed() const { return {changed_.data(), count_}; }
    bool NeedsRedraw() const { return count_ != 0; }
    void AddChanged(size_t index) { changed_[count_++] = index; }

private:
    // At most one button has a look other than Up at any time, so one event
    // changes at most two: the one that loses its look and the one that gains.
    std::array<size_t, 2> changed_{};
    size_t count_ = 0;
};

// The movie buttons' standard behaviour, in stage pixels:
// - the pointer over a button, nothing held: Over;
// - a left press on a button: Pressed while the pointer stays on it, Up while
//   it is dragged off, Pressed again when it comes back;
// - releasing on the button that was pressed is a click; anywhere else, not;
// - while a press that began elsewhere is held, no button lights up;
// - a move reporting the left button up while a press is held means the
//   release was lost: the press is dropped without a click;
// - the pointer leaving the window drops hover and press alike.
// Buttons are given bottom first (drawing order); the topmost wins a hit.
class ButtonTracker {
public:
    explicit ButtonTracker(std::vector<Rect> hitAreas);
    static ButtonTracker ForMovie(const Movie& movie);

    std::optional<size_t> HitTest(int32_t x, int32_t y) const;

    PointerOutcome MouseMove(int32_t x, int32_t y, bool leftDown);
    PointerOutcome LeftDown(int32_t x, int32_t y);
    PointerOutcome LeftUp(int32_t x, int32_t y);
    PointerOutcome MouseLeave();

    Look LookOf(size_t index) const;
    size_t Count() const { return areas_.size(); }

private:
    struct State {
        std::optional<size_t> hovered;
        std::optional<size_t> pressed;
        bool pressElsewhere = false;
    };
    static Look LookIn(const State& s, size_t index);
    PointerOutcome Transition(const State& next, std::optional<size_t> clicked);

    std::vector<Rect> areas_;
    State state_;
};

}  // namespace movie
