#pragma once

// A small real JPEG whose frame header is patched to claim width x height:
// a few hundred bytes that a careless viewer would try to decode into
// gigabytes (the decoder fills what the data lacks). Empty when the encoder
// wrote no baseline frame header.

#include <cstdint>
#include <vector>

#include "common/Bitmap.h"
#include "loading/ImgLoader.h"

inline std::vector<uint8_t> JpegClaiming(int width, int height)
{
    TBitmap bitmap(8, 8, 24, true);
    std::vector<uint8_t> bytes = EncodeJpeg(bitmap);
    for (size_t i = 0; i + 9 < bytes.size(); ++i) {
        if (bytes[i] == 0xFF && bytes[i + 1] == 0xC0) {
            bytes[i + 5] = static_cast<uint8_t>(height >> 8);
            bytes[i + 6] = static_cast<uint8_t>(height);
            bytes[i + 7] = static_cast<uint8_t>(width >> 8);
            bytes[i + 8] = static_cast<uint8_t>(width);
            return bytes;
        }
    }
    return {};
}
