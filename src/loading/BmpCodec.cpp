// Reading and writing of bitmap files and device-independent bitmap blocks.
// Everything here works on bytes that came from outside: a bitmap file on
// disk, an archive member, or the blocks an image plug-in handed back. Each
// field, count and offset is checked before it is used, and the size of the
// picture is checked against the bytes that are really there before anything
// is allocated, so a damaged file costs an exception, never a crash or a
// gigabyte of memory.

#include <algorithm>
#include <bit>
#include <cstring>

#include "base/Errors.h"
#include "common/BinaryReader.h"
#include "loading/DecodeLimits.h"
#include "loading/DibHeader.h"
#include "loading/ImgLoader.h"
#include "base/Texts.h"

namespace {

constexpr size_t FileHeaderSize = 14;
constexpr size_t CoreHeaderSize = 12;
constexpr size_t Os2HeaderSize = 64;
constexpr size_t InfoHeaderSize = 40;

// Compression codes as they are stored. OS/2 uses 3 for its Huffman coding
// and 4 for 24-bit run lengths; Windows uses them for bit fields and JPEG.
constexpr uint32_t BiRgb = 0;
constexpr uint32_t BiRle8 = 1;
constexpr uint32_t BiRle4 = 2;
constexpr uint32_t BiBitFields = 3;
constexpr uint32_t BiJpeg = 4;
constexpr uint32_t BiPng = 5;
constexpr uint32_t BiAlphaBitFields = 6;

// An RLE picture may leave areas unwritten (end of line, delta, end of
// bitmap), so its size is not bounded by its data. An honest encoder needs at
// least two bytes per 255 pixels; allowing 256 pixels per byte, or any
// picture up to this many pixels, keeps every real file and stops a few bytes
// from demanding a gigabyte.
constexpr uint64_t RlePixelsPerByte = 256;
constexpr uint64_t RleFreePixels = uint64_t(16) << 20;

constexpr std::string_view DamagedHeaderText = "ビットマップのヘッダが壊れています";
constexpr std::string_view ShortDataText = "ビットマップのデータが途中で終わっています";

[[noreturn]] void Damaged()
{
    throw EInvalidGraphic(Tx(DamagedHeaderText));
}

[[noreturn]] void Unsupported()
{
    throw EInvalidGraphic(Tx("この形式のビットマップには対応していません"));
}

[[noreturn]] void ShortData()
{
    throw EInvalidGraphic(Tx(ShortDataText));
}

// Runs a reading step whose reader raises EFormatError and gives callers of
// the codec the one error they expect of a bitmap that cannot be read.
template <typename F>
auto Refusing(F step)
{
    try {
        return step();
    } catch (const EFormatError& e) {
        throw EInvalidGraphic(e.what());
    }
}

[[noreturn]] void BadRle()
{
    throw EInvalidGraphic(Tx("ビットマップの圧縮データが壊れています"));
}

uint16_t Le16(const uint8_t* p)
{
    return static_cast<uint16_t>(p[0] | p[1] << 8);
}

uint32_t Le32(const uint8_t* p)
{
    return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 | static_cast<uint32_t>(p[2]) << 16 |
           static_cast<uint32_t>(p[3]) << 24;
}

void PutLe16(uint8_t* p, uint32_t v)
{
    p[0] = static_cast<uint8_t>(v);
    p[1] = static_cast<uint8_t>(v >> 8);
}

void PutLe32(uint8_t* p, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        p[i] = static_cast<uint8_t>(v >> (8 * i));
}

bool IsContiguous(uint32_t mask)
{
    if (mask == 0)
        return true;
    const uint32_t shifted = mask >> std::countr_zero(mask);
    return (shifted & (shifted + 1)) == 0;
}

// Reads the masks of a bit-field picture from header offset `at` (inside the
// header or right behind it) and checks that they fit the pixel.
void ReadMasks(TDibHeader& header, const uint8_t* info, size_t infoSize, size_t at, int count)
{
    TBinaryReader block(info, infoSize, DamagedHeaderText);
    block.Skip(static_cast<int64_t>(at), "header");
    for (int i = 0; i < count; ++i)
        header.Masks[i] = block.ReadU32("bit masks");
    for (uint32_t mask : header.Masks) {
        if (!IsContiguous(mask))
            Damaged();
        if (header.BitCount == 16 && mask > 0xFFFF)
            Damaged();
    }
}

void SetDefaultMasks(TDibHeader& header)
{
    if (header.BitCount == 16) {
        header.Masks[0] = 0x7C00;
        header.Masks[1] = 0x03E0;
        header.Masks[2] = 0x001F;
    } else if (header.BitCount == 32) {
        header.Masks[0] = 0x00FF0000;
        header.Masks[1] = 0x0000FF00;
        header.Masks[2] = 0x000000FF;
    }
    // The fourth byte of a plain 32-bit pixel is unused by the format; many
    // writers leave garbage in it, so it is never taken as alpha.
    header.Masks[3] = 0;
}

// One colour channel of a bit-field pixel widened to 8 bits, so that a full
// 5-bit value gives 255 and not 248.
struct TChannel {
    uint32_t Mask = 0;
    int Shift = 0;
    int Bits = 0;

