#include <gtest/gtest.h>

#include <QAbstractItemModelTester>
#include <QHeaderView>
#include <QTest>

#include "base/PathUtils.h"
#include "shellviews/ui/ArchiveListItemModel.h"
#include "shellviews/ui/ArchiveListView.h"
#include "support/FakeBook.h"

namespace {

// Counts the complaints of Qt's model checker, which reports through warnings.
int gFailures = 0;
QtMessageHandler gPrevious = nullptr;

void CountFailures(QtMsgType type, const QMessageLogContext& context, const QString& text)
{
    if (text.contains(QStringLiteral("FAIL")))
        ++gFailures;
    if (gPrevious)
        gPrevious(type, context, text);
}

class ArchiveListViewTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        gFailures = 0;
        gPrevious = qInstallMessageHandler(CountFailures);
        fCore = fProgram.Start({}, TLoaders::ldShipped);
        TArchiveEnv env;
        env.Loaders = fCore->Registry().Snapshot();
        env.TempBase = IncludeTrailingPathDelimiter(fCore->TemporaryFolder());
        fList.SetArchiveEnv(env);
        fZip = fProgram.Tree.File("work/book.zip");
        WriteZip(fZip, {{"b.jpg", "bb"}, {"sub/a.jpg", "a"}, {"c.jpg", "c"}});
        fList.OnSelectedFile = [this](int row) { fChosen.push_back(row); };
        fList.OnLeaveArchive = [this] { ++fLeft; };
        fView.SetListModel(&fModel);
        fView.resize(500, 300);
    }
    void TearDown() override { qInstallMessageHandler(gPrevious); }

    QString Cell(int row, int column) const { return fModel.index(row, column).data().toString(); }

    TFakeProgram fProgram;
    std::unique_ptr<TAppCore> fCore;
    TArchiverListModel fList;
    TArchiveListItemModel fModel{fList, nullptr};
    QAbstractItemModelTester fTester{&fModel, QAbstractItemModelTester::FailureReportingMode::Warning};
    TArchiveListView fView;
    std::string fZip;
    std::vector<int> fChosen;
    int fLeft = 0;
};

TEST_F(ArchiveListViewTest, FollowsTheLogicAndForwardsWhatTheUserDoes)
{
    ASSERT_TRUE(fList.ShowArchive(fZip, "", false));
    ASSERT_EQ(fModel.rowCount(), 3);
    EXPECT_EQ(Cell(0, 0), "sub");
    EXPECT_EQ(Cell(1, 0), "b.jpg");
    EXPECT_EQ(Cell(1, 1), "1 KB");
    EXPECT_EQ(fModel.index(1, 1).data(Qt::TextAlignmentRole).toInt() & Qt::AlignRight, Qt::AlignRight);
    EXPECT_FALSE(fModel.index(7, 0).data().isValid()) << "rows outside the list have no data";
    const QStringList captions = {"名前", "サイズ", "種類", "更新日時"};
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(fModel.headerData(i, Qt::Horizontal).toString(), captions[i]);
    EXPECT_EQ(fView.header()->sectionSize(1), 96);

    // A header click re-sorts through the logic; the selection the user made
    // stays on the same member and the indicator shows the order.
    fView.selectionModel()->setCurrentIndex(fModel.index(2, 0),
                                            QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    EXPECT_EQ(fList.Selection(), (TListSelection{2, {2}}));
    fView.header()->sectionClicked(0);
    EXPECT_EQ(fList.SortOrder().Dir, TSortDir::sdDesc);
    EXPECT_EQ(fView.header()->sortIndicatorOrder(), Qt::DescendingOrder);
    EXPECT_EQ(Cell(0, 0), "c.jpg");
    EXPECT_EQ(fView.currentIndex().row(), 0);
    EXPECT_TRUE(fView.selectionModel()->isRowSelected(0, {}));

    // Typed letters find a row; Enter on a picture reports it as chosen.
    fView.keyboardSearch("b");
    EXPECT_EQ(fList.Selection().Focused, 1);
    QTest::keyClick(&fView, Qt::Key_Return);
    EXPECT_EQ(fChosen, std::vector<int>{1});

    // Enter on the folder enters it; Backspace goes up and, at the top,
    // leaves the archive.
    fList.Select({2, {2}});
    QTest::keyClick(&fView, Qt::Key_Return);
    EXPECT_EQ(fList.CurrentFolder(), "sub/");
    EXPECT_EQ(Cell(0, 0), "a.jpg");
    QTest::keyClick(&fView, Qt::Key_Backspace);
    EXPECT_EQ(fList.CurrentFolder(), "");
    QTest::keyClick(&fView, Qt::Key_Backspace);
    EXPECT_EQ(fLeft, 1);
    EXPECT_EQ(fModel.rowCount(), 0);
    EXPECT_EQ(gFailures, 0);
}

}  // namespace
