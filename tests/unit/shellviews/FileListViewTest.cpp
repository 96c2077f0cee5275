#include <gtest/gtest.h>

#include <QAbstractItemModelTester>
#include <QApplication>
#include <QDropEvent>
#include <QHeaderView>
#include <QMimeData>
#include <QUrl>
#include <QTest>
#include <filesystem>

#include "collections/CategoryFolder.h"
#include "collections/MediaFolder.h"
#include "collections/Shelf.h"
#include "shellviews/ui/FileListItemModel.h"
#include "shellviews/ui/FileListView.h"
#include "support/TempFolder.h"

namespace {

namespace fs = std::filesystem;

class FileListViewTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        for (const char* name : {"b.jpg", "a.jpg", "c.zip"})
            fTemp.Write(name, "x");
        fs::create_directory(fTemp.File("d"));
        fList.SortDirs = {.Asc = true, .Desc = true, .None = true};
        fView.SetListModel(&fModel);
        fView.OnOpen = [this](const TOpenResult& result) { fOpened.push_back(result); };
    }

    QString Cell(int row, int column) const { return fModel.index(row, column).data().toString(); }

    TTempFolder fTemp;
    TGroupList fShelves;
    TMediaList fMedia;
    TCategoryList fCategories;
    TShellListModel fList{{.Shelves = &fShelves,
                           .Media = &fMedia,
                           .Categories = &fCategories,
                           .IsArchive = [](std::string_view ext) { return ext == ".zip"; }}};
    TFileListItemModel fModel{fList, nullptr, nullptr};
    QAbstractItemModelTester fTester{&fModel, QAbstractItemModelTester::FailureReportingMode::Fatal};
    TFileListView fView;
    std::vector<TOpenResult> fOpened;
};

TEST_F(FileListViewTest, FollowsTheListThroughEveryKindOfChange)
{
    ASSERT_TRUE(fList.SetFolder(fTemp.Path()));
    ASSERT_EQ(fModel.rowCount(), 4);
    EXPECT_EQ(fModel.columnCount(), 4);
    EXPECT_EQ(fModel.headerData(1, Qt::Horizontal).toString(), QString::fromUtf8("サイズ"));
    EXPECT_EQ(Cell(0, 0), "d");
    EXPECT_EQ(fModel.index(1, 1).data(Qt::TextAlignmentRole).value<Qt::Alignment>() & Qt::AlignRight, Qt::AlignRight);
    EXPECT_FALSE(fModel.index(9, 0).data().isValid());

    // A header click sorts through the list and the header shows it.
    fView.selectionModel()->setCurrentIndex(fModel.index(1, 0), QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    EXPECT_EQ(fList.Selection().Focused, 1);
    fView.header()->sectionClicked(0);
    EXPECT_EQ(fView.header()->sortIndicatorOrder(), Qt::DescendingOrder);
    EXPECT_EQ(Cell(0, 0), "c.zip");
    EXPECT_EQ(fView.currentIndex().row(), 2);  // a.jpg kept the focus
    EXPECT_EQ(fView.currentIndex().data().toString(), "a.jpg");

    fTemp.Write("new.jpg", "x");
    fList.ApplyChange({ChangeKind::ckFileAdded, fTemp.File("new.jpg"), ""});
    EXPECT_EQ(Cell(4, 0), "new.jpg");
    fs::remove(fTemp.File("b.jpg"));
    fList.ApplyChange({ChangeKind::ckFileRemoved, fTemp.File("b.jpg"), ""});
    EXPECT_EQ(fModel.rowCount(), 4);

    fShelves.Add("棚", 0, "memo");
    ASSERT_TRUE(fList.SetShelves());
    EXPECT_EQ(fModel.columnCount(), 2);
    fShelves.Add("二", 0, "");
    fShelves.Delete(0);
    EXPECT_EQ(fModel.rowCount(), 1);
    EXPECT_EQ(Cell(0, 0), QString::fromUtf8("二"));
}

TEST_F(FileListViewTest, EnterAndTypingGoThroughTheList)
{
    ASSERT_TRUE(fList.SetFolder(fTemp.Path()));
    fView.keyboardSearch("C");
    ASSERT_EQ(fView.currentIndex().row(), 3);
    QTest::keyClick(&fView, Qt::Key_Return);
    ASSERT_EQ(fOpened.size(), 1u);
    EXPECT_EQ(fOpened[0].Kind, TOpenKind::okArchive);
    fView.setCurrentIndex(fModel.index(0, 0));
    QTest::keyClick(&fView, Qt::Key_Enter);
    ASSERT_EQ(fOpened.size(), 2u);
    EXPECT_EQ(fOpened[1].Kind, TOpenKind::okPlace);
    EXPECT_TRUE(fModel.setData(fModel.index(1, 0), "z.jpg"));
    EXPECT_TRUE(fs::exists(fTemp.File("z.jpg")));
    EXPECT_EQ(Cell(1, 0), "z.jpg");
}

}  // namespace

