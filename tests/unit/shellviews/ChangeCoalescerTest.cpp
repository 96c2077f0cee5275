// The folding of one view's changes between two deliveries, as sequences of
// records in and out.

#include <gtest/gtest.h>

#include <sstream>

#include "NotifyText.h"
#include "shellviews/ChangeCoalescer.h"

namespace {

// "|" in the input delivers what is held (TakeAll); the output shows each
// delivery separated the same way.
std::string Coalesce(const std::string& input)
{
    TChangeCoalescer coalescer;
    std::string out;
    const auto deliver = [&] {
        for (const TNotifyInfo& record : coalescer.TakeAll())
            out += (out.empty() || out.back() == ' ' ? "" : " ") + FormatNotify(record);
    };
    std::istringstream tokens(input);
    std::string token;
    while (tokens >> token) {
        if (token == "|") {
            deliver();
            out += out.empty() ? "| " : " | ";
            continue;
        }
        coalescer.Add(ParseNotifyToken(token));
    }
    deliver();
    return out;
}

struct TCoalesceCase {
    const char* Name;
    const char* Input;
    const char* Expected;
};

class ChangeCoalescerTest : public ::testing::TestWithParam<TCoalesceCase> {};

TEST_P(ChangeCoalescerTest, FoldsTheSequence)
{
    EXPECT_EQ(Coalesce(GetParam().Input), GetParam().Expected);
}

const TCoalesceCase Cases[] = {
    {"AddedThenRemovedSaysNothing", "+a -a", ""},
    {"AddedChangedRemovedSaysNothing", "+a ~a ~a -a", ""},
    {"FolderAddedThenRemovedSaysNothing", "+/d -/d", ""},
    {"AddedThenRenamedIsAddedUnderTheNewName", "+a a>b", "+b"},
    {"FolderAddedThenRenamed", "+/d /d>e", "+/e"},
    {"NewFileRenamedOverARemovedOneIsAChange", "+b -a b>a", "~a"},
    {"RemovalOfARenamesTargetRemovesTheOriginal", "a>b -b", "-a"},
    {"RenameChainIsOneRename", "a>b b>c", "a>c"},
    {"LongRenameChainIsOneRename", "/a>b /b>c /c>d", "/a>d"},
    {"RenamedBackSaysNothing", "a>b b>a", ""},
    {"RenamedBackAfterAChangeIsTheChange", "a>b ~b b>a", "~a"},
    {"ChangedThenRenamedKeepsBoth", "~a a>b", "a>b ~b"},
    {"RenamedThenChanged", "a>b ~b ~b", "a>b ~b"},
    {"RepeatedChangesAreOne", "~a ~a ~a", "~a"},
    {"AddedThenChangedIsTheAddition", "+a ~a", "+a"},
    {"ChangedThenRemovedIsTheRemoval", "~a -a", "-a"},
    {"RemovedThenAddedAgainKeepsBothInOrder", "-a +a", "-a +a"},
    {"RemovedAddedRemovedIsOneRemoval", "-a +a -a", "-a"},
    {"RemovedTwiceIsOneRemoval", "-a -a", "-a"},
    {"AddedTwiceIsOneAddition", "+a +a", "+a"},
    // The old name's removal must reach the view before the new file of
    // that name, or the view would drop the new one.
    {"RenameThenNewFileAtTheOldNameThenTargetRemoved", "a>b +a -b", "-a +a"},
    {"RenameChainWithNewFileAtTheOldName", "a>b +a b>c -c", "-a +a"},
    {"ChangedThenRenamedOverARemovedName", "~a -b a>b", "-a ~b"},
    {"RenameChainEndingOverARemovedName", "a>x -b x>b", "-a ~b"},
    {"RenameOverARemovedNameAfterTheRemoval", "-b a>b", "-b a>b"},
    {"RenameOverANameAboutToBeAddedIsKeptAsItCame", "+b a>b", "+b a>b"},
    {"OtherNamesKeepTheirOrder", "+a -b ~c d>e", "+a -b ~c d>e"},
    {"OverflowReplacesEverythingHeld", "+a -b * +c ~d", "*"},
    {"OverflowKeepsGoneFolders", "+a !x * !y -b", "!x * !y"},
    {"GoneOnceAFolder", "!x ~a !x", "!x ~a"},
    {"DeliveriesAreIndependent", "+a | -a", "+a | -a"},
    {"OverflowEndsWithItsDelivery", "* | +a", "* | +a"},
};

INSTANTIATE_TEST_SUITE_P(Sequences, ChangeCoalescerTest, ::testing::ValuesIn(Cases),
                         [](const auto& info) { return std::string(info.param.Name); });

}  // namespace