    explicit TChannel(uint32_t mask) : Mask(mask)
    {
        if (mask != 0) {
            Shift = std::countr_zero(mask);
            Bits = std::popcount(mask);
        }
    }

    uint8_t operator()(uint32_t pixel) const
    {
        if (Bits == 0)
            return 0;
        const uint32_t v = (pixel & Mask) >> Shift;
        if (Bits >= 8)
            return static_cast<uint8_t>(v >> (Bits - 8));
        const uint32_t max = (1u << Bits) - 1;
        return static_cast<uint8_t>((v * 255 + max / 2) / max);
    }
};

size_t StoredStride(int width, int bitCount)
{
    return ((static_cast<size_t>(width) * static_cast<size_t>(bitCount) + 31) / 32) * 4;
}

size_t UsedRowBytes(int width, int bitCount)
{
    return (static_cast<size_t>(width) * static_cast<size_t>(bitCount) + 7) / 8;
}

void UnpackIndexedRow(const uint8_t* src, uint8_t* dst, int width, int bitCount)
{
    switch (bitCount) {
    case 8:
        std::memcpy(dst, src, static_cast<size_t>(width));
        break;
    case 4:
        for (int x = 0; x < width; ++x)
            dst[x] = (x & 1) ? (src[x >> 1] & 0x0F) : (src[x >> 1] >> 4);
        break;
    case 1:
        for (int x = 0; x < width; ++x)
            dst[x] = (src[x >> 3] >> (7 - (x & 7))) & 1;
        break;
    default:
        Unsupported();
    }
}

// The bytes an uncompressed picture needs: every row, except that the
// padding of the very last row may be missing, as some writers leave it out.
size_t UncompressedSize(const TDibHeader& header)
{
    return StoredStride(header.Width, header.BitCount) * static_cast<size_t>(header.Height - 1) +
           UsedRowBytes(header.Width, header.BitCount);
}

// Rows decoded between two looks at the stop flag.
constexpr int64_t StopCheckRows = 16;

// A decode whose page was abandoned gives up here, between row bands.
void CheckStop(const std::atomic<bool>* stop)
{
    if (stop && stop->load(std::memory_order_relaxed))
        throw EDecodeStopped();
}

// The caller has checked that bits holds UncompressedSize bytes.
void DecodeUncompressed(const TDibHeader& header, const uint8_t* bits, TBitmap& bitmap, const std::atomic<bool>* stop)
{
    const size_t stride = StoredStride(header.Width, header.BitCount);
    const TChannel red(header.Masks[0]), green(header.Masks[1]), blue(header.Masks[2]);
    const bool plain32 = header.BitCount == 32 && header.Masks[0] == 0x00FF0000 && header.Masks[1] == 0x0000FF00 &&
                         header.Masks[2] == 0x000000FF;
    for (int row = 0; row < header.Height; ++row) {
        if (row % StopCheckRows == 0)
            CheckStop(stop);
        const uint8_t* src = bits + stride * static_cast<size_t>(row);
        uint8_t* dst = bitmap.ScanLine(header.TopDown ? row : header.Height - 1 - row);
        switch (header.BitCount) {
        case 1:
        case 4:
        case 8:
            UnpackIndexedRow(src, dst, header.Width, header.BitCount);
            break;
        case 24:
            std::memcpy(dst, src, static_cast<size_t>(header.Width) * 3);
            break;
        case 16:
            for (int x = 0; x < header.Width; ++x) {
                const uint32_t p = Le16(src + 2 * x);
                dst[3 * x] = blue(p);
                dst[3 * x + 1] = green(p);
                dst[3 * x + 2] = red(p);
            }
            break;
        case 32:
            if (plain32) {
                for (int x = 0; x < header.Width; ++x) {
                    dst[3 * x] = src[4 * x];
                    dst[3 * x + 1] = src[4 * x + 1];
                    dst[3 * x + 2] = src[4 * x + 2];
                }
            } else {
                for (int x = 0; x < header.Width; ++x) {
                    const uint32_t p = Le32(src + 4 * x);
                    dst[3 * x] = blue(p);
                    dst[3 * x + 1] = green(p);
                    dst[3 * x + 2] = red(p);
                }
            }
            break;
        default:
            Unsupported();
        }
    }
}

// Run-length coded 8-bit and 4-bit pictures. Codes come in byte pairs: a
// count and a value (a run), or a zero and an escape: 0 end of line, 1 end of
// bitmap, 2 a move right and down, 3 and more a literal run padded to an even
// byte count. Rows are stored from the first stored row on; pixels never
// written stay index 0. A run or a move that leaves the row or the picture
// means the data is damaged.
void DecodeRle(const TDibHeader& header, const uint8_t* data, size_t size, TBitmap& bitmap,
               const std::atomic<bool>* stop)
{
    const bool four = header.Compression == TDibCompression::dcRle4;
    const int64_t width = header.Width;
    const int64_t height = header.Height;
    int64_t x = 0;
    int64_t row = 0;
    size_t pos = 0;
    auto line = [&]() -> uint8_t* {
        return bitmap.ScanLine(static_cast<int>(header.TopDown ? row : height - 1 - row));
    };
    // The band of rows last looked at the stop flag in.
    int64_t checkedBand = -1;
    while (true) {
        if (row / StopCheckRows != checkedBand) {
            checkedBand = row / StopCheckRows;
            CheckStop(stop);
        }
        if (size - pos < 2) {
            // Some writers end without the end-of-bitmap code; that is fine
            // when every row has been reached.
            if (row >= height || (row == height - 1 && x == width))
                return;
            ShortData();
        }
        const uint8_t count = data[pos];
        const uint8_t value = data[pos + 1];
        pos += 2;
        if (count > 0) {
            if (row >= height || x + count > width)
                BadRle();
            uint8_t* dst = line() + x;
            if (four) {
                const uint8_t pair[2] = {static_cast<uint8_t>(value >> 4), static_cast<uint8_t>(value & 0x0F)};
                for (int i = 0; i < count; ++i)
                    dst[i] = pair[i & 1];
            } else {
                std::memset(dst, value, count);
            }
            x += count;
            continue;
        }
        switch (value) {
        case 0:
            x = 0;
            ++row;
            break;
        case 1:
            return;
        case 2: {
            if (size - pos < 2)
                ShortData();
            x += data[pos];
            row += data[pos + 1];
            pos += 2;
            if (x > width || row >= height)
                BadRle();
            break;
        }
        default: {
            const size_t n = value;
            const size_t bytes = four ? (n + 1) / 2 : n;
            const size_t padded = (bytes + 1) & ~size_t(1);
            if (size - pos < padded)
                ShortData();
            if (row >= height || x + static_cast<int64_t>(n) > width)
                BadRle();
            uint8_t* dst = line() + x;
            const uint8_t* src = data + pos;
            if (four) {
                for (size_t i = 0; i < n; ++i)
                    dst[i] = (i & 1) ? (src[i >> 1] & 0x0F) : (src[i >> 1] >> 4);
            } else {
                std::memcpy(dst, src, n);
            }
            x += static_cast<int64_t>(n);
            pos += padded;
            break;
        }
        }
    }
}

}  // namespace

