#pragma once

// What the filter parameter dialog edits, without its widgets: the level
// editor's two markers on a gradient, the tone-curve editor's points, and the
// texts of the value boxes. The curve is turned into its table by the same
// function the filter runs, so the curve the editor draws, the settings file
// and the picture all agree. User-interface thread.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/ObserverList.h"
#include "imaging/FilterItem.h"
#include "imaging/FilterProc.h"

// What an editing model changed.
enum class TFilterEditChange : uint8_t {
    fcSets,      // sets were added, copied, deleted or moved
    fcActive,    // the ticked (active) set
    fcSelection, // the selected set row
    fcName,      // the selected set's name
    fcItems,     // the selected set's items
    fcLine,      // the selected item line
    fcMarkers,   // a level marker moved
    fcCurve,     // the tone curve's points
};

class TFilterEditObserver {
public:
    virtual ~TFilterEditObserver() = default;
    virtual void FilterEditChanged(TFilterEditChange change, TChangePhase phase) = 0;
};

enum class TLevelMarker : uint8_t { lmNone, lmBlack, lmWhite };

// One gradient of the level editor: a black and a white marker on 0 .. 255,
// black always below white. The gradient is 256 pixels wide, one per value;
// the marker panel reaches half a marker width beyond both ends, so panel
// positions are values plus that half width.
class TLevelMarkers {
public:
    TLevelMarkers(int black = 0, int white = 255);

    int Black() const { return fBlack; }
    int White() const { return fWhite; }
    // The limits of the value boxes: black 0 .. white - 1, white black + 1 .. 255.
    int BlackMax() const { return fWhite - 1; }
    int WhiteMin() const { return fBlack + 1; }
    // A typed value, clamped into its limits; false when nothing changed.
    bool SetBlack(int value);
    bool SetWhite(int value);

    // A left press on the marker panel: the black marker when the press lies
    // at or left of the point halfway between the markers, else the white.
    TLevelMarker Press(int panelX, int markerWidth);
    // Moves the picked marker to the pointer, within its limits.
    bool DragTo(int panelX, int markerWidth);
    void Release() { fPicked = TLevelMarker::lmNone; }
    TLevelMarker Picked() const { return fPicked; }

    void RegisterObserver(TFilterEditObserver* o) { fObservers.Register(o); }
    void UnregisterObserver(TFilterEditObserver* o) { fObservers.Unregister(o); }

private:
    bool Move(TLevelMarker marker, int value);

    int fBlack;
    int fWhite;
    TLevelMarker fPicked = TLevelMarker::lmNone;
    TObserverList<TFilterEditObserver> fObservers;
};

// The tone-curve editor's points on a panel whose y grows upward. A press
// picks the point within 3 of it or inserts one; dragging keeps x strictly
// increasing: the end points push away (and delete) the points they pass, an
// inner point dragged onto or past a neighbour is deleted. The first and last
// points always stay.
class TToneCurveModel {
public:
    explicit TToneCurveModel(TToneCurveInfo curve = {});

    const TToneCurveInfo& Curve() const { return fCurve; }
    void SetPerChannel(bool perChannel) { fCurve.PerChannel = perChannel; }
    // The table the filter applies, from the same function; identity when
    // the points break the rules (they cannot, through this model).
    TToneTable Table() const;
    // "(x, y)" for every point, as the point list shows them.
    std::vector<std::string> PointTexts() const;

    // Panel positions: x scaled by 255 / width to the nearest value, a row
    // r of a panel h pixels high stands for 255 - r * 255 / (h - 1).
    static int ValueOfX(int px, int width);
    static int ValueOfY(int py, int height);

    // A left press; the index of the picked point.
    int Press(int px, int py, int width, int height);
    // Drags the picked point; false when nothing changed.
    bool DragTo(int px, int py, int width, int height);
    // The same with values instead of panel positions.
    int PressValue(int x, int y);
    bool DragValue(int x, int y);
    void Release() { fPicked = -1; }
    int Picked() const { return fPicked; }

    void RegisterObserver(TFilterEditObserver* o) { fObservers.Register(o); }
    void UnregisterObserver(TFilterEditObserver* o) { fObservers.Unregister(o); }

private:
    void Changed(TChangePhase phase);

    TToneCurveInfo fCurve;
    int fPicked = -1;
    TObserverList<TFilterEditObserver> fObservers;
};

// The value boxes of the parameter dialog: what they show for a stored value
// and which stored value a typed text gives. Gamma shows 100 as "1.00", below
// it the value / 100, above it (value - 100) * 0.05 + 1 (180 shows "5.00");
// contrast and brightness show value - 100; the rest show the value.
std::string ShownGamma(int stored);
int ShownCorrection(int stored);
// The stored value a text typed into a box gives, before the box clamps it:
// an empty text gives min; a text that is not a number gives nothing (the
// previous value stays). Gamma reads a decimal number (one point at most),
// times 100 to the nearest integer, halves away from zero, and above 100
// (v - 100) / 5 + 100; contrast and brightness add 100 to the number; the
// other boxes take a non-negative integer as typed.
std::optional<int> ParseGammaText(std::string_view text, int min);
std::optional<int> ParseCorrectionText(std::string_view text, int min);
std::optional<int> ParsePlainText(std::string_view text, int min);
