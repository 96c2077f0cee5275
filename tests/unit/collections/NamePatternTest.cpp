#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "collections/NamePattern.h"

namespace {

struct TNormalizeCase {
    const char* Name;
    const char* Pattern;
    const char* Normalized;
};

class NormalizePatternTest : public ::testing::TestWithParam<TNormalizeCase> {};

TEST_P(NormalizePatternTest, StoresThePatternInItsNormalForm)
{
    EXPECT_EQ(NormalizePattern(GetParam().Pattern), GetParam().Normalized);
}

INSTANTIATE_TEST_SUITE_P(Cases, NormalizePatternTest,
                         ::testing::Values(TNormalizeCase{"PlainWordMatchesAnywhere", "cat", "*cat*"},
                                           TNormalizeCase{"StarDotStarIsEverything", "*.*", "*"},
                                           TNormalizeCase{"TrailingDotStarDropped", "a*.*", "a*"},
                                           TNormalizeCase{"QuestionsBeforeTheStar", "a?*?", "a??*"},
                                           TNormalizeCase{"StarRunsCollapse", "a**b", "a*b"},
                                           TNormalizeCase{"QuestionRunsStay", "a??b", "a??b"},
                                           TNormalizeCase{"ShortPatternKept", "*.", "*."},
                                           TNormalizeCase{"ExtensionPattern", "*.jpg", "*.jpg"}),
                         [](const auto& info) { return std::string(info.param.Name); });

TEST(NameCondition, ParsesKeywordsAndSeparators)
{
    const TNameCondition both = TNameCondition::Parse("cat dog");
    ASSERT_EQ(both.Include().size(), 2u);
    EXPECT_EQ(both.Include()[1], (TIncludePattern{"*dog*", TPatternJoin::pjAnd}));

    const TNameCondition either = TNameCondition::Parse("cat or dog");
    ASSERT_EQ(either.Include().size(), 2u);
    EXPECT_EQ(either.Include()[1].Join, TPatternJoin::pjOr);

    const TNameCondition without = TNameCondition::Parse("cat -dog");
    EXPECT_EQ(without.Include().size(), 1u);
    EXPECT_EQ(without.Exclude(), std::vector<std::string>{"*dog*"});

    // A word ended by ";" is a pattern even when it reads "and".
    const TNameCondition semicolon = TNameCondition::Parse("and;cat");
    ASSERT_EQ(semicolon.Include().size(), 2u);
    EXPECT_EQ(semicolon.Include()[0].Pattern, "*and*");

    // A keyword at the end has nothing to join and is dropped.
    const TNameCondition trailing = TNameCondition::Parse("cat and");
    EXPECT_EQ(trailing.Include(), (std::vector<TIncludePattern>{{"*cat*", TPatternJoin::pjAnd}}));

    // The full-width blank separates as well.
    EXPECT_EQ(TNameCondition::Parse("猫　犬").Include().size(), 2u);
}

TEST(NameCondition, EmptyOrOnlyExclusionsIncludeEverything)
{
    EXPECT_EQ(TNameCondition::Parse("   ").Include(), (std::vector<TIncludePattern>{{"*", TPatternJoin::pjAnd}}));
    const TNameCondition onlyNot = TNameCondition::Parse("not tmp");
    EXPECT_EQ(onlyNot.Include().size(), 1u);
    EXPECT_TRUE(onlyNot.Matches("a.jpg"));
    EXPECT_FALSE(onlyNot.Matches("a.tmp"));
}

struct TMatchCase {
    const char* Name;
    const char* Condition;
    const char* FileName;
    bool Passes;
};

class NameConditionMatch : public ::testing::TestWithParam<TMatchCase> {};

TEST_P(NameConditionMatch, AppliesTheConditionToTheName)
{
    const TMatchCase& c = GetParam();
    EXPECT_EQ(TNameCondition::Parse(c.Condition).Matches(c.FileName), c.Passes) << c.Condition << " on " << c.FileName;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, NameConditionMatch,
    ::testing::Values(TMatchCase{"BothWordsNeeded", "cat dog", "catdog.jpg", true},
                      TMatchCase{"BothWordsMissingOne", "cat dog", "cat.jpg", false},
                      TMatchCase{"SemicolonJoinsWithAnd", "cat;dog", "cat.jpg", false},
                      TMatchCase{"EitherWord", "cat or dog", "dog.png", true},
                      TMatchCase{"ExclusionWins", "cat -dog", "catdog.jpg", false},
                      TMatchCase{"ExclusionNotHit", "cat -dog", "cat.jpg", true},
                      TMatchCase{"ExtensionsJpg", "*.jpg or *.png", "a.jpg", true},
                      TMatchCase{"ExtensionsPng", "*.jpg or *.png", "b.png", true},
                      TMatchCase{"ExtensionsGif", "*.jpg or *.png", "c.gif", false},
                      TMatchCase{"StarDotStarMatchesNamesWithoutDot", "*.*", "README", true},
                      TMatchCase{"WithoutCase", "*.JPG", "photo.jpg", true},
                      TMatchCase{"WithoutCaseBeyondAscii", "ÉTÉ", "été.jpg", true},
                      TMatchCase{"QuestionIsOneCharacter", "a?.jpg", "ab.jpg", true},
                      TMatchCase{"QuestionNeedsACharacter", "a?.jpg", "a.jpg", false},
                      TMatchCase{"QuestionIsOneKanji", "?.jpg", "本.jpg", true},
                      TMatchCase{"TwoQuestionsAndStar", "a??*", "abc", true},
                      TMatchCase{"TwoQuestionsAndStarTooShort", "a??*", "ab", false},
                      TMatchCase{"ReorderedQuestionsSame", "a?*?", "ab", false},
                      TMatchCase{"StarBacktracks", "*ab*abc", "xabyabzabc", true},
                      TMatchCase{"StarBacktracksAndFails", "*ab*abc", "xabyabzab", false},
                      TMatchCase{"LeftToRightWithoutPrecedence", "a or b c", "b.txt", false},
                      TMatchCase{"LeftToRightWithoutPrecedence2", "a or b c", "bc.txt", true},
                      TMatchCase{"EmptyConditionPassesAll", "", "anything", true}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST(NameCondition, MatchAllIsRecognisedAndDropped)
{
    TNameCondition all = TNameCondition::Parse("*.*");
    EXPECT_TRUE(all.MatchesEverything());
    all.DropMatchAll();
    EXPECT_TRUE(all.Include().empty());
    EXPECT_TRUE(all.Matches("x"));
    EXPECT_FALSE(TNameCondition::Parse("*.jpg").MatchesEverything());
}

}  // namespace
