#pragma once

// Scrolling a page or spread that is larger than the view: the scroll
// commands with their amounts and edge rules (at a page edge, jump to the
// next column of the same page or move to another picture), the wheel's
// notch counting, the animation of a scroll, the mouse's quadrants and drag
// modes, and the seek bar's mapping between bar positions and pictures. All
// of it is arithmetic on the view's client size and the content rectangle of
// TPageLayout; the view widget forwards its events here and moves the
// content by the results.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "viewer/Geometry.h"
#include "viewer/PageMove.h"
#include "viewer/ViewOptions.h"

// The scroll commands, numbered as key bindings and mouse bindings store them.
enum class TScrollCommand : uint8_t {
    scPageUp,              // "大スクロール－上"
    scPageDown,            // "大スクロール－下"
    scPageLeft,            // "大スクロール－左"
    scPageRight,           // "大スクロール－右"
    scLineUp,              // "小スクロール－上"
    scLineDown,            // "小スクロール－下"
    scLineLeft,            // "小スクロール－左"
    scLineRight,           // "小スクロール－右"
    scOrigin,              // "原点にスクロール": top corner on the binding's start side
    scOriginVertical,      // "原点の縦対称にスクロール": bottom corner on the start side
    scOriginHorizontal,    // "原点の横対称にスクロール": top corner on the far side
    scOriginDiagonal,      // "原点の対角にスクロール": bottom corner on the far side
};
inline constexpr int ScrollCommandCount = 12;

std::string ScrollCommandName(TScrollCommand command);

// What a scroll command does. Positive DX moves the content right (shows
// more of its left part), positive DY moves it down.
struct TScrollResult {
    int DX = 0;
    int DY = 0;
    // Scrolling on at an edge moves to another picture instead: the move
    // command to run, and the placement marks to set on the layout first so
    // that the picture entered backwards opens at its far end.
    bool Move = false;
    TMoveCommand MoveCommand = TMoveCommand::mcNext;
    bool StartAtBottom = false;
    bool StartAtOppositeSide = false;
    // The wheel has not yet been turned often enough against the edge.
    bool Blocked = false;
};

// Limits a scroll so that the content never leaves a gap at an edge: with
// content wider than the view, edges meet at most; with narrower content
// nothing moves that way.
TPoint ClampScroll(int dx, int dy, const TRect& content, TSize client);

// The scroll commands and the two counters that hold moves back: the edge
// counter (wheel notches against an edge) and the wheel counter (notches
// swallowed before the wheel acts). User-interface thread.
class TScrollController {
public:
    void SetOptions(const TViewScrollOptions& options) { fOptions = options; }
    const TViewScrollOptions& Options() const { return fOptions; }

    // One scroll command on content placed at content in a view of size
    // client. fromKey: the command came from a key, so the left/right
    // exchange options of a left-bound book apply.
    TScrollResult Run(TScrollCommand command, bool fromKey, TBinding binding, TSize client, const TRect& content);

    // Feeds one wheel event (delta in eighths of a degree, 120 a notch).
    // Returns the mouse button code the wheel acts as (10 up, 11 down) once
    // it acts; nothing while notches are swallowed or a high-resolution
    // wheel has not yet made up a whole notch.
    std::optional<int> Wheel(int delta);

    // Every mouse command other than a scroll command forgets the notches
    // turned against an edge.
    void ResetEdgeCounter() { fEdgeCounter = 0; }
    // Closing the picture forgets both counters.
    void ResetCounters();
    int EdgeCounter() const { return fEdgeCounter; }
    int WheelCounter() const { return fWheelCounter; }

private:
    int Amount(const TScrollRecord& record, int size) const;

    TViewScrollOptions fOptions;
    int fEdgeCounter = 0;
    int fWheelCounter = 0;
    int fWheelRemainder = 0;
};

// The animation of a scroll: the distance is covered in 10 ms ticks at
// "AnimateSpeed" pixels per second, on a straight line. User-interface
// thread (a timer).
class TScrollAnimation {
public:
    static constexpr int TickMilliseconds = 10;

    void Start(int dx, int dy, int animateSpeed);
    void Stop() { fRemaining = TPoint{}; }
    bool Active() const { return fRemaining.X != 0 || fRemaining.Y != 0; }
    // The step to move the content by on this tick; (0, 0) once done.
    TPoint Tick();
    TPoint Remaining() const { return fRemaining; }
    TPoint Step() const { return fStep; }
    // How many ticks are due after elapsed milliseconds since the last tick
    // was run, for a timer that fell behind.
    static int TicksDue(int elapsedMilliseconds) { return elapsedMilliseconds / TickMilliseconds; }

private:
    TPoint fRemaining;
    TPoint fStep;
};

// Mouse bindings may give four commands, one per quadrant of the view; the
// dividing lines belong to the left and upper quadrants.
enum class TQuadrant : uint8_t { qdTopLeft, qdTopRight, qdBottomLeft, qdBottomRight };
TQuadrant QuadrantOf(TPoint point, TSize client);

// Left-button dragging in the view.
enum class TDragMode : uint8_t {
    dmNone,
    dmGrab,         // the content follows the pointer
    dmReverseGrab,  // the content moves against the pointer
    dmRubberBand,   // a band is drawn and zoomed into on release
};
inline constexpr int DragThreshold = 5;
// A press turns into a drag once the pointer moved more than 5 pixels in x
// or y; a release before that is a click.
bool DragStarted(TPoint press, TPoint now);
// The scroll for a pointer movement of delta, before clamping.
TPoint DragScroll(TPoint delta, TDragMode mode, int dragScrollQuantity);

struct TRubberBandZoom {
    TPoint Anchor;  // content coordinates: the centre of the band's overlap with the content
    double Factor = 1.0;
};
// The zoom of a rubber band from a to b (view coordinates); nothing when the
// band misses the content.
std::optional<TRubberBandZoom> RubberBandZoom(TPoint a, TPoint b, const TRect& content, TSize client);

// The seek bar: positions 0 .. count - 1. With right binding (and
// "SeekToRight" off) the bar is mirrored so that its left end is the last
// picture, as the pages lie in a right-bound book.
class TSeekBarMap {
public:
    TSeekBarMap(int count, bool bindRight, bool seekToRight);

    int Count() const { return fCount; }
    int Max() const { return fCount > 0 ? fCount - 1 : 0; }
    bool Mirrored() const { return fMirrored; }
    // An empty list shows a bar at 0 whose entry field cannot be edited.
    bool ReadOnly() const { return fCount <= 0; }
    int PositionOfIndex(int index) const;
    int IndexOfPosition(int position) const;
    // A click at offset pixels along a track of trackLength pixels jumps
    // straight to the position under it.
    int ClickPosition(double offset, double trackLength) const;
    // Every how many positions a tick mark stands.
    int TickInterval(double trackLength) const;
    // The positions that carry a tick; counted from the right on a
    // mirrored bar.
    std::vector<int> TickPositions(double trackLength) const;
    // "/ count" beside the entry field.
    std::string MaxLabel() const;

private:
    int fCount;
    bool fMirrored;
};
