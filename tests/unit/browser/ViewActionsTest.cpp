#include <gtest/gtest.h>

#include "../viewer/FakePictures.h"
#include "browser/ViewActions.h"

namespace {

using enum TActionId;

// Ten portrait pages of 60 x 80 in a view where two fit side by side; no
// cache thread, every page loaded directly.
class ViewActionsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        source = std::make_shared<FakeSource>();
        source->Width = 60;
        source->Height = 80;
        viewer = std::make_unique<TPageViewer>(nullptr);
        viewer->SetClientSize(130, 100);
        actions = std::make_unique<TViewActions>(*viewer);
    }

    void Open(int count, TViewerOptions options = {})
    {
        viewer->SetOptions(options);
        std::vector<TCacheItem> items;
        for (int i = 0; i < count; ++i)
            items.push_back(TCacheItem{i, "/book/" + std::to_string(i) + ".png", 0, -1});
        viewer->SetList(std::move(items), source);
        if (count > 0)
            viewer->Open(0);
    }

    // The checked actions of a radio group.
    std::vector<TActionId> CheckedOf(TActionGroup group) const
    {
        std::vector<TActionId> checked;
        for (const TActionInfo& info : ActionTable())
            if (info.Group == group && actions->Checked(info.Id))
                checked.push_back(info.Id);
        return checked;
    }

    std::shared_ptr<FakeSource> source;
    std::unique_ptr<TPageViewer> viewer;
    std::unique_ptr<TViewActions> actions;
};

TEST_F(ViewActionsTest, RadioGroupsCheckExactlyTheChosenItem)
{
    Open(10);
    EXPECT_EQ(CheckedOf(TActionGroup::agViewMode), std::vector{actAuto});
    EXPECT_EQ(CheckedOf(TActionGroup::agBinding), std::vector{actBindRight});
    EXPECT_EQ(CheckedOf(TActionGroup::agFit), std::vector{actWinAll});
    EXPECT_TRUE(CheckedOf(TActionGroup::agRatio).empty());
    EXPECT_EQ(CheckedOf(TActionGroup::agRotation), std::vector{actRotateNone});

    actions->Run(actSpread);
    actions->Run(actBindLeft);
    actions->Run(act150);
    EXPECT_EQ(CheckedOf(TActionGroup::agViewMode), std::vector{actSpread});
    EXPECT_EQ(CheckedOf(TActionGroup::agBinding), std::vector{actBindLeft});
    EXPECT_TRUE(CheckedOf(TActionGroup::agFit).empty());
    EXPECT_EQ(CheckedOf(TActionGroup::agRatio), std::vector{act150});
    EXPECT_DOUBLE_EQ(viewer->Layout().PageRatio(0), 1.5);

    actions->Run(actWindowChange);  // not fitting → whole
    EXPECT_EQ(CheckedOf(TActionGroup::agFit), std::vector{actWinAll});
    actions->Run(actWindowChange);
    EXPECT_EQ(CheckedOf(TActionGroup::agFit), std::vector{actWinWidth});
    EXPECT_TRUE(CheckedOf(TActionGroup::agRatio).empty());
    actions->Run(actSpreadChange);  // spread → automatic
    EXPECT_EQ(CheckedOf(TActionGroup::agViewMode), std::vector{actAuto});
}

TEST_F(ViewActionsTest, EqualHeightAndEqualRatioExcludeEachOther)
{
    Open(10);
    EXPECT_TRUE(actions->Checked(actEqualHeight));
    actions->Run(actEqualRatio);
    EXPECT_TRUE(actions->Checked(actEqualRatio));
    EXPECT_FALSE(actions->Checked(actEqualHeight));
    actions->Run(actEqualHeight);
    EXPECT_TRUE(actions->Checked(actEqualHeight));
    EXPECT_FALSE(actions->Checked(actEqualRatio));
    actions->Run(actEqualHeight);
    EXPECT_FALSE(actions->Checked(actEqualHeight) || actions->Checked(actEqualRatio));
}