PixelFormat TDibHeader::Format() const
{
    switch (BitCount) {
    case 1:
        return PixelFormat::Bits1;
    case 4:
        return PixelFormat::Bits4;
    case 8:
        return PixelFormat::Bits8;
    case 16:
        return Masks[0] == 0x7C00 && Masks[1] == 0x03E0 && Masks[2] == 0x001F ? PixelFormat::Bits15
                                                                               : PixelFormat::Bits16;
    case 24:
        return PixelFormat::Bits24;
    case 32:
        return PixelFormat::Bits32;
    default:
        return PixelFormat::Custom;
    }
}

namespace {

// The fields that follow the size in OS/2 2.x and Windows headers, which
// share their first 36 bytes.
struct TInfoFields {
    int64_t Width = 0;
    int64_t Height = 0;
    uint32_t Planes = 0;
    uint32_t Compression = BiRgb;
    uint32_t ColorsUsed = 0;
};

TInfoFields ReadInfoFields(TBinaryReader& block, TDibHeader& header)
{
    TInfoFields fields;
    fields.Width = block.ReadInt32("width");
    fields.Height = block.ReadInt32("height");
    fields.Planes = block.ReadU16("planes");
    header.BitCount = block.ReadU16("bit count");
    fields.Compression = block.ReadU32("compression");
    // The image size and the resolutions are not needed to read the pixels,
    // and writers often leave them wrong.
    block.Skip(12, "header");
    fields.ColorsUsed = block.ReadU32("colour count");
    return fields;
}

TDibHeader ReadDibHeader(const uint8_t* info, size_t infoSize, TDibSource source)
{
    TBinaryReader block(info, infoSize, DamagedHeaderText);
    TDibHeader header;
    header.HeaderSize = block.ReadU32("header size");
    // The whole header lies inside the block, whatever its layout.
    block.Need(int64_t(header.HeaderSize) - 4, "header");
    TInfoFields fields;
    if (header.HeaderSize == CoreHeaderSize) {
        header.Kind = TDibHeaderKind::dhOs2Core;
        fields.Width = block.ReadU16("width");
        fields.Height = block.ReadU16("height");
        fields.Planes = block.ReadU16("planes");
        header.BitCount = block.ReadU16("bit count");
        header.PaletteEntrySize = 3;
    } else if ((header.HeaderSize >= 16 && header.HeaderSize < InfoHeaderSize) || header.HeaderSize == Os2HeaderSize) {
        // Plug-ins hand back the Windows layout; a short header from one is
        // damage, not an OS/2 picture.
        if (source == TDibSource::dsPlugin && header.HeaderSize != Os2HeaderSize)
            Damaged();
        // OS/2 2.x headers may be cut short after any field; what is left out
        // counts as zero.
        header.Kind = TDibHeaderKind::dhOs2V2;
        uint8_t full[Os2HeaderSize] = {};
        block.ReadBytes(full + 4, int64_t(header.HeaderSize) - 4, "header");
        TBinaryReader padded(full, sizeof full, DamagedHeaderText);
        padded.Skip(4, "header size");
        fields = ReadInfoFields(padded, header);
        // 3 is Huffman coding and 4 is 24-bit run lengths here, both of fax
        // and scanner software of the time; neither is read.
        if (fields.Compression != BiRgb && fields.Compression != BiRle8 && fields.Compression != BiRle4)
            Unsupported();
    } else if (header.HeaderSize >= InfoHeaderSize) {
        header.Kind = TDibHeaderKind::dhWindows;
        fields = ReadInfoFields(block, header);
        if (fields.Compression == BiJpeg || fields.Compression == BiPng)
            Unsupported();
    } else {
        Damaged();
    }

    if (fields.Planes != 1)
        Damaged();
    int64_t width = fields.Width, height = fields.Height;
    if (height < 0) {
        header.TopDown = true;
        height = -height;
    }
    if (width <= 0 || height <= 0 || width > TBitmap::MaxSide || height > TBitmap::MaxSide)
        Damaged();
    header.Width = static_cast<int>(width);
    header.Height = static_cast<int>(height);

    switch (header.BitCount) {
    case 1:
    case 4:
    case 8:
    case 24:
        break;
    case 16:
    case 32:
        if (header.Kind == TDibHeaderKind::dhOs2Core)
            Damaged();
        break;
    default:
        Unsupported();
    }

    header.TableEnd = header.HeaderSize;
    switch (fields.Compression) {
    case BiRgb:
        header.Compression = TDibCompression::dcRgb;
        SetDefaultMasks(header);
        break;
    case BiRle8:
        if (header.BitCount != 8)
            Damaged();
        header.Compression = TDibCompression::dcRle8;
        break;
    case BiRle4:
        if (header.BitCount != 4)
            Damaged();
        header.Compression = TDibCompression::dcRle4;
        break;
    case BiBitFields:
    case BiAlphaBitFields: {
        if (header.BitCount != 16 && header.BitCount != 32)
            Damaged();
        header.Compression = TDibCompression::dcBitFields;
        const int count = fields.Compression == BiAlphaBitFields ? 4 : 3;
        if (header.HeaderSize < 52) {
            // A 40-byte header is followed by the masks.
            ReadMasks(header, info, infoSize, header.HeaderSize, count);
            header.TableEnd = header.HeaderSize + 4 * static_cast<size_t>(count);
        } else {
            ReadMasks(header, info, infoSize, InfoHeaderSize, header.HeaderSize >= 56 ? 4 : 3);
        }
        break;
    }
    default:
        Unsupported();
    }

    header.PaletteOffset = header.TableEnd;
    if (header.BitCount <= 8) {
        const uint32_t full = 1u << header.BitCount;
        // A file's table may be longer than the depth can index; the entries
        // beyond it are never used. A plug-in that claims more colours than
        // its depth has handed back something else than it meant to.
        if (fields.ColorsUsed > full && source == TDibSource::dsPlugin)
            Damaged();
        header.ColorCount = fields.ColorsUsed == 0 || fields.ColorsUsed > full ? full : fields.ColorsUsed;
        TBinaryReader table(info, infoSize, DamagedHeaderText);
        table.Skip(static_cast<int64_t>(header.PaletteOffset), "header");
        table.Need(static_cast<int64_t>(header.ColorCount * header.PaletteEntrySize), "colour table");
        header.TableEnd = header.PaletteOffset + header.ColorCount * header.PaletteEntrySize;
    }
    return header;
}

// The pixel block against what the header says it holds.
void CheckRows(const TDibHeader& header, size_t bitsSize, TDibSource source)
{
    const int outBits = header.BitCount <= 8 ? 8 : 24;
    if (!TBitmap::SizeAllowed(header.Width, header.Height, outBits))
        Damaged();
    const auto need = [&](uint64_t bytes) {
        if (bytes > bitsSize)
            ShortData();
    };
    if (header.Compression == TDibCompression::dcRle8 || header.Compression == TDibCompression::dcRle4) {
        // Every run-length picture holds at least one code pair.
        need(2);
        const uint64_t pixels = static_cast<uint64_t>(header.Width) * static_cast<uint64_t>(header.Height);
        if (pixels > RleFreePixels)
            need(pixels / RlePixelsPerByte);
    } else if (source == TDibSource::dsFile) {
        need(UncompressedSize(header));
    } else {
        need(StoredStride(header.Width, header.BitCount) * static_cast<uint64_t>(header.Height));
    }
}

}  // namespace

