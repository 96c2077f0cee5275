#pragma once

// The picture formats the program reads by itself: Windows and OS/2 bitmap
// files (TBitmapLoader, tried first unless bitmaps are left to a plug-in), the
// device-independent bitmap blocks image plug-ins hand back, and JPEG for the
// program's own thumbnail data.

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "common/Bitmap.h"
#include "loading/DibHeader.h"
#include "loading/FileLoader.h"

// Decodes a device-independent bitmap: info holds the header (12-byte OS/2
// core header or 40-byte and longer Windows headers) followed by the bit
// masks and colour table; bits holds the pixel rows. Every field, count and
// size is checked against the two blocks (CheckDib, with what the source
// accepts); EInvalidGraphic on any damage. The result keeps the picture's
// depth as LoadedFormat: pictures of 8 bits per pixel and fewer come out as
// 8-bit with their palette, all others as 24-bit.
TBitmap DecodeDib(const uint8_t* info, size_t infoSize, const uint8_t* bits, size_t bitsSize,
                  TDibSource source = TDibSource::dsFile);

// Reads a whole bitmap file ("BM", file header, DIB) from bytes. With a stop
// flag, the decode looks at it before each band of 16 rows and raises
// EDecodeStopped once it is set.
TBitmap DecodeBmpFile(const uint8_t* data, size_t size, const std::atomic<bool>* stop = nullptr);

// Writes a bitmap file: 24-bit, or 8-bit with its palette. Used by the
// command-line tools and tests.
std::vector<uint8_t> EncodeBmpFile(const TBitmap& bitmap);

class TBitmapLoader : public TImageLoader {
public:
    TBitmapLoader();
    bool IsSupported(const std::string& fileName, const uint8_t* header) override;
    std::unique_ptr<TBitmap> LoadFromFile(const std::string& fileName, int64_t offset, bool preview) override;
    std::unique_ptr<TBitmap> LoadFromStream(TMemoryStream& stream, int64_t offset, bool preview) override;
    // Always the whole picture (bitmaps have no reduced decoding), giving up
    // between row bands once the call's stop flag is set.
    std::unique_ptr<TBitmap> DecodeFile(const std::string& fileName, int64_t offset, const TDecodeCall& call) override;
    std::unique_ptr<TBitmap> DecodeStream(TMemoryStream& stream, int64_t offset, const TDecodeCall& call) override;
    std::unique_ptr<TLoadImage> LoadImage(TMemoryStream& stream) override;
};

// JPEG for thumbnail data: baseline, quality 90, full-size decoding in the
// best-quality mode. Encoding takes a 24-bit or 8-bit gray bitmap; decoding
// always gives 24-bit. EInvalidGraphic on corrupt data.
std::vector<uint8_t> EncodeJpeg(const TBitmap& bitmap, int quality = 90);
TBitmap DecodeJpeg(const uint8_t* data, size_t size);
