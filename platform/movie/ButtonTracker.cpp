#include "platform/movie/ButtonTracker.h"

#include <utility>

namespace movie {

ButtonTracker::ButtonTracker(std::vector<Rect> hitAreas) : areas_(std::move(hitAreas)) {}

ButtonTracker ButtonTracker::ForMovie(const Movie& movie)
{
    std::vector<Rect> areas;
    areas.reserve(movie.buttons.size());
    for (const Button& b : movie.buttons)
        areas.push_back(ToPixels(b.place));
    return ButtonTracker(std::move(areas));
}

std::optional<size_t> ButtonTracker::HitTest(int32_t x, int32_t y) const
{
    for (size_t i = areas_.size(); i-- > 0;) {
        const Rect& r = areas_[i];
        if (x >= r.left && x < r.right && y >= r.top && y < r.bottom)
            return i;
    }
    return std::nullopt;
}

Look ButtonTracker::LookIn(const State& s, size_t index)
{
    if (s.pressed)
        return (*s.pressed == index && s.hovered == index) ? Look::Pressed : Look::Up;
    if (!s.pressElsewhere && s.hovered == index)
        return Look::Over;
    return Look::Up;
}

Look ButtonTracker::LookOf(size_t index) const
{
    return LookIn(state_, index);
}

PointerOutcome ButtonTracker::Transition(const State& next, std::optional<size_t> clicked)
{
    PointerOutcome outcome;
    outcome.clicked = clicked;
    // Only buttons hovered or pressed before or after can change their look.
    const std::optional<size_t> candidates[] = {state_.hovered, state_.pressed, next.hovered, next.pressed};
    for (size_t i = 0; i < std::size(candidates); ++i) {
        if (!candidates[i])
            continue;
        const size_t index = *candidates[i];
        bool seen = false;
        for (size_t j = 0; j < i; ++j)
            seen = seen || candidates[j] == index;
        if (!seen && LookIn(state_, index) != LookIn(next, index))
            outcome.AddChanged(index);
    }
    state_ = next;
    return outcome;
}

PointerOutcome ButtonTracker::MouseMove(int32_t x, int32_t y, bool leftDown)
{
    State next = state_;
    next.hovered = HitTest(x, y);
    if (!leftDown) {
        next.pressed.reset();
        next.pressElsewhere = false;
    }
    return Transition(next, std::nullopt);
}

PointerOutcome ButtonTracker::LeftDown(int32_t x, int32_t y)
{
    State next;
    next.hovered = HitTest(x, y);
    next.pressed = next.hovered;
    next.pressElsewhere = !next.hovered;
    return Transition(next, std::nullopt);
}

PointerOutcome ButtonTracker::LeftUp(int32_t x, int32_t y)
{
    State next;
    next.hovered = HitTest(x, y);
    std::optional<size_t> clicked;
    if (state_.pressed && state_.pressed == next.hovered)
        clicked = state_.pressed;
    return Transition(next, clicked);
}

PointerOutcome ButtonTracker::MouseLeave()
{
    return Transition(State{}, std::nullopt);
}

}  // namespace movie