TDibHeader ParseDibHeader(const uint8_t* info, size_t infoSize, TDibSource source)
{
    return Refusing([&] { return ReadDibHeader(info, infoSize, source); });
}

TDibHeader CheckDib(const uint8_t* info, size_t infoSize, size_t bitsSize, TDibSource source)
{
    return Refusing([&] {
        const TDibHeader header = ReadDibHeader(info, infoSize, source);
        CheckRows(header, bitsSize, source);
        return header;
    });
}

std::vector<TRGBQuad> ReadColourTable(const TDibHeader& header, const uint8_t* info, size_t infoSize)
{
    return Refusing([&] {
        TBinaryReader table(info, infoSize, DamagedHeaderText);
        table.Skip(static_cast<int64_t>(header.PaletteOffset), "header");
        std::vector<TRGBQuad> palette(header.ColorCount);
        for (TRGBQuad& colour : palette) {
            // Blue, green, red, and in all but the OS/2 core layout a byte
            // nobody uses.
            uint8_t entry[4] = {};
            table.ReadBytes(entry, static_cast<int64_t>(header.PaletteEntrySize), "colour table");
            colour = TRGBQuad{entry[0], entry[1], entry[2], 0};
        }
        return palette;
    });
}

namespace {

// Decodes pixels that CheckDib has passed against these very blocks.
TBitmap DecodeChecked(const TDibHeader& header, const uint8_t* info, size_t infoSize, const uint8_t* bits,
                      size_t bitsSize, const std::atomic<bool>* stop = nullptr)
{
    CheckStop(stop);
    const bool indexed = header.BitCount <= 8;
    const bool rle = header.Compression == TDibCompression::dcRle8 || header.Compression == TDibCompression::dcRle4;
    TBitmap bitmap(header.Width, header.Height, indexed ? 8 : 24, rle);
    if (indexed)
        bitmap.Palette() = ReadColourTable(header, info, infoSize);
    if (rle)
        DecodeRle(header, bits, bitsSize, bitmap, stop);
    else
        DecodeUncompressed(header, bits, bitmap, stop);
    bitmap.SetLoadedFormat(header.Format());
    return bitmap;
}

}  // namespace

