#include <gtest/gtest.h>

#include <vector>

#include "browser/SearchProgress.h"

namespace {

using enum TSearchChangeKind;

struct ProgressRow {
    std::vector<TSearchChange> Changes;  // each applied with the count below
    int Count;
    bool Running;
    const char* Label;
};

class SearchProgressTest : public ::testing::TestWithParam<ProgressRow> {};

TEST_P(SearchProgressTest, TellsWhereTheSearchIsAndWhatItFound)
{
    TSearchProgress progress;
    for (const TSearchChange& change : GetParam().Changes)
        progress.Apply(change, GetParam().Count);
    EXPECT_EQ(progress.Running(), GetParam().Running);
    EXPECT_EQ(progress.Label(), GetParam().Label);
}

TSearchChange C(TSearchChangeKind kind, std::string_view text = {})
{
    TSearchChange change;
    change.Kind = kind;
    change.Text = text;
    return change;
}

INSTANTIATE_TEST_SUITE_P(
    Rows, SearchProgressTest,
    ::testing::Values(ProgressRow{{C(scStarted)}, 0, true, "検索中･･･\n検索結果： 0 件"},
                      ProgressRow{{C(scStarted), C(scProgress, "/books/a"), C(scFound)}, 3, true,
                                  "/books/a を検索中･･･\n検索結果： 3 件"},
                      ProgressRow{{C(scStarted), C(scProgress, "/books/a"), C(scFinished)}, 3, false,
                                  "/books/a を検索中･･･\n検索結果： 3 件"},
                      // A new search forgets where the last one was.
                      ProgressRow{{C(scStarted), C(scProgress, "/old"), C(scFinished), C(scStarted)}, 0, true,
                                  "検索中･･･\n検索結果： 0 件"},
                      // A cache notice neither starts nor ends anything.
                      ProgressRow{{C(scCache)}, 0, false, "検索中･･･\n検索結果： 0 件"}));

}  // namespace
