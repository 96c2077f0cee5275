#include <gtest/gtest.h>

#include "browser/ActionTable.h"
#include "browser/KeyBindings.h"

namespace {

using vk::Letter;

struct TKeyCase {
    const char* Name;
    TShortCut Key;
    bool InImageView;
    std::optional<TKeyCommand> Expected;
};

class DefaultKeysTest : public ::testing::TestWithParam<TKeyCase> {};

TEST_P(DefaultKeysTest, RunTheirCommand)
{
    const TKeyCase& row = GetParam();
    EXPECT_EQ(DefaultKeyBindings().Find(row.Key, row.InImageView), row.Expected);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, DefaultKeysTest,
    ::testing::Values(
        TKeyCase{"HomeFirst", vk::Home, true, TMoveCommand::mcFirst},
        TKeyCase{"DownNext", vk::Down, true, TMoveCommand::mcNext},
        TKeyCase{"UpPrior", vk::Up, true, TMoveCommand::mcPrior},
        TKeyCase{"LeftOneNext", vk::Left, true, TMoveCommand::mcOneNext},
        TKeyCase{"RightOnePrior", vk::Right, true, TMoveCommand::mcOnePrior},
        TKeyCase{"EndLast", vk::End, true, TMoveCommand::mcLast},
        TKeyCase{"PageUp", vk::Prior, true, TScrollCommand::scPageUp},
        TKeyCase{"PageDown", vk::Next, true, TScrollCommand::scPageDown},
        TKeyCase{"CtrlPageDownPageLeft", scCtrl | vk::Next, true, TScrollCommand::scPageLeft},
        TKeyCase{"CtrlPageUpPageRight", scCtrl | vk::Prior, true, TScrollCommand::scPageRight},
        TKeyCase{"CtrlUpLineUp", scCtrl | vk::Up, true, TScrollCommand::scLineUp},
        TKeyCase{"CtrlDownLineDown", scCtrl | vk::Down, true, TScrollCommand::scLineDown},
        TKeyCase{"CtrlLeftLineLeft", scCtrl | vk::Left, true, TScrollCommand::scLineLeft},
        TKeyCase{"CtrlRightLineRight", scCtrl | vk::Right, true, TScrollCommand::scLineRight},
        TKeyCase{"CtrlHomeOrigin", scCtrl | vk::Home, true, TScrollCommand::scOrigin},
        TKeyCase{"CtrlEndDiagonal", scCtrl | vk::End, true, TScrollCommand::scOriginDiagonal},
        TKeyCase{"CtrlSpaceEnlarge", scCtrl | vk::Space, true, TActionId::actEnlarge},
        TKeyCase{"ShiftCtrlSpaceShrink", scShift | scCtrl | vk::Space, true, TActionId::actShrink},
        TKeyCase{"CtrlQActualSize", scCtrl | Letter('Q'), true, TActionId::actDefSize},
        TKeyCase{"CtrlMFitCycles", scCtrl | Letter('M'), true, TActionId::actWindowChange},
        TKeyCase{"CtrlF4Close", scCtrl | vk::F4, true, TActionId::actClose},
        // A general command runs from the image view too, and elsewhere.
        TKeyCase{"CtrlOOpensInTheView", scCtrl | Letter('O'), true, TActionId::actOpen},
        TKeyCase{"CtrlOOpensElsewhere", scCtrl | Letter('O'), false, TActionId::actOpen},
        // Image-view keys are the view's alone.
        TKeyCase{"DownOutsideTheView", vk::Down, false, std::nullopt},
        TKeyCase{"CtrlQOutsideTheView", scCtrl | Letter('Q'), false, std::nullopt},
        // Shift changes the key.
        TKeyCase{"ShiftDown", scShift | vk::Down, true, std::nullopt},
        TKeyCase{"CtrlLLoupe", scCtrl | Letter('L'), true, TActionId::actLoupe},
        TKeyCase{"DeleteOutsideTheView", vk::Delete, false, TActionId::actDelete},
        TKeyCase{"CtrlNFolderTree", scCtrl | Letter('N'), false, TActionId::actFolder},
        TKeyCase{"F5Refresh", vk::F5, true, TActionId::actRefresh},
        TKeyCase{"NoKey", 0, true, std::nullopt}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST(KeyBindings, ImageViewKeysComeBeforeGeneralOnes)
{
    // The same key as a move command and a general command: the move while
    // the view has the focus, the general command elsewhere.
    TKeyBindings keys = DefaultKeyBindings();
    keys.Move[static_cast<size_t>(TMoveCommand::mcLast)].push_back(scCtrl | Letter('O'));
    EXPECT_EQ(keys.Find(scCtrl | Letter('O'), true), TKeyCommand{TMoveCommand::mcLast});
    EXPECT_EQ(keys.Find(scCtrl | Letter('O'), false), TKeyCommand{TActionId::actOpen});
    // A move list is searched before the scroll lists.
    keys.Scroll[0].push_back(vk::Down);
    EXPECT_EQ(keys.Find(vk::Down, true), TKeyCommand{TMoveCommand::mcNext});
}

TEST(KeyBindings, MenuItemsShowTheFirstKey)
{
    TKeyBindings keys = DefaultKeyBindings();
    EXPECT_EQ(keys.FirstKey(TActionId::actEnlarge), scCtrl | vk::Space);
    EXPECT_EQ(keys.FirstKey(TActionId::actAuto), 0);
    EXPECT_EQ(keys.FirstMoveKey(TMoveCommand::mcOnePrior), vk::Right);
    EXPECT_EQ(keys.FirstMoveKey(TMoveCommand::mcJumpNext), 0);
    EXPECT_TRUE(keys.S_MoveExchange);
    EXPECT_TRUE(keys.PageScrollExchange);
    EXPECT_FALSE(keys.MoveExchange || keys.JumpExchange || keys.LineScrollExchange);
}

TEST(KeyBindings, WheelTurnsFilesAndWithCtrlOnePage)
{
    EXPECT_EQ(DefaultWheelCommand(10, false), TMoveCommand::mcPrior);
    EXPECT_EQ(DefaultWheelCommand(11, false), TMoveCommand::mcNext);
    EXPECT_EQ(DefaultWheelCommand(10, true), TMoveCommand::mcOnePrior);
    EXPECT_EQ(DefaultWheelCommand(11, true), TMoveCommand::mcOneNext);
    EXPECT_EQ(DefaultWheelCommand(1, false), std::nullopt);
}

TEST(ActionTable, NamesAndNumbersFindTheirAction)
{
    for (const TActionInfo& info : ActionTable()) {
        EXPECT_EQ(FindActionByName(info.Name), info.Id) << info.Name;
        if (info.Command > 0) {
            EXPECT_EQ(FindActionByCommand(info.List, info.Command), info.Id) << info.Name;
        }
    }
    EXPECT_EQ(FindActionByName("actnext"), std::nullopt);
    EXPECT_EQ(FindActionByName(""), std::nullopt);
    EXPECT_EQ(FindActionByCommand(TActionList::alImage, 0), std::nullopt);
}

}  // namespace
