#pragma once

// One page's scaled cache: the pixels of the visible part of a page at its
// display size in device pixels, kept between paints. A new layout of the
// same picture at the same size reuses what is held; a scroll moves the held
// pixels inside the cache with one block copy and scales only the strips it
// uncovers; a page at its loaded size is copied, never resampled. The view
// widget paints the cache as it is; the scaling itself is done by an
// injected TPageScaler, so the resamplers (and, in tests, a counting
// stand-in) plug in here.
// User-interface thread.

#include <cstdint>
#include <memory>
#include <string>

#include "common/Bitmap.h"
#include "viewer/Geometry.h"
#include "viewer/ScaledArea.h"

// Scales a prepared page (24-bit, or 8-bit gray when gray) to width x height
// and writes region (in those display coordinates) into destination at
// (x, y). The destination has the source's depth and room for the region.
// Raises an exception when the resampler fails.
class TPageScaler {
public:
    virtual ~TPageScaler() = default;
    virtual void Scale(const TBitmap& source, bool gray, TBitmap& destination, int width, int height, int x, int y,
                       const TRect& region) = 0;
};

// What rendering cost: regions resampled, regions copied 1:1, and pixels.
struct TRenderStats {
    int RegionsScaled = 0;
    int RegionsCopied = 0;
    int64_t PixelsScaled = 0;  // resampled or copied
    int64_t PixelsKept = 0;    // moved inside the cache instead
    void Add(const TRenderStats& other)
    {
        RegionsScaled += other.RegionsScaled;
        RegionsCopied += other.RegionsCopied;
        PixelsScaled += other.PixelsScaled;
        PixelsKept += other.PixelsKept;
    }
};

// The page to render: the slot's bitmap, its display size, and where the page
// lies in the view, all in layout pixels.
struct TPageRenderInput {
    std::shared_ptr<TBitmap> Source;
    bool Gray = false;
    TSize Display;
    // The page is shown at its loaded size in device pixels (the display
    // ratio times Ratio exactly 1.0): its pixels are copied.
    bool Exact = false;
    TRect PageRect;  // view coordinates; empty when the page is not shown
    TSize Client;
    // Device pixels per layout pixel (the screen's device pixel ratio): the
    // page is scaled to Display x Ratio and held in device pixels, so that
    // it is painted 1:1 on a scaled screen instead of enlarged afterwards.
    double Ratio = 1.0;
};

class TScaledPage {
public:
    // Brings the cache up to date for the page. Pixels held for the same
    // picture at the same display size are reused; anything else is scaled
    // afresh. When nothing of the page is visible the cache is emptied.
    // A scaler failure passes on after the cache was marked as holding the
    // visible part, so a failed page is not retried on every paint (it keeps
    // whatever was rendered before).
    TRenderStats Render(const TPageRenderInput& page, TPageScaler& scaler);
    // Forgets the held pixels (the scaling method changed); the next Render
    // scales the whole visible part.
    void Invalidate() { fArea.Reset(); }
    // Frees the cache (the picture was closed).
    void Clear();

    // The cache's pixels: the visible part of the page at (0, 0) of
    // Bitmap(), Held() in display coordinates. Held() is empty when nothing
    // is held. Both are in device pixels: layout pixels times Ratio().
    const TBitmap& Bitmap() const { return fCache; }
    const TRect& Held() const { return fArea.Held(); }
    // Where the held pixels go in the view (device pixels).
    TRect HeldInView() const { return fArea.Held().Offset(fPageLeftTop.X, fPageLeftTop.Y); }
    // The device pixel ratio the held pixels were made for.
    double Ratio() const { return fRatio; }

private:
    bool SamePicture(const TPageRenderInput& page) const;
    void EnsureCache(const TRenderPlan& plan, int bitsPerPixel);
    void MoveKept(const TRenderPlan& plan);

    TBitmap fCache;
    TScaledArea fArea;
    // What the held pixels are of: the picture (compared by identity, so a
    // new picture at a freed one's address never matches), its size, the
    // device pixel ratio and whether they were copied.
    std::weak_ptr<TBitmap> fSource;
    TSize fDisplay;
    double fRatio = 1.0;
    bool fExact = false;
    TPoint fPageLeftTop;
};

// The message shown when scaling a page fails: the picture's and the
// display's size on their own lines.
std::string ScaleFailedMessage(TSize picture, TSize display);
