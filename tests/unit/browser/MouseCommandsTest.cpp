#include <gtest/gtest.h>

#include "../viewer/FakePictures.h"
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

// Ten portrait pages of 60 x 80 shown as a spread in a view of 130 x 100.
class ImageMouseCommandsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        auto source = std::make_shared<FakeSource>();
        source->Width = 60;
        source->Height = 80;
        TViewerOptions options;
        options.Scroll.MoveExchange = true;
        viewer.SetOptions(options);
        viewer.SetClientSize(130, 100);
        std::vector<TCacheItem> items;
        for (int i = 0; i < 10; ++i)
            items.push_back(TCacheItem{i, "/book/" + std::to_string(i) + ".png", 0, -1});
        viewer.SetList(std::move(items), source);
        viewer.Open(4);
    }

    TImageMouseResult Run(TMouseOperation op, TMouseHeld held, TPoint point)
    {
        return commands.Run(bindings, op, held, point, 130, 100);
    }

    TPageViewer viewer{nullptr};
    TViewActions actions{viewer};
    TImageMouseCommands commands{actions, viewer};
    TMouseBindings bindings = DefaultMouseBindings();
};

TEST_F(ImageMouseCommandsTest, WheelIsNeverExchangedForALeftBoundBook)
{
    actions.Run(actBindLeft);
    ASSERT_EQ(viewer.Shown().Primary, 4);
    EXPECT_TRUE(Run(TMouseOperation::moWheelUp, {}, {10, 10}).Outcome.has_value());
    // Backwards: the exchanged "next" would have gone beyond page 5.
    EXPECT_LT(viewer.Shown().Primary, 4);
    EXPECT_TRUE(viewer.TravelBackward());
}

TEST_F(ImageMouseCommandsTest, PageCommandsNeedThePointerOverAPage)
{
    bindings.ImageEntry(1).Commands[0] = 22;  // クリップボードにコピー
    const TRect page = viewer.Layout().PageRect(0);
    ASSERT_FALSE(page.IsEmpty());
    const TImageMouseResult over = Run(TMouseOperation::moLeftClick, {}, {page.Left + 1, page.Top + 1});
    EXPECT_EQ(over.Action, actClipBoard);
    EXPECT_EQ(over.Page, TTargetPage::tpPrimary);
    // Over the partner the command is for the partner.
    const TRect partner = viewer.Layout().PageRect(1);
    ASSERT_FALSE(partner.IsEmpty());
    EXPECT_EQ(Run(TMouseOperation::moLeftClick, {}, {partner.Right - 1, partner.Top + 1}).Page, TTargetPage::tpPartner);
    EXPECT_FALSE(Run(TMouseOperation::moLeftClick, {}, {page.Left + 1, page.Bottom + 5}).Action.has_value());
    // Other commands run wherever the pointer is, for no particular page.
    bindings.ImageEntry(1).Commands[0] = 105;
    const TImageMouseResult off = Run(TMouseOperation::moLeftClick, {}, {page.Left + 1, page.Bottom + 5});
    EXPECT_EQ(off.Action, actFullScreen);
    EXPECT_EQ(off.Page, TTargetPage::tpAsk);
}

TEST_F(ImageMouseCommandsTest, RightClickShowsTheMenuWhileRightPopupIsOn)
{
    bindings.ImageEntry(17).Commands[0] = 39;
    EXPECT_TRUE(Run(TMouseOperation::moRightClick, {}, {10, 10}).Popup);
    EXPECT_EQ(viewer.Shown().Primary, 4);
    // The menu is for the page under the pointer, or for none off the pages.
    for (const TTargetPage page : {TTargetPage::tpPrimary, TTargetPage::tpPartner}) {
        const TRect rect = viewer.Layout().PageRect(static_cast<int>(page));
        ASSERT_FALSE(rect.IsEmpty());
        EXPECT_EQ(Run(TMouseOperation::moRightClick, {}, {rect.Right - 1, rect.Bottom - 1}).PopupPage, page);
    }
    EXPECT_EQ(Run(TMouseOperation::moRightClick, {}, {viewer.Layout().PageRect(0).Left + 1, 99}).PopupPage,
              TTargetPage::tpAsk);
    bindings.RightPopup = false;
    EXPECT_FALSE(Run(TMouseOperation::moRightClick, {}, {10, 10}).Popup);
    EXPECT_EQ(viewer.Shown().Primary, 6);
}

}  // namespace
