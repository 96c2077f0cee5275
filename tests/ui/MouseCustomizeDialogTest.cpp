#include <gtest/gtest.h>

#include <QCheckBox>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTreeWidget>

#include "browser/ui/MouseCustomizeDialog.h"

namespace {

class MouseCustomizeDialogTest : public ::testing::Test {
protected:
    template <typename T>
    T* Find(const char* name) const
    {
        T* widget = fDialog.findChild<T*>(name);
        EXPECT_TRUE(widget) << name;
        return widget;
    }
    // Selects an operation of a page's tree (its entry without a variant)
    // and a command of the category "すべて", where row n is command n
    // (none for -1: the list shows the entry's own).
    void Choose(const char* page, int operation, int command)
    {
        const QString prefix(page);
        auto* tree = Find<QTreeWidget>(("tv" + prefix + "Entries").toUtf8().constData());
        tree->setCurrentItem(tree->topLevelItem(operation));
        if (command >= 0)
            Find<QListWidget>(("lb" + prefix + "Commands").toUtf8().constData())->setCurrentRow(command);
    }

    TScrollOptions fScroll = [] {
        TScrollOptions s;
        s.PageScrollByRatio = false;
        s.PageScrollQuantity = 420;
        s.LineScrollMoveCommand = TScrollMoveCommand::mcJump;
        s.DragScrollQuantity = 7;
        return s;
    }();
    TMouseOptions fMouse{.WheelCount = 3, .EdgeWheelCount = 5};
    TMouseCustomizeDialog fDialog{DefaultMouseBindings(), fScroll, fMouse, 1};
};

TEST_F(MouseCustomizeDialogTest, AssignsACommandToAQuarter)
{
    Choose("Image", 0, 39);  // 左クリック, 次のファイル
    Find<QCheckBox>("cbxImageSplit")->setChecked(true);
    Find<QRadioButton>("rbImage2")->setChecked(true);
    Find<QListWidget>("lbImageCommands")->setCurrentRow(39);
    Find<QPushButton>("btnImageAssign")->click();
    EXPECT_EQ(fDialog.Bindings().ImageEntry(1), (TImageMouseEntry{true, {0, 0, 39, 0}}));

    Find<QPushButton>("btnReset")->click();
    EXPECT_EQ(fDialog.Bindings(), DefaultMouseBindings());
}

TEST_F(MouseCustomizeDialogTest, RightClickEntriesWaitForTheMenuToBeOff)
{
    Choose("Image", 2, 39);  // 右クリック
    auto* assign = Find<QPushButton>("btnImageAssign");
    EXPECT_FALSE(assign->isEnabled());
    Find<QCheckBox>("cbxRightPopup")->setChecked(false);
    ASSERT_TRUE(assign->isEnabled());
    assign->click();
    EXPECT_EQ(fDialog.Bindings().ImageEntry(17).Commands[0], 39);
    EXPECT_FALSE(fDialog.Bindings().RightPopup);
}

TEST_F(MouseCustomizeDialogTest, ShowsEachEntrysCommandAndTheDragsOwnCatalogue)
{
    Choose("List", 1, -1);  // 左ダブルクリック: 開く
    EXPECT_EQ(Find<QListWidget>("lbListCommands")->currentRow(), 1);
    auto* tree = Find<QTreeWidget>("tvImageEntries");
    tree->setCurrentItem(tree->topLevelItem(12));  // ドラッグ: スクロール
    auto* commands = Find<QListWidget>("lbImageCommands");
    EXPECT_EQ(commands->count(), 1 + DragMouseCommandCount);
    EXPECT_EQ(commands->currentRow(), 1);
}

TEST_F(MouseCustomizeDialogTest, UntouchedOptionsComeBackAsTheyWere)
{
    EXPECT_EQ(fDialog.ScrollOptions(), fScroll);
    EXPECT_EQ(fDialog.MouseOptions(), fMouse);
    EXPECT_EQ(fDialog.Page(), 1);
}

}  // namespace
