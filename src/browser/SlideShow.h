#pragma once

// The slideshow: one move or scroll command run at a fixed interval while it
// is on. It keeps a single timer (started again, never doubled, whenever a
// picture is shown, so the interval counts from the moment the picture
// appeared), pauses while the window is minimised or hidden, and switches
// itself off when there is nothing more to show: an empty list, the end of
// the list with nothing to move to, a closed picture. The timer and the
// window are reached through interfaces, so the logic runs against a fake
// clock in tests. User-interface thread.

#include <chrono>
#include <cstdint>
#include <optional>

#include "app/Init.h"
#include "browser/ActionTable.h"
#include "common/ObserverList.h"
#include "viewer/PageMove.h"
#include "viewer/Scroll.h"

// The one timer of a slideshow. Start replaces an earlier start, so two
// timers never run at once.
class TSlideTimer {
public:
    virtual ~TSlideTimer() = default;
    virtual void Start(std::chrono::milliseconds interval) = 0;
    virtual void Stop() = 0;
};

// What a slideshow step runs: a move, or a scroll command without the key
// exchange of left-bound books.
struct TSlideStep {
    bool IsScroll = false;
    TMoveCommand Move = TMoveCommand::mcNext;
    TScrollCommand Scroll = TScrollCommand::scPageDown;
    bool operator==(const TSlideStep&) const = default;
};

// The step of a slideshow command. The sideways scrolls follow the reading
// direction: a right-bound book scrolls left, a left-bound one right.
TSlideStep SlideStepOf(TSlideShowCommand command, TBinding binding);
// The command an action of the slideshow's radio group chooses
// (actSlideNext ... actSlideLineH), nothing for other actions.
std::optional<TSlideShowCommand> SlideCommandOf(TActionId action);
TActionId SlideActionOf(TSlideShowCommand command);

// How a step went, as the window saw it.
enum class TSlideStepResult : uint8_t {
    srShown,     // another picture is shown, or the shown one scrolled
    // The next folder or archive is being opened; when its first picture is
    // not shown yet, showing it (PictureShown) restarts the timer.
    srOpening,
    srNothing,   // nothing moved: the end of the list with nothing after it
    srClosed,    // the picture was closed or the program is ending
};

// The window's side of a slideshow.
class TSlideShowHost {
public:
    virtual ~TSlideShowHost() = default;
    // Makes sure a picture is shown, opening the first one of the list when
    // none is; false when there is still none.
    virtual bool EnsurePicture() = 0;
    // The window takes a step now: it is enabled (no modal dialog) and
    // shows a picture.
    virtual bool CanStep() const = 0;
    // Runs the step as a move or scroll that takes no focus and does not
    // switch to full screen.
    virtual TSlideStepResult RunStep(const TSlideStep& step) = 0;
};

enum class TSlideShowChangeKind : uint8_t {
    skStarted,
    skStopped,
    skCommand,  // another step was chosen
};

class TSlideShow;

class TSlideShowObserver {
public:
    virtual ~TSlideShowObserver() = default;
    virtual void SlideShowChanged(TSlideShow& show, TSlideShowChangeKind kind, TChangePhase phase) = 0;
};

class TSlideShow {
public:
    // Interval bounds in tenths of a second, as the settings keep them.
    static constexpr int32_t MinInterval = 1;
    static constexpr int32_t MaxInterval = 6000;

    TSlideShow(TSlideTimer& timer, TSlideShowHost& host);
    TSlideShow(const TSlideShow&) = delete;
    TSlideShow& operator=(const TSlideShow&) = delete;

    void Register(TSlideShowObserver* observer) { fObservers.Register(observer); }
    void Unregister(TSlideShowObserver* observer) { fObservers.Unregister(observer); }

    // The step and the interval (tenths of a second, clamped to 1 ... 6000).
    // A new interval takes effect at once on a running slideshow.
    void SetCommand(TSlideShowCommand command);
    TSlideShowCommand Command() const { return fCommand; }
    void SetInterval(int32_t tenths);
    std::chrono::milliseconds Interval() const { return std::chrono::milliseconds(fInterval * 100); }
    void SetBinding(TBinding binding) { fBinding = binding; }

    bool Running() const { return fRunning; }
    // Running, and not paused: the timer is going.
    bool Ticking() const { return fRunning && !fPaused; }

    // actSlideShow: starts, or stops a running slideshow. Starting with no
    // picture to show leaves it off; false then.
    bool Toggle();
    bool Start();
    void Stop();

    // A picture was shown (by a step or otherwise): the interval counts again
    // from now.
    void PictureShown();
    // The picture was closed or the list went away: the slideshow ends.
    void PictureClosed();
    // The window was minimised or hidden (true) or came back (false).
    void SetPaused(bool paused);

    // The timer fired.
    void Tick();

private:
    void Notify(TSlideShowChangeKind kind, TChangePhase phase);
    void Restart();

    TSlideTimer& fTimer;
    TSlideShowHost& fHost;
    TObserverList<TSlideShowObserver> fObservers;
    TSlideShowCommand fCommand = TSlideShowCommand::scNextFile;
    TBinding fBinding = TBinding::bdRight;
    int32_t fInterval = 10;
    bool fRunning = false;
    bool fPaused = false;
    // A step is being run: a picture it shows restarts the timer once the
    // step is over, not in the middle of it.
    bool fInStep = false;
    bool fShownInStep = false;
};
