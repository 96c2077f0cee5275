#include <gtest/gtest.h>

#include <QCheckBox>
#include <QRadioButton>
#include <QSpinBox>

#include "browser/ui/KeyCustomizeDialog.h"

namespace {

constexpr TKeyOwner MoveNext{TCommandGroup::cgMove, 2};
constexpr TKeyOwner MoveOneNext{TCommandGroup::cgMove, 4};
constexpr TKeyOwner GeneralOpen{TCommandGroup::cgGeneral, 1};

struct TAddCase {
    const char* Name;
    int Page;
    TKeyOwner Command;
    TShortCut Key;
    bool Answer;                    // the answer to the question, when it is asked
    bool Asked;                     // the key belonged to another command
    std::vector<TShortCut> Keys;    // the command's keys afterwards
    TKeyOwner Other;                // the command that had the key
    std::vector<TShortCut> OtherKeys;
};

class KeyDialogAddTest : public ::testing::TestWithParam<TAddCase> {};

TEST_P(KeyDialogAddTest, AsksBeforeTakingAKeyFromAnotherCommand)
{
    const TAddCase& row = GetParam();
    TKeyCustomizeDialog dialog(DefaultKeyBindings(), TScrollOptions{}, row.Page);
    ASSERT_TRUE(dialog.SelectCommand(row.Command));
    dialog.SetNewKey(row.Key);
    int asked = 0;
    dialog.AddKey([&] {
        ++asked;
        return row.Answer;
    });
    EXPECT_EQ(asked, row.Asked ? 1 : 0);
    EXPECT_EQ(dialog.Bindings().KeysOf(row.Command.Group, row.Command.Number), row.Keys);
    EXPECT_EQ(dialog.Bindings().KeysOf(row.Other.Group, row.Other.Number), row.OtherKeys);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, KeyDialogAddTest,
    ::testing::Values(
        TAddCase{"YesMovesTheKey", 1, MoveNext, vk::Left, true, true, {vk::Down, vk::Left}, MoveOneNext, {}},
        TAddCase{"NoKeepsIt", 1, MoveNext, vk::Left, false, true, {vk::Down}, MoveOneNext, {vk::Left}},
        TAddCase{"FreeKeyIsNotAsked", 1, MoveNext, vk::Letter('N'), false, false, {vk::Down, vk::Letter('N')},
                 MoveOneNext, {vk::Left}},
        TAddCase{"OwnKeyChangesNothing", 1, MoveNext, vk::Down, false, false, {vk::Down}, MoveOneNext, {vk::Left}},
        // The general commands are a set of their own: Left, a move key,
        // is free there.
        TAddCase{"OtherSetIsFree", 0, GeneralOpen, vk::Left, false, false, {scCtrl | vk::Letter('O'), vk::Left},
                 MoveOneNext, {vk::Left}}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST(KeyDialogTest, ResetRestoresTheDefaultKeysAndKeepsTheExchangeFlags)
{
    TKeyBindings keys = DefaultKeyBindings();
    keys.Move[1] = {vk::Letter('N')};
    keys.General.erase(1);
    keys.MoveExchange = !keys.MoveExchange;
    keys.S_MoveExchange = !keys.S_MoveExchange;
    keys.LineScrollExchange = !keys.LineScrollExchange;
    TKeyCustomizeDialog dialog(keys, TScrollOptions{}, 0);
    dialog.ResetKeys();
    TKeyBindings expected = DefaultKeyBindings();
    expected.MoveExchange = keys.MoveExchange;
    expected.S_MoveExchange = keys.S_MoveExchange;
    expected.LineScrollExchange = keys.LineScrollExchange;
    const TKeyBindings& reset = dialog.Bindings();
    EXPECT_EQ(reset.General, expected.General);
    EXPECT_EQ(reset.Image, expected.Image);
    EXPECT_EQ(reset.Move, expected.Move);
    EXPECT_EQ(reset.Scroll, expected.Scroll);
    EXPECT_EQ(reset.MoveExchange, expected.MoveExchange);
    EXPECT_EQ(reset.S_MoveExchange, expected.S_MoveExchange);
    EXPECT_EQ(reset.LineScrollExchange, expected.LineScrollExchange);
}

TEST(KeyDialogTest, OpensOnTheGivenPageOrTheFirst)
{
    for (const auto& [given, shown] : {std::pair{2, 2}, {1, 1}, {3, 0}, {-1, 0}}) {
        TKeyCustomizeDialog dialog(DefaultKeyBindings(), TScrollOptions{}, given);
        EXPECT_EQ(dialog.Page(), shown) << given;
    }
}

template <typename T>
T* Child(QWidget& parent, const char* name)
{
    T* child = parent.findChild<T*>(name);
    EXPECT_NE(child, nullptr) << name;
    return child;
}

TEST(KeyDialogTest, ScrollPageEditsLargeAndSmallScrollAndKeepsTheRest)
{
    TScrollOptions given;
    given.ScrollAnimate = true;
    given.DragScrollQuantity = 7;
    given.LineScrollMoveCommand = TScrollMoveCommand::mcJump;
    TKeyCustomizeDialog dialog(DefaultKeyBindings(), given, 2);
    // Shown as given: large scroll by ratio, small by quantity.
    ASSERT_TRUE(Child<QRadioButton>(dialog, "pageByRatio")->isChecked());
    EXPECT_FALSE(Child<QSpinBox>(dialog, "pageQuantity")->isEnabled());
    EXPECT_TRUE(Child<QSpinBox>(dialog, "lineQuantity")->isEnabled());
    // The drag factor belongs to the mouse dialog's page.
    EXPECT_EQ(dialog.findChild<QSpinBox*>("dragQuantity"), nullptr);

    Child<QRadioButton>(dialog, "pageByQuantity")->click();
    Child<QSpinBox>(dialog, "pageQuantity")->setValue(640);
    Child<QSpinBox>(dialog, "pageOverLap")->setValue(200);
    Child<QRadioButton>(dialog, "lineByRatio")->click();
    Child<QSpinBox>(dialog, "lineRatio")->setValue(25);
    Child<QCheckBox>(dialog, "lineMove")->click();
    Child<QCheckBox>(dialog, "pageOpposite")->click();
    const TScrollOptions taken = dialog.ScrollOptions();
    EXPECT_FALSE(taken.PageScrollByRatio);
    EXPECT_EQ(taken.PageScrollQuantity, 640);
    EXPECT_EQ(taken.PageScrollOverLap, 200);
    EXPECT_FALSE(taken.PageScrollOpposite);
    EXPECT_TRUE(taken.LineScrollByRatio);
    EXPECT_EQ(taken.LineScrollRatio, 25);
    EXPECT_TRUE(taken.LineScrollMove);
    EXPECT_EQ(taken.LineScrollMoveCommand, TScrollMoveCommand::mcJump);
    EXPECT_TRUE(taken.ScrollAnimate);
    EXPECT_EQ(taken.DragScrollQuantity, 7);
}

}  // namespace
