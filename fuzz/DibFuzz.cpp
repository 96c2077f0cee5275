// Device-independent bitmap blocks as image plug-ins hand them back: the first
// two bytes of the input give the size of the info block, the rest after it
// is the pixel block. Both the direct decoder and the loaded-picture holder
// must refuse damage with EInvalidGraphic. A plug-in's blocks are held to
// stricter rules than a file's, never to other ones: what passes as a
// plug-in's decodes the same as a file's.

#include <cstring>
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
    TBitmap fromFile;
    try {
        fromFile = DecodeDib(info.data(), info.size(), bits.data(), bits.size());
        FUZZ_CHECK(fromFile.Width() > 0 && fromFile.Height() > 0);
        decoded = 1;
    } catch (const EInvalidGraphic&) {
        decoded = 0;
    }
    try {
        const TBitmap fromPlugin = DecodeDib(info.data(), info.size(), bits.data(), bits.size(), TDibSource::dsPlugin);
        FUZZ_CHECK(decoded == 1);
        FUZZ_CHECK(fromPlugin.Width() == fromFile.Width() && fromPlugin.Height() == fromFile.Height());
        FUZZ_CHECK(fromPlugin.BitsPerPixel() == fromFile.BitsPerPixel());
        for (int y = 0; y < fromFile.Height(); ++y)
            FUZZ_CHECK(std::memcmp(fromPlugin.ScanLine(y), fromFile.ScanLine(y),
                                   static_cast<size_t>(fromFile.Width()) * (fromFile.BitsPerPixel() / 8)) == 0);
    } catch (const EInvalidGraphic&) {
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
