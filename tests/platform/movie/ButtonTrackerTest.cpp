#include <gtest/gtest.h>

#include <vector>

#include "tests/platform/movie/MovieTestSupport.h"
#include "platform/movie/ButtonTracker.h"

namespace {

using namespace movie;

// Two side by side, a third overlapping the second from above.
ButtonTracker ThreeButtons()
{
    return ButtonTracker({{0, 0, 10, 10}, {20, 0, 30, 10}, {25, 5, 40, 15}});
}

enum class Event { Move, MoveNoButton, Down, Up, Leave };

struct Step {
    Event event;
    int32_t x, y;
    std::vector<size_t> changed;       // in any order
    std::optional<size_t> clicked;
    std::vector<Look> looksAfter;      // of the three buttons
};

constexpr Look U = Look::Up, O = Look::Over, P = Look::Pressed;

PointerOutcome Apply(ButtonTracker& t, const Step& s)
{
    switch (s.event) {
    case Event::Move: return t.MouseMove(s.x, s.y, true);
    case Event::MoveNoButton: return t.MouseMove(s.x, s.y, false);
    case Event::Down: return t.LeftDown(s.x, s.y);
    case Event::Up: return t.LeftUp(s.x, s.y);
    case Event::Leave: return t.MouseLeave();
    }
    return {};
}

void RunSteps(const std::vector<Step>& steps)
{
    ButtonTracker t = ThreeButtons();
    for (size_t i = 0; i < steps.size(); ++i) {
        SCOPED_TRACE(testing::Message() << "step " << i);
        const Step& s = steps[i];
        const PointerOutcome out = Apply(t, s);
        std::vector<size_t> changed(out.Changed().begin(), out.Changed().end());
        std::sort(changed.begin(), changed.end());
        EXPECT_EQ(changed, s.changed);
        EXPECT_EQ(out.NeedsRedraw(), !s.changed.empty());
        EXPECT_EQ(out.clicked, s.clicked);
        for (size_t b = 0; b < s.looksAfter.size(); ++b)
            EXPECT_EQ(t.LookOf(b), s.looksAfter[b]) << "button " << b;
    }
}

constexpr auto Move = Event::Move, Hover = Event::MoveNoButton, Down = Event::Down, Up = Event::Up,
               Leave = Event::Leave;

TEST(ButtonTracker, HoverComesAndGoes)
{
    RunSteps({
        {Hover, 5, 5, {0}, {}, {O, U, U}},
        {Hover, 6, 6, {}, {}, {O, U, U}},       // still on it: nothing to redraw
        {Hover, 22, 2, {0, 1}, {}, {U, O, U}},  // straight to the next
        {Hover, 15, 5, {1}, {}, {U, U, U}},
        {Hover, 9, 9, {0}, {}, {O, U, U}},
        {Leave, 0, 0, {0}, {}, {U, U, U}},
    });
}

TEST(ButtonTracker, TopmostButtonWinsTheHit)
{
    const ButtonTracker t = ThreeButtons();
    EXPECT_EQ(t.HitTest(26, 6), 2u);
    EXPECT_EQ(t.HitTest(24, 6), 1u);
    EXPECT_EQ(t.HitTest(10, 0), std::nullopt);  // right and bottom edges are outside
    EXPECT_EQ(t.HitTest(0, 9), 0u);
}

TEST(ButtonTracker, PressAndReleaseOnOneButtonClicks)
{
    RunSteps({
        {Hover, 5, 5, {0}, {}, {O, U, U}},
        {Down, 5, 5, {0}, {}, {P, U, U}},
        {Move, 6, 5, {}, {}, {P, U, U}},
        {Up, 6, 5, {0}, 0, {O, U, U}},
        // A press without a hover first (the first event after activation).
        {Down, 27, 7, {0, 2}, {}, {U, U, P}},
        {Up, 27, 7, {2}, 2, {U, U, O}},
    });
}

TEST(ButtonTracker, DraggedOffAndBack)
{
    RunSteps({
        {Down, 5, 5, {0}, {}, {P, U, U}},
        {Move, 22, 5, {0}, {}, {U, U, U}},  // held elsewhere: the other does not light up
        {Move, 5, 5, {0}, {}, {P, U, U}},
        {Move, 50, 50, {0}, {}, {U, U, U}},
        {Up, 50, 50, {}, {}, {U, U, U}},    // released off it: no click
        {Down, 5, 5, {0}, {}, {P, U, U}},
        {Up, 22, 5, {0, 1}, {}, {U, O, U}},  // released on another: no click
    });
}

TEST(ButtonTracker, PressThatBeganElsewhere)
{
    RunSteps({
        {Down, 50, 50, {}, {}, {U, U, U}},
        {Move, 5, 5, {}, {}, {U, U, U}},
        {Up, 5, 5, {0}, {}, {O, U, U}},
    });
}

TEST(ButtonTracker, LostReleaseAndLeaveDropThePress)
{
    RunSteps({
        {Down, 5, 5, {0}, {}, {P, U, U}},
        {Hover, 5, 5, {0}, {}, {O, U, U}},  // the left button is up: its release was lost
        {Up, 5, 5, {}, {}, {O, U, U}},
        {Down, 5, 5, {0}, {}, {P, U, U}},
        {Leave, 0, 0, {0}, {}, {U, U, U}},
        {Up, 5, 5, {0}, {}, {O, U, U}},
    });
}

TEST(ButtonTracker, ForMovieUsesThePixelPlaces)
{
    const ButtonTracker t = ButtonTracker::ForMovie(SmallMovie());
    ASSERT_EQ(t.Count(), 2u);
    EXPECT_EQ(t.HitTest(10, 20), 0u);    // "go" at 10, 20 (twips 200, 400)
    EXPECT_EQ(t.HitTest(91, 42), 0u);
    EXPECT_EQ(t.HitTest(92, 20), std::nullopt);
    EXPECT_EQ(t.HitTest(150, 10), 1u);  // "min" at 150, 10
}

}  // namespace
