// Bitmap files as they come from disk or an archive: either EInvalidGraphic or
// a picture that writes and reads back to the same pixels. Any other
// exception escapes and counts as a finding.

#include <cstring>

#include "FuzzCheck.h"
#include "base/Errors.h"
#include "loading/ImgLoader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size > MaxFuzzInput)
        return 0;
    TBitmap bitmap;
    try {
        bitmap = DecodeBmpFile(data, size);
    } catch (const EInvalidGraphic&) {
        return 0;
    }
    FUZZ_CHECK(bitmap.Width() > 0 && bitmap.Height() > 0);
    FUZZ_CHECK(bitmap.BitsPerPixel() == 24 || bitmap.Palette().size() <= 256);
    const std::vector<uint8_t> file = EncodeBmpFile(bitmap);
    const TBitmap back = DecodeBmpFile(file.data(), file.size());
    FUZZ_CHECK(back.Width() == bitmap.Width() && back.Height() == bitmap.Height());
    FUZZ_CHECK(back.BitsPerPixel() == bitmap.BitsPerPixel());
    for (int y = 0; y < bitmap.Height(); ++y)
        FUZZ_CHECK(std::memcmp(back.ScanLine(y), bitmap.ScanLine(y), bitmap.Stride()) == 0);
    return 0;
}
