// The management dialog's kept state: what a section reads as, and that a
// state written and read again is the same state.

#include <gtest/gtest.h>

#include "common/IniFile.h"
#include "thumbnails/ThumbControlState.h"

namespace {

using TSize = std::optional<TThumbControlSize>;

struct TReadCase {
    const char* Name;
    const char* Section;
    TThumbControlState Expected;
};

TThumbControlState State(int sort, int dir, bool full, TSize size, std::vector<int> header)
{
    return {static_cast<TThumbSortColumn>(sort), static_cast<TThumbSortDir>(dir), full, size, std::move(header)};
}

class ThumbControlStateRead : public testing::TestWithParam<TReadCase> {};

TEST_P(ThumbControlStateRead, ReadsTheSection)
{
    TIniFile ini;
    ini.LoadFromText(std::string("[THUMBNAILSET]\n") + GetParam().Section);
    EXPECT_EQ(ReadThumbControlState(ini), GetParam().Expected);
}

INSTANTIATE_TEST_SUITE_P(
    Sections, ThumbControlStateRead,
    testing::Values(
        TReadCase{"Empty", "", State(0, 0, false, std::nullopt, {})},
        TReadCase{"Stored", "Sort=3\nSortDir=2\nFullPath=1\nWidth=800\nHeight=500\nHeader=300,60,0,90\n",
                  State(3, 2, true, TThumbControlSize{800, 500}, {300, 60, 0, 90})},
        TReadCase{"OutOfRangeSortReadsAsFirst", "Sort=4\nSortDir=3\n", State(0, 0, false, std::nullopt, {})},
        TReadCase{"NegativeSortReadsAsFirst", "Sort=-1\nSortDir=-1\n", State(0, 0, false, std::nullopt, {})},
        TReadCase{"SmallSizeIsRaised", "Width=100\nHeight=-20\n", State(0, 0, false, TThumbControlSize{660, 430}, {})},
        TReadCase{"OneSideUnsetGivesNoSize", "Width=800\nHeight=32767\n", State(0, 0, false, std::nullopt, {})},
        TReadCase{"OneSideMissingGivesNoSize", "Height=600\n", State(0, 0, false, std::nullopt, {})},
        TReadCase{"HugeSideGivesNoSize", "Width=20000\nHeight=600\n", State(0, 0, false, std::nullopt, {})},
        TReadCase{"BadHeaderKeepsDefaults", "Header=300,x,80\n", State(0, 0, false, std::nullopt, {})},
        TReadCase{"NegativeWidthInHeaderKeepsDefaults", "Header=300,-5\n", State(0, 0, false, std::nullopt, {})}),
    [](const testing::TestParamInfo<TReadCase>& info) { return std::string(info.param.Name); });

TEST(ThumbControlState, RoundTrips)
{
    for (const TThumbControlState& state : {State(2, 1, true, TThumbControlSize{1024, 777}, {400, 70, 80, 95}),
                                            State(1, 2, false, std::nullopt, {})}) {
        TIniFile ini;
        ini.LoadFromText("[THUMBNAILSET]\nWidth=900\nHeight=600\nHeader=1,2,3,4\n");
        WriteThumbControlState(ini, state);
        TIniFile again;
        again.LoadFromText(ini.ToText());
        EXPECT_EQ(ReadThumbControlState(again), state) << ini.ToText();
    }
}

}  // namespace
