#pragma once

// The header of a device-independent bitmap, read once and checked against the
// block it came in, so that the pixel decoder and the loaded-picture holder
// work only with values that are known to be sane. Bitmap files from OS/2
// (12-byte and 16- to 64-byte headers) and from Windows (40 bytes and longer)
// all end up in this one record.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "common/Bitmap.h"

enum class TDibHeaderKind : uint8_t { dhOs2Core, dhOs2V2, dhWindows };

// How the pixel rows are stored. Huffman, JPEG and PNG payloads are refused
// when the header is read, so they never appear here.
enum class TDibCompression : uint8_t { dcRgb, dcRle8, dcRle4, dcBitFields };

struct TDibHeader {
    TDibHeaderKind Kind = TDibHeaderKind::dhWindows;
    uint32_t HeaderSize = 0;
    int Width = 0;        // > 0
    int Height = 0;       // > 0; the sign of the stored height is in TopDown
    bool TopDown = false; // the first stored row is the top row
    int BitCount = 0;     // 1, 4, 8, 16, 24 or 32
    TDibCompression Compression = TDibCompression::dcRgb;
    // Red, green, blue and alpha masks for 16 and 32 bits per pixel: the
    // stored ones for bit fields, the customary defaults otherwise.
    uint32_t Masks[4] = {0, 0, 0, 0};
    // Colour table entries the pixels can use (at most 2^BitCount); 0 above 8
    // bits per pixel. The table lies completely inside the block.
    uint32_t ColorCount = 0;
    size_t PaletteOffset = 0;     // from the start of the block
    size_t PaletteEntrySize = 4;  // 3 for OS/2 core headers
    // Where the colour table (or the masks that follow a short header) ends:
    // the least offset at which the pixel rows may begin in a file.
    size_t TableEnd = 0;

    // What the picture was before it was widened: Bits15 for 5-5-5 pixels,
    // Bits16 for other 16-bit layouts.
    PixelFormat Format() const;
};

// Where a bitmap's blocks came from, which decides what is accepted beyond
// the header every source shares.
enum class TDibSource : uint8_t {
    // A bitmap file: OS/2 headers of every size, a colour count above what the
    // depth can index (the extra entries are never used), and a last row
    // whose padding the writer left out.
    dsFile,
    // The blocks an image plug-in hands back, which follow the Windows layout
    // (or the 12-byte core header): a colour count within the depth, and
    // every row whole.
    dsPlugin,
};

// Reads and checks the header at the start of info: known size and layout,
// one plane, a supported depth and compression, sides within the program's
// limits, masks that are contiguous runs of bits inside the pixel, a colour
// table inside the block. Raises EInvalidGraphic on anything else.
TDibHeader ParseDibHeader(const uint8_t* info, size_t infoSize, TDibSource source = TDibSource::dsFile);

// The header as above, and the pixel rows against the pixel block's size: an
// uncompressed picture's rows must all be there, a run-length one must bring
// some data (and enough for its area when it is large), and the bitmap it
// becomes must be within the program's size limits. The one check every
// bitmap passes before its pixels are read; EInvalidGraphic on damage.
TDibHeader CheckDib(const uint8_t* info, size_t infoSize, size_t bitsSize, TDibSource source);

// The colour table of a checked header, as the bitmap keeps it.
std::vector<TRGBQuad> ReadColourTable(const TDibHeader& header, const uint8_t* info, size_t infoSize);
