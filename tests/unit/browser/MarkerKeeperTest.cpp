// The recent files and markers kept beside a real browser model over a
// folder of test pictures: what is recorded, what a listed place opens, and
// what the files hold after the window closed.

#include <gtest/gtest.h>

#include "base/PathUtils.h"
#include "browser/MarkerKeeper.h"
#include "common/IniFile.h"
#include "platform/FileSystem.h"
#include "support/FakeBook.h"

namespace {

class TQuiet : public TUserNotifier {
public:
    void ShowMessage(const std::string& text, TMessageIcon) override { Messages.push_back(text); }
    std::vector<std::string> Messages;
};

class MarkerKeeperTest : public testing::Test {
protected:
    // A book of six single pages in work/book, opened at start.
    void Start(const std::string& settings)
    {
        fProgram.Tree.Write("data/Mireva.ini", "[IMAGE]\nView=1\n" + settings);
        fProgram.WriteBook(6);
        fCore = fProgram.Start({"book"});
        fModel = std::make_unique<TBrowserModel>(*fCore, fQuiet);
        fKeeper = std::make_unique<TMarkerKeeper>(*fModel, *fCore);
        fModel->SetRememberedFinder(
            [this](const TShownPlace& place, bool same) { return fKeeper->Remembered(place, same); });
        EXPECT_TRUE(fKeeper->Load().empty());
        fModel->Viewer().SetClientSize(400, 300);
        fModel->DeferredStart();
    }
    void TearDown() override
    {
        fKeeper.reset();
        fModel.reset();
        fCore.reset();
    }
    std::string Book() const { return fProgram.Tree.File("work/book/"); }
    std::string Shown() const { return ExtractFileName(fModel->ShownFile()); }
    void Turn(int pages)
    {
        for (int i = 0; i < pages; ++i)
            fModel->RunAction(TActionId::actNext);
    }
    void GoAwayAndBack()
    {
        ASSERT_TRUE(fModel->ShowFolder(fProgram.Tree.File("work/")));
        ASSERT_TRUE(fModel->ShowFolder(Book()));
    }

    TFakeProgram fProgram;
    TQuiet fQuiet;
    std::unique_ptr<TAppCore> fCore;
    std::unique_ptr<TBrowserModel> fModel;
    std::unique_ptr<TMarkerKeeper> fKeeper;
};

TEST_F(MarkerKeeperTest, AListedFolderOpensThePictureViewedLastThere)
{
    Start("[LIST]\nOpenImageType=1\n");
    ASSERT_EQ(Shown(), "0.fake");
    Turn(3);
    ASSERT_EQ(Shown(), "3.fake");
    EXPECT_TRUE(fKeeper->Idle());
    EXPECT_FALSE(fKeeper->Idle());  // nothing new was shown
    ASSERT_EQ(fKeeper->Recent().Entries().size(), 1u);
    EXPECT_EQ(fKeeper->Recent().Entries()[0], (TMarkerPath{"", Book(), "3.fake", 3, 6, fKeeper->Recent().Entries()[0].Time}));
    GoAwayAndBack();
    EXPECT_EQ(Shown(), "3.fake");
}

TEST_F(MarkerKeeperTest, WithoutTheOptionTheFirstPictureOpens)
{
    Start("");
    Turn(2);
    fKeeper->Idle();
    GoAwayAndBack();
    EXPECT_EQ(Shown(), "0.fake");
}

TEST_F(MarkerKeeperTest, MarkersAreSteppedThroughAndSurviveTheRun)
{
    Start("[LIST]\nOpenImageType=2\n");
    Turn(4);
    EXPECT_TRUE(fKeeper->SetMark());
    EXPECT_FALSE(fKeeper->SetMark());
    fModel->RunAction(TActionId::actFirst);
    Turn(1);
    EXPECT_TRUE(fKeeper->SetMark());
    Turn(4);
    ASSERT_EQ(Shown(), "5.fake");
    ASSERT_TRUE(fKeeper->NextMarker());
    EXPECT_EQ(Shown(), "1.fake");
    ASSERT_TRUE(fKeeper->NextMarker());
    EXPECT_EQ(Shown(), "4.fake");
    EXPECT_TRUE(fKeeper->Close().empty());

    // The next run finds both lists, and the marked picture opens.
    TMarkerList markers(fCore->Folders().DataFolder);
    markers.Load();
    EXPECT_EQ(markers.Entries().size(), 2u);
    TRecentFiles recent(fCore->Folders().DataFolder);
    recent.Load(10);
    ASSERT_EQ(recent.Entries().size(), 1u);
    EXPECT_EQ(recent.Entries()[0].FileName, "4.fake");
    GoAwayAndBack();
    EXPECT_EQ(Shown(), "4.fake");
}

TEST_F(MarkerKeeperTest, OlderSettingsRecentEntriesBecomeRecentFiles)
{
    Start("[RECENT]\nCount=5\n1=\"\",\"/old/\",\"a.jpg\",\"0\",\"3\",\"2004/5/6 7:08:09\"\n");
    ASSERT_EQ(fKeeper->Recent().Entries().size(), 1u);
    EXPECT_EQ(fKeeper->Recent().Entries()[0].Folder, "/old/");
    EXPECT_TRUE(FileExists(fProgram.Tree.File("data/Recent.lst")));
    TIniFile ini(fProgram.Tree.File("data/Mireva.ini"));
    EXPECT_FALSE(ini.ValueExists("RECENT", "1"));
    EXPECT_EQ(ini.ReadInteger("RECENT", "Count", 0), 5);
}

}  // namespace
