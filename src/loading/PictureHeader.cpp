#include "loading/PictureHeader.h"

#include <cstring>

namespace {

// Bounds-checked reads at absolute offsets; a read past the end gives
// nothing, which every reader below takes as "size unknown".
class THeaderBytes {
public:
    THeaderBytes(const uint8_t* data, size_t size) : fData(data), fSize(size) {}

    bool Has(size_t at, size_t count) const { return at <= fSize && count <= fSize - at; }
    bool Matches(size_t at, const char* text) const
    {
        const size_t length = std::strlen(text);
        return Has(at, length) && std::memcmp(fData + at, text, length) == 0;
    }
    std::optional<uint32_t> Be16(size_t at) const
    {
        if (!Has(at, 2))
            return std::nullopt;
        return static_cast<uint32_t>(fData[at] << 8 | fData[at + 1]);
    }
    std::optional<uint32_t> Be32(size_t at) const
    {
        if (!Has(at, 4))
            return std::nullopt;
        return static_cast<uint32_t>(fData[at]) << 24 | static_cast<uint32_t>(fData[at + 1]) << 16 |
               static_cast<uint32_t>(fData[at + 2]) << 8 | fData[at + 3];
    }
    std::optional<uint32_t> Le(size_t at, size_t count) const
    {
        if (!Has(at, count))
            return std::nullopt;
        uint32_t value = 0;
        for (size_t i = count; i-- > 0;)
            value = value << 8 | fData[at + i];
        return value;
    }
    std::optional<uint8_t> Byte(size_t at) const
    {
        if (!Has(at, 1))
            return std::nullopt;
        return fData[at];
    }

private:
    const uint8_t* fData;
    size_t fSize;
};

std::optional<TPictureDims> Dims(std::optional<int64_t> width, std::optional<int64_t> height)
{
    if (!width || !height || *width <= 0 || *height <= 0)
        return std::nullopt;
    return TPictureDims{*width, *height};
}

// Walks the marker segments to the first frame header (any SOF but the
// huffman-table, arithmetic-conditioning and hierarchical-expansion markers
// that share its range); stops at the first scan, past which no frame header
// can come.
std::optional<TPictureDims> JpegDims(const THeaderBytes& bytes)
{
    size_t at = 2;
    while (true) {
        const auto prefix = bytes.Byte(at);
        if (!prefix || *prefix != 0xFF)
            return std::nullopt;
        const auto marker = bytes.Byte(at + 1);
        if (!marker)
            return std::nullopt;
        if (*marker == 0xFF) {
            ++at;  // a fill byte before the marker
            continue;
        }
        at += 2;
        if (*marker == 0xD8 || *marker == 0x01 || (*marker >= 0xD0 && *marker <= 0xD7))
            continue;
        if (*marker == 0xDA || *marker == 0xD9)
            return std::nullopt;
        const auto length = bytes.Be16(at);
        if (!length || *length < 2)
            return std::nullopt;
        const bool frame = *marker >= 0xC0 && *marker <= 0xCF && *marker != 0xC4 && *marker != 0xC8 && *marker != 0xCC;
        if (frame) {
            const auto height = bytes.Be16(at + 3);
            const auto width = bytes.Be16(at + 5);
            return Dims(width, height);
        }
        at += *length;
    }
}

std::optional<TPictureDims> PngDims(const THeaderBytes& bytes)
{
    if (!bytes.Matches(12, "IHDR"))
        return std::nullopt;
    const auto width = bytes.Be32(16);
    const auto height = bytes.Be32(20);
    return Dims(width, height);
}

std::optional<TPictureDims> GifDims(const THeaderBytes& bytes)
{
    return Dims(bytes.Le(6, 2), bytes.Le(8, 2));
}

// The file header (14 bytes), then the core header with 16-bit sizes or a
// longer header with 32-bit ones, whose height is negative for top-down rows.
std::optional<TPictureDims> BmpDims(const THeaderBytes& bytes)
{
    const auto headerSize = bytes.Le(14, 4);
    if (!headerSize)
        return std::nullopt;
    if (*headerSize == 12)
        return Dims(bytes.Le(18, 2), bytes.Le(20, 2));
    const auto width = bytes.Le(18, 4);
    const auto height = bytes.Le(22, 4);
    if (!width || !height)
        return std::nullopt;
    const int64_t h = static_cast<int32_t>(*height);
    return Dims(static_cast<int32_t>(*width), h < 0 ? -h : h);
}

// The first chunk: the extended header with the canvas size, a lossy frame
// header, or a lossless one with 14-bit sizes less one.
std::optional<TPictureDims> WebpDims(const THeaderBytes& bytes)
{
    if (bytes.Matches(12, "VP8X")) {
        const auto width = bytes.Le(24, 3);
        const auto height = bytes.Le(27, 3);
        if (!width || !height)
            return std::nullopt;
        return Dims(*width + 1, *height + 1);
    }
    if (bytes.Matches(12, "VP8 ")) {
        const auto width = bytes.Le(26, 2);
        const auto height = bytes.Le(28, 2);
        if (!width || !height)
            return std::nullopt;
        return Dims(*width & 0x3FFF, *height & 0x3FFF);
    }
    if (bytes.Matches(12, "VP8L")) {
        const auto packed = bytes.Le(21, 4);
        if (!packed)
            return std::nullopt;
        return Dims((*packed & 0x3FFF) + 1, (*packed >> 14 & 0x3FFF) + 1);
    }
    return std::nullopt;
}

}  // namespace

std::optional<TPictureDims> ReadPictureDims(const uint8_t* data, size_t size)
{
    if (!data)
        return std::nullopt;
    const THeaderBytes bytes(data, size);
    if (bytes.Matches(0, "\xFF\xD8"))
        return JpegDims(bytes);
    if (bytes.Matches(0, "\x89PNG\r\n\x1A\n"))
        return PngDims(bytes);
    if (bytes.Matches(0, "GIF87a") || bytes.Matches(0, "GIF89a"))
        return GifDims(bytes);
    if (bytes.Matches(0, "BM"))
        return BmpDims(bytes);
    if (bytes.Matches(0, "RIFF") && bytes.Matches(8, "WEBP"))
        return WebpDims(bytes);
    return std::nullopt;
}
