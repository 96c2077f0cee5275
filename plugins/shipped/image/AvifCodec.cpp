// AVIF through libavif: the first picture of the file, 8 bits a channel,
// transparency laid onto white.

#include <algorithm>
#include <cstring>

#include <avif/avif.h>

#include "kit/ImagePlugin.h"

using namespace spikit;

namespace {

const char* const Groups[] = {"*.avif", "AVIF", nullptr};

bool IsAvifBrand(const uint8_t* brand)
{
    return std::memcmp(brand, "avif", 4) == 0 || std::memcmp(brand, "avis", 4) == 0;
}

// An ISO media file whose "ftyp" box names an AVIF brand, as major brand or
// among the compatible ones.
bool Sniff(const uint8_t* header, size_t size)
{
    if (size < 16 || std::memcmp(header + 4, "ftyp", 4) != 0)
        return false;
    const size_t boxSize = static_cast<size_t>(header[0]) << 24 | static_cast<size_t>(header[1]) << 16 |
                           static_cast<size_t>(header[2]) << 8 | header[3];
    if (IsAvifBrand(header + 8))
        return true;
    const size_t end = std::min(boxSize, size);
    for (size_t at = 16; at + 4 <= end; at += 4) {
        if (IsAvifBrand(header + at))
            return true;
    }
    return false;
}

int32_t Decode(const uint8_t* data, size_t size, bool, TDibBuilder& out)
{
    avifDecoder* decoder = avifDecoderCreate();
    if (!decoder)
        return SPI_NO_MEMORY;
    decoder->maxThreads = 1;
    decoder->imageSizeLimit = static_cast<uint32_t>(MaxPictureBytes / 4);
    int32_t result = SPI_BROKEN_DATA;
    avifRGBImage rgb;
    std::memset(&rgb, 0, sizeof rgb);
    if (avifDecoderSetIOMemory(decoder, data, size) == AVIF_RESULT_OK && avifDecoderParse(decoder) == AVIF_RESULT_OK &&
        avifDecoderNextImage(decoder) == AVIF_RESULT_OK) {
        const avifImage* image = decoder->image;
        avifRGBImageSetDefaults(&rgb, image);
        rgb.format = AVIF_RGB_FORMAT_BGRA;
        rgb.depth = 8;
        if (!PictureSizeAllowed(image->width, image->height)) {
            result = SPI_NO_MEMORY;
        } else {
            avifRGBImageAllocatePixels(&rgb);
            if (rgb.pixels && avifImageYUVToRGB(image, &rgb) == AVIF_RESULT_OK) {
                if (out.Create(static_cast<int>(rgb.width), static_cast<int>(rgb.height), 24)) {
                    for (uint32_t y = 0; y < rgb.height; ++y) {
                        const uint8_t* source = rgb.pixels + static_cast<size_t>(y) * rgb.rowBytes;
                        uint8_t* target = out.Row(static_cast<int>(y));
                        for (uint32_t x = 0; x < rgb.width; ++x, source += 4, target += 3)
                            BlendOnWhite(target, source[0], source[1], source[2], source[3]);
                    }
                    result = SPI_SUCCESS;
                } else {
                    result = SPI_NO_MEMORY;
                }
            }
        }
    }
    avifRGBImageFreePixels(&rgb);
    avifDecoderDestroy(decoder);
    return result;
}

}  // namespace

const TImageCodec PluginCodec = {
    {"00IN", "AVIF (libavif) for Mireva", Groups},
    Sniff,
    Decode,
};
