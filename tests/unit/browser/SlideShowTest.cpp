#include "browser/SlideShow.h"

#include <gtest/gtest.h>

#include <chrono>
#include <deque>
#include <vector>

using namespace std::chrono_literals;

namespace {

// A fake clock with the slideshow's one timer on it: Advance fires the
// timer each time its interval has passed, as the window's timer would.
class TFakeClock : public TSlideTimer {
public:
    void Start(std::chrono::milliseconds interval) override
    {
        Starts++;
        Active = true;
        IntervalSet = interval;
        Due = Now + interval;
    }
    void Stop() override { Active = false; }

    void Advance(std::chrono::milliseconds span, TSlideShow& show)
    {
        const auto end = Now + span;
        while (Active && Due <= end) {
            Now = Due;
            Due = Now + IntervalSet;  // a repeating timer
            show.Tick();
        }
        Now = end;
    }

    std::chrono::milliseconds Now{0};
    std::chrono::milliseconds Due{0};
    std::chrono::milliseconds IntervalSet{0};
    bool Active = false;
    int Starts = 0;
};

class TFakeHost : public TSlideShowHost {
public:
    bool EnsurePicture() override { return HasPicture; }
    bool CanStep() const override { return Enabled && HasPicture; }
    TSlideStepResult RunStep(const TSlideStep& step) override
    {
        Steps.push_back(step);
        const TSlideStepResult result = Results.empty() ? TSlideStepResult::srShown : Results.front();
        if (!Results.empty())
            Results.pop_front();
        return result;
    }

    bool HasPicture = true;
    bool Enabled = true;
    std::deque<TSlideStepResult> Results;
    std::vector<TSlideStep> Steps;
};

struct TSlideFixture : ::testing::Test {
    TFakeClock clock;
    TFakeHost host;
    TSlideShow show{clock, host};
};

}  // namespace

struct TStepRow {
    TSlideShowCommand Command;
    TBinding Binding;
    TSlideStep Expected;
};

class SlideStepTest : public ::testing::TestWithParam<TStepRow> {};

TEST_P(SlideStepTest, CommandRunsItsStep)
{
    const TStepRow& row = GetParam();
    EXPECT_EQ(SlideStepOf(row.Command, row.Binding), row.Expected);
    // The radio group's action chooses the same command back.
    EXPECT_EQ(SlideCommandOf(SlideActionOf(row.Command)), row.Command);
}

constexpr TSlideStep Move(TMoveCommand c) { return {false, c, TScrollCommand::scPageDown}; }
constexpr TSlideStep Scroll(TScrollCommand c) { return {true, TMoveCommand::mcNext, c}; }

INSTANTIATE_TEST_SUITE_P(
    Commands, SlideStepTest,
    ::testing::Values(TStepRow{TSlideShowCommand::scNextFile, TBinding::bdRight, Move(TMoveCommand::mcNext)},
                      TStepRow{TSlideShowCommand::scNextOneFile, TBinding::bdLeft, Move(TMoveCommand::mcOneNext)},
                      TStepRow{TSlideShowCommand::scJump, TBinding::bdRight, Move(TMoveCommand::mcJumpNext)},
                      TStepRow{TSlideShowCommand::scRandom, TBinding::bdRight, Move(TMoveCommand::mcRandomNext)},
                      TStepRow{TSlideShowCommand::scPageDown, TBinding::bdLeft, Scroll(TScrollCommand::scPageDown)},
                      TStepRow{TSlideShowCommand::scPageLeftRight, TBinding::bdRight,
                               Scroll(TScrollCommand::scPageLeft)},
                      TStepRow{TSlideShowCommand::scPageLeftRight, TBinding::bdLeft,
                               Scroll(TScrollCommand::scPageRight)},
                      TStepRow{TSlideShowCommand::scLineDown, TBinding::bdRight, Scroll(TScrollCommand::scLineDown)},
                      TStepRow{TSlideShowCommand::scLineLeftRight, TBinding::bdRight,
                               Scroll(TScrollCommand::scLineLeft)},
                      TStepRow{TSlideShowCommand::scLineLeftRight, TBinding::bdLeft,
                               Scroll(TScrollCommand::scLineRight)}));

TEST(SlideStep, OnlyTheRadioGroupChoosesACommand)
{
    EXPECT_FALSE(SlideCommandOf(TActionId::actSlideShow));
    EXPECT_FALSE(SlideCommandOf(TActionId::actNext));
}

