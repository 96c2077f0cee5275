#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "shellviews/DropHover.h"

namespace {

// One drag-over (or a leave, with Leave set) and what it must change.
struct TStep {
    std::optional<std::string> Item{};
    bool Target = false;
    bool Leave = false;
    bool Repaint = false;
    bool Restart = false;
    bool Stop = false;
    std::optional<std::string> Highlighted{};
    std::optional<std::string> Rested{};
};

struct TCase {
    const char* Name;
    std::vector<TStep> Steps;
};

class DropHoverTest : public ::testing::TestWithParam<TCase> {};

TEST_P(DropHoverTest, HighlightsTheTargetAndTimesTheRestOnEachItem)
{
    TDropHover<std::string> hover;
    int index = 0;
    for (const TStep& step : GetParam().Steps) {
        SCOPED_TRACE(index++);
        const auto change = step.Leave ? hover.Leave() : hover.Over(step.Item, step.Target);
        EXPECT_EQ(change.Repaint, step.Repaint);
        EXPECT_EQ(change.RestartTimer, step.Restart);
        EXPECT_EQ(change.StopTimer, step.Stop);
        EXPECT_EQ(hover.Highlighted(), step.Highlighted);
        EXPECT_EQ(hover.Rested(), step.Rested);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Drags, DropHoverTest,
    ::testing::Values(
        // Moves inside one item keep the time running: a resting drag opens it.
        TCase{"MovesOnOneItemKeepTheTime",
              {{.Item = "a", .Target = true, .Repaint = true, .Restart = true, .Highlighted = "a", .Rested = "a"},
               {.Item = "a", .Target = true, .Highlighted = "a", .Rested = "a"},
               {.Item = "a", .Target = true, .Highlighted = "a", .Rested = "a"}}},
        // Another item starts the time again; one that refuses the drop is
        // not highlighted but still opens when the drag rests there.
        TCase{"AnotherItemRestartsAndARefusingOneIsNotHighlighted",
              {{.Item = "a", .Target = true, .Repaint = true, .Restart = true, .Highlighted = "a", .Rested = "a"},
               {.Item = "b", .Target = false, .Repaint = true, .Restart = true, .Rested = "b"},
               {.Item = "b", .Target = true, .Repaint = true, .Highlighted = "b", .Rested = "b"}}},
        // Empty space stops the time and takes the highlight away; coming
        // back onto the same item counts from the start.
        TCase{"EmptySpaceStopsTheTime",
              {{.Item = "a", .Target = true, .Repaint = true, .Restart = true, .Highlighted = "a", .Rested = "a"},
               {.Item = std::nullopt, .Target = false, .Repaint = true, .Stop = true},
               {.Item = std::nullopt, .Target = false},
               {.Item = "a", .Target = true, .Repaint = true, .Restart = true, .Highlighted = "a", .Rested = "a"}}},
        TCase{"LeavingForgetsEverything",
              {{.Item = "a", .Target = true, .Repaint = true, .Restart = true, .Highlighted = "a", .Rested = "a"},
               {.Leave = true, .Repaint = true, .Stop = true},
               {.Leave = true, .Stop = true},
               {.Item = "a", .Target = false, .Restart = true, .Rested = "a"}}}),
    [](const ::testing::TestParamInfo<TCase>& info) { return std::string(info.param.Name); });

TEST(DragScrollDirection, ScrollsOnlyWithinTheZoneOfAnEdge)
{
    // A view 100 high with zones of 20: the edges' rows belong to them,
    // a view smaller than both zones scrolls up first.
    const struct {
        int Pos, Extent, Zone, Direction;
    } cases[] = {{0, 100, 20, -1}, {19, 100, 20, -1}, {20, 100, 20, 0}, {79, 100, 20, 0}, {80, 100, 20, 1},
                 {99, 100, 20, 1}, {100, 100, 20, 0}, {-1, 100, 20, 0}, {10, 30, 20, -1}, {5, 0, 20, 0}};
    for (const auto& c : cases)
        EXPECT_EQ(DragScrollDirection(c.Pos, c.Extent, c.Zone), c.Direction) << c.Pos << " in " << c.Extent;
}

}  // namespace