namespace {

// A drag over a row asks the hook with that row and takes its answer; over
// empty space the row is -1; a refusal leaves the event ignored, so it goes
// on to the window.
TEST_F(FileListViewTest, AsksTheDropHookWithTheRowUnderThePointer)
{
    ASSERT_TRUE(fList.SetFolder(fTemp.Path()));
    fView.resize(300, 300);
    fView.show();
    std::vector<std::pair<int, bool>> asked;
    fView.Drops.OnDrop = [&asked](const QDropEvent&, int row, bool drop) {
        asked.emplace_back(row, drop);
        return row == 1 ? Qt::LinkAction : Qt::IgnoreAction;
    };
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(fTemp.File("a.jpg").c_str())});
    const QPoint onRow = fView.visualRect(fModel.index(1, 0)).center();
    // Qt sends moves and the drop to the widget that took the entering drag.
    QDragEnterEvent enter(onRow, Qt::CopyAction | Qt::LinkAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(fView.viewport(), &enter);
    EXPECT_TRUE(enter.isAccepted());
    EXPECT_EQ(enter.dropAction(), Qt::LinkAction);
    QDragMoveEvent empty(QPoint(5, 290), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(fView.viewport(), &empty);
    EXPECT_FALSE(empty.isAccepted());
    QDropEvent drop(onRow, Qt::CopyAction | Qt::LinkAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(fView.viewport(), &drop);
    EXPECT_TRUE(drop.isAccepted());
    EXPECT_EQ(drop.dropAction(), Qt::LinkAction);
    ASSERT_GE(asked.size(), 3U);
    EXPECT_EQ(asked.front(), std::make_pair(1, false));
    EXPECT_EQ(asked[asked.size() - 2], std::make_pair(-1, false));
    EXPECT_EQ(asked.back(), std::make_pair(1, true));
}

// Only a row the drop goes into is highlighted: one that takes the drag
// itself, not one over which the drop goes to the listed folder.
TEST_F(FileListViewTest, HighlightsOnlyTheRowTheDropGoesInto)
{
    ASSERT_TRUE(fList.SetFolder(fTemp.Path()));
    fView.resize(300, 300);
    fView.show();
    fView.Drops.OnDrop = [](const QDropEvent&, int, bool) { return Qt::CopyAction; };
    fView.Drops.DropsIntoRow = [](int row) { return row == 1; };
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(fTemp.File("a.jpg").c_str())});
    const QModelIndex first = fModel.index(0, 0);
    const QModelIndex second = fModel.index(1, 1);
    const TDropFeedback& feedback = fView.DropFeedback();

    QDragEnterEvent enter(fView.visualRect(first).center(), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(fView.viewport(), &enter);
    EXPECT_FALSE(feedback.Highlighted(first));
    QDragMoveEvent over(fView.visualRect(second).center(), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(fView.viewport(), &over);
    EXPECT_TRUE(feedback.Highlighted(fModel.index(1, 0)));
    // The list's rows never open.
    EXPECT_FALSE(feedback.Timer().isActive());
    QDropEvent drop(fView.visualRect(second).center(), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(fView.viewport(), &drop);
    EXPECT_FALSE(feedback.Highlighted(fModel.index(1, 0)));
}

}  // namespace
