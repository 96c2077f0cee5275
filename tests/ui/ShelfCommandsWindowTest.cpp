// The window's shelf commands over real folders: the selection goes to a new
// shelf and, through the shelf sub-menu, to an existing one, and each change
// is in the shelf file at once; members whose folder is gone are removed
// only after the question is answered yes.

#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QMenu>
#include <QTimer>
#include <filesystem>
#include <QMenuBar>
#include <QImage>
#include <QPixmap>

#include "app/AppCore.h"
#include "browser/ui/MainForm.h"
#include "browser/ui/TreePane.h"
#include "shellviews/ui/FolderTreeView.h"
#include "collections/Shelf.h"
#include "collections/ui/ShelfPropertyDialog.h"
#include "browser/ui/FilePane.h"
#include "platform/FileSystem.h"
#include "shellviews/ShellTree.h"
#include "support/FakeBook.h"
#include "support/PumpEvents.h"
#include "support/SettledForm.h"
#include "support/TempFolder.h"

namespace {

using enum TActionId;

constexpr char NewShelf[] = "新しい本棚1";

class ShelfCommandsWindow : public ::testing::Test {
protected:
    void SetUp() override
    {
        fProgram.WriteBook(2);
        for (const char* folder : {"s1", "s2", "s3"})
            ForceDirectories(Book(folder));
        fCore = fProgram.Start({"book"});
        fForm = ShowSettledForm(*fCore, fMessages);
    }
    void TearDown() override
    {
        fForm.reset();
        fCore.reset();
    }
    std::string Book(const std::string& name) const { return fProgram.Tree.File("work/book/" + name); }
    // The members of a shelf as the shelf file holds them now.
    std::vector<std::string> SavedMembers(const std::string& shelfName) const
    {
        TShelfStore store(fProgram.Tree.File("data/"));
        TGroupList list;
        store.Load(list);
        std::vector<std::string> members;
        if (const TGroupFolder* shelf = list.Group(list.IndexOfName(shelfName)))
            for (int i = 0; i < shelf->Count(); ++i)
                members.push_back(shelf->Key(i));
        return members;
    }
    // A new shelf holding s1, shown in the shelf tree (built when shown);
    // its node, or null.
    const TTreeNode* ShownShelfOfS1()
    {
        if (!fForm->SelectByNames({"s1"}).empty() || !fForm->RunAction(actNewShelf))
            return nullptr;
        fForm->RunAction(actShelf);
        return fForm->Trees()->Tree(TTreeKind::tkShelf).CollectionNode(0);
    }
    QMenu* ShelfMenu() const { return fForm->menuBar()->findChild<QMenu*>("本棚に追加(H)"); }

