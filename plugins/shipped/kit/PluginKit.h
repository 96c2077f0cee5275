#pragma once

// Helpers shared by the plug-ins we ship: answering GetPluginInfo from a
// table, reading the source a call names (a file at an offset, or a block of
// memory), and building the bitmap blocks an image plug-in hands back. The
// plug-ins are separate libraries; each links its own copy of this code.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "sdk/spi.h"

namespace spikit {

// The largest source a plug-in reads into memory, and the largest picture it
// makes: beyond these a file is refused rather than exhausting memory.
inline constexpr uint64_t MaxSourceBytes = uint64_t(1) << 31;
inline constexpr uint64_t MaxPictureBytes = uint64_t(1) << 30;
inline constexpr int MaxSide = 1 << 20;

// GetPluginInfo over a table: number 0 the version, 1 the description, then
// pairs of pattern group and format name. Copies at most length - 1 bytes
// and a zero; returns the bytes copied, 0 for a number beyond the table.
struct TPluginInfoTable {
    const char* Version;
    const char* Description;
    const char* const* Groups;  // pattern, name, pattern, name, ..., nullptr
};
int32_t AnswerPluginInfo(const TPluginInfoTable& table, int32_t number, char* buffer, int32_t length);

// The bytes a call names. flag's low bits tell a file name (length is the
// offset of the data) from a block of memory (length is its size).
class TSource {
public:
    // False when the file cannot be read or is too large.
    bool Open(const char* source, intptr_t length, uint32_t flag);
    const uint8_t* Data() const { return fData; }
    size_t Size() const { return fSize; }

private:
    std::vector<uint8_t> fOwned;
    const uint8_t* fData = nullptr;
    size_t fSize = 0;
};

// The two blocks of GetPicture: a 40-byte header with its colour table and
// top-down rows padded to 4 bytes. Freed unless handed over.
class TDibBuilder {
public:
    TDibBuilder() = default;
    ~TDibBuilder();
    TDibBuilder(const TDibBuilder&) = delete;
    TDibBuilder& operator=(const TDibBuilder&) = delete;

    // bitCount 24, or 8 with a palette of paletteSize entries (zeroed). False
    // when the size is refused or memory runs out.
    bool Create(int width, int height, int bitCount, int paletteSize = 0);
    uint8_t* Row(int y) { return fBits + static_cast<size_t>(y) * fStride; }
    SpiRGBQuad* Palette() { return fPalette; }
    void SetGrayPalette();
    size_t Stride() const { return fStride; }
    size_t BitsSize() const { return fStride * static_cast<size_t>(fHeight); }
    uint8_t* Bits() { return fBits; }
    int Width() const { return fWidth; }
    int Height() const { return fHeight; }
    // Gives both blocks to the caller.
    void Hand(HLOCAL* info, HLOCAL* bits);
    // The caller's progress callback, asked between rows or chunks.
    void SetProgress(SpiProgress progress, intptr_t user)
    {
        fProgress = progress;
        fUser = user;
    }
    // Reports done of total and answers whether to go on: false once the
    // caller asked to stop, and the codec then returns SPI_ABORTED.
    bool Continue(int done, int total) const { return !fProgress || fProgress(done, total, fUser) == 0; }

private:
    void Release();

    HLOCAL fInfo = nullptr;
    HLOCAL fBitsBlock = nullptr;
    SpiRGBQuad* fPalette = nullptr;
    uint8_t* fBits = nullptr;
    size_t fStride = 0;
    int fWidth = 0;
    int fHeight = 0;
    SpiProgress fProgress = nullptr;
    intptr_t fUser = 0;
};

// True when a picture of that size fits the limits above at 4 bytes a pixel.
bool PictureSizeAllowed(uint64_t width, uint64_t height);

// Writes a 32-bit BGRA pixel onto white into a 24-bit row.
inline void BlendOnWhite(uint8_t* out, uint8_t b, uint8_t g, uint8_t r, uint8_t a)
{
    const unsigned inverse = 255u - a;
    out[0] = static_cast<uint8_t>((b * a + 255u * inverse + 127u) / 255u);
    out[1] = static_cast<uint8_t>((g * a + 255u * inverse + 127u) / 255u);
    out[2] = static_cast<uint8_t>((r * a + 255u * inverse + 127u) / 255u);
}

// Texts from archives: valid UTF-8 stays; anything else is read as CP932
// (names written by older Japanese tools), and what that cannot read becomes
// '?'.
std::string ToValidUtf8(const std::string& bytes);
bool IsValidUtf8(const std::string& bytes);

}  // namespace spikit
