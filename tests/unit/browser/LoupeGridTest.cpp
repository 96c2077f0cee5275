#include <gtest/gtest.h>

#include "browser/LoupeGrid.h"
#include "common/IniFile.h"

namespace {

using enum TActionId;
using enum TLoupeGridChange;

struct TCommandCase {
    const char* Name;
    TActionId Action;
    int Size, Scale, Interval;  // before
    TLoupeGridChange Change;
    // The key written and its value; none when nothing changed.
    const char* Section;
    const char* Key;
    const char* Value;
};
void PrintTo(const TCommandCase& c, std::ostream* os)
{
    *os << c.Name;
}

class LoupeGridCommandTest : public ::testing::TestWithParam<TCommandCase> {};

TEST_P(LoupeGridCommandTest, StepsAndWritesOnlyWhatChanged)
{
    const TCommandCase& c = GetParam();
    TLoupeOptions loupe;
    loupe.Size = c.Size;
    loupe.Scale = c.Scale;
    TGridOptions grid;
    grid.Interval = c.Interval;
    TLoupeGrid state;
    state.SetOptions(loupe, grid);
    const TLoupeGridChange change = state.Run(c.Action);
    EXPECT_EQ(change, c.Change);
    TIniFile ini("unused.ini");
    state.Write(ini, change);
    if (c.Key) {
        EXPECT_EQ(ini.ReadString(c.Section, c.Key, "-"), c.Value);
    } else {
        EXPECT_EQ(ini.ToText(), "");
    }
    TActionContext context;
    state.FillContext(context);
    EXPECT_EQ(context.LoupeSize, state.Loupe().Size);
    EXPECT_EQ(context.GridInterval, state.Grid().Interval);
}

INSTANTIATE_TEST_SUITE_P(
    LoupeGrid, LoupeGridCommandTest,
    ::testing::Values(
        TCommandCase{"SizeEnlarges", actLoupeSizeEnlarge, 200, 4, 20, lgLoupeSize, "LOUPE", "Size", "250"},
        TCommandCase{"SizeAtMaximum", actLoupeSizeEnlarge, 1000, 4, 20, lgNone, nullptr, nullptr, nullptr},
        TCommandCase{"SizeShrinksToMinimum", actLoupeSizeShrink, 60, 4, 20, lgLoupeSize, "LOUPE", "Size", "50"},
        TCommandCase{"ScaleAtTop", actLoupeRatioEnlarge, 200, 8, 20, lgNone, nullptr, nullptr, nullptr},
        TCommandCase{"ScaleToOwnPixels", actLoupeRatioShrink, 200, 1, 20, lgLoupeScale, "LOUPE", "Scale", "0"},
        TCommandCase{"GridShrinkStopsAtFive", actGridShrink, 200, 4, 5, lgNone, nullptr, nullptr, nullptr},
        TCommandCase{"GridShrinks", actGridShrink, 200, 4, 20, lgGridInterval, "GRID", "Interval", "15"},
        TCommandCase{"GridEnlargeStopsAtHundred", actGridEnlarge, 200, 4, 98, lgGridInterval, "GRID", "Interval",
                     "100"},
        TCommandCase{"GridShownIsKept", actGrid, 200, 4, 20, lgGridShown, "IMAGE", "Grid", "1"},
        // The loupe starts hidden at every start: nothing is written.
        TCommandCase{"LoupeShownIsNotKept", actLoupe, 200, 4, 20, lgLoupeShown, nullptr, nullptr, nullptr}),
    [](const auto& info) { return std::string(info.param.Name); });

}  // namespace