    TFakeProgram fProgram;
    std::unique_ptr<TAppCore> fCore;
    std::unique_ptr<TMainForm> fForm;
    std::vector<std::string> fMessages;
};

TEST_F(ShelfCommandsWindow, SelectionGoesToANewShelfAndThroughTheSubMenuToAnExistingOne)
{
    // A picture is no book to keep on a shelf.
    ASSERT_TRUE(fForm->SelectByNames({"s1", "0.fake"}).empty());
    EXPECT_FALSE(fForm->ActionStateOf(actNewShelf).Enabled);

    ASSERT_TRUE(fForm->SelectByNames({"s1", "s2"}).empty());
    ASSERT_TRUE(fForm->ActionStateOf(actAddShelf).Enabled);
    EXPECT_TRUE(fForm->RunAction(actNewShelf));
    EXPECT_EQ(SavedMembers(NewShelf), (std::vector<std::string>{Book("s1"), Book("s2")}));

    // The sub-menu lists the shelves in front of its "新しい本棚" item; the
    // member already there is not added twice.
    ASSERT_TRUE(fForm->SelectByNames({"s2", "s3"}).empty());
    QMenu* menu = ShelfMenu();
    ASSERT_NE(menu, nullptr);
    emit menu->aboutToShow();
    emit menu->aboutToShow();
    const QList<QAction*> items = menu->actions();
    ASSERT_EQ(items.size(), 3);
    EXPECT_EQ(items[0]->text().toStdString(), NewShelf);
    EXPECT_TRUE(items[1]->isSeparator());
    EXPECT_EQ(items[2], fForm->Action(actNewShelf));
    items[0]->trigger();
    EXPECT_EQ(SavedMembers(NewShelf), (std::vector<std::string>{Book("s1"), Book("s2"), Book("s3")}));
}

TEST_F(ShelfCommandsWindow, MissingMembersGoOnlyAfterTheQuestionIsAnsweredYes)
{
    ASSERT_TRUE(fForm->SelectByNames({"s1", "s2", "s3"}).empty());
    ASSERT_TRUE(fForm->RunAction(actNewShelf));
    ASSERT_TRUE(std::filesystem::remove(Book("s2")));
    ASSERT_TRUE(fForm->Model().ShowShelf(NewShelf, ""));
    ASSERT_TRUE(fForm->ActionStateOf(actDelNoExists).Enabled);

    fMessages.clear();
    EXPECT_FALSE(fForm->RunAction(actDelNoExists));
    ASSERT_EQ(fMessages.size(), 1u);
    EXPECT_NE(fMessages[0].find(std::string("本棚 '") + NewShelf + "' 内の存在しない項目"), std::string::npos);
    EXPECT_EQ(SavedMembers(NewShelf).size(), 3u);

    fForm->SetAnswerYes(true);
    EXPECT_TRUE(fForm->RunAction(actDelNoExists));
    EXPECT_EQ(SavedMembers(NewShelf), (std::vector<std::string>{Book("s1"), Book("s3")}));
    EXPECT_EQ(fForm->Model().Items().size(), 2u);
}

TEST_F(ShelfCommandsWindow, TheShelfTreeShowsTheShelvesOwnIcons)
{
    ASSERT_TRUE(fForm->SelectByNames({"s1"}).empty());
    ASSERT_TRUE(fForm->RunAction(actNewShelf));
    fForm->Trees()->SetKind(TTreeKind::tkShelf);
    const TShellTreeModel& tree = fForm->Trees()->Tree(TTreeKind::tkShelf);
    const TTreeNode* shelf = tree.CollectionNode(0);
    ASSERT_NE(shelf, nullptr);
    // The root shows the bookcase, the shelf (icon number 0) the first folder.
    const int rootIcon = tree.IconIndex(tree.Base().Child(0), false);
    const int shelfIcon = tree.IconIndex(shelf, false);
    EXPECT_GE(rootIcon, 0);
    EXPECT_GE(shelfIcon, 0);
    EXPECT_NE(rootIcon, shelfIcon);

    // What the view draws is the amber shelf folder, not the desktop's
    // folder icon.
    QAbstractItemModel* items = fForm->Trees()->View(TTreeKind::tkShelf)->model();
    const QModelIndex root = items->index(0, 0);
    if (items->canFetchMore(root))
        items->fetchMore(root);
    ASSERT_EQ(items->rowCount(root), 1);
    const QIcon icon = items->data(items->index(0, 0, root), Qt::DecorationRole).value<QIcon>();
    const QImage image = icon.pixmap(16, 16).toImage().convertToFormat(QImage::Format_RGB32);
    int amber = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            amber += image.pixel(x, y) == qRgb(0xE8, 0xA3, 0x3D);
    EXPECT_GE(amber, 30);
}

TEST_F(ShelfCommandsWindow, AShelfRenamedInTheTreeIsInTheShelfFile)
{
    const TTreeNode* shelf = ShownShelfOfS1();
    ASSERT_NE(shelf, nullptr);
    TShellTreeModel& tree = fForm->Trees()->Tree(TTreeKind::tkShelf);
    ASSERT_TRUE(tree.Rename(shelf, "  漫画  "));
    EXPECT_EQ(SavedMembers("漫画"), std::vector<std::string>{Book("s1")});
    EXPECT_TRUE(SavedMembers(NewShelf).empty());
}

// The property dialog of the shelf listed (nothing in it chosen) renames
// it, and the shelf file follows at once.
TEST_F(ShelfCommandsWindow, ThePropertyDialogOfTheListedShelfRenamesIt)
{
    ASSERT_TRUE(fForm->SelectByNames({"s1"}).empty());
    ASSERT_TRUE(fForm->RunAction(actNewShelf));
    ASSERT_TRUE(fForm->Model().ShowShelf(NewShelf, ""));
    fForm->Files()->FocusList();
    ASSERT_TRUE(fForm->ActionStateOf(actProperties).Enabled);
    fForm->SetMessageSink(nullptr);
    std::string offered;
    QTimer::singleShot(0, [&offered] {
        auto* dialog = dynamic_cast<TShelfPropertyDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        offered = dialog->NameEdit()->text().toStdString();
        dialog->NameEdit()->setText("漫画");
        dialog->accept();
    });
    EXPECT_TRUE(fForm->RunAction(actProperties));
    EXPECT_EQ(offered, NewShelf);
    EXPECT_EQ(SavedMembers("漫画"), std::vector<std::string>{Book("s1")});
}

TEST_F(ShelfCommandsWindow, AMemberRenamedInTheTreeComesBackOnUndo)
{
    const TTreeNode* shelf = ShownShelfOfS1();
    ASSERT_NE(shelf, nullptr);
    TShellTreeModel& tree = fForm->Trees()->Tree(TTreeKind::tkShelf);
    tree.Expand(shelf);
    const TTreeNode* member = tree.Child(shelf, 0);
    ASSERT_NE(member, nullptr);
    ASSERT_TRUE(tree.Rename(member, "t1"));
    EXPECT_TRUE(PumpUntil([&] { return SavedMembers(NewShelf) == std::vector<std::string>{Book("t1")}; }));

    ASSERT_TRUE(fForm->RunAction(actUndo));
    EXPECT_TRUE(DirectoryExists(Book("s1")));
    EXPECT_EQ(SavedMembers(NewShelf), std::vector<std::string>{Book("s1")});
}

}  // namespace
