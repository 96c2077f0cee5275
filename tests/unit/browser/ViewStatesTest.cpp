#include <gtest/gtest.h>

#include "browser/ViewStates.h"
#include "common/IniFile.h"

namespace {

TViewStates Read(const std::string& view)
{
    TIniFile ini;
    ini.LoadFromText("[VIEW]\n" + view);
    return ReadViewStates(ini);
}

TEST(ViewStates, AnEmptyFileGivesTheDefaults)
{
    const TViewStates states = Read("");
    EXPECT_EQ(states.Normal, TPaneSet{});
    EXPECT_EQ(states.FullScreen, DefaultFullScreenPanes());
    EXPECT_TRUE(states.FullScreen.ImageBar);
    EXPECT_FALSE(states.FullScreen.File || states.FullScreen.StatusBar || states.FullScreen.MainMenu);
    EXPECT_TRUE(states.ImageMenu);
    EXPECT_FALSE(states.ViewForm);
    EXPECT_EQ(states.ViewType(TListKind::lkFolder, false), TFileViewType::fvList);
}

TEST(ViewStates, ReadsTheirKeysAndBendsOddValues)
{
    const TViewStates states = Read(
        "Tree=1\nFile=0\nTree_Full=0\nFile_Full=1\nSeekBar=1\nFileViewPos=1\nStatusBar_Full=1\n"
        "ShelfViewType=2\nArchiveViewType=7\nSearchViewType=1\nViewForm=1\nImageMenu=0\n");
    // A shown tree needs its file view.
    EXPECT_TRUE(states.Normal.File);
    EXPECT_TRUE(states.FullScreen.File);
    EXPECT_TRUE(states.FullScreen.StatusBar);
    // Full screen takes the seek bar and the file view's place of the
    // normal view when it has no values of its own.
    EXPECT_TRUE(states.FullScreen.SeekBar);
    EXPECT_EQ(states.FullScreen.FileViewPos, TFileViewPos::fpAboveImage);
    EXPECT_EQ(states.ViewType(TListKind::lkShelf, false), TFileViewType::fvDetail);
    EXPECT_EQ(states.ViewType(TListKind::lkFolder, true), TFileViewType::fvList);  // 7 is out of range
    EXPECT_EQ(states.ViewType(TListKind::lkSearch, false), TFileViewType::fvThumbnail);
    EXPECT_TRUE(states.ViewForm);
    EXPECT_FALSE(states.ImageMenu);
    // Only 1 puts the file view above the image.
    EXPECT_EQ(Read("FileViewPos=2\n").Normal.FileViewPos, TFileViewPos::fpBelowTree);
    EXPECT_EQ(Read("FileViewPos=0\nFileViewPos_Full=1\n").FullScreen.FileViewPos, TFileViewPos::fpAboveImage);
}

TEST(ViewStates, WrittenStatesReadBackAndKeepTheBarKeys)
{
    TViewStates states;
    states.TreeKind = TTreeKind::tkShelf;  // kept elsewhere, see ReadTreeKind
    states.Normal.Tree = false;
    states.Normal.File = false;
    states.Normal.StayOnTop = true;
    states.FullScreen.SeekBar = true;
    states.FullScreen.FileViewPos = TFileViewPos::fpAboveImage;
    states.ViewForm = true;
    states.SetViewType(TListKind::lkMediaList, false, TFileViewType::fvThumbnail);
    states.SetViewType(TListKind::lkFolder, true, TFileViewType::fvDetail);
    TIniFile ini;
    WriteViewStates(ini, states);
    TViewStates read = ReadViewStates(ini);
    read.TreeKind = TTreeKind::tkShelf;
    EXPECT_EQ(read, states);
    // The image bar and seek bar keys the browser model reads are these.
    EXPECT_TRUE(ini.ReadBool("VIEW", "ImageBar", false));
    EXPECT_TRUE(ini.ReadBool("VIEW", "SeekBar_Full", false));
    EXPECT_EQ(ini.ReadInteger("VIEW", "MediaRootViewType", 0), 1);
}

TEST(ViewStates, EachKindOfListKeepsItsOwnViewType)
{
    TViewStates states;
    states.SetViewType(TListKind::lkShelf, false, TFileViewType::fvThumbnail);
    // Opening a folder afterwards shows the folder's own type.
    EXPECT_EQ(states.ViewType(TListKind::lkFolder, false), TFileViewType::fvList);
    EXPECT_EQ(states.ViewType(TListKind::lkShelf, false), TFileViewType::fvThumbnail);
    // A catalogue's folders share the folders' type; an archive keeps its
    // own.
    states.SetViewType(TListKind::lkMediumFolder, false, TFileViewType::fvDetail);
    EXPECT_EQ(states.ViewType(TListKind::lkFolder, false), TFileViewType::fvDetail);
    EXPECT_EQ(states.ViewType(TListKind::lkFolder, true), TFileViewType::fvList);
}

TEST(ViewStates, PanesAtStartFollowTheMode)
{
    TViewStates states;
    states.FullScreen.FileViewPos = TFileViewPos::fpAboveImage;
    states.FullScreen.StayOnTop = true;
    EXPECT_EQ(PanesAtStart(states, false, false), states.Normal);
    EXPECT_EQ(PanesAtStart(states, true, false), states.FullScreen);
    // Bars brought by the pointer: the normal set, with the full-screen
    // place and stay-on-top.
    TPaneSet pointer = states.Normal;
    pointer.FileViewPos = TFileViewPos::fpAboveImage;
    pointer.StayOnTop = true;
    EXPECT_EQ(PanesAtStart(states, true, true), pointer);
}

struct TTreeKindCase {
    const char* Name;
    const char* Text;
    TTreeKind Expected;
};

class TreeKindTest : public ::testing::TestWithParam<TTreeKindCase> {};

TEST_P(TreeKindTest, ReadsTheKeptKindAndDropsTheOlderKey)
{
    TIniFile ini;
    ini.LoadFromText(GetParam().Text);
    EXPECT_EQ(ReadTreeKind(ini), GetParam().Expected);
    EXPECT_FALSE(ini.ValueExists("STATE", "TreeKind"));
}

INSTANTIATE_TEST_SUITE_P(
    Rows, TreeKindTest,
    ::testing::Values(TTreeKindCase{"Missing", "", TTreeKind::tkFolder},
                      TTreeKindCase{"Media", "[VIEW]\nListKind=2\n", TTreeKind::tkMedia},
                      TTreeKindCase{"OutOfRange", "[VIEW]\nListKind=7\n", TTreeKind::tkFolder},
                      TTreeKindCase{"OlderKeyWins", "[VIEW]\nListKind=1\n[STATE]\nTreeKind=4\n", TTreeKind::tkSearch}),
    [](const auto& info) { return std::string(info.param.Name); });

}  // namespace
