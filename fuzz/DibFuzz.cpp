// Device-independent bitmap blocks as image plug-ins hand them back: the first
// two bytes of the input give the size of the info block, the rest after it
// is the pixel block. Both the direct decoder and the loaded-picture holder
// must refuse damage with EInvalidGraphic.

#include <vector>

#include "FuzzCheck.h"
#include "base/Errors.h"
#include "loading/FileLoader.h"
#include "loading/ImgLoader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 2 || size > MaxFuzzInput)
        return 0;
    const size_t infoSize = std::min<size_t>(data[0] | data[1] << 8, size - 2);
    std::vector<uint8_t> info(data + 2, data + 2 + infoSize);
    std::vector<uint8_t> bits(data + 2 + infoSize, data + size);
    int decoded = -1;
    try {
        const TBitmap bitmap = DecodeDib(info.data(), info.size(), bits.data(), bits.size());
        FUZZ_CHECK(bitmap.Width() > 0 && bitmap.Height() > 0);
        decoded = 1;
    } catch (const EInvalidGraphic&) {
        decoded = 0;
    }
    try {
        TLoadImage image(std::move(info), std::move(bits));
        TBitmap* bitmap = image.GetBitmap();
        // The holder converts exactly what the decoder accepts.
        FUZZ_CHECK((bitmap != nullptr) == (decoded == 1));
        FUZZ_CHECK(!bitmap || (bitmap->Width() == image.Width() && bitmap->Height() == image.Height()));
    } catch (const EInvalidGraphic&) {
        FUZZ_CHECK(decoded == 0);
    }
    return 0;
}