TBitmap DecodeDib(const uint8_t* info, size_t infoSize, const uint8_t* bits, size_t bitsSize, TDibSource source)
{
    if (!bits)
        bitsSize = 0;
    const TDibHeader header = CheckDib(info, infoSize, bitsSize, source);
    return DecodeChecked(header, info, infoSize, bits, bitsSize);
}

TBitmap DecodeBmpFile(const uint8_t* data, size_t size, const std::atomic<bool>* stop)
{
    // The file header: "BM", the file size and two reserved words (which
    // writers fill in carelessly and nothing needs), and where the pixel rows
    // begin.
    const size_t offsetField = Refusing([&] {
        TBinaryReader file(data, size, DamagedHeaderText);
        if (file.ReadU16("file header") != ('B' | 'M' << 8))
            Damaged();
        file.Skip(8, "file header");
        return size_t{file.ReadU32("pixel offset")};
    });
    const uint8_t* info = data + FileHeaderSize;
    const TDibHeader header = ParseDibHeader(info, size - FileHeaderSize, TDibSource::dsFile);
    // The pixel rows must begin behind the colour table and inside the file;
    // a writer that left the offset 0 gets the rows right behind the table.
    const size_t offset = offsetField == 0 ? FileHeaderSize + header.TableEnd : offsetField;
    if (offset < FileHeaderSize + header.TableEnd || offset > size)
        Damaged();
    const size_t bitsSize = size - offset;
    CheckRows(header, bitsSize, TDibSource::dsFile);
    return DecodeChecked(header, info, offset - FileHeaderSize, data + offset, bitsSize, stop);
}

