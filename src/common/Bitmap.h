#pragma once

// The picture type every loader produces and every filter, resampler and view
// consumes. Pixels are either 24-bit (blue, green, red bytes) or 8-bit indices
// into a palette; rows are top-down and padded to 4 bytes, so a row can be
// handed to a painter without copying. LoadedFormat records what the file held
// (1-bit, 16-bit, ...) before it was widened to one of the two layouts.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

// The pixel format of a picture as it was loaded; the order is the numbering
// used wherever a format is stored as a number.
enum class PixelFormat : uint8_t { Device, Bits1, Bits4, Bits8, Bits15, Bits16, Bits24, Bits32, Custom };

struct TRGBQuad {
    uint8_t Blue = 0, Green = 0, Red = 0, Reserved = 0;
    bool operator==(const TRGBQuad&) const = default;
};

// Frees a bitmap's pixels: delete[], or the release function of the allocator
// the pixels were taken over from.
struct TPixelOwner {
    using TRelease = void (*)(void* owner);
    TRelease Release = nullptr;  // null: allocated with new[]
    void* Owner = nullptr;
    void operator()(uint8_t* pixels) const;
};

class TBitmap {
public:
    // The largest picture the program accepts: 1 GiB of pixels, and no side
    // beyond 1 << 20 pixels. Damaged headers asking for more are refused
    // before anything is allocated.
    static constexpr size_t MaxBytes = size_t(1) << 30;
    static constexpr int MaxSide = 1 << 20;

    TBitmap() = default;
    // bitsPerPixel is 24 or 8; raises EInvalidGraphic for a size beyond the
    // limits. The pixels are not cleared unless asked.
    TBitmap(int width, int height, int bitsPerPixel, bool clear = false);

    using TReleasePixels = TPixelOwner::TRelease;
    // A bitmap over pixels allocated elsewhere, taken without copying: top-down
    // rows of StrideFor(width, bitsPerPixel) bytes, of which at least
    // available are readable. release(owner) frees them when the bitmap goes,
    // and also here when the size is refused (EInvalidGraphic, as for the
    // constructor) or the block is too short (EInvalidGraphic too). Padding
    // bytes are cleared.
    static TBitmap Adopt(int width, int height, int bitsPerPixel, uint8_t* pixels, size_t available,
                         TReleasePixels release, void* owner);

    TBitmap(TBitmap&&) noexcept = default;
    TBitmap& operator=(TBitmap&&) noexcept = default;
    TBitmap(const TBitmap&) = delete;
    TBitmap& operator=(const TBitmap&) = delete;
    TBitmap Clone() const;

    // True when a picture of that size and depth fits the limits.
    static bool SizeAllowed(int64_t width, int64_t height, int bitsPerPixel);
    static size_t StrideFor(int width, int bitsPerPixel)
    {
        return ((static_cast<size_t>(width) * static_cast<size_t>(bitsPerPixel) + 31) / 32) * 4;
    }

    int Width() const { return fWidth; }
    int Height() const { return fHeight; }
    int BitsPerPixel() const { return fBits; }
    int BytesPerPixel() const { return fBits / 8; }
    size_t Stride() const { return fStride; }
    bool IsEmpty() const { return fWidth == 0 || fHeight == 0; }

    uint8_t* Bits() { return fPixels.get(); }
    const uint8_t* Bits() const { return fPixels.get(); }
    uint8_t* ScanLine(int y) { return fPixels.get() + static_cast<size_t>(y) * fStride; }
    const uint8_t* ScanLine(int y) const { return fPixels.get() + static_cast<size_t>(y) * fStride; }

    // 8-bit pictures only; at most 256 entries.
    std::vector<TRGBQuad>& Palette() { return fPalette; }
    const std::vector<TRGBQuad>& Palette() const { return fPalette; }
    void SetGrayPalette();

    PixelFormat LoadedFormat() const { return fLoadedFormat; }
    void SetLoadedFormat(PixelFormat format) { fLoadedFormat = format; }

    // True for an 8-bit picture whose palette has exactly 256 entries and entry
    // i is (i, i, i).
    bool IsGray() const;
    // Widens an 8-bit picture to 24-bit through its palette (indices beyond the
    // palette give black) and drops the palette; nothing for a 24-bit one.
    void ConvertTo24();

private:
    int fWidth = 0;
    int fHeight = 0;
    int fBits = 24;
    size_t fStride = 0;
    void ClearPadding();

    std::unique_ptr<uint8_t[], TPixelOwner> fPixels;
    std::vector<TRGBQuad> fPalette;
    PixelFormat fLoadedFormat = PixelFormat::Bits24;
};
