// The folding of one view's changes between two deliveries, as sequences of
// records in and out.

#include <gtest/gtest.h>

#include <sstream>

#include "shellviews/ChangeCoalescer.h"

namespace {

// A sequence in short form, one token per record: "+a" added, "-a" removed,
// "a>b" renamed, "~a" modified, "!a" folder gone, "*" overflow; a '/' first
// makes the kind a folder's ("+/a", "/a>b"). "|" in the input delivers what is
// held (TakeAll), and the output shows each delivery separated the same way.
TNotifyInfo Parse(std::string token)
{
    const bool folder = token.size() > 1 && (token[0] == '/' || token[1] == '/');
    if (token[0] == '/')
        token.erase(0, 1);
    else if (folder)
        token.erase(1, 1);
    switch (token[0]) {
    case '+':
        return {folder ? ChangeKind::ckFolderAdded : ChangeKind::ckFileAdded, token.substr(1), {}};
    case '-':
        return {folder ? ChangeKind::ckFolderRemoved : ChangeKind::ckFileRemoved, token.substr(1), {}};
    case '~':
        return {ChangeKind::ckModified, token.substr(1), {}};
    case '!':
        return {ChangeKind::ckFolderGone, token.substr(1), {}};
    case '*':
        return {ChangeKind::ckOverflow, {}, {}};
    default:
        break;
    }
    const size_t arrow = token.find('>');
    return {folder ? ChangeKind::ckFolderRenamed : ChangeKind::ckFileRenamed, token.substr(0, arrow),
            token.substr(arrow + 1)};
}

std::string Format(const TNotifyInfo& record)
{
    switch (record.Kind) {
    case ChangeKind::ckFileAdded:
        return "+" + record.Name;
    case ChangeKind::ckFolderAdded:
        return "+/" + record.Name;
    case ChangeKind::ckFileRemoved:
        return "-" + record.Name;
    case ChangeKind::ckFolderRemoved:
        return "-/" + record.Name;
    case ChangeKind::ckFileRenamed:
        return record.Name + ">" + record.NewName;
    case ChangeKind::ckFolderRenamed:
        return "/" + record.Name + ">" + record.NewName;
    case ChangeKind::ckModified:
        return "~" + record.Name;
    case ChangeKind::ckFolderGone:
        return "!" + record.Name;
    case ChangeKind::ckOverflow:
        return "*";
    }
    return "?";
}

std::string Coalesce(const std::string& input)
{
    TChangeCoalescer coalescer;
    std::string out;
    const auto deliver = [&] {
        for (const TNotifyInfo& record : coalescer.TakeAll())
            out += (out.empty() || out.back() == ' ' ? "" : " ") + Format(record);
    };
    std::istringstream tokens(input);
    std::string token;
    while (tokens >> token) {
        if (token == "|") {
            deliver();
            out += out.empty() ? "| " : " | ";
            continue;
        }
        coalescer.Add(Parse(token));
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
