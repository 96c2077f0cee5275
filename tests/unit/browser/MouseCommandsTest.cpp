#include <gtest/gtest.h>

#include "browser/MouseCommands.h"

namespace {

using enum TActionId;

struct TTargetCase {
    int Command;
    TImageMouseTarget Target;
};

class ImageMouseTargetTest : public testing::TestWithParam<TTargetCase> {};

// The edges of every run of the catalogue, where an off-by-one would land
// on the neighbouring command.
TEST_P(ImageMouseTargetTest, NumbersRunTheirCommands)
{
    const TTargetCase& c = GetParam();
    const std::optional<TImageMouseTarget> target = ImageMouseTarget(c.Command);
    ASSERT_TRUE(target.has_value());
    EXPECT_EQ(*target, c.Target);
}

INSTANTIATE_TEST_SUITE_P(
    Catalogue, ImageMouseTargetTest,
    testing::Values(TTargetCase{1, actExecute}, TTargetCase{2, actRegApp1}, TTargetCase{11, actRegApp10},
                    TTargetCase{12, actSelApplication}, TTargetCase{13, actDropFile}, TTargetCase{14, actClose},
                    TTargetCase{15, actNextMarker}, TTargetCase{16, actSetMark}, TTargetCase{17, actDelete},
                    TTargetCase{20, actProperties}, TTargetCase{21, actCopy}, TTargetCase{22, actClipBoard},
                    TTargetCase{23, actCopyToFolder}, TTargetCase{26, actParentPathCopy},
                    TTargetCase{27, actSelImage}, TTargetCase{28, actNotSelImage}, TTargetCase{29, actSlideShow},
                    TTargetCase{37, actSlideLineH}, TTargetCase{38, TMoveCommand::mcFirst},
                    TTargetCase{40, TMoveCommand::mcPrior}, TTargetCase{47, TMoveCommand::mcRandomPrior},
                    TTargetCase{48, actSpreadChange}, TTargetCase{76, actEnlarge}, TTargetCase{77, actShrink},
                    TTargetCase{98, actAutoRotate}, TTargetCase{99, actNextFolder}, TTargetCase{103, actRefresh},
                    TTargetCase{104, actViewForm}, TTargetCase{105, actFullScreen},
                    TTargetCase{106, actStayOnTop}, TTargetCase{107, actTaskTray},
                    TTargetCase{108, actImageToolBar}, TTargetCase{110, actImageMenu},
                    TTargetCase{111, actLoupe}, TTargetCase{118, actGridShrink},
                    TTargetCase{119, TScrollCommand::scPageUp}, TTargetCase{130, TScrollCommand::scOriginDiagonal}));

TEST(ImageMouseTargetTest, EveryNumberOfTheCatalogueRunsSomethingAndNoOtherDoes)
{
    for (int n = 1; n <= ImageMouseCommandCount; ++n)
        EXPECT_TRUE(ImageMouseTarget(n).has_value()) << n;
    EXPECT_FALSE(ImageMouseTarget(0).has_value());
    EXPECT_FALSE(ImageMouseTarget(ImageMouseCommandCount + 1).has_value());
}

struct TListCase {
    int Command;
    std::optional<TActionId> Action;
};

class ListMouseActionTest : public testing::TestWithParam<TListCase> {};

TEST_P(ListMouseActionTest, NumbersRunTheirActions)
{
    EXPECT_EQ(ListMouseAction(GetParam().Command), GetParam().Action);
}

INSTANTIATE_TEST_SUITE_P(
    Catalogue, ListMouseActionTest,
    testing::Values(TListCase{1, std::nullopt}, TListCase{2, actF_Open}, TListCase{15, actRegApp10},
                    TListCase{16, actSelApplication}, TListCase{17, actDropFile}, TListCase{18, actSelectShelf},
                    TListCase{19, actDelete}, TListCase{23, actNewFolder}, TListCase{24, actUndo},
                    TListCase{36, actNoSelect}, TListCase{37, actFolder}, TListCase{50, actFileThumb},
                    TListCase{63, actMenu}, TListCase{64, std::nullopt}));

TEST(ListMouseCommandTest, AltDoubleClickShowsPropertiesWhateverIsBound)
{
    const TMouseBindings b = DefaultMouseBindings();
    const TMouseHeld left{.Left = true};
    EXPECT_EQ(ListMouseCommand(b, TMouseOperation::moLeftDouble, left, true, TMouseItem::miImage).Kind,
              TListMouseKind::lmProperties);
    EXPECT_EQ(ListMouseCommand(b, TMouseOperation::moLeftDouble, left, false, TMouseItem::miFolder).Kind,
              TListMouseKind::lmOpen);
    EXPECT_EQ(ListMouseCommand(b, TMouseOperation::moLeftClick, {}, true, TMouseItem::miFolder).Kind,
              TListMouseKind::lmNone);
}

TEST(ListMouseCommandTest, ItemKindFromWhatOpeningDoes)
{
    const auto isImage = [](std::string_view ext) { return ext == ".JPG"; };
    TOpenResult opened;
    opened.Kind = TOpenKind::okFile;
    opened.Path = "/book/page.jpg";
    EXPECT_EQ(MouseItemOf(opened, true, isImage), TMouseItem::miImage);
    opened.Path = "/book/notes.txt";
    EXPECT_EQ(MouseItemOf(opened, true, isImage), TMouseItem::miOther);
    opened.Kind = TOpenKind::okArchive;
    EXPECT_EQ(MouseItemOf(opened, true, isImage), TMouseItem::miArchive);
    opened.Kind = TOpenKind::okPlace;
    EXPECT_EQ(MouseItemOf(opened, true, isImage), TMouseItem::miFolder);
    EXPECT_EQ(MouseItemOf(opened, false, isImage), TMouseItem::miNone);
}

}  // namespace
