// Stored thumbnail data: DecodeJpeg either gives a 24-bit picture or raises
// EInvalidGraphic; libjpeg's own fatal errors must never end the process.

#include "FuzzCheck.h"
#include "base/Errors.h"
#include "loading/ImgLoader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size > MaxFuzzInput)
        return 0;
    try {
        const TBitmap bitmap = DecodeJpeg(data, size);
        FUZZ_CHECK(bitmap.BitsPerPixel() == 24 && !bitmap.IsEmpty());
        // Small pictures go through the encoder as well.
        if (static_cast<int64_t>(bitmap.Width()) * bitmap.Height() <= 256 * 256)
            FUZZ_CHECK(!EncodeJpeg(bitmap).empty());
    } catch (const EInvalidGraphic&) {
    }
    return 0;
}