TEST_F(ViewActionsTest, ActualSizeTogglesAndZoomLeavesIt)
{
    Open(10);
    actions->Run(actDefSize);
    EXPECT_TRUE(actions->Checked(actDefSize));
    EXPECT_DOUBLE_EQ(viewer->Layout().PageRatio(0), 1.0);
    actions->Run(actShrink);
    EXPECT_FALSE(actions->Checked(actDefSize));
    EXPECT_DOUBLE_EQ(viewer->Layout().PageRatio(0), 0.75);
}

TEST_F(ViewActionsTest, CommandsThatNeedAPictureAreDisabledWithout)
{
    Open(0);
    for (TActionId id : {actClose, actEnlarge, actShrink, actDefSize, actNext, actFirst, actR_Next})
        EXPECT_FALSE(actions->Enabled(id)) << ActionInfo(id).Name;
    EXPECT_EQ(actions->Run(actNext).ViewChanged, false);
    Open(3);
    actions->Run(actSingle);
    for (TActionId id : {actEqualHeight, actEqualRatio, actCenter})
        EXPECT_FALSE(actions->Enabled(id)) << ActionInfo(id).Name;
    EXPECT_TRUE(actions->Enabled(actEnlarge));
    // The window's own commands (the loupe is one: its overlay belongs to
    // the window's view) are never enabled here: run from a key through the
    // view's actions they would do nothing.
    for (TActionId id : {actRefresh, actLoupe, actDelete, actFolder, actWindow})
        EXPECT_FALSE(actions->Enabled(id)) << ActionInfo(id).Name;
    EXPECT_FALSE(actions->Run(actLoupe).ViewChanged);
}

TEST_F(ViewActionsTest, SubMenusAreCheckedWithTheirItems)
{
    Open(3);
    EXPECT_TRUE(actions->Checked(actWindow));
    EXPECT_FALSE(actions->Checked(actRatio) || actions->Checked(actRotate) || actions->Checked(actFilter));
    actions->Run(act200);
    actions->Run(actR90);
    EXPECT_FALSE(actions->Checked(actWindow));
    EXPECT_TRUE(actions->Checked(actRatio) && actions->Checked(actRotate));
}

TEST_F(ViewActionsTest, FilterSetsToggleAndReloadTheShownPicture)
{
    Open(10);
    actions->SetFilterCount(3);
    EXPECT_FALSE(actions->Enabled(actFilter4));
    const size_t loads = source->Loaded.size();
    const TActionOutcome chosen = actions->Run(actFilter2);
    EXPECT_TRUE(chosen.PicturesChanged);
    EXPECT_EQ(actions->Filter(), 1);
    EXPECT_EQ(CheckedOf(TActionGroup::agFilter), std::vector{actFilter2});
    EXPECT_GT(source->Loaded.size(), loads) << "the shown picture is loaded again";
    EXPECT_EQ(viewer->Shown().Primary, 0);
    actions->Run(actFilter2);
    EXPECT_EQ(actions->Filter(), -1);
    EXPECT_EQ(CheckedOf(TActionGroup::agFilter), std::vector{actFilterNone});
    // A set that vanished (another settings file) is no longer selected.
    actions->Run(actFilter3);
    actions->SetFilterCount(2);
    EXPECT_EQ(actions->Filter(), -1);
}

TEST_F(ViewActionsTest, RotationIsOneOfSixAndReloads)
{
    Open(10);
    const size_t loads = source->Loaded.size();
    EXPECT_TRUE(actions->Run(actL90).PicturesChanged);
    EXPECT_EQ(viewer->ViewState().Rotation, TRotation::rtLeft90);
    EXPECT_EQ(CheckedOf(TActionGroup::agRotation), std::vector{actL90});
    EXPECT_GT(source->Loaded.size(), loads);
    actions->Run(actReverseH);
    actions->Run(actRotateChange);  // the last one wraps to none
    EXPECT_EQ(viewer->ViewState().Rotation, TRotation::rtNone);
}