std::vector<uint8_t> EncodeBmpFile(const TBitmap& bitmap)
{
    const int bitCount = bitmap.BitsPerPixel();
    if (bitmap.IsEmpty() || (bitCount != 8 && bitCount != 24))
        throw EInvalidGraphic(Tx("空のビットマップは保存できません"));
    // 8-bit pictures always get a full table: entries the palette lacks are
    // written black, as the program shows such indices.
    const size_t paletteEntries = bitCount == 8 ? 256 : 0;
    const size_t stride = StoredStride(bitmap.Width(), bitCount);
    const size_t offset = FileHeaderSize + InfoHeaderSize + 4 * paletteEntries;
    const size_t imageSize = stride * static_cast<size_t>(bitmap.Height());
    const size_t fileSize = offset + imageSize;
    if (fileSize > UINT32_MAX)
        throw EInvalidGraphic(Tx("画像のサイズが大きすぎます"));

    std::vector<uint8_t> out(fileSize, 0);
    uint8_t* p = out.data();
    p[0] = 'B';
    p[1] = 'M';
    PutLe32(p + 2, static_cast<uint32_t>(fileSize));
    PutLe32(p + 10, static_cast<uint32_t>(offset));
    uint8_t* h = p + FileHeaderSize;
    PutLe32(h, InfoHeaderSize);
    PutLe32(h + 4, static_cast<uint32_t>(bitmap.Width()));
    PutLe32(h + 8, static_cast<uint32_t>(bitmap.Height()));
    PutLe16(h + 12, 1);
    PutLe16(h + 14, static_cast<uint32_t>(bitCount));
    PutLe32(h + 16, BiRgb);
    PutLe32(h + 20, static_cast<uint32_t>(imageSize));
    PutLe32(h + 24, 3780);  // 96 dots per inch
    PutLe32(h + 28, 3780);
    PutLe32(h + 32, static_cast<uint32_t>(paletteEntries));
    uint8_t* table = h + InfoHeaderSize;
    const std::vector<TRGBQuad>& palette = bitmap.Palette();
    for (size_t i = 0; i < paletteEntries && i < palette.size(); ++i) {
        table[4 * i] = palette[i].Blue;
        table[4 * i + 1] = palette[i].Green;
        table[4 * i + 2] = palette[i].Red;
    }
    // Rows are written bottom-up, the layout every reader understands.
    const size_t used = static_cast<size_t>(bitmap.Width()) * static_cast<size_t>(bitCount / 8);
    for (int y = 0; y < bitmap.Height(); ++y)
        std::memcpy(p + offset + stride * static_cast<size_t>(bitmap.Height() - 1 - y), bitmap.ScanLine(y), used);
    return out;
}
