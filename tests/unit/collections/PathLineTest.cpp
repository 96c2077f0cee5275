#include <gtest/gtest.h>

#include <string>

#include "collections/PathLine.h"
#include "common/Text.h"

namespace {

struct TRoundTripCase {
    const char* Name;
    std::string Path;
    bool Plain;  // written as it is
};

class PathLineRoundTrip : public ::testing::TestWithParam<TRoundTripCase> {};

TEST_P(PathLineRoundTrip, GivesBackTheSameBytes)
{
    const TRoundTripCase& row = GetParam();
    const std::string line = EncodePathLine(row.Path);
    EXPECT_TRUE(IsValidUtf8(line)) << line;
    EXPECT_EQ(line.find_first_of("\r\n"), std::string::npos) << line;
    EXPECT_EQ(line == row.Path, row.Plain) << line;
    const TPathLine back = DecodePathLine(line);
    EXPECT_EQ(back.Kind, row.Plain ? TPathLineKind::plPlain : TPathLineKind::plEscaped);
    EXPECT_EQ(back.Path, row.Path);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, PathLineRoundTrip,
    ::testing::Values(TRoundTripCase{"Ascii", "/home/u/a b.jpg", true},
                      TRoundTripCase{"Japanese", "/本棚/日本.jpg", true},
                      TRoundTripCase{"LooksEscaped", "/x/file:%41.jpg", true},
                      TRoundTripCase{"Latin1", "/x/caf\xE9.jpg", false},
                      TRoundTripCase{"Cp932", "/x/\x93\xFA\x96\x7B.jpg", false},
                      TRoundTripCase{"LineBreak", "/x/a\nb\r.jpg", false},
                      TRoundTripCase{"PercentInABadName", "/x/100% \xFF#?.jpg", false}),
    [](const auto& info) { return std::string(info.param.Name); });

struct TDecodeCase {
    const char* Name;
    std::string Line;
    TPathLineKind Kind;
    std::string Path;
    std::string Cp932Path;
};

class PathLineDecode : public ::testing::TestWithParam<TDecodeCase> {};

TEST_P(PathLineDecode, ReadsWhatTheLineNames)
{
    const TPathLine line = DecodePathLine(GetParam().Line);
    EXPECT_EQ(line.Kind, GetParam().Kind);
    EXPECT_EQ(line.Path, GetParam().Path);
    EXPECT_EQ(line.Cp932Path, GetParam().Cp932Path);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, PathLineDecode,
    ::testing::Values(TDecodeCase{"Blanks", " \t", TPathLineKind::plBlank, "", ""},
                      TDecodeCase{"Relative", "a/b.jpg", TPathLineKind::plNotAbsolute, "", ""},
                      TDecodeCase{"ZeroInAPath", std::string("/a\0b", 4), TPathLineKind::plNotAbsolute, "", ""},
                      TDecodeCase{"LocalHost", "FILE://localhost/a%41", TPathLineKind::plEscaped, "/aA", ""},
                      TDecodeCase{"NoAuthority", "file:/a", TPathLineKind::plEscaped, "/a", ""},
                      TDecodeCase{"OtherHost", "file://server/a", TPathLineKind::plBadEscape, "", ""},
                      TDecodeCase{"NoPath", "file://", TPathLineKind::plBadEscape, "", ""},
                      TDecodeCase{"BadHex", "file:///a%G1", TPathLineKind::plBadEscape, "", ""},
                      TDecodeCase{"CutEscape", "file:///a%4", TPathLineKind::plBadEscape, "", ""},
                      TDecodeCase{"ZeroByte", "file:///a%00b", TPathLineKind::plBadEscape, "", ""},
                      TDecodeCase{"OldCp932", "/x/\x93\xFA", TPathLineKind::plLegacy, "/x/\x93\xFA", "/x/日"},
                      TDecodeCase{"NotCp932Either", "/x/\xFF", TPathLineKind::plLegacy, "/x/\xFF", ""}),
    [](const auto& info) { return std::string(info.param.Name); });

}  // namespace
