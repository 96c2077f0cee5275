#include "loading/DecodeLimits.h"
#include "base/Texts.h"

#include <algorithm>

namespace {

std::string TooLargeText(TPictureDims dims)
{
    return Tx("画像が大きすぎます (") + std::to_string(dims.Width) + " x " + std::to_string(dims.Height) + ")";
}

}  // namespace

EPictureTooLarge::EPictureTooLarge(TPictureDims dims) : EMirevaError(TooLargeText(dims)), Dims(dims) {}

TDecodePlan PlanDecode(const TPictureBudget& budget, TPictureDims dims, std::optional<uint64_t> freeBytes,
                       bool haveBox)
{
    int64_t limit = budget.MaxPixels;
    if (freeBytes) {
        const uint64_t fits = *freeBytes / DecodedBytesPerPixel;
        limit = std::min<int64_t>(limit, static_cast<int64_t>(std::min<uint64_t>(fits, INT64_MAX)));
    }
    const int64_t pixels = dims.Pixels();
    if (pixels > limit)
        return TDecodePlan::dpRefused;
    if (haveBox && pixels > budget.ReducedAbovePixels)
        return TDecodePlan::dpReduced;
    return TDecodePlan::dpFull;
}
