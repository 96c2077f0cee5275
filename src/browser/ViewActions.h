#pragma once

// What the browser window's actions do to the image view, apart from any
// widget: moves, scrolls, view modes, binding, fitting, ratios, zoom, filters,
// rotation and the bars, with the checked and enabled state of every action
// the menus show. Outcomes that need the window (a dialog, the next folder,
// ending the program) come back as requests. User-interface thread.

#include <cstdint>
#include <utility>

#include "browser/KeyBindings.h"
#include "viewer/PageViewer.h"

enum class TWindowRequest : uint8_t {
    wrNone,
    wrOpenDialog,        // ask for a file to open
    wrOpenFolderDialog,  // ask for a folder to open
    wrRatioDialog,       // ask for the entered ratio (ApplyEnteredRatio)
    wrSizeDialog,        // ask for the display size (ApplyImageSize)
    wrNextFolder,        // the end of the list: open the next folder or archive
    wrPriorFolder,       // the start of the list: open the previous one
    wrExit,              // end the program
};

struct TActionOutcome {
    TWindowRequest Request = TWindowRequest::wrNone;
    bool SubFolderFirst = false;  // wrNextFolder: enter a sub-folder first
    // The pages, the caption or the checked states may have changed.
    bool ViewChanged = false;
    // A scroll animation was started; the window runs its timer.
    bool Animate = false;
    // The bars were switched on or off.
    bool BarsChanged = false;
    // The filter or rotation changed and the shown picture was loaded
    // again.
    bool PicturesChanged = false;
};

class TViewActions {
public:
    explicit TViewActions(TPageViewer& viewer);

    // Runs an action as chosen from a menu, the image bar or the command
    // line (never exchanged for left-bound books).
    TActionOutcome Run(TActionId action);
    // A move or scroll command; fromKey applies the exchange options of a
    // left-bound book.
    TActionOutcome RunMove(TMoveCommand command, bool fromKey);
    TActionOutcome RunScroll(TScrollCommand command, bool fromKey);
    // Whatever a key bound in the bindings runs.
    TActionOutcome RunKey(const TKeyCommand& command);
    // A mouse command: a wheel turn (code 10 up, 11 down) at point.
    TActionOutcome RunMouse(int code, bool ctrl, TPoint point);
    // The image bar's direction buttons: they follow the binding so that the
    // left button always turns towards the left page.
    TActionOutcome RunImageBar(TImageBarButton button);
    // The seek bar's jump.
    TActionOutcome GoToIndex(int index);
    // A move that waited behind a page step still gathering its pictures and
    // was planned once that step was shown.
    TActionOutcome DeferredMove(const TMovePlan& plan) { return FromPlan(plan); }
    // True once after a move went to another picture or asked for the
    // neighbouring folder: the picture shown next came by a move, not by
    // opening it, and opens neither full screen nor a slideshow.
    bool TakeMoved() { return std::exchange(fMoved, false); }

    // The dialogs' answers: a ratio in percent (1..800), a size in pixels
    // (1..5000) along a direction.
    TActionOutcome ApplyEnteredRatio(int percent);
    TActionOutcome ApplyImageSize(int pixels, TSizeDir direction);

    bool Checked(TActionId action) const;
    // False for every action this class does not carry out (the window's
    // own commands, and those that come later).
    bool Enabled(TActionId action) const;
    // The actions Run carries out.
    static bool Runs(TActionId action);

    // Window state the actions switch.
    bool ImageBarShown() const { return fImageBar; }
    bool SeekBarShown() const { return fSeekBar; }
    void SetBars(bool imageBar, bool seekBar);
    // The selected filter set (0..9), -1 for none; filterCount sets exist.
    int Filter() const { return fFilter; }
    void SetFilterCount(int count);
    int FilterCount() const { return fFilterCount; }
    void SelectFilter(int index);
    // Dialog-free use (the snapshot): the ratio and size commands apply the
    // entered values as they are instead of asking.
    void SetBatch(bool on) { fBatch = on; }

private:
    TActionOutcome FromPlan(const TMovePlan& plan);
    TActionOutcome ToggleLayoutOption(TActionId action);
    TActionOutcome SelectRotation(TRotation rotation);
    TActionOutcome PreparePicturesAgain();

    TPageViewer& fViewer;
    bool fImageBar = true;
    bool fSeekBar = false;
    int fFilter = -1;
    int fFilterCount = 0;
    bool fBatch = false;
    bool fMoved = false;
};

// The move command a move action runs; nothing for other actions.
std::optional<TMoveCommand> MoveCommandOf(TActionId action);
