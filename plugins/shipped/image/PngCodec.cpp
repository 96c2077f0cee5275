// PNG through libpng's simplified reader: every bit depth and colour type,
// transparency laid onto white, gray pictures kept as 8-bit gray.

#include <cstring>

#include <png.h>

#include "kit/ImagePlugin.h"

using namespace spikit;

namespace {

const char* const Groups[] = {"*.png", "PNG", nullptr};

bool Sniff(const uint8_t* header, size_t size)
{
    static const uint8_t signature[8] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
    return size >= 8 && std::memcmp(header, signature, 8) == 0;
}

int32_t Decode(const uint8_t* data, size_t size, bool, TDibBuilder& out)
{
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_memory(&image, data, size))
        return SPI_BROKEN_DATA;
    const bool gray = (image.format & PNG_FORMAT_FLAG_COLOR) == 0 && (image.format & PNG_FORMAT_FLAG_ALPHA) == 0;
    image.format = gray ? PNG_FORMAT_GRAY : PNG_FORMAT_BGR;
    if (!out.Create(static_cast<int>(image.width), static_cast<int>(image.height), gray ? 8 : 24, gray ? 256 : 0)) {
        png_image_free(&image);
        return SPI_NO_MEMORY;
    }
    if (gray)
        out.SetGrayPalette();
    png_color white{255, 255, 255};
    if (!png_image_finish_read(&image, &white, out.Bits(), static_cast<png_int_32>(out.Stride()), nullptr)) {
        png_image_free(&image);
        return SPI_BROKEN_DATA;
    }
    return SPI_SUCCESS;
}

}  // namespace

const TImageCodec PluginCodec = {
    {"00IN", "PNG (libpng) for Mireva", Groups},
    Sniff,
    Decode,
};
