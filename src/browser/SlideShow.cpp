#include "browser/SlideShow.h"

#include <algorithm>
#include <array>

namespace {

using enum TActionId;

// The radio group in the order of the commands it chooses.
constexpr std::array<TActionId, 8> SlideActions{actSlideNext,  actSlideS_Next, actSlideJ_Next, actSlideR_Next,
                                                actSlidePageV, actSlidePageH,  actSlideLineV,  actSlideLineH};

TSlideStep MoveStep(TMoveCommand command)
{
    return TSlideStep{false, command, TScrollCommand::scPageDown};
}

TSlideStep ScrollStep(TScrollCommand command)
{
    return TSlideStep{true, TMoveCommand::mcNext, command};
}

}  // namespace

TSlideStep SlideStepOf(TSlideShowCommand command, TBinding binding)
{
    const bool right = binding == TBinding::bdRight;
    switch (command) {
    case TSlideShowCommand::scNextFile: return MoveStep(TMoveCommand::mcNext);
    case TSlideShowCommand::scNextOneFile: return MoveStep(TMoveCommand::mcOneNext);
    case TSlideShowCommand::scJump: return MoveStep(TMoveCommand::mcJumpNext);
    case TSlideShowCommand::scRandom: return MoveStep(TMoveCommand::mcRandomNext);
    case TSlideShowCommand::scPageDown: return ScrollStep(TScrollCommand::scPageDown);
    case TSlideShowCommand::scPageLeftRight:
        return ScrollStep(right ? TScrollCommand::scPageLeft : TScrollCommand::scPageRight);
    case TSlideShowCommand::scLineDown: return ScrollStep(TScrollCommand::scLineDown);
    case TSlideShowCommand::scLineLeftRight:
        return ScrollStep(right ? TScrollCommand::scLineLeft : TScrollCommand::scLineRight);
    }
    return MoveStep(TMoveCommand::mcNext);
}

std::optional<TSlideShowCommand> SlideCommandOf(TActionId action)
{
    const auto found = std::find(SlideActions.begin(), SlideActions.end(), action);
    if (found == SlideActions.end())
        return std::nullopt;
    return static_cast<TSlideShowCommand>(found - SlideActions.begin());
}

TActionId SlideActionOf(TSlideShowCommand command)
{
    const auto index = static_cast<size_t>(command);
    return index < SlideActions.size() ? SlideActions[index] : actSlideNext;
}

TSlideShow::TSlideShow(TSlideTimer& timer, TSlideShowHost& host) : fTimer(timer), fHost(host) {}

void TSlideShow::Notify(TSlideShowChangeKind kind, TChangePhase phase)
{
    fObservers.Notify([&](TSlideShowObserver& observer) { observer.SlideShowChanged(*this, kind, phase); });
}

void TSlideShow::SetCommand(TSlideShowCommand command)
{
    if (command == fCommand)
        return;
    Notify(TSlideShowChangeKind::skCommand, TChangePhase::cpBefore);
    fCommand = command;
    Notify(TSlideShowChangeKind::skCommand, TChangePhase::cpAfter);
}

void TSlideShow::SetInterval(int32_t tenths)
{
    const int32_t interval = std::clamp(tenths, MinInterval, MaxInterval);
    if (interval == fInterval)
        return;
    fInterval = interval;
    if (Ticking())
        Restart();
}

void TSlideShow::Restart()
{
    fTimer.Start(Interval());
}

bool TSlideShow::Toggle()
{
    if (fRunning) {
        Stop();
        return true;
    }
    return Start();
}

bool TSlideShow::Start()
{
    if (fRunning)
        return true;
    // The picture must be there before the show counts as running, so that
    // a start on an empty list switches itself off again at once.
    if (!fHost.EnsurePicture())
        return false;
    Notify(TSlideShowChangeKind::skStarted, TChangePhase::cpBefore);
    fRunning = true;
    if (!fPaused)
        Restart();
    Notify(TSlideShowChangeKind::skStarted, TChangePhase::cpAfter);
    return true;
}

void TSlideShow::Stop()
{
    if (!fRunning)
        return;
    Notify(TSlideShowChangeKind::skStopped, TChangePhase::cpBefore);
    fRunning = false;
    fTimer.Stop();
    Notify(TSlideShowChangeKind::skStopped, TChangePhase::cpAfter);
}

void TSlideShow::PictureShown()
{
    // A step restarts the timer when it is over (Tick), once.
    if (fInStep)
        fShownInStep = true;
    else if (Ticking())
        Restart();
}

void TSlideShow::PictureClosed()
{
    Stop();
}

void TSlideShow::SetPaused(bool paused)
{
    if (paused == fPaused)
        return;
    fPaused = paused;
    if (!fRunning)
        return;
    if (paused)
        fTimer.Stop();
    else
        Restart();
}

void TSlideShow::Tick()
{
    if (!Ticking() || fInStep)
        return;
    // A modal dialog or a moment without a picture skips this tick; the
    // timer keeps going.
    if (!fHost.CanStep())
        return;
    fInStep = true;
    fShownInStep = false;
    const TSlideStepResult result = fHost.RunStep(SlideStepOf(fCommand, fBinding));
    fInStep = false;
    switch (result) {
    case TSlideStepResult::srShown:
        // The step may have stopped the show (the window closed the book
        // through an observer); Restart only while it still runs.
        if (Ticking())
            Restart();
        break;
    case TSlideStepResult::srOpening:
        // The next folder opens on its own time; its first picture starts
        // the interval again. Until then no tick may step into a list that
        // is half open.
        if (fShownInStep && Ticking())
            Restart();
        else
            fTimer.Stop();
        break;
    case TSlideStepResult::srNothing:
    case TSlideStepResult::srClosed:
        // Ticking on at the end would run the same step forever, and keep
        // the screen saver away, with nothing ever changing.
        Stop();
        break;
    }
}
