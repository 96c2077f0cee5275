// The window's file commands on real files: a selected file deleted to the
// trash after the question and brought back by undo, and the list's own
// rename and the folder tree's taken back by undo.

#include <gtest/gtest.h>

#include <cstdlib>

#include "app/AppCore.h"
#include "browser/ui/MainForm.h"
#include "browser/ui/TreePane.h"
#include "platform/FileSystem.h"
#include "support/FakeBook.h"
#include "support/PumpEvents.h"
#include "support/SettledForm.h"
#include "support/TempFolder.h"

namespace {

using enum TActionId;

class FileCommandsWindow : public ::testing::Test {
protected:
    void SetUp() override
    {
        // The trash of this test alone.
        ::setenv("XDG_DATA_HOME", fProgram.Tree.File("xdg").c_str(), 1);
        fProgram.WriteBook(3);
        fCore = fProgram.Start({"book"});
        fForm = ShowSettledForm(*fCore, fMessages);
    }
    void TearDown() override
    {
        fForm.reset();
        fCore.reset();
        ::unsetenv("XDG_DATA_HOME");
    }
    int Row(const std::string& path) const
    {
        const std::vector<TBrowserItem>& items = fForm->Model().Items();
        for (size_t i = 0; i < items.size(); ++i)
            if (items[i].Path == path)
                return static_cast<int>(i);
        return -1;
    }
    std::string Book(const std::string& name) const { return fProgram.Tree.File("work/book/" + name); }

    TFakeProgram fProgram;
    std::unique_ptr<TAppCore> fCore;
    std::unique_ptr<TMainForm> fForm;
    std::vector<std::string> fMessages;
};

TEST_F(FileCommandsWindow, DeleteOfTheSelectedFileGoesToTheTrashAndUndoBringsItBack)
{
    const std::string file = Book("1.fake");
    ASSERT_TRUE(fForm->SelectByNames({"1.fake"}).empty());
    // Nobody to answer in this run: the question is answered no.
    EXPECT_TRUE(fForm->RunAction(actDelete));
    EXPECT_TRUE(FileExists(file));
    ASSERT_EQ(fMessages.size(), 1u);

    fForm->SetAnswerYes(true);
    ASSERT_TRUE(fForm->SelectByNames({"1.fake"}).empty());
    EXPECT_TRUE(fForm->RunAction(actDelete));
    EXPECT_FALSE(PathExists(file));
    EXPECT_TRUE(FileExists(fProgram.Tree.File("xdg/Trash/files/1.fake")));
    EXPECT_EQ(Row(file), -1);
    EXPECT_TRUE(fForm->ActionStateOf(actUndo).Enabled);

    EXPECT_TRUE(fForm->RunAction(actUndo));
    EXPECT_TRUE(FileExists(file));
    EXPECT_GE(Row(file), 0);
    EXPECT_FALSE(PathExists(fProgram.Tree.File("xdg/Trash/info/1.fake.trashinfo")));
    EXPECT_FALSE(fForm->ActionStateOf(actUndo).Enabled);
}

TEST_F(FileCommandsWindow, DeleteOfTheShownFolderLeavesItFirstAndUndoPutsItBack)
{
    fForm->SetAnswerYes(true);
    ASSERT_TRUE(fForm->SelectByNames({"0.fake"}).empty());
    EXPECT_TRUE(fForm->RunAction(actParentDelete));
    EXPECT_FALSE(PathExists(fProgram.Tree.File("work/book")));
    EXPECT_TRUE(FileExists(fProgram.Tree.File("xdg/Trash/files/book/0.fake")));
    EXPECT_EQ(fForm->Model().ShownPlace().Folder, fProgram.Tree.File("work/"));
    EXPECT_TRUE(fForm->RunAction(actUndo));
    EXPECT_TRUE(FileExists(Book("0.fake")));
    EXPECT_GE(Row(fProgram.Tree.File("work/book/")), 0);
}

TEST_F(FileCommandsWindow, RenameInTheListIsUndone)
{
    const int row = Row(Book("2.fake"));
    ASSERT_GE(row, 0);
    ASSERT_TRUE(fForm->Model().FileList().Rename(row, "renamed.fake"));
    ASSERT_TRUE(FileExists(Book("renamed.fake")));
    EXPECT_TRUE(fForm->RunAction(actUndo));
    EXPECT_TRUE(FileExists(Book("2.fake")));
    EXPECT_FALSE(PathExists(Book("renamed.fake")));
}

TEST_F(FileCommandsWindow, RenameInTheFolderTreeIsUndone)
{
    const std::string folder = fProgram.Tree.File("work/other");
    ASSERT_TRUE(CreateDirectory(folder));
    TShellTreeModel& tree = fForm->Trees()->Tree(TTreeKind::tkFolder);
    const TTreeNode* node = tree.FindPathNode(folder, true);
    ASSERT_NE(node, nullptr);
    // The tree follows the listed folder again, so the node renamed is not
    // the one the list stands in.
    ASSERT_NE(tree.FindPathNode(fProgram.Tree.File("work/book"), true), nullptr);
    ASSERT_TRUE(tree.Rename(node, "renamed"));
    ASSERT_TRUE(DirectoryExists(fProgram.Tree.File("work/renamed")));
    EXPECT_TRUE(fForm->ActionStateOf(actUndo).Enabled);
    EXPECT_TRUE(fForm->RunAction(actUndo));
    EXPECT_TRUE(DirectoryExists(folder));
    EXPECT_FALSE(PathExists(fProgram.Tree.File("work/renamed")));
    EXPECT_TRUE(fMessages.empty());
}

}  // namespace
