#include <gtest/gtest.h>

#include "browser/CommandTarget.h"

namespace {

using enum TCommandTarget;

struct TTargetCase {
    const char* Name;
    TFocusFacts Focus;
    TCommandTarget Last;
    TCommandTarget Expected;
};

class CommandTargetTest : public ::testing::TestWithParam<TTargetCase> {};

TEST_P(CommandTargetTest, FollowsTheFocus)
{
    const TTargetCase& row = GetParam();
    EXPECT_EQ(CommandTargetOf(row.Focus, row.Last), row.Expected);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, CommandTargetTest,
    ::testing::Values(
        TTargetCase{"ImageWindow", {.ImageWindowActive = true, .FileListFocused = true}, ctTree, ctImage},
        TTargetCase{"ImageView", {.ImageViewFocused = true}, ctNone, ctImage},
        TTargetCase{"FileList", {.FileListFocused = true}, ctTree, ctFileList},
        TTargetCase{"ThumbnailsOfAFolder", {.ThumbnailFocused = true}, ctTree, ctFileList},
        TTargetCase{"ThumbnailsOfAnArchive", {.ThumbnailFocused = true, .ArchiveShown = true}, ctFileList,
                    ctArchiveList},
        TTargetCase{"ArchiveList", {.ArchiveShown = true, .ArchiveListFocused = true}, ctNone, ctArchiveList},
        TTargetCase{"Tree", {.ArchiveShown = true, .TreeFocused = true}, ctImage, ctTree},
        TTargetCase{"NothingKeepsTheLast", {.ArchiveShown = true}, ctArchiveList, ctArchiveList},
        TTargetCase{"NothingEver", {}, ctNone, ctNone}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST(CommandTargetTracker, KeepsTheTargetUntilTheFocusChanges)
{
    TCommandTargetTracker tracker;
    EXPECT_EQ(tracker.Target({.TreeFocused = true}), ctTree);
    // Asked again without a focus change: the target worked out stays.
    EXPECT_EQ(tracker.Target({.FileListFocused = true}), ctTree);
    tracker.FocusChanged();
    EXPECT_EQ(tracker.Target({.FileListFocused = true}), ctFileList);
    // The focus left every pane (the menu bar has it): the last target.
    tracker.FocusChanged();
    EXPECT_EQ(tracker.Target({}), ctFileList);
}

}  // namespace
