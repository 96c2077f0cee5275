#pragma once

// The scaling dispatcher: every enlargement or reduction of a picture in the
// program comes here. The caller names a method, the size of the whole scaled
// picture and the rectangle of it that it needs; only that rectangle is
// computed. The image view scales just the visible part of a page, the
// thumbnail code whole pictures. Invalid arguments make a call do nothing.

#include <cstdint>
#include <optional>

#include "imaging/ResampleArgs.h"
#include "platform/CpuFeatures.h"

class TBitmap;

// The number passed to the dispatcher; the settings' list index minus 1.
enum class ResampleMethod : uint8_t { Bilinear = 0, Bicubic = 1, AreaAverage = 2, Lanczos3 = 3 };

// The 24-bit entry: scales source to width x height and writes the visible
// rectangle (right and bottom exclusive) into destination at (x, y). With no
// destination, or with the source itself as destination, the source is
// replaced by a picture of (x + visible width) x (y + visible height) pixels
// holding the result (black left of x and above y). A source of another
// depth is widened to 24 bits first, and so is a destination. Nothing happens
// for no or an empty source, a size of 0 or less, an empty rectangle or one
// outside width x height, a negative point, or a destination too small.
// AreaAverage runs the bicubic resampler unless the picture shrinks in both
// directions. If a resampler fails, or the result would exceed the picture
// size limit (EInvalidGraphic), the error passes on and the source is left as
// it was. May run on any thread, on pictures no other thread touches.
void StretchBitmap(TBitmap* source, TBitmap* destination, int width, ResampleMethod method, int x, int y,
                   const TVisibleRect& visible, int height, TSimdLevel level = DefaultSimdLevel());

// The 8-bit entry: the same for 8-bit pictures. A source that is not 8-bit,
// or a destination that is not, makes the call do nothing; a temporary
// destination gets a copy of the source's palette.
void StretchGrayBitmap(TBitmap* source, TBitmap* destination, int width, ResampleMethod method, int x, int y,
                       const TVisibleRect& visible, int height, TSimdLevel level = DefaultSimdLevel());

// The whole picture: point (0, 0), rectangle (0, 0, width, height).
void StretchWholeBitmap(TBitmap* source, TBitmap* destination, int width, ResampleMethod method, int height,
                        TSimdLevel level = DefaultSimdLevel());
void StretchWholeGrayBitmap(TBitmap* source, TBitmap* destination, int width, ResampleMethod method, int height,
                            TSimdLevel level = DefaultSimdLevel());

// The "Stretch" choice of the settings by list index: the desktop's own
// smooth stretch ("HalfTone") or one of the four methods.
enum class TStretchMode : uint8_t { smHalfTone = 0, smBilinear, smBicubic, smAreaAverage, smLanczos3 };

// The method of a mode; nothing for smHalfTone.
std::optional<ResampleMethod> MethodOfStretchMode(TStretchMode mode);

// The desktop's smooth stretch. The window side implements it with its
// drawing library; logic code cannot, so the stretcher takes it from outside.
// Stretch gets arguments already checked as for the dispatcher and a
// destination of the source's depth, large enough; it writes the visible
// rectangle of source scaled to width x height at (x, y).
class THalfToneStretch {
public:
    virtual ~THalfToneStretch() = default;
    virtual void Stretch(const TBitmap& source, TBitmap& destination, int width, int height, int x, int y,
                         const TVisibleRect& visible) const = 0;
};

// Without a desktop (the command-line tool, tests, thumbnails made without
// windows): area average when the picture shrinks in both directions,
// bilinear otherwise, which is what a smooth desktop stretch amounts to.
class TFallbackHalfTone : public THalfToneStretch {
public:
    explicit TFallbackHalfTone(TSimdLevel level = DefaultSimdLevel()) : fLevel(level) {}
    void Stretch(const TBitmap& source, TBitmap& destination, int width, int height, int x, int y,
                 const TVisibleRect& visible) const override;

private:
    TSimdLevel fLevel;
};

// Scales by the user's choice, either depth: the four methods through the
// dispatcher, "HalfTone" through the injected stretch (or the fallback), with
// the dispatcher's checks and temporary destination in both cases.
class TStretcher {
public:
    // halfTone must outlive the stretcher; null uses TFallbackHalfTone.
    explicit TStretcher(const THalfToneStretch* halfTone = nullptr, TSimdLevel level = DefaultSimdLevel());

    void Stretch(TBitmap* source, TBitmap* destination, int width, int height, TStretchMode mode, int x, int y,
                 const TVisibleRect& visible) const;

private:
    const THalfToneStretch* fHalfTone;
    TFallbackHalfTone fFallback;
    TSimdLevel fLevel;
};
