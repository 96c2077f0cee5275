#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "collections/NameDivide.h"
#include "support/TempFolder.h"
#include "unit/cli/RunCli.h"

namespace {

TNameDivideInfo Rule(TDivideKind kind, std::vector<std::string> first, std::vector<std::string> second,
                     bool fromEnd, bool remove)
{
    TNameDivideInfo rule;
    rule.Name = "p";
    rule.Kind = kind;
    rule.FirstDelimiters = std::move(first);
    rule.SecondDelimiters = std::move(second);
    rule.FromEnd = fromEnd;
    rule.RemoveDelimiters = remove;
    return rule;
}

struct TDivideRow {
    const char* Label;
    TNameDivideInfo Rule;
    const char* Name;
    const char* Part;
    const char* Rest;
};

class ExportDivide : public testing::TestWithParam<TDivideRow> {};

TEST_P(ExportDivide, CutsOnePart)
{
    const TDivideRow& row = GetParam();
    const TDividedName divided = DivideName({row.Rule}, row.Name);
    ASSERT_EQ(divided.Parts.size(), 1u);
    EXPECT_EQ(divided.Parts[0], row.Part);
    EXPECT_EQ(divided.Rest, row.Rest);
}

const TDivideRow kExportRows[] = {
    {"BeforeRemoved", Rule(dkBefore, {"-"}, {}, false, true), "A - B - C", "A ", "B - C"},
    {"BeforeFromEnd", Rule(dkBefore, {"-"}, {}, true, true), "A - B - C", "A - B ", "C"},
    {"BeforeKept", Rule(dkBefore, {"-"}, {}, false, false), "A - B", "A -", "B"},
    {"AfterKept", Rule(dkAfter, {"_"}, {}, false, false), "photo_001", "_001", "photo"},
    {"AfterRemovedFromEnd", Rule(dkAfter, {"_"}, {}, true, true), "a_b_c", "c", "a_b"},
    {"EnclosedRemoved", Rule(dkEnclosed, {"["}, {"]"}, false, true), "[abc]def", "abc", "def"},
    {"EnclosedKept", Rule(dkEnclosed, {"["}, {"]"}, false, false), "[abc]def", "[abc]", "def"},
    {"EmptyEnclosure", Rule(dkEnclosed, {"["}, {"]"}, false, true), "[]def", "", "[]def"},
    {"FirstCharacterOnly", Rule(dkBefore, {"-"}, {}, false, true), "-abc-def", "", "-abc-def"},
    {"CaseIgnored", Rule(dkBefore, {"x"}, {}, false, true), "AXB", "A", "B"},
    {"EarliestDelimiterWins", Rule(dkBefore, {"-", "_"}, {}, false, true), "a_b-c", "a", "b-c"},
    {"EarliestWhateverTheOrder", Rule(dkBefore, {"_", "-"}, {}, false, true), "a_b-c", "a", "b-c"},
    {"LatestFromEnd", Rule(dkBefore, {"_", "-"}, {}, true, true), "a-b_c", "a-b", "c"},
    {"EnclosedSecondOpening", Rule(dkEnclosed, {"[", "("}, {"]", ")"}, false, true), "(x) y", "x", "y"},
    {"EnclosedEarliestClosing", Rule(dkEnclosed, {"["}, {")", "]"}, false, false), "[a]b)c", "[a]", "b)c"},
    {"EnclosedNotAtHead", Rule(dkEnclosed, {"["}, {"]"}, false, true), "x[abc]", "", "x[abc]"},
    {"EnclosedFromEnd", Rule(dkEnclosed, {"("}, {")"}, true, true), "Book (Vol 2)", "Vol 2", "Book"},
    {"EnclosedFromEndKept", Rule(dkEnclosed, {"("}, {")"}, true, false), "Book (a) (b)", "(b)", "Book (a)"},
    {"EnclosedFromEndWholeName", Rule(dkEnclosed, {"("}, {")"}, true, true), "(all)", "", "(all)"},
    {"RestTrimmedOfControls", Rule(dkBefore, {"-"}, {}, false, true), "a-\t b \r", "a", "b"},
    {"MultibyteCase", Rule(dkAfter, {"É"}, {}, false, true), "XéY", "Y", "X"},
    // An empty delimiter, as a stored "-;;_" gives, never matches: it
    // would otherwise cut every name.
    {"EmptyDelimiterNeverMatches", Rule(dkBefore, {""}, {}, false, true), "abc", "", "abc"},
    {"EmptyOpeningNeverMatches", Rule(dkEnclosed, {""}, {"c"}, false, true), "abc", "", "abc"},
    {"EmptyClosingNeverMatches", Rule(dkEnclosed, {"a"}, {""}, true, true), "abc", "", "abc"},
};
INSTANTIATE_TEST_SUITE_P(Rows, ExportDivide, testing::ValuesIn(kExportRows),
                         [](const auto& info) { return std::string(info.param.Label); });

class CategoryDivide : public testing::TestWithParam<TDivideRow> {};

TEST_P(CategoryDivide, CutsOnePart)
{
    const TDivideRow& row = GetParam();
    const TDividedName divided = DivideNameForCategory({row.Rule}, row.Name);
    ASSERT_EQ(divided.Parts.size(), 1u);
    EXPECT_EQ(divided.Parts[0], row.Part);
    EXPECT_EQ(divided.Rest, row.Rest);
}

const TDivideRow kCategoryRows[] = {
    {"BeforeRemoved", Rule(dkBefore, {"-"}, {}, false, true), "A - B - C", "A ", "B - C"},
    {"BeforeLast", Rule(dkBefore, {"-"}, {}, true, true), "A - B - C", "A - B ", "C"},
    {"LastStopsAtAdjacent", Rule(dkBefore, {"-"}, {}, true, true), "a-b--c", "a-b", "-c"},
    {"FirstListedWins", Rule(dkBefore, {"-", "_"}, {}, false, true), "a_b-c", "a_b", "c"},
    {"CaseSensitive", Rule(dkBefore, {"x"}, {}, false, true), "AXB", "", "AXB"},
    {"FirstCharacterCuts", Rule(dkBefore, {"-"}, {}, false, false), "-abc", "-", "abc"},
    {"EnclosedRemoved", Rule(dkEnclosed, {"["}, {"]"}, false, true), "[abc]def", "abc", "def"},
    {"EnclosedFirstListedClosing", Rule(dkEnclosed, {"["}, {")", "]"}, false, false), "[a]b)c", "[a]b)", "c"},
    {"EnclosedFromEnd", Rule(dkEnclosed, {"("}, {")"}, true, false), "x (a) (b)", "(b)", "x (a)"},
    {"EmptyDelimiterNeverMatches", Rule(dkAfter, {"", "_"}, {}, false, true), "a_b", "b", "a"},
};
INSTANTIATE_TEST_SUITE_P(Rows, CategoryDivide, testing::ValuesIn(kCategoryRows),
                         [](const auto& info) { return std::string(info.param.Label); });

TEST(NameDivide, SecondRuleWorksOnTheTrimmedRest)
{
    TNameDivideRules rules = {Rule(dkBefore, {" - "}, {}, false, true), Rule(dkEnclosed, {"["}, {"]"}, false, true)};
    EXPECT_EQ(DivideName(rules, "Author - [Title] rest"), (TDividedName{{"Author", "Title"}, "rest"}));
    EXPECT_EQ(DivideName(rules, "nothing"), (TDividedName{{"", ""}, "nothing"}));
}

struct TStoredRow {
    const char* Text;
    bool Valid;
    TNameDivideInfo Rule;
    const char* Written;  // the form written back; nullptr: the text itself
};

class StoredRule : public testing::TestWithParam<TStoredRow> {};

TEST_P(StoredRule, ReadsAndWritesBack)
{
    const TStoredRow& row = GetParam();
    const std::optional<TNameDivideInfo> rule = ParseNameDivideInfo(row.Text, 3);
    ASSERT_EQ(rule.has_value(), row.Valid);
    if (!row.Valid)
        return;
    TNameDivideInfo expected = row.Rule;
    expected.Index = 3;
    EXPECT_EQ(*rule, expected);
    EXPECT_EQ(FormatNameDivideInfo(*rule), row.Written ? row.Written : row.Text);
}

TNameDivideInfo Named(std::string name, TNameDivideInfo rule)
{
    rule.Name = std::move(name);
    return rule;
}

const TStoredRow kStoredRows[] = {
    {"\"作者 名\",2,[;(,];),0,1", true, Named("作者 名", Rule(dkEnclosed, {"[", "("}, {"]", ")"}, false, true)), nullptr},
    {"No,0,-;_;,,1,0", true, Named("No", Rule(dkBefore, {"-", "_"}, {}, true, false)), "No,0,-;_,,1,0"},
    {"\"a\"\"b\",1,\",\",,0,0", true, Named("a\"b", Rule(dkAfter, {","}, {}, false, false)), nullptr},
    {"k,7,-,,5,1", true, Named("k", Rule(dkBefore, {"-"}, {}, false, true)), "k,0,-,,0,1"},
    {"k,0,-;;_,,0,0", true, Named("k", Rule(dkBefore, {"-", "", "_"}, {}, false, false)), nullptr},
    {"a b,0,-,,0,0", false, {}, nullptr},  // a blank ends a field: seven fields
    {"k,0,-,,0", false, {}, nullptr},
    {"", false, {}, nullptr},
};
INSTANTIATE_TEST_SUITE_P(Rows, StoredRule, testing::ValuesIn(kStoredRows));

TEST(NameDivide, RowCaptions)
{
    EXPECT_EQ(DelimiterCaption(Rule(dkBefore, {"-", "_"}, {}, false, false)), "*-;*_");
    EXPECT_EQ(DelimiterCaption(Rule(dkAfter, {"-", "_"}, {}, false, false)), "-*;_*");
    EXPECT_EQ(DelimiterCaption(Rule(dkEnclosed, {"[", "("}, {"]", ")"}, false, false)), "[;(*];)");
    EXPECT_EQ(SearchCaption(Rule(dkBefore, {}, {}, true, false)), "末尾");
    EXPECT_EQ(RemoveCaption(Rule(dkBefore, {}, {}, false, false)), " ×");
}

TEST(NameDivide, CommandLinePrintsPartsThenRest)
{
    TTempFolder home;
    const TCliRun run = RunCli(home.Path(), "divide --rule 'A,0,-,,0,1' --rule 'B,2,[,],0,1' 'x - [y] z' 'plain'");
    EXPECT_EQ(run.ExitCode, 0) << run.Err;
    EXPECT_EQ(run.Out, "x \ty\tz\n\t\tplain\n");
    EXPECT_NE(RunCli(home.Path(), "divide --rule 'A,0' name").ExitCode, 0);
}

}  // namespace
