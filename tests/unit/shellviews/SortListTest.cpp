#include <gtest/gtest.h>

#include <map>

#include "shellviews/SortList.h"

namespace {

struct ClickRow {
    TSortOrder Before;
    int Column;
    TSortDirs Allowed;
    TSortOrder After;
};

class ClickSortTest : public testing::TestWithParam<ClickRow> {};

TEST_P(ClickSortTest, NextOrder)
{
    const ClickRow& row = GetParam();
    EXPECT_EQ(ClickSort(row.Before, row.Column, row.Allowed), row.After);
}

constexpr TSortDirs AscDesc{true, true, false};
constexpr TSortDirs All{true, true, true};
constexpr TSortDirs DescOnly{false, true, false};

INSTANTIATE_TEST_SUITE_P(Cycle, ClickSortTest,
    testing::Values(
        // Ascending and descending toggle; with all three the unsorted step comes between.
        ClickRow{{0, TSortDir::sdAsc}, 0, AscDesc, {0, TSortDir::sdDesc}},
        ClickRow{{0, TSortDir::sdDesc}, 0, AscDesc, {0, TSortDir::sdAsc}},
        ClickRow{{0, TSortDir::sdDesc}, 0, All, {0, TSortDir::sdNone}},
        ClickRow{{0, TSortDir::sdNone}, 0, All, {0, TSortDir::sdAsc}},
        // Another column starts at the first allowed direction.
        ClickRow{{0, TSortDir::sdDesc}, 2, AscDesc, {2, TSortDir::sdAsc}},
        ClickRow{{0, TSortDir::sdAsc}, 3, DescOnly, {3, TSortDir::sdDesc}},
        // A single allowed direction never changes on the sort column.
        ClickRow{{3, TSortDir::sdDesc}, 3, DescOnly, {3, TSortDir::sdDesc}}));

// Rows by key: the list after a re-sort or a refresh.
int IndexIn(const std::vector<std::string>& rows, const std::string& key)
{
    for (size_t i = 0; i < rows.size(); ++i) {
        if (rows[i] == key) return static_cast<int>(i);
    }
    return -1;
}

TEST(SelectionMemoryTest, FoundAgainByKeyThenByIndex)
{
    std::vector<std::string> before{"a", "b", "c", "d"};
    auto keyOf = [&](int i) { return before[i]; };
    TSelectionMemory memory = SaveSelection({2, {1, 2}}, keyOf);

    // Re-sorted: the same keys, a new order.
    std::vector<std::string> sorted{"d", "c", "b", "a"};
    EXPECT_EQ(RestoreSelection(memory, 4, [&](const std::string& k) { return IndexIn(sorted, k); }),
              (TListSelection{1, {1, 2}}));

    // The focused row vanished: the row now at its index takes the focus.
    std::vector<std::string> shorter{"a", "b", "d"};
    EXPECT_EQ(RestoreSelection(memory, 3, [&](const std::string& k) { return IndexIn(shorter, k); }),
              (TListSelection{2, {1}}));

    // Past the end: the last row.
    std::vector<std::string> two{"x", "y"};
    TSelectionMemory last = SaveSelection({3, {3}}, keyOf);
    EXPECT_EQ(RestoreSelection(last, 2, [&](const std::string& k) { return IndexIn(two, k); }),
              (TListSelection{1, {}}));

    // Without a saved focus the first row takes it; an empty list has none.
    EXPECT_EQ(RestoreSelection({}, 2, [&](const std::string& k) { return IndexIn(two, k); }),
              (TListSelection{0, {}}));
    EXPECT_EQ(RestoreSelection(memory, 0, [](const std::string&) { return -1; }), TListSelection{});
}

struct TOpenedRowCase {
    const char* Name;
    TListSelection Selection;
    int Row;
};

class OpenedRowTest : public ::testing::TestWithParam<TOpenedRowCase> {};

TEST_P(OpenedRowTest, TakesTheFocusedRowOnlyWhenItIsSelected)
{
    EXPECT_EQ(OpenedRow(GetParam().Selection), GetParam().Row);
}

INSTANTIATE_TEST_SUITE_P(Rows, OpenedRowTest,
                         ::testing::Values(TOpenedRowCase{"FocusedAndSelected", {3, {1, 3, 5}}, 3},
                                           TOpenedRowCase{"FocusedButNotSelected", {2, {1, 3}}, 1},
                                           TOpenedRowCase{"NoFocus", {-1, {4}}, 4},
                                           TOpenedRowCase{"NothingSelected", {2, {}}, -1}),
                         [](const auto& info) { return std::string(info.param.Name); });

TEST(FindByPrefixTest, CaseBlindFromStartWithWrap)
{
    std::vector<std::string> names{"Abc.jpg", "b.jpg", "aBx.png", "Ärger.jpg"};
    auto nameOf = [&](int i) { return names[i]; };
    EXPECT_EQ(FindByPrefix(4, 1, "ab", true, nameOf), 2);
    EXPECT_EQ(FindByPrefix(4, 3, "ab", true, nameOf), 0);
    EXPECT_EQ(FindByPrefix(4, 3, "ab", false, nameOf), -1);
    EXPECT_EQ(FindByPrefix(4, 0, "är", false, nameOf), 3);
    EXPECT_EQ(FindByPrefix(4, 0, "zz", true, nameOf), -1);
    EXPECT_EQ(FindByPrefix(4, 0, "", true, nameOf), -1);
}

}  // namespace
