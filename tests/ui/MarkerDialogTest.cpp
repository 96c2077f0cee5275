// The dialog of markers and recent files: its delete buttons, what OK
// chooses, and the state it keeps in the settings file.

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QTreeWidget>

#include "browser/ui/MarkerDialog.h"
#include "common/IniFile.h"
#include "support/TempFolder.h"

namespace {

TMarkerPath Entry(std::string folder, std::string file, int index)
{
    return TMarkerPath{{}, std::move(folder), std::move(file), index, 9, 45000.5};
}

class MarkerDialogTest : public testing::Test {
protected:
    void SetUp() override
    {
        fHome.Write("book/p.jpg", "x");
        fEntries = {Entry(fHome.File("book/"), "p.jpg", 2), Entry(fHome.File("gone/"), "q.jpg", -1),
                    Entry(fHome.File("book/"), "r.jpg", 10)};
    }
    // The entries' folders in the order of the dialog's result.
    std::vector<std::string> Files(const TMarkerDialogResult& result)
    {
        std::vector<std::string> files;
        for (const TMarkerPath& e : result.Entries)
            files.push_back(e.FileName);
        return files;
    }

    TTempFolder fHome;
    std::vector<TMarkerPath> fEntries;
    std::vector<std::string> fAsked;
};

TEST_F(MarkerDialogTest, DeleteButtonsAskFirstAndTakeTheirEntries)
{
    TMarkerDialogState unsorted;
    unsorted.SortDir = 2;
    TMarkerDialog dialog(nullptr, TMarkerDialogMode::mdMarkers, fEntries, unsorted);
    bool answer = false;
    dialog.SetAsk([&](const std::string& question) {
        fAsked.push_back(question);
        return answer;
    });
    dialog.DeleteMissing();
    EXPECT_FALSE(dialog.Result().Changed);  // cancelled
    answer = true;
    dialog.DeleteMissing();
    EXPECT_TRUE(dialog.Result().Changed);
    EXPECT_EQ(Files(dialog.Result()), (std::vector<std::string>{"p.jpg", "r.jpg"}));
    dialog.List()->clearSelection();
    dialog.List()->topLevelItem(1)->setSelected(true);
    dialog.DeleteSelected();
    EXPECT_EQ(Files(dialog.Result()), (std::vector<std::string>{"p.jpg"}));
    dialog.DeleteAll();
    EXPECT_TRUE(dialog.Result().Entries.empty());
    EXPECT_EQ(fAsked, (std::vector<std::string>{"パスが存在しないしおりを削除してもよろしいですか？  ",
                                                "パスが存在しないしおりを削除してもよろしいですか？  ",
                                                "選択されたしおりを削除してもよろしいですか？  ",
                                                "全てのしおりを削除してもよろしいですか？  "}));
}

TEST_F(MarkerDialogTest, OkOpensTheSelectedEntryAndMayRemoveItFirst)
{
    TMarkerDialogState state;  // by position, descending: r, p, q
    state.Sort = 2;
    state.SortDir = 1;
    state.Delete = true;
    TMarkerDialog dialog(nullptr, TMarkerDialogMode::mdMarkers, fEntries, state);
    EXPECT_EQ(dialog.List()->topLevelItem(0)->text(2), "11 / 9");
    EXPECT_EQ(dialog.List()->topLevelItem(2)->text(2), "-- / 9");
    dialog.List()->setCurrentItem(dialog.List()->topLevelItem(1));
    dialog.accept();
    ASSERT_TRUE(dialog.Result().Chosen.has_value());
    EXPECT_EQ(dialog.Result().Chosen->FileName, "p.jpg");
    EXPECT_EQ(Files(dialog.Result()), (std::vector<std::string>{"q.jpg", "r.jpg"}));
}

TEST_F(MarkerDialogTest, RecentModeKeepsItsListAndShowsNames)
{
    TMarkerDialogState state;
    state.FullPath = false;
    TMarkerDialog dialog(nullptr, TMarkerDialogMode::mdRecent, fEntries, state);
    EXPECT_EQ(dialog.windowTitle(), "最近開いたファイルを開く");
    EXPECT_EQ(dialog.List()->topLevelItem(0)->text(0), "book");
    dialog.FullPathBox()->setChecked(true);
    EXPECT_EQ(dialog.List()->topLevelItem(0)->text(0).toStdString(), fHome.File("book"));
    dialog.accept();
    EXPECT_FALSE(dialog.Result().Changed);
    EXPECT_EQ(dialog.Result().Chosen->FileName, "p.jpg");
}

TEST_F(MarkerDialogTest, StateIsKeptPerModeWithItsLeastSize)
{
    TIniFile ini;
    EXPECT_TRUE(ReadMarkerDialogState(ini, TMarkerDialogMode::mdRecent).FullPath);
    EXPECT_FALSE(ReadMarkerDialogState(ini, TMarkerDialogMode::mdMarkers).FullPath);
    TMarkerDialogState state{3, 1, true, true, 300, 800, "100,50,40,60"};
    WriteMarkerDialogState(ini, TMarkerDialogMode::mdMarkers, state);
    EXPECT_EQ(ini.ReadInteger("MARKER", "Width", 0), MarkerDialogMinWidth);
    state.Width = MarkerDialogMinWidth;
    EXPECT_EQ(ReadMarkerDialogState(ini, TMarkerDialogMode::mdMarkers), state);
    EXPECT_FALSE(ini.SectionExists("RECENT"));
    ini.WriteInteger("MARKER", "SortDir", 7);
    EXPECT_EQ(ReadMarkerDialogState(ini, TMarkerDialogMode::mdMarkers).SortDir, 0);
}

}  // namespace
