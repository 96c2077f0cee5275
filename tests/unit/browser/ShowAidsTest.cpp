// Full screen and the slideshow asked for by a picture shown or closed.

#include <gtest/gtest.h>

#include "browser/ShowAids.h"

namespace {

struct TShowCase {
    const char* Name;
    std::vector<std::string> Shown;  // the notices in turn; the last one's request is checked
    bool Moved;
    bool FullOption, SlideOption, CloseOption;
    TShowAidsState State;
    TOpenForce Force;
    TShowAidsRequest Expected;
};

class ShowAidsTest : public testing::TestWithParam<TShowCase> {};

TEST_P(ShowAidsTest, AsksWhatTheOptionsSay)
{
    const TShowCase& c = GetParam();
    TPictureOptions picture;
    picture.FullScreen = c.FullOption;
    picture.SlideShow = c.SlideOption;
    TFullScreenOptions full;
    full.CloseFullScreen = c.CloseOption;
    TShowAids aids;
    TShowAidsRequest request;
    for (const std::string& path : c.Shown)
        request = aids.Shown(path, c.Moved, picture, full, c.State, c.Force);
    EXPECT_EQ(request, c.Expected);
}

const TShowAidsState Normal{};
const TShowAidsState Full{true, false, false};

INSTANTIATE_TEST_SUITE_P(
    Cases, ShowAidsTest,
    testing::Values(
        TShowCase{"OptionsOff", {"a.jpg"}, false, false, false, true, Normal, {}, {}},
        TShowCase{"OpenedEntersFullScreen", {"a.jpg"}, false, true, false, true, Normal, {}, {true, false, false}},
        TShowCase{"OpenedStartsSlideShow", {"a.jpg"}, false, false, true, true, Normal, {}, {false, true, false}},
        TShowCase{"MoveAsksNothing", {"a.jpg"}, true, true, true, true, Normal, {}, {}},
        TShowCase{"AlreadyFullAndRunning", {"a.jpg"}, false, true, true, true, TShowAidsState{true, true, false}, {}, {}},
        // The user left full screen; the list is refreshed under the same
        // picture, which must not bring it back.
        TShowCase{"SamePictureAgain", {"a.jpg", "a.jpg"}, false, true, false, true, Normal, {}, {}},
        TShowCase{"AnotherPictureOpened", {"a.jpg", "b.jpg"}, false, true, false, true, Normal, {}, {true, false, false}},
        TShowCase{"OpenCommandForcesFullScreen", {"a.jpg"}, false, false, false, true, Normal, {true, false},
                  {true, false, false}},
        TShowCase{"OpenCommandForcesSlideShow", {"a.jpg"}, false, false, false, true, Normal, {false, true},
                  {false, true, false}},
        TShowCase{"ClosedLeavesFullScreen", {"a.jpg", ""}, false, false, false, true, Full, {}, {false, false, true}},
        TShowCase{"ClosedKeepsFullScreenWhenAsked", {"a.jpg", ""}, false, false, false, false, Full, {}, {}},
        TShowCase{"NothingAtStartKeepsFullScreen", {""}, false, false, false, true, TShowAidsState{true, false, true},
                  {}, {}},
        TShowCase{"ClosedOutsideFullScreen", {"a.jpg", ""}, false, true, true, true, Normal, {}, {}}),
    [](const testing::TestParamInfo<TShowCase>& info) { return std::string(info.param.Name); });

struct TOpenStepCase {
    const char* Name;
    bool SlideShow;
    TOpenFacts Facts;
    TOpenStep Expected;
};

class OpenStepTest : public testing::TestWithParam<TOpenStepCase> {};

TEST_P(OpenStepTest, FollowsTheTarget)
{
    EXPECT_EQ(OpenStepFor(GetParam().SlideShow, GetParam().Facts), GetParam().Expected);
}

using enum TCommandTarget;
using enum TOpenStep;

INSTANTIATE_TEST_SUITE_P(
    Cases, OpenStepTest,
    testing::Values(
        TOpenStepCase{"FileList", false, {ctFileList, false, true, 2}, osOpenFileList},
        TOpenStepCase{"ArchiveListForTheSlideShow", true, {ctArchiveList, false, false, -1}, osOpenArchiveList},
        TOpenStepCase{"AnotherNode", false, {ctTree, false, true, 3}, osSelectNode},
        TOpenStepCase{"AnotherNodeForTheSlideShow", true, {ctTree, false, true, 3}, osSelectNode},
        TOpenStepCase{"SelectedNodeWithNothingShown", false, {ctTree, true, false, -1}, osShowFirst},
        TOpenStepCase{"SelectedNodeWithAPicture", false, {ctTree, true, true, 0}, osToggleFullScreen},
        TOpenStepCase{"SlideShowFromALaterPicture", true, {ctTree, true, true, 4}, osShowFirst},
        TOpenStepCase{"SlideShowFromTheFirstPicture", true, {ctTree, true, true, 0}, osNothing},
        TOpenStepCase{"SlideShowWithNothingShown", true, {ctTree, true, false, -1}, osNothing},
        TOpenStepCase{"ImageView", false, {ctImage, false, true, 1}, osToggleFullScreen},
        TOpenStepCase{"ImageViewForTheSlideShow", true, {ctImage, false, true, 1}, osNothing},
        TOpenStepCase{"NoTargetYet", false, {ctNone, false, false, -1}, osNothing}),
    [](const testing::TestParamInfo<TOpenStepCase>& info) { return std::string(info.param.Name); });

}  // namespace