TEST_F(TSlideFixture, StepsAtTheIntervalFromEachShownPicture)
{
    show.SetInterval(20);  // two seconds
    ASSERT_TRUE(show.Start());
    clock.Advance(1999ms, show);
    EXPECT_TRUE(host.Steps.empty());
    clock.Advance(1ms, show);
    EXPECT_EQ(host.Steps.size(), 1u);
    // A picture shown from outside restarts the count.
    clock.Advance(1500ms, show);
    show.PictureShown();
    clock.Advance(1999ms, show);
    EXPECT_EQ(host.Steps.size(), 1u);
    clock.Advance(1ms, show);
    EXPECT_EQ(host.Steps.size(), 2u);
}

TEST_F(TSlideFixture, IntervalIsClampedAndTakesEffectAtOnce)
{
    show.SetInterval(0);
    EXPECT_EQ(show.Interval(), 100ms);
    show.SetInterval(99999);
    EXPECT_EQ(show.Interval(), 600000ms);
    ASSERT_TRUE(show.Start());
    show.SetInterval(5);
    EXPECT_EQ(clock.IntervalSet, 500ms);
    clock.Advance(500ms, show);
    EXPECT_EQ(host.Steps.size(), 1u);
}

TEST_F(TSlideFixture, EmptyListSwitchesItselfOff)
{
    host.HasPicture = false;
    EXPECT_FALSE(show.Toggle());
    EXPECT_FALSE(show.Running());
    EXPECT_FALSE(clock.Active);
}

struct TEndRow {
    TSlideStepResult Result;
    bool StillRunning;
    bool TimerActive;
};

class SlideEndTest : public ::testing::TestWithParam<TEndRow> {};

TEST_P(SlideEndTest, StepResultDecidesWhatFollows)
{
    TFakeClock clock;
    TFakeHost host;
    TSlideShow show{clock, host};
    host.Results = {GetParam().Result};
    ASSERT_TRUE(show.Start());
    clock.Advance(1000ms, show);
    ASSERT_EQ(host.Steps.size(), 1u);
    EXPECT_EQ(show.Running(), GetParam().StillRunning);
    EXPECT_EQ(clock.Active, GetParam().TimerActive);
    // Nothing steps while the timer waits or after the show ended.
    clock.Advance(5000ms, show);
    EXPECT_EQ(host.Steps.size(), GetParam().TimerActive ? 6u : 1u);
}

INSTANTIATE_TEST_SUITE_P(EndOfList, SlideEndTest,
                         ::testing::Values(TEndRow{TSlideStepResult::srShown, true, true},
                                           TEndRow{TSlideStepResult::srOpening, true, false},
                                           TEndRow{TSlideStepResult::srNothing, false, false},
                                           TEndRow{TSlideStepResult::srClosed, false, false}));

TEST_F(TSlideFixture, OpeningTheNextFolderWaitsForItsFirstPicture)
{
    host.Results = {TSlideStepResult::srOpening};
    ASSERT_TRUE(show.Start());
    clock.Advance(1000ms, show);
    EXPECT_FALSE(clock.Active);
    show.PictureShown();
    clock.Advance(1000ms, show);
    EXPECT_EQ(host.Steps.size(), 2u);
}

TEST_F(TSlideFixture, PauseStopsTheTimerAndResumeStartsItAgain)
{
    ASSERT_TRUE(show.Start());
    show.SetPaused(true);
    EXPECT_TRUE(show.Running());
    clock.Advance(5000ms, show);
    EXPECT_TRUE(host.Steps.empty());
    // A picture shown while minimised starts no timer of its own.
    show.PictureShown();
    EXPECT_FALSE(clock.Active);
    show.SetPaused(false);
    clock.Advance(1000ms, show);
    EXPECT_EQ(host.Steps.size(), 1u);
}

TEST_F(TSlideFixture, ModalDialogSkipsTicksWithoutEndingTheShow)
{
    ASSERT_TRUE(show.Start());
    host.Enabled = false;
    clock.Advance(3000ms, show);
    EXPECT_TRUE(host.Steps.empty());
    EXPECT_TRUE(show.Running());
    host.Enabled = true;
    clock.Advance(1000ms, show);
    EXPECT_EQ(host.Steps.size(), 1u);
}

TEST_F(TSlideFixture, ClosingThePictureEndsTheShow)
{
    ASSERT_TRUE(show.Start());
    show.PictureClosed();
    EXPECT_FALSE(show.Running());
    EXPECT_FALSE(clock.Active);
    // Starting again after a stop uses a fresh timer start, not a second one.
    const int starts = clock.Starts;
    ASSERT_TRUE(show.Toggle());
    EXPECT_EQ(clock.Starts, starts + 1);
}
