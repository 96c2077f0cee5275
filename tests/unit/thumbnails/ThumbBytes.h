#pragma once

// Builds store files byte by byte, as older versions of the program wrote
// them, so that tests can read layouts the program no longer writes.

#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

struct TThumbBytes {
    std::vector<uint8_t> Data;

    TThumbBytes& I32(int32_t v)
    {
        for (int i = 0; i < 4; ++i)
            Data.push_back(static_cast<uint8_t>(static_cast<uint32_t>(v) >> (8 * i)));
        return *this;
    }
    TThumbBytes& I64(int64_t v)
    {
        for (int i = 0; i < 8; ++i)
            Data.push_back(static_cast<uint8_t>(static_cast<uint64_t>(v) >> (8 * i)));
        return *this;
    }
    TThumbBytes& Dbl(double v)
    {
        int64_t bits;
        std::memcpy(&bits, &v, 8);
        return I64(bits);
    }
    TThumbBytes& U8(uint8_t v)
    {
        Data.push_back(v);
        return *this;
    }
    TThumbBytes& Raw(std::string_view bytes)
    {
        Data.insert(Data.end(), bytes.begin(), bytes.end());
        return *this;
    }
    TThumbBytes& Text(std::string_view text)
    {
        I32(static_cast<int32_t>(text.size()));
        return Raw(text);
    }
    // One thumbnail entry of a data file of version: the JPEG bytes jpeg at
    // offset (the entry's own position is not checked by readers).
    TThumbBytes& Entry(int32_t version, std::string_view name, std::string_view jpeg, int64_t fileSize,
                       double fileTime, int32_t box, int32_t boxHeight, uint8_t flag = 0)
    {
        Text(name).I32(static_cast<int32_t>(jpeg.size()));
        const auto offset = static_cast<int32_t>(Data.size());
        Raw(jpeg).I32(offset).I32(640).I32(480).I32(24);
        if (version >= 250)
            I64(fileSize);
        else
            I32(static_cast<int32_t>(fileSize));
        Dbl(fileTime).I32(box);
        if (version >= 258)
            I32(boxHeight);
        return U8(flag);
    }
    std::string String() const { return std::string(Data.begin(), Data.end()); }
};