TEST_F(ViewActionsTest, KeysOfALeftBoundBookAreExchangedButTheWheelIsNot)
{
    TViewerOptions options;
    options.Scroll.S_MoveExchange = true;
    options.Scroll.MoveExchange = true;
    Open(10, options);
    actions->Run(actBindLeft);
    actions->RunMove(TMoveCommand::mcNext, false);
    ASSERT_EQ(viewer->Shown().Primary, 2);
    // "One next" from a key runs "one previous" on a left-bound book.
    actions->RunKey(TKeyCommand{TMoveCommand::mcOneNext});
    EXPECT_TRUE(viewer->TravelBackward());
    EXPECT_EQ(viewer->Shown().Primary, 2);
    EXPECT_EQ(viewer->Shown().Partner, 1);
    // The wheel's "next" stays next.
    actions->RunMouse(11, false, TPoint{});
    EXPECT_FALSE(viewer->TravelBackward());
    EXPECT_EQ(viewer->Shown().Primary, 3);
}

TEST_F(ViewActionsTest, ImageBarButtonsFollowTheBinding)
{
    Open(10);
    actions->RunImageBar(TImageBarButton::ibLeft);  // right-bound: the left button turns forward
    EXPECT_EQ(viewer->Shown().Primary, 2);
    actions->Run(actBindLeft);
    actions->RunImageBar(TImageBarButton::ibLeft);
    EXPECT_TRUE(viewer->TravelBackward());
    EXPECT_EQ(viewer->Shown().Primary, 1);
}

struct TEndCase {
    const char* Name;
    TEndOfList Action;
    TWindowRequest Request;
    bool Shown;  // a picture is shown afterwards
};

class EndOfListTest : public ViewActionsTest, public ::testing::WithParamInterface<TEndCase> {};

TEST_P(EndOfListTest, ComesBackAsARequestOrAClosedView)
{
    TViewerOptions options;
    options.Move.LastFileMove = GetParam().Action;
    Open(3, options);
    actions->Run(actLast);
    const TActionOutcome outcome = actions->Run(actNext);
    EXPECT_EQ(outcome.Request, GetParam().Request);
    EXPECT_EQ(viewer->Primary().HasBitmap(), GetParam().Shown);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, EndOfListTest,
    ::testing::Values(TEndCase{"Loop", TEndOfList::elLoop, TWindowRequest::wrNone, true},
                      TEndCase{"Folder", TEndOfList::elFolder, TWindowRequest::wrNextFolder, true},
                      TEndCase{"Nothing", TEndOfList::elNothing, TWindowRequest::wrNone, true},
                      TEndCase{"Close", TEndOfList::elClose, TWindowRequest::wrNone, false},
                      TEndCase{"Exit", TEndOfList::elExit, TWindowRequest::wrExit, true}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST_F(ViewActionsTest, DialogCommandsAskTheWindowUnlessBatch)
{
    Open(3);
    EXPECT_EQ(actions->Run(actSetRatio).Request, TWindowRequest::wrRatioDialog);
    EXPECT_EQ(actions->Run(actImageSize).Request, TWindowRequest::wrSizeDialog);
    EXPECT_EQ(actions->Run(actOpen).Request, TWindowRequest::wrOpenDialog);
    actions->ApplyEnteredRatio(40);
    EXPECT_TRUE(actions->Checked(actSetRatio));
    EXPECT_DOUBLE_EQ(viewer->Layout().PageRatio(0), 0.4);
    actions->SetBatch(true);
    actions->Run(actWinAll);
    EXPECT_EQ(actions->Run(actSetRatio).Request, TWindowRequest::wrNone);
    EXPECT_DOUBLE_EQ(viewer->Layout().PageRatio(0), 0.4);
    actions->ApplyImageSize(160, TSizeDir::sdHeight);
    EXPECT_TRUE(actions->Checked(actImageSize));
    EXPECT_EQ(viewer->Layout().PageSize(0).Height, 160);
}

TEST_F(ViewActionsTest, BarsToggle)
{
    Open(3);
    EXPECT_TRUE(actions->ImageBarShown());
    EXPECT_FALSE(actions->SeekBarShown());
    EXPECT_TRUE(actions->Run(actSeekBar).BarsChanged);
    actions->Run(actImageToolBar);
    EXPECT_TRUE(actions->Checked(actSeekBar));
    EXPECT_FALSE(actions->Checked(actImageToolBar));
}

}  // namespace
