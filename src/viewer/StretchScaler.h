#pragma once

// The shown pages' scaler: the user's "Stretch" choice through the scaling
// dispatcher (the four resamplers), or the desktop's smooth stretch for
// "HalfTone", which the window supplies. User-interface thread.

#include "imaging/Stretch.h"
#include "viewer/ScaledPage.h"

class TStretchPageScaler : public TPageScaler {
public:
    // halfTone (not owned, may be null for the dispatcher's stand-in) must
    // outlive the scaler.
    explicit TStretchPageScaler(const THalfToneStretch* halfTone = nullptr);

    // "Stretch" of the settings: 0 the smooth stretch, 1..4 the resamplers.
    void SetStretch(int stretch);
    TStretchMode Mode() const { return fMode; }

    void Scale(const TBitmap& source, bool gray, TBitmap& destination, int width, int height, int x, int y,
               const TRect& region) override;

private:
    TStretcher fStretcher;
    TStretchMode fMode = TStretchMode::smLanczos3;
};
