#pragma once

// Keeps track of what a page's scaled cache holds. Only the visible part of a
// page is ever scaled, into a cache bitmap the size of that part; when the
// view scrolls, the pixels already scaled move inside the cache with one block
// copy and only the newly exposed strips are scaled. This class computes that
// plan; the view widget carries it out with the resampler and paints the
// cache.

#include <vector>

#include "viewer/Geometry.h"

struct TRenderPlan {
    // False: nothing of the page is visible; the cache is emptied (0 x 0)
    // and forgets what it held, so scrolling back scales afresh.
    bool Visible = false;
    // The visible part in the page's display coordinates; the cache holds
    // it at (0, 0) once the plan is carried out.
    TRect Area;
    // The cache bitmap's size: at least Area's size; it only grows here.
    TSize CacheSize;
    // Pixels to keep: the block KeepSource (cache coordinates) moves to
    // KeepDest. Source and destination may overlap (a memmove per row, in
    // the right order).
    bool Keep = false;
    TRect KeepSource;
    TPoint KeepDest;
    // Regions to scale, in the page's display coordinates; each lands in
    // the cache at its own top-left minus Area's top-left.
    std::vector<TRect> Regions;
};

class TScaledArea {
public:
    // Forgets the held pixels (a new page, a new ratio): the next Update
    // scales the whole visible part. The cache keeps its size.
    void Reset() { fHeld = TRect{}; }
    // Forgets everything and sizes the cache 0 x 0.
    void Clear()
    {
        fHeld = TRect{};
        fCacheSize = TSize{};
    }
    // Plans the update for a page whose rectangle in view coordinates is
    // pageRect, in a client area of the given size, and records the result
    // as held.
    TRenderPlan Update(const TRect& pageRect, TSize client);

    // The part of the page (display coordinates) the cache holds; empty
    // when it holds nothing.
    const TRect& Held() const { return fHeld; }
    TSize CacheSize() const { return fCacheSize; }

private:
    TRect fHeld;
    TSize fCacheSize;
};
