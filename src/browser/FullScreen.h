#pragma once

// Full screen apart from any widget: the normal window kept on entry and
// given back on leaving, which bars of the full-screen set show while the
// pointer brings them from a screen edge, when the pointer hides over the
// view, and when the screen saver is held off. The window carries out what
// these decide. User-interface thread.

#include <chrono>
#include <cstdint>
#include <optional>

#include "browser/ViewStates.h"
#include "browser/WindowState.h"

// The window as it was before full screen: its normal rectangle (pixels),
// whether it was maximised, whether it stayed on top.
struct TNormalWindow {
    TWindowRect Bounds;
    bool Maximized = false;
    bool StayOnTop = false;
    bool operator==(const TNormalWindow&) const = default;
};

// Whether full screen is on and what leaving it restores. The saved window
// belongs to this object, not to the settings: switching settings files in
// full screen changes what is written, never what leaving gives back.
class TFullScreenState {
public:
    bool Active() const { return fSaved.has_value(); }
    // Entering twice keeps the first saved window: the second would save the
    // full-screen rectangle as the normal one.
    void Enter(const TNormalWindow& normal);
    // The window to restore; nothing when full screen was off.
    std::optional<TNormalWindow> Leave();
    const std::optional<TNormalWindow>& Saved() const { return fSaved; }

private:
    std::optional<TNormalWindow> fSaved;
};

// The edges a pointer may bring bars from, as bit flags.
enum TScreenEdge : uint8_t {
    seNone = 0,
    seTop = 1,     // menu, main bar, address bar, image bar, the file view above the image
    seLeft = 2,    // tree and the file view below it
    seBottom = 4,  // seek bar
};

// How near an edge the pointer must come, in pixels.
inline constexpr int EdgeTrigger = 10;

// The edges the pointer (x, y, screen pixels) touches: the top and left of
// the screen, and the bottom of the view (viewBottom, the view's last row).
uint8_t EdgesTouched(int x, int y, const TWindowRect& screen, int viewBottom);

// Which edges show their bars after a pointer move: those it touches, and
// those already shown while the pointer stays over their bars (overShown:
// the edges whose shown bars are under the pointer).
uint8_t RevealedEdges(uint8_t shown, uint8_t touched, uint8_t overShown);

struct TFullScreenBars {
    bool MouseMoveShow = true;   // bars wait at the edges; off: always shown
    bool DisableShowBar = false; // nothing appears while the loupe is shown
};

// The panes and bars shown in full screen: the full-screen set, or with
// the bars brought by the pointer only the parts of it at revealed edges.
// Where the file view sits and stay-on-top follow the set in either case.
TPaneSet FullScreenPanes(const TPaneSet& fullSet, const TFullScreenBars& options, uint8_t revealed, bool loupeShown);

// Whether the screen saver is held off: while a slideshow runs, and in
// full screen when "NoScreenSave" asks for it.
bool HoldScreenSaver(bool slideShowRunning, bool fullScreen, bool noScreenSave);

// The pointer's own timer for hiding it when it stops moving; Start
// replaces an earlier start.
class TPointerTimer {
public:
    virtual ~TPointerTimer() = default;
    virtual void Start(std::chrono::milliseconds delay) = 0;
    virtual void Stop() = 0;
};

struct TPointerHideOptions {
    bool HideCursor = false;
    bool HideImage = false;       // only over a page
    bool HideFullScreen = false;  // only in full screen
    bool HideMotionless = false;  // only after it stops moving
    int32_t MotionlessTime = 30;  // tenths of a second
};

// The pointer over the view, with the loupe off: whether it is shown.
class TPointerHiding {
public:
    explicit TPointerHiding(TPointerTimer& timer) : fTimer(timer) {}
    void SetOptions(const TPointerHideOptions& options);

    // The pointer moved to (x, y); overPage: it is over a page. Returns
    // whether the pointer shows now.
    bool Moved(int x, int y, bool overPage, bool fullScreen);
    // The motionless time passed.
    void TimerFired();
    // A button was pressed: the pointer shows again.
    void Pressed();
    bool Hidden() const { return fHidden; }

private:
    bool Applies(bool overPage, bool fullScreen) const;

    TPointerTimer& fTimer;
    TPointerHideOptions fOptions;
    bool fHidden = false;
    // Where the pointer was hidden by the timer: the desktop repeats move
    // notices at the same place, which must not show it again.
    std::optional<std::pair<int, int>> fHiddenAt;
    std::pair<int, int> fLast{0, 0};
    bool fArmed = false;  // the last move was over a place where hiding applies
};
