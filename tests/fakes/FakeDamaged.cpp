// A fake image plug-in that hands back damaged output, chosen by the byte
// after "FAKEBAD1" in the data, so the tests can check that the program
// refuses every kind of it without reading past a block and frees every
// block it was given.

#include <cstdlib>
#include <cstring>

#include "FakeCommon.h"

FAKE_TEST_EXPORTS

namespace {

enum TDamage : uint8_t {
    dmNullInfo = 1,        // success, but no header block
    dmNullBits = 2,        // success, but no pixel block
    dmPaletteBeyondBits = 3,   // 4-bit picture claiming 17 colours
    dmPaletteBeyondBlock = 4,  // 256 colours claimed, 16 in the block
    dmShortPixels = 5,     // pixel block one byte short of the rows
    dmFailureWithBlocks = 6,   // error result, blocks handed over anyway
    dmForeignHandles = 7,  // handles that are not plug-in memory
    dmZeroWidth = 8,
    dmOddBitCount = 9,
    dmShortHeader = 10,    // header block shorter than its own size field
    dmHugeSize = 11,       // 100000 x 100000 pixels in a small block
    dmGood = 12,           // a correct 2 x 2 24-bit picture
};

HLOCAL MakeHeader(int width, int height, int bits, uint32_t colorsUsed, size_t paletteEntries, size_t blockSize = 0)
{
    HLOCAL block = LocalAlloc(LPTR, sizeof(SpiBitmapInfoHeader) + paletteEntries * sizeof(SpiRGBQuad));
    auto* header = static_cast<SpiBitmapInfoHeader*>(LocalLock(block));
    header->biSize = 40;
    header->biWidth = width;
    header->biHeight = height;
    header->biPlanes = 1;
    header->biBitCount = static_cast<uint16_t>(bits);
    header->biClrUsed = colorsUsed;
    LocalUnlock(block);
    if (blockSize)
        LocalReAlloc(block, blockSize, 0);
    return block;
}

size_t Stride(int width, int bits)
{
    return ((static_cast<size_t>(width) * bits + 31) / 32) * 4;
}

int32_t Damaged(const char* source, intptr_t length, uint32_t flag, HLOCAL* info, HLOCAL* bits)
{
    if ((flag & SPI_SOURCE_MASK) != SPI_SOURCE_MEMORY || length < 9 || std::memcmp(source, "FAKEBAD1", 8) != 0)
        return SPI_UNKNOWN_FORMAT;
    switch (static_cast<uint8_t>(source[8])) {
    case dmNullInfo:
        *bits = LocalAlloc(LPTR, 16);
        return SPI_SUCCESS;
    case dmNullBits:
        *info = MakeHeader(2, 2, 24, 0, 0);
        return SPI_SUCCESS;
    case dmPaletteBeyondBits:
        *info = MakeHeader(2, 2, 4, 17, 17);
        *bits = LocalAlloc(LPTR, Stride(2, 4) * 2);
        return SPI_SUCCESS;
    case dmPaletteBeyondBlock:
        *info = MakeHeader(2, 2, 8, 256, 16);
        *bits = LocalAlloc(LPTR, Stride(2, 8) * 2);
        return SPI_SUCCESS;
    case dmShortPixels:
        *info = MakeHeader(3, 3, 24, 0, 0);
        *bits = LocalAlloc(LPTR, Stride(3, 24) * 3 - 1);
        return SPI_SUCCESS;
    case dmFailureWithBlocks:
        *info = MakeHeader(2, 2, 24, 0, 0);
        *bits = LocalAlloc(LPTR, Stride(2, 24) * 2);
        return SPI_BROKEN_DATA;
    case dmForeignHandles: {
        static SpiBitmapInfoHeader notABlock[4];
        *info = reinterpret_cast<HLOCAL>(&notABlock[0]);
        *bits = reinterpret_cast<HLOCAL>(&notABlock[2]);
        return SPI_SUCCESS;
    }
    case dmZeroWidth:
        *info = MakeHeader(0, 2, 24, 0, 0);
        *bits = LocalAlloc(LPTR, 16);
        return SPI_SUCCESS;
    case dmOddBitCount:
        *info = MakeHeader(2, 2, 7, 0, 0);
        *bits = LocalAlloc(LPTR, 64);
        return SPI_SUCCESS;
    case dmShortHeader:
        *info = MakeHeader(2, 2, 24, 0, 0, 20);
        *bits = LocalAlloc(LPTR, 64);
        return SPI_SUCCESS;
    case dmHugeSize:
        *info = MakeHeader(100000, 100000, 24, 0, 0);
        *bits = LocalAlloc(LPTR, 64);
        return SPI_SUCCESS;
    case dmGood: {
        *info = MakeHeader(2, 2, 24, 0, 0);
        *bits = LocalAlloc(LPTR, Stride(2, 24) * 2);
        auto* pixels = static_cast<uint8_t*>(LocalLock(*bits));
        // Bottom row first: blue, green / red, white on top.
        const uint8_t rows[2][6] = {{255, 0, 0, 0, 255, 0}, {0, 0, 255, 255, 255, 255}};
        std::memcpy(pixels, rows[0], 6);
        std::memcpy(pixels + Stride(2, 24), rows[1], 6);
        LocalUnlock(*bits);
        return SPI_SUCCESS;
    }
    default:
        return SPI_BROKEN_DATA;
    }
}

}  // namespace

extern "C" {

SPI_EXPORT int32_t GetPluginInfo(int32_t number, char* buffer, int32_t length)
{
    fake::Enter("GetPluginInfo");
    static const char* const texts[] = {"00IN", "Damaged output", "*.bad", "Damaged"};
    if (number < 0 || number >= 4)
        return 0;
    return fake::CopyText(texts[number], buffer, length);
}

SPI_EXPORT int32_t IsSupported(const char* fileName, const void* header)
{
    fake::Enter("IsSupported");
    return std::memcmp(header, "FAKEBAD1", 8) == 0 ? 1 : 0;
}

SPI_EXPORT int32_t GetPicture(const char* source, intptr_t length, uint32_t flag, HLOCAL* info, HLOCAL* bits,
                              SpiProgress progress, intptr_t user)
{
    fake::Enter("GetPicture");
    return Damaged(source, length, flag, info, bits);
}

}  // extern "C"
