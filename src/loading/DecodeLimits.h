#pragma once

// What a picture may cost before it is decoded, and how a decode is asked
// for. A scanned poster or a damaged header may claim a picture of billions
// of pixels; decoding it would take the machine's memory and minutes of a
// worker. The budget refuses such pictures from their header alone, and the
// lower threshold has large ones decoded reduced for a fitted view, where the
// user could not see the missing pixels anyway.

#include <atomic>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "base/Errors.h"
#include "loading/PictureHeader.h"

// The box a preview will be fitted into: a loader may hand a picture reduced
// further than its own preview, as long as the picture fitted into the box can
// still be scaled down from it.
struct TPreviewBox {
    int32_t Width = 0;
    int32_t Height = 0;

    bool Empty() const { return Width <= 0 || Height <= 0; }
};

// The two thresholds, in pixels (the PICTURE options, given in megapixels).
struct TPictureBudget {
    // Pictures above it are refused.
    int64_t MaxPixels = 512'000'000;
    // Pictures above it are decoded reduced when a box is given.
    int64_t ReducedAbovePixels = 64'000'000;
};

// A decoded picture takes three bytes a pixel (24-bit rows) at the least.
inline constexpr int64_t DecodedBytesPerPixel = 3;

// The budget of the two PICTURE options, given in megapixels.
inline TPictureBudget PictureBudgetOf(int32_t maxMegapixels, int32_t reducedMegapixels)
{
    return {int64_t{maxMegapixels} * 1'000'000, int64_t{reducedMegapixels} * 1'000'000};
}

enum class TDecodePlan { dpFull, dpReduced, dpRefused };

// What to do with a picture of dims: refused above the budget's maximum or
// above what the free memory holds at three bytes a pixel; reduced above the
// lower threshold when there is a box to reduce for; else decoded in full.
// Unknown free memory leaves the maximum alone.
TDecodePlan PlanDecode(const TPictureBudget& budget, TPictureDims dims, std::optional<uint64_t> freeBytes,
                       bool haveBox);

// How one load is to be made: in full, or reduced for a box; a stop flag the
// decoder polls between rows or chunks and gives up on once it is set.
struct TDecodeCall {
    TPreviewBox Box;  // empty: the whole picture
    const std::atomic<bool>* Stop = nullptr;

    bool Stopped() const { return Stop && Stop->load(std::memory_order_relaxed); }
};

// The limits a load is made under: the budget, where the free memory is read
// (tests give their own), the box of the fitted view (empty: never reduced),
// and the stop flag handed to the decoder.
struct TDecodeLimits {
    TPictureBudget Budget;
    std::function<std::optional<uint64_t>()> FreeMemory;
    TPreviewBox FitBox;
    const std::atomic<bool>* Stop = nullptr;
};

// A picture refused by the budget; what() is the reason shown after the
// not-read message.
class EPictureTooLarge : public EMirevaError {
public:
    explicit EPictureTooLarge(TPictureDims dims);
    TPictureDims Dims;
};

// A decode given up because its stop flag was set; nothing is shown for it.
class EDecodeStopped : public EMirevaError {
public:
    EDecodeStopped() : EMirevaError("decode stopped") {}
};
