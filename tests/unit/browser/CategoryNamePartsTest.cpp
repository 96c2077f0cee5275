// The parts of a category by name follow their rules: a rule's part is in
// exactly one of the two lists whatever is edited, and keeps its place there.

#include <gtest/gtest.h>

#include <cctype>
#include <functional>
#include <string>

#include "browser/CategoryNameParts.h"

namespace {

TNameDivideRules Rules(int count)
{
    TNameDivideRules rules;
    for (int i = 0; i < count; ++i)
        rules.push_back({0, std::string(1, static_cast<char>('a' + i)), dkBefore, {"-"}, {}, false, false});
    return rules;
}

// The rule names of a list, as one text.
std::string Names(const TCategoryNameParts& parts, const std::vector<int32_t>& list)
{
    std::string out;
    for (int32_t rule : list)
        out += parts.Rules()[static_cast<size_t>(rule)].Name;
    return out;
}

struct TPartsRow {
    const char* Case;
    int Count;
    std::vector<int32_t> Order;
    std::function<void(TCategoryNameParts&)> Edit;
    const char* Unused;
    const char* Levels;
};

class CategoryNamePartsTest : public testing::TestWithParam<TPartsRow> {};

TEST_P(CategoryNamePartsTest, PartsFollowTheirRules)
{
    const TPartsRow& row = GetParam();
    TCategoryNameParts parts(Rules(row.Count), row.Order);
    row.Edit(parts);
    EXPECT_EQ(Names(parts, parts.Unused()), row.Unused);
    EXPECT_EQ(Names(parts, parts.Order()), row.Levels);
    for (size_t i = 0; i < parts.Rules().size(); ++i)
        EXPECT_EQ(parts.Rules()[i].Index, static_cast<int32_t>(i));
}

INSTANTIATE_TEST_SUITE_P(
    Edits, CategoryNamePartsTest,
    testing::Values(
        TPartsRow{"stored order without repeats or strays", 4, {3, 9, 1, 3, -1}, [](auto&) {}, "ac", "db"},
        TPartsRow{"added rule joins the unused at the end", 2, {0}, [](auto& p) { p.AddRule({0, "z"}); }, "bz", "a"},
        TPartsRow{"deleting renumbers both lists", 4, {3, 0}, [](auto& p) { p.DeleteRule(1); }, "c", "da"},
        TPartsRow{"deleting a level", 3, {1}, [](auto& p) { p.DeleteRule(1); }, "ac", ""},
        // Unused "a b": moving b up passes a, and they change places.
        TPartsRow{"neighbours among the unused swap", 3, {2}, [](auto& p) { p.MoveRule(1, -1); }, "ba", "c"},
        // Unused "a c": moving b (a level) down passes c, which is not next to it.
        TPartsRow{"a level passing an unused rule", 3, {1}, [](auto& p) { p.MoveRule(1, 1); }, "ac", "b"},
        TPartsRow{"a move past the end does nothing", 2, {}, [](auto& p) { p.MoveRule(1, 1); }, "ab", ""},
        TPartsRow{"used before the given level", 3, {2},
                  [](auto& p) { EXPECT_EQ(p.Use(1, 0), 0); }, "a", "bc"},
        TPartsRow{"used past the end goes last", 3, {2},
                  [](auto& p) { EXPECT_EQ(p.Use(0, 7), 1); }, "b", "ca"},
        TPartsRow{"unused goes before a later rule", 4, {2, 0},
                  [](auto& p) { EXPECT_EQ(p.Unuse(0), 1); }, "bcd", "a"},
        TPartsRow{"unused after every other rule goes last", 3, {2},
                  [](auto& p) { EXPECT_EQ(p.Unuse(0), 2); }, "abc", ""},
        TPartsRow{"no such rows", 2, {0},
                  [](auto& p) {
                      EXPECT_EQ(p.Use(5, 0), -1);
                      EXPECT_EQ(p.Unuse(1), -1);
                      EXPECT_FALSE(p.MoveLevel(0, -1));
                  },
                  "b", "a"}),
    [](const testing::TestParamInfo<TPartsRow>& info) {
        std::string name;
        for (const char* c = info.param.Case; *c; ++c)
            name += std::isalnum(static_cast<unsigned char>(*c)) ? *c : '_';
        return name;
    });

}  // namespace
