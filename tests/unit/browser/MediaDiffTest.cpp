// The differences dialog's options: what a DIFFER section reads as, and that
// options written and read again are the same options.

#include <gtest/gtest.h>

#include "browser/MediaDiff.h"
#include "common/IniFile.h"

namespace {

using TSize = std::optional<TDifferSize>;

struct TReadCase {
    const char* Name;
    const char* Section;
    TDifferOptions Expected;
};

TDifferOptions Options(TSize size, bool fullPath, bool allFile, bool sync)
{
    return {size, fullPath, allFile, sync};
}

class DifferOptionsRead : public testing::TestWithParam<TReadCase> {};

TEST_P(DifferOptionsRead, ReadsTheSection)
{
    TIniFile ini;
    ini.LoadFromText(std::string("[DIFFER]\n") + GetParam().Section);
    EXPECT_EQ(ReadDifferOptions(ini), GetParam().Expected);
}

INSTANTIATE_TEST_SUITE_P(
    Sections, DifferOptionsRead,
    testing::Values(
        TReadCase{"Empty", "", Options(std::nullopt, false, false, true)},
        TReadCase{"Stored", "Width=800\nHeight=450\nFullPath=1\nAllFile=1\nSync=0\n",
                  Options(TDifferSize{800, 450}, true, true, false)},
        TReadCase{"UnsetSizeGivesNone", "Width=32767\nHeight=32767\n", Options(std::nullopt, false, false, true)},
        TReadCase{"OneSideUnsetGivesNone", "Width=800\nHeight=32767\n", Options(std::nullopt, false, false, true)},
        TReadCase{"OneSideMissingGivesNone", "Height=600\n", Options(std::nullopt, false, false, true)},
        TReadCase{"SmallSizeIsRaisedToTheLeast", "Width=100\nHeight=-5\n", Options(TDifferSize{500, 300}, false, false, true)},
        TReadCase{"HugeSideGivesNone", "Width=20000\nHeight=600\n", Options(std::nullopt, false, false, true)},
        TReadCase{"TextForANumberGivesNone", "Width=wide\nHeight=600\n", Options(std::nullopt, false, false, true)}),
    [](const testing::TestParamInfo<TReadCase>& info) { return std::string(info.param.Name); });

TEST(DifferOptions, RoundTrips)
{
    for (const TDifferOptions& options :
         {Options(TDifferSize{1024, 777}, true, false, false), Options(std::nullopt, false, true, true)}) {
        TIniFile ini;
        ini.LoadFromText("[DIFFER]\nWidth=900\nHeight=600\nSync=0\n");
        WriteDifferOptions(ini, options);
        TIniFile again;
        again.LoadFromText(ini.ToText());
        EXPECT_EQ(ReadDifferOptions(again), options) << ini.ToText();
    }
}

}  // namespace
