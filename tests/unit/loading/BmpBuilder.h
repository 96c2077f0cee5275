#pragma once

// Builds bitmap files byte by byte for the loader tests: every header field
// is set explicitly, so a test can write exactly the variant (or the damage)
// it is about. Pixel rows are given as the stored bytes, never computed from
// the decoder's own logic.

#include <cstdint>
#include <string>
#include <vector>

struct TBmpSpec {
    uint32_t HeaderSize = 40;
    int32_t Width = 0;
    int32_t Height = 0;
    uint16_t Planes = 1;
    uint16_t BitCount = 24;
    uint32_t Compression = 0;
    uint32_t ColorsUsed = 0;
    // Written at offset 40 of the header when it is long enough (52 and
    // more), otherwise right behind the header.
    std::vector<uint32_t> Masks;
    // Colour table entries as blue, green, red; written with 3 bytes each for
    // a 12-byte header, 4 otherwise.
    std::vector<std::vector<uint8_t>> Palette;
    // Bytes between the colour table and the pixel rows.
    uint32_t Gap = 0;
    std::vector<uint8_t> Pixels;
    // The file header's pixel offset; -1 computes the right one.
    int64_t PixelOffset = -1;
};

inline void PutLe(std::vector<uint8_t>& out, size_t at, uint64_t value, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        out[at + i] = static_cast<uint8_t>(value >> (8 * i));
}

// The header and table block a DIB consumer gets (no file header).
inline std::vector<uint8_t> BuildDibInfo(const TBmpSpec& spec)
{
    std::vector<uint8_t> info(spec.HeaderSize >= 12 ? spec.HeaderSize : 12, 0);
    PutLe(info, 0, spec.HeaderSize, 4);
    if (spec.HeaderSize == 12) {
        PutLe(info, 4, static_cast<uint16_t>(spec.Width), 2);
        PutLe(info, 6, static_cast<uint16_t>(spec.Height), 2);
        PutLe(info, 8, spec.Planes, 2);
        PutLe(info, 10, spec.BitCount, 2);
    } else {
        // Fields that do not fit a short OS/2 header are simply left out.
        std::vector<uint8_t> full(64, 0);
        PutLe(full, 4, static_cast<uint32_t>(spec.Width), 4);
        PutLe(full, 8, static_cast<uint32_t>(spec.Height), 4);
        PutLe(full, 12, spec.Planes, 2);
        PutLe(full, 14, spec.BitCount, 2);
        PutLe(full, 16, spec.Compression, 4);
        PutLe(full, 32, spec.ColorsUsed, 4);
        for (size_t i = 4; i < info.size() && i < full.size(); ++i)
            info[i] = full[i];
    }
    const bool masksInside = spec.HeaderSize >= 52 && spec.HeaderSize != 64;
    size_t at = masksInside ? 40 : info.size();
    if (!masksInside)
        info.resize(info.size() + 4 * spec.Masks.size());
    for (uint32_t mask : spec.Masks) {
        if (at + 4 <= info.size())
            PutLe(info, at, mask, 4);
        at += 4;
    }
    for (const auto& entry : spec.Palette) {
        info.insert(info.end(), entry.begin(), entry.end());
        if (spec.HeaderSize != 12)
            info.push_back(0);
    }
    info.resize(info.size() + spec.Gap, 0xEE);
    return info;
}

inline std::vector<uint8_t> BuildBmp(const TBmpSpec& spec)
{
    const std::vector<uint8_t> info = BuildDibInfo(spec);
    std::vector<uint8_t> file(14, 0);
    file[0] = 'B';
    file[1] = 'M';
    file.insert(file.end(), info.begin(), info.end());
    const uint64_t offset = spec.PixelOffset >= 0 ? static_cast<uint64_t>(spec.PixelOffset) : file.size();
    file.insert(file.end(), spec.Pixels.begin(), spec.Pixels.end());
    PutLe(file, 2, file.size(), 4);
    PutLe(file, 10, offset, 4);
    return file;
}

inline std::string AsString(const std::vector<uint8_t>& bytes)
{
    return std::string(bytes.begin(), bytes.end());
}
