// WebP through libwebp: still pictures directly, animations by their first
// frame on the full canvas; transparency laid onto white.

#include <cstring>
#include <vector>

#include <webp/decode.h>
#include <webp/demux.h>

#include "kit/ImagePlugin.h"

using namespace spikit;

namespace {

const char* const Groups[] = {"*.webp", "WebP", nullptr};

bool Sniff(const uint8_t* header, size_t size)
{
    return size >= 12 && std::memcmp(header, "RIFF", 4) == 0 && std::memcmp(header + 8, "WEBP", 4) == 0;
}

void BlendRows(const uint8_t* bgra, int width, int height, size_t sourceStride, TDibBuilder& out)
{
    for (int y = 0; y < height; ++y) {
        const uint8_t* source = bgra + static_cast<size_t>(y) * sourceStride;
        uint8_t* target = out.Row(y);
        for (int x = 0; x < width; ++x, source += 4, target += 3)
            BlendOnWhite(target, source[0], source[1], source[2], source[3]);
    }
}

int32_t DecodeAnimation(const uint8_t* data, size_t size, TDibBuilder& out)
{
    WebPData input{data, size};
    WebPAnimDecoderOptions options;
    if (!WebPAnimDecoderOptionsInit(&options))
        return SPI_INTERNAL_ERROR;
    options.color_mode = MODE_BGRA;
    options.use_threads = 0;
    WebPAnimDecoder* decoder = WebPAnimDecoderNew(&input, &options);
    if (!decoder)
        return SPI_BROKEN_DATA;
    int32_t result = SPI_BROKEN_DATA;
    WebPAnimInfo info;
    uint8_t* frame = nullptr;
    int timestamp = 0;
    if (WebPAnimDecoderGetInfo(decoder, &info) && WebPAnimDecoderGetNext(decoder, &frame, &timestamp) && frame) {
        const int width = static_cast<int>(info.canvas_width);
        const int height = static_cast<int>(info.canvas_height);
        if (out.Create(width, height, 24)) {
            BlendRows(frame, width, height, static_cast<size_t>(width) * 4, out);
            result = SPI_SUCCESS;
        } else {
            result = SPI_NO_MEMORY;
        }
    }
    WebPAnimDecoderDelete(decoder);
    return result;
}

int32_t Decode(const uint8_t* data, size_t size, bool, TDibBuilder& out)
{
    WebPBitstreamFeatures features;
    if (WebPGetFeatures(data, size, &features) != VP8_STATUS_OK)
        return SPI_BROKEN_DATA;
    if (features.has_animation)
        return DecodeAnimation(data, size, out);
    if (!out.Create(features.width, features.height, 24))
        return SPI_NO_MEMORY;
    if (!features.has_alpha) {
        if (!WebPDecodeBGRInto(data, size, out.Bits(), out.BitsSize(), static_cast<int>(out.Stride())))
            return SPI_BROKEN_DATA;
        return SPI_SUCCESS;
    }
    const size_t stride = static_cast<size_t>(features.width) * 4;
    std::vector<uint8_t> bgra(stride * static_cast<size_t>(features.height));
    if (!WebPDecodeBGRAInto(data, size, bgra.data(), bgra.size(), static_cast<int>(stride)))
        return SPI_BROKEN_DATA;
    BlendRows(bgra.data(), features.width, features.height, stride, out);
    return SPI_SUCCESS;
}

}  // namespace

const TImageCodec PluginCodec = {
    {"00IN", "WebP (libwebp) for Mireva", Groups},
    Sniff,
    Decode,
};
