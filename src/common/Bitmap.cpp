#include "common/Bitmap.h"

#include <cstring>

#include "base/Errors.h"
#include "base/Texts.h"

bool TBitmap::SizeAllowed(int64_t width, int64_t height, int bitsPerPixel)
{
    if (width < 0 || height < 0 || width > MaxSide || height > MaxSide)
        return false;
    if (bitsPerPixel != 8 && bitsPerPixel != 24)
        return false;
    return StrideFor(static_cast<int>(width), bitsPerPixel) * static_cast<size_t>(height) <= MaxBytes;
}

TBitmap::TBitmap(int width, int height, int bitsPerPixel, bool clear)
{
    if (!SizeAllowed(width, height, bitsPerPixel))
        throw EInvalidGraphic(Tx("画像のサイズが大きすぎます"));
    fWidth = width;
    fHeight = height;
    fBits = bitsPerPixel;
    fStride = StrideFor(width, bitsPerPixel);
    fLoadedFormat = bitsPerPixel == 8 ? PixelFormat::Bits8 : PixelFormat::Bits24;
    const size_t bytes = fStride * static_cast<size_t>(height);
    if (bytes > 0) {
        fPixels = std::unique_ptr<uint8_t[], TPixelOwner>(new uint8_t[bytes]);
        if (clear)
            std::memset(fPixels.get(), 0, bytes);
        else
            ClearPadding();
    }
}

TBitmap TBitmap::Adopt(int width, int height, int bitsPerPixel, uint8_t* pixels, size_t available,
                       TReleasePixels release, void* owner)
{
    if (!pixels) {
        if (release)
            release(owner);
        throw EInvalidGraphic(Tx("ビットマップのデータが途中で終わっています"));
    }
    std::unique_ptr<uint8_t[], TPixelOwner> taken(pixels, TPixelOwner{release, owner});
    if (!SizeAllowed(width, height, bitsPerPixel))
        throw EInvalidGraphic(Tx("画像のサイズが大きすぎます"));
    TBitmap bitmap;
    bitmap.fStride = StrideFor(width, bitsPerPixel);
    if (available < bitmap.fStride * static_cast<size_t>(height))
        throw EInvalidGraphic(Tx("ビットマップのデータが途中で終わっています"));
    bitmap.fWidth = width;
    bitmap.fHeight = height;
    bitmap.fBits = bitsPerPixel;
    bitmap.fLoadedFormat = bitsPerPixel == 8 ? PixelFormat::Bits8 : PixelFormat::Bits24;
    bitmap.fPixels = std::move(taken);
    bitmap.ClearPadding();
    return bitmap;
}

void TPixelOwner::operator()(uint8_t* pixels) const
{
    if (Release)
        Release(Owner);
    else
        delete[] pixels;
}

// Padding bytes are always zero so that whole rows compare and hash the same
// whoever wrote the pixels.
void TBitmap::ClearPadding()
{
    const size_t used = static_cast<size_t>(fWidth) * static_cast<size_t>(fBits / 8);
    if (!fPixels || fStride == used)
        return;
    for (int y = 0; y < fHeight; ++y)
        std::memset(ScanLine(y) + used, 0, fStride - used);
}

TBitmap TBitmap::Clone() const
{
    TBitmap copy(fWidth, fHeight, fBits);
    if (fPixels)
        std::memcpy(copy.fPixels.get(), fPixels.get(), fStride * static_cast<size_t>(fHeight));
    copy.fPalette = fPalette;
    copy.fLoadedFormat = fLoadedFormat;
    return copy;
}

void TBitmap::SetGrayPalette()
{
    fPalette.resize(256);
    for (int i = 0; i < 256; ++i) {
        const auto v = static_cast<uint8_t>(i);
        fPalette[i] = TRGBQuad{v, v, v, 0};
    }
}

bool TBitmap::IsGray() const
{
    if (fBits != 8 || fPalette.size() != 256)
        return false;
    for (int i = 0; i < 256; ++i) {
        const TRGBQuad& q = fPalette[i];
        if (q.Red != i || q.Green != i || q.Blue != i)
            return false;
    }
    return true;
}

void TBitmap::ConvertTo24()
{
    if (fBits == 24)
        return;
    TBitmap wide(fWidth, fHeight, 24);
    for (int y = 0; y < fHeight; ++y) {
        const uint8_t* src = ScanLine(y);
        uint8_t* dst = wide.ScanLine(y);
        for (int x = 0; x < fWidth; ++x) {
            const uint8_t index = src[x];
            TRGBQuad q;
            if (index < fPalette.size())
                q = fPalette[index];
            dst[3 * x] = q.Blue;
            dst[3 * x + 1] = q.Green;
            dst[3 * x + 2] = q.Red;
        }
    }
    wide.fLoadedFormat = fLoadedFormat;
    *this = std::move(wide);
}
