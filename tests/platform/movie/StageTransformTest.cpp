// The "show all" placement: the stage whole, aspect kept, centred; device
// rectangles rounded at their edges; pointer points mapped back.
#include <gtest/gtest.h>

#include "platform/movie/StageTransform.h"

namespace {

using movie::StageTransform;

struct Placement {
    const char* name;
    Rect area;
    uint32_t stageW, stageH;
    double scale, dx, dy;
};
void PrintTo(const Placement& p, std::ostream* os) { *os << p.name; }

class ShowAll : public ::testing::TestWithParam<Placement> {};

TEST_P(ShowAll, FitsTheWholeStageCentred)
{
    const Placement& p = GetParam();
    std::optional<StageTransform> t = StageTransform::ShowAll(p.area, p.stageW, p.stageH);
    ASSERT_TRUE(t);
    EXPECT_DOUBLE_EQ(t->scale, p.scale);
    EXPECT_DOUBLE_EQ(t->dx, p.dx);
    EXPECT_DOUBLE_EQ(t->dy, p.dy);
}

INSTANTIATE_TEST_SUITE_P(
    Areas, ShowAll,
    ::testing::Values(Placement{"SameSize", {0, 0, 1506, 867}, 1506, 867, 1.0, 0, 0},
                      Placement{"OffsetArea", {-10000, -10000, -8494, -9133}, 1506, 867, 1.0, -10000, -10000},
                      Placement{"WiderAreaCentresHorizontally", {0, 0, 400, 100}, 200, 100, 1.0, 100, 0},
                      Placement{"TallerAreaCentresVertically", {0, 0, 100, 300}, 100, 100, 1.0, 0, 100},
                      Placement{"HalfSize", {0, 0, 753, 434}, 1506, 868, 0.5, 0, 0}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ShowAll, NothingForAnEmptyStageOrAnAreaWithoutRoom)
{
    EXPECT_FALSE(StageTransform::ShowAll({0, 0, 100, 100}, 0, 100));
    EXPECT_FALSE(StageTransform::ShowAll({0, 0, 100, 100}, 100, 0));
    EXPECT_FALSE(StageTransform::ShowAll({0, 0, 0, 100}, 100, 100));
    EXPECT_FALSE(StageTransform::ShowAll({10, 10, 5, 20}, 100, 100));  // right before left
}

TEST(StageMapping, DeviceRectanglesRoundAtTheirEdges)
{
    const StageTransform half{0.5, 10, 20};
    EXPECT_EQ(half.ToDevice(0, 0, 100, 50), (Rect{10, 20, 60, 45}));
    // 467.6 * 0.5 + 10 = 243.8 -> 244; (467.6 + 82) * 0.5 + 10 = 284.8 -> 285
    EXPECT_EQ(half.ToDevice(467.6, 158.7, 82, 23), (Rect{244, 99, 285, 111}));
}

TEST(StageMapping, PointsMapBackToStagePixels)
{
    const StageTransform half{0.5, 10, 20};
    EXPECT_EQ(half.ToStage(10, 20), (Point{0, 0}));
    EXPECT_EQ(half.ToStage(60, 45), (Point{100, 50}));
    EXPECT_EQ(half.ToStage(11, 21), (Point{2, 2}));
    // Left of the stage truncates toward zero, as the pointer logic expects.
    EXPECT_EQ(half.ToStage(9, 19), (Point{-2, -2}));
    const StageTransform identity{1.0, 0, 0};
    EXPECT_EQ(identity.ToStage(-5, 700), (Point{-5, 700}));
}

}  // namespace
