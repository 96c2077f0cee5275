#include <gtest/gtest.h>

#include "app/ProgramOptions.h"

namespace {

struct TOptionsCase {
    const char* Name;
    std::vector<std::string> Args;
    const char* Snapshot;
    int Width;
    int Height;
    std::vector<std::string> Rest;
    std::vector<std::string> Run = {};
    bool Yes = false;
};

class ProgramOptionsTest : public ::testing::TestWithParam<TOptionsCase> {};

TEST_P(ProgramOptionsTest, TakesItsOwnOptionsAndKeepsTheRest)
{
    const TOptionsCase& row = GetParam();
    const TProgramOptions options = ParseProgramOptions(row.Args);
    EXPECT_EQ(options.SnapshotPath, row.Snapshot);
    EXPECT_EQ(options.WindowWidth, row.Width);
    EXPECT_EQ(options.WindowHeight, row.Height);
    EXPECT_EQ(options.Args, row.Rest);
    EXPECT_EQ(options.RunActions, row.Run);
    EXPECT_EQ(options.AnswerYes, row.Yes);
}

TEST(ProgramOptions, HelpAndVersionAreFlagsWithoutValues)
{
    const TProgramOptions flags = ParseProgramOptions({"--version", "--help"});
    EXPECT_TRUE(flags.Version);
    EXPECT_TRUE(flags.Help);
    EXPECT_TRUE(flags.Args.empty());
    // A value makes it something else: a path of that name.
    const TProgramOptions path = ParseProgramOptions({"--version=2"});
    EXPECT_FALSE(path.Version);
    EXPECT_EQ(path.Args, std::vector<std::string>{"--version=2"});
}

struct TBadOptionsCase {
    const char* Name;
    std::vector<std::string> Args;
};

class BadProgramOptionsTest : public ::testing::TestWithParam<TBadOptionsCase> {};

TEST_P(BadProgramOptionsTest, AreRefused)
{
    EXPECT_THROW(ParseProgramOptions(GetParam().Args), EUsageError);
}

}  // namespace

INSTANTIATE_TEST_SUITE_P(
    Rows, ProgramOptionsTest,
    ::testing::Values(
        TOptionsCase{"Nothing", {}, "", 1024, 768, {}},
        TOptionsCase{"ViewerArgumentsUntouched", {"-f", "-s", "a.lys", "book"}, "", 1024, 768,
                     {"-f", "-s", "a.lys", "book"}},
        TOptionsCase{"SnapshotAnywhere", {"book", "--snapshot", "out.png", "-f"}, "out.png", 1024, 768,
                     {"book", "-f"}},
        TOptionsCase{"ValuesAfterEquals", {"--snapshot=o.png", "--window-size=800x600", "p"}, "o.png", 800, 600,
                     {"p"}},
        TOptionsCase{"WindowSizeAlone", {"--window-size", "1x16384"}, "", 1, 16384, {}},
        TOptionsCase{"RunListInOrder", {"--snapshot", "o.png", "--run", "actSpread,actNext,actNext", "b"}, "o.png",
                     1024, 768, {"b"}, {"actSpread", "actNext", "actNext"}},
        TOptionsCase{"RunAfterEquals", {"--run=actLast", "--snapshot=o.png"}, "o.png", 1024, 768, {}, {"actLast"}},
        TOptionsCase{"YesAnswersQuestions", {"--snapshot", "o.png", "--yes", "--run", "actDelete", "b"}, "o.png", 1024,
                     768, {"b"}, {"actDelete"}, true}),
    [](const auto& info) { return std::string(info.param.Name); });

INSTANTIATE_TEST_SUITE_P(
    Rows, BadProgramOptionsTest,
    ::testing::Values(TBadOptionsCase{"SnapshotWithoutFile", {"--snapshot"}},
                      TBadOptionsCase{"SnapshotEmptyFile", {"--snapshot="}},
                      TBadOptionsCase{"SizeWithoutX", {"--window-size", "800"}},
                      TBadOptionsCase{"SizeZero", {"--window-size", "0x600"}},
                      TBadOptionsCase{"SizeTooLarge", {"--window-size", "16385x10"}},
                      TBadOptionsCase{"SizeNegative", {"--window-size", "-5x10"}},
                      TBadOptionsCase{"SizeWithTrailingText", {"--window-size", "800x600px"}},
                      TBadOptionsCase{"SizeMissing", {"--snapshot", "o.png", "--window-size"}},
                      TBadOptionsCase{"RunWithoutSnapshot", {"--run", "actNext", "book"}},
                      TBadOptionsCase{"PlaceWithoutSnapshot", {"--place", "media", "book"}},
                      TBadOptionsCase{"EmptyPlace", {"--snapshot", "o.png", "--place="}},
                      TBadOptionsCase{"PointerWithoutSnapshot", {"--pointer", "10,20", "book"}},
                      TBadOptionsCase{"PointerWithoutComma", {"--snapshot", "o.png", "--pointer", "10"}},
                      TBadOptionsCase{"PointerWithTrailingText", {"--snapshot", "o.png", "--pointer", "10,20px"}},
                      TBadOptionsCase{"RunEmptyItem", {"--snapshot", "o.png", "--run", "actNext,,actLast"}},
                      TBadOptionsCase{"RunTrailingComma", {"--snapshot", "o.png", "--run", "actNext,"}},
                      TBadOptionsCase{"RunWithoutList", {"--snapshot", "o.png", "--run"}},
                      TBadOptionsCase{"YesWithoutSnapshot", {"--yes", "book"}}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST(ProgramOptions, PointerIsAPointOfTheView)
{
    const TProgramOptions options = ParseProgramOptions({"--snapshot", "o.png", "--pointer=-3,450", "book"});
    EXPECT_TRUE(options.PointerGiven);
    EXPECT_EQ(options.PointerX, -3);
    EXPECT_EQ(options.PointerY, 450);
    EXPECT_EQ(options.Args, std::vector<std::string>{"book"});
}
