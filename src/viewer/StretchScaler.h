#pragma once

// The shown pages' scaler: the user's "Stretch" choice through the scaling
// dispatcher (the four resamplers), or the desktop's smooth stretch for
// "HalfTone", which the window supplies. User-interface thread. A large
// region of a resampler is cut into bands of rows that are scaled at once on
// the machine's processors; each output row depends only on its own position,
// so the bands give the same bytes as one call.

#include <cstdint>

#include "imaging/Stretch.h"
#include "viewer/ScaledPage.h"

class TStretchPageScaler : public TPageScaler {
public:
    // halfTone (not owned, may be null for the dispatcher's stand-in) must
    // outlive the scaler.
    // maxBands: at most this many bands at once; 0 takes the number of
    // processors (at most 4).
    explicit TStretchPageScaler(const THalfToneStretch* halfTone = nullptr, int maxBands = 0);

    // "Stretch" of the settings: 0 the smooth stretch, 1..4 the resamplers.
    void SetStretch(TStretchMode stretch) { fMode = stretch; }
    TStretchMode Mode() const { return fMode; }

    void Scale(const TBitmap& source, bool gray, TBitmap& destination, int width, int height, int x, int y,
               const TRect& region) override;

    // A region smaller than this many pixels is scaled in one call: starting
    // a thread would cost more than it saves.
    static constexpr int64_t MinBandedPixels = 256 * 1024;

private:
    int BandCount(const TBitmap& source, const TBitmap& destination, const TRect& region) const;
    void ScaleBand(const TBitmap& source, TBitmap& destination, int width, int height, int x, int y,
                   const TRect& region) const;

    TStretcher fStretcher;
    int fMaxBands;
    TStretchMode fMode = TStretchMode::smLanczos3;
};
