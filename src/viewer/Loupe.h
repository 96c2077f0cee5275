#pragma once

// The loupe and the grid as arithmetic. The loupe is a square magnifier
// centred on the pointer: this header decides where the square lies, which
// part of each shown page it magnifies and at what size, and renders that
// part through the same scaled caches the pages use, so a pointer move
// scales only the strips it uncovers. The grid is a set of lines over the
// view. Both are plain values the overlay widgets paint; nothing here draws.
// User-interface thread.

#include <array>
#include <memory>
#include <vector>

#include "base/Color.h"
#include "viewer/Geometry.h"
#include "viewer/ScaledPage.h"

class TPageLayout;

// The loupe's own copy of section LOUPE.
struct TViewLoupeOptions {
    int Size = 200;       // side of the square, 50..1000
    int Scale = 4;        // index into LoupeScales
    int Change = 50;      // step of the size commands
    bool Hook = false;    // keeps following the pointer outside the view
    bool Confine = false; // the square never leaves the view
};

// The grid's own copy of section GRID.
struct TViewGridOptions {
    TColor Color = 0x00FF0000;   // the lines
    TColor Center = 0x000000FF;  // the vertical centre line
    int Interval = 20;           // pixels between lines
    int Change = 5;              // step of the spacing commands
};

// Index 0 shows the picture's own pixels; the others magnify the displayed
// page by their factor.
inline constexpr int LoupeScaleCount = 9;
inline constexpr double LoupeScales[LoupeScaleCount] = {1.0, 1.25, 1.5, 1.75, 2.0, 3.0, 4.0, 6.0, 8.0};

inline constexpr int LoupeSizeMin = 50;
inline constexpr int LoupeSizeMax = 1000;
inline constexpr int GridIntervalMin = 5;
inline constexpr int GridIntervalMax = 100;
// The frame drawn inside the square's edge; the content lies within it.
inline constexpr int LoupeBorder = 2;
inline constexpr TColor LoupeFrameColor = 0x00FF0000;

// The steps of the loupe and grid commands; the result is kept within the
// commands' limits.
int StepLoupeSize(int size, int change, bool enlarge);
int StepLoupeScale(int scale, bool enlarge);
int StepGridInterval(int interval, int change, bool enlarge);

// One page under the loupe.
struct TLoupePage {
    bool Shown = false;
    // The size of the magnified page: its display size times the factor, or
    // for index 0 the picture's own size.
    TSize Virtual;
    // Where the whole magnified page lies, in the loupe content's
    // coordinates ((0, 0) is the content's top-left corner).
    TRect Place;
    // The part of the magnified page the content shows, in the magnified
    // page's coordinates; always inside (0, 0, Virtual), empty when the page
    // does not reach the square.
    TRect Region;
    // The magnified page is the picture at its own size: copied.
    bool Exact = false;
};

struct TLoupeView {
    // The square in view coordinates; empty when there is nothing to show.
    TRect Square;
    // The content (the square less its border) in view coordinates.
    TRect Content;
    std::array<TLoupePage, 2> Pages;
};

// The square for a pointer: size x size centred on it, moved back inside a
// client area of client when confine is on (to its top-left corner when it
// is larger than the view).
TRect LoupeSquare(TPoint pointer, int size, TSize client, bool confine);

// What the loupe shows for the pointer (view coordinates) over layout.
// Nothing is shown while no page is.
TLoupeView LoupeGeometry(const TPageLayout& layout, TPoint pointer, const TViewLoupeOptions& options);

// A page's picture for the loupe.
struct TLoupeSource {
    std::shared_ptr<TBitmap> Bitmap;
    bool Gray = false;
};

// Renders the loupe's content: each page's magnified part is held in a
// scaled cache of its own, so a move of the pointer keeps what the square
// still shows and scales only the uncovered strips.
class TLoupeRenderer {
public:
    // ratio: the screen's device pixel ratio; the magnified pages are made
    // in device pixels, so a scaled screen shows them at its own resolution.
    TRenderStats Render(const TLoupeView& view, const std::array<TLoupeSource, 2>& sources, TPageScaler& scaler,
                        double ratio = 1.0);
    // Forgets every held pixel (the loupe was hidden, the scaling changed).
    void Clear();
    // The held pixels of a page; HeldInView is in content coordinates
    // (device pixels).
    const TScaledPage& Page(int page) const { return fPages[page == 1 ? 1 : 0]; }

private:
    TScaledPage fPages[2];
};

// The grid over a view of width x height: the centre line at Center, the
// other vertical lines at Vertical, the horizontal ones at Horizontal.
struct TGridLines {
    int Center = 0;
    std::vector<int> Vertical;
    std::vector<int> Horizontal;
};
TGridLines GridLines(int width, int height, int interval);
