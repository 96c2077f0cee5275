#include "image/JpegEighth.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>
#include <vector>

namespace spikit {

namespace {

// Codes up to this many bits, with the value bits behind them, are found by
// one look at the next bits of the data; longer ones are searched code
// length by code length.
constexpr int LookBits = 11;
constexpr int LookSize = 1 << LookBits;

// One entry of a look-up table: the symbol and its code length (0: the code
// is longer than LookBits).
struct TLook {
    uint8_t Symbol = 0;
    uint8_t CodeLength = 0;
};

// For stepping over coefficients: the bits that the next one or two
// coefficients take with their value bits, and how far each moves along the
// block; Length1 0 when the first does not fit SkipBits. Two are taken at
// once unless the first ends the block.
constexpr int SkipBits = 12;
struct TSkip {
    uint8_t Length1 = 0;
    uint8_t Advance1 = 0;
    uint8_t Length2 = 0;   // of both, or of the first alone
    uint8_t Advance2 = 0;
};

// For decoding coefficients with their values: the coefficient that the
// next LookBits hold whole, with its value bits; Length 0 when it does not
// fit. Run is the zeros before it, or one of the two kinds below.
constexpr uint8_t RunZeros16 = 0xF0;
constexpr uint8_t RunEndOfBlock = 0xFF;
struct TValue {
    int16_t Value = 0;
    uint8_t Length = 0;
    uint8_t Run = 0;
};

// A Huffman table as the decoder uses it.
struct THuffman {
    std::array<TLook, LookSize> Look{};
    std::array<TSkip, 1 << SkipBits> Skip{};  // AC tables only
    std::array<TValue, LookSize> Values{};    // AC tables only
    // For codes longer than LookBits: the largest code of each length (-1
    // when none) and where the symbols of that length start, less the
    // length's first code.
    std::array<int32_t, 18> MaxCode{};
    std::array<int32_t, 17> Offset{};
    std::array<uint8_t, 256> Symbols{};
};

// How far a coefficient symbol moves along a block: the zeros it skips and
// itself; an end of block (and the run-less symbols libjpeg takes for one)
// ends the block, sixteen zeros move sixteen.
uint8_t AdvanceOf(uint8_t symbol)
{
    const int run = symbol >> 4;
    const int size = symbol & 15;
    if (size)
        return static_cast<uint8_t>(run + 1);
    return run == 15 ? 16 : 64;
}

// A value of size bits as JPEG codes it: the lower half stands for the
// negative values.
inline int Extend(uint32_t bits, int size)
{
    const int value = static_cast<int>(bits);
    return value < (1 << (size - 1)) ? value - (1 << size) + 1 : value;
}

// The value entries of an AC table: every coefficient that fits LookBits
// with its value bits, each value bit pattern its own entry.
void BuildValues(const JHUFF_TBL& table, THuffman& out)
{
    int32_t code = 0;
    int index = 0;
    for (int length = 1; length <= 16; ++length, code <<= 1) {
        for (int i = 0; i < table.bits[length]; ++i, ++index, ++code) {
            const uint8_t symbol = out.Symbols[static_cast<size_t>(index)];
            const int run = symbol >> 4;
            const int size = symbol & 15;
            const int total = length + size;
            if (total > LookBits)
                continue;
            const int shift = LookBits - total;
            for (uint32_t valueBits = 0; valueBits < (1u << size); ++valueBits) {
                TValue entry;
                entry.Length = static_cast<uint8_t>(total);
                entry.Run = size ? static_cast<uint8_t>(run) : run == 15 ? RunZeros16 : RunEndOfBlock;
                entry.Value = static_cast<int16_t>(size ? Extend(valueBits, size) : 0);
                const uint32_t prefix = (static_cast<uint32_t>(code) << size | valueBits) << shift;
                for (uint32_t fill = 0; fill < (1u << shift); ++fill)
                    out.Values[prefix | fill] = entry;
            }
        }
    }
}

// The skip entries of an AC table: first every coefficient alone that fits
// SkipBits, then a second one behind it where both fit.
void BuildSkips(const JHUFF_TBL& table, THuffman& out)
{
    constexpr int size = 1 << SkipBits;
    int32_t code = 0;
    int index = 0;
    for (int length = 1; length <= 16; ++length, code <<= 1) {
        for (int i = 0; i < table.bits[length]; ++i, ++index, ++code) {
            const uint8_t symbol = out.Symbols[static_cast<size_t>(index)];
            const int total = length + (symbol & 15);
            if (total > SkipBits)
                continue;
            TSkip skip;
            skip.Length1 = skip.Length2 = static_cast<uint8_t>(total);
            skip.Advance1 = skip.Advance2 = AdvanceOf(symbol);
            const int shift = SkipBits - length;
            for (int fill = 0; fill < (1 << shift); ++fill)
                out.Skip[static_cast<size_t>((code << shift) | fill)] = skip;
        }
    }
    const std::array<TSkip, size> single = out.Skip;
    for (int i = 0; i < size; ++i) {
        TSkip& skip = out.Skip[static_cast<size_t>(i)];
        if (!skip.Length1 || skip.Advance1 >= 64)
            continue;
        const TSkip& next = single[static_cast<size_t>((i << skip.Length1) & (size - 1))];
        if (next.Length1 && next.Length1 <= SkipBits - skip.Length1) {
            skip.Length2 = static_cast<uint8_t>(skip.Length1 + next.Length1);
            skip.Advance2 = static_cast<uint8_t>(skip.Advance1 + next.Advance1);
        }
    }
}

// Builds the table of a DHT segment, refusing what libjpeg refuses: more
// than 256 symbols, codes that overflow their length, DC sizes over 15.
bool BuildHuffman(const JHUFF_TBL* table, bool dc, THuffman& out)
{
    if (!table)
        return false;
    int count = 0;
    for (int length = 1; length <= 16; ++length)
        count += table->bits[length];
    if (count > 256)
        return false;
    std::memcpy(out.Symbols.data(), table->huffval, static_cast<size_t>(count));
    if (dc) {
        for (int i = 0; i < count; ++i) {
            if (out.Symbols[static_cast<size_t>(i)] > 15)
                return false;
        }
    }
    int32_t code = 0;
    int index = 0;
    for (int length = 1; length <= 16; ++length) {
        const int n = table->bits[length];
        out.Offset[static_cast<size_t>(length)] = index - code;
        for (int i = 0; i < n; ++i, ++index, ++code) {
            if (length <= LookBits) {
                TLook look;
                look.Symbol = out.Symbols[static_cast<size_t>(index)];
                look.CodeLength = static_cast<uint8_t>(length);
                const int shift = LookBits - length;
                for (int fill = 0; fill < (1 << shift); ++fill)
                    out.Look[static_cast<size_t>((code << shift) | fill)] = look;
            }
        }
        out.MaxCode[static_cast<size_t>(length)] = n ? code - 1 : -1;
        if (code >= (int32_t(1) << length))
            return false;
        code <<= 1;
    }
    out.MaxCode[17] = 0x7FFFFFFF;
    if (!dc) {
        BuildSkips(*table, out);
        BuildValues(*table, out);
    }
    return true;
}

// The entropy-coded bits of a scan: stuffed bytes undone, and zeros fed once
// a marker or the end of the data is reached, as libjpeg feeds them. A scan
// that needs any of those zeros was cut short, and is left to libjpeg.
class TBitReader {
public:
    TBitReader(const uint8_t* data, size_t size) : fNext(data), fEnd(data + size) {}

    // At least 56 bits are ready. Eight bytes without a 0xFF among them,
    // by far the most common run, go in at once and without a branch that
    // depends on how many bits were left; the bits of a byte only partly
    // taken are taken again in the same place, so they stay as they were.
    void Fill()
    {
        if (fEnd - fNext >= 8) {
            uint64_t word;
            std::memcpy(&word, fNext, sizeof word);
            word = __builtin_bswap64(word);
            const uint64_t inverse = ~word;
            if (((inverse - 0x0101010101010101u) & word & 0x8080808080808080u) == 0) {
                fBits |= word >> fCount;
                fNext += (63 - fCount) >> 3;
                fCount |= 56;
                return;
            }
        }
        FillByBytes();
    }
    uint32_t Peek(int count) const { return static_cast<uint32_t>(fBits >> (64 - count)); }
    void Drop(int count)
    {
        fBits <<= count;
        fCount -= count;
    }
    uint32_t Take(int count)
    {
        const uint32_t value = Peek(count);
        Drop(count);
        return value;
    }
    // No zero that stands for missing data was read.
    bool Clean() const { return fFed <= fCount; }
    // Ends an interval at a restart marker of the number given: the rest of
    // the last byte is padding, and the marker must follow at once.
    bool Restart(int number)
    {
        Drop(fCount % 8);
        if (fCount != fFed || fNext + 1 >= fEnd || fNext[0] != 0xFF || fNext[1] != 0xD0 + number)
            return false;
        fNext += 2;
        fBits = 0;
        fCount = 0;
        fFed = 0;
        return true;
    }

private:
    // Byte by byte: stuffed bytes and markers.
    void FillByBytes()
    {
        while (fCount < 56) {
            uint64_t byte = 0;
            if (fNext < fEnd && *fNext != 0xFF) {
                byte = *fNext++;
            } else if (fNext + 1 < fEnd && fNext[1] == 0) {
                byte = 0xFF;
                fNext += 2;
            } else {
                fFed += 8;
            }
            fBits |= byte << (56 - fCount);
            fCount += 8;
        }
    }

    const uint8_t* fNext;
    const uint8_t* fEnd;
    uint64_t fBits = 0;  // the next fCount bits, from the top
    int fCount = 0;      // below 64
    int fFed = 0;        // zeros fed at the end of fBits
};

// The next symbol of table; false for a code the table does not hold.
inline bool DecodeSymbol(TBitReader& bits, const THuffman& table, int& symbol)
{
    const TLook& look = table.Look[bits.Peek(LookBits)];
    if (look.CodeLength) {
        bits.Drop(look.CodeLength);
        symbol = look.Symbol;
        return true;
    }
    for (int length = LookBits + 1; length <= 16; ++length) {
        const int32_t code = static_cast<int32_t>(bits.Peek(length));
        if (code <= table.MaxCode[static_cast<size_t>(length)]) {
            bits.Drop(length);
            symbol = table.Symbols[static_cast<size_t>((code + table.Offset[static_cast<size_t>(length)]) & 0xFF)];
            return true;
        }
    }
    return false;
}

// The DC value of the next block, its prediction updated.
inline bool DecodeDc(TBitReader& bits, const THuffman& table, int& prediction)
{
    bits.Fill();
    int size = 0;
    if (!DecodeSymbol(bits, table, size))
        return false;
    if (size)
        prediction += Extend(bits.Take(size), size);
    // Clean data keeps the DC within 16 bits; damaged data that runs it
    // away is libjpeg's to show.
    return prediction >= -32768 && prediction <= 32767;
}

// Steps over the AC coefficients of a block.
inline bool SkipAc(TBitReader& bits, const THuffman& table)
{
    for (int k = 1; k < 64;) {
        bits.Fill();
        const TSkip& skip = table.Skip[bits.Peek(SkipBits)];
        if (skip.Length1) {
            // The last coefficient of a block may end it without an end of
            // block; what follows is the next block's.
            if (k + skip.Advance1 >= 64) [[unlikely]] {
                bits.Drop(skip.Length1);
                break;
            }
            bits.Drop(skip.Length2);
            k += skip.Advance2;
            continue;
        }
        int symbol = 0;
        if (!DecodeSymbol(bits, table, symbol))
            return false;
        bits.Drop(symbol & 15);
        k += AdvanceOf(static_cast<uint8_t>(symbol));
    }
    return true;
}

// Where the k-th coefficient of the zigzag lies in the block; runs past the
// end land on the last one, as in libjpeg.
constexpr std::array<uint8_t, 80> NaturalOrder = {
    0,  1,  8,  16, 9,  2,  3,  10, 17, 24, 32, 25, 18, 11, 4,  5,  12, 19, 26, 33, 40, 48, 41, 34, 27, 20, 13,
    6,  7,  14, 21, 28, 35, 42, 49, 56, 57, 50, 43, 36, 29, 22, 15, 23, 30, 37, 44, 51, 58, 59, 52, 45, 38, 31,
    39, 46, 53, 60, 61, 54, 47, 55, 62, 63, 63, 63, 63, 63, 63, 63, 63, 63, 63, 63, 63, 63, 63, 63, 63, 63};

// The AC coefficients of a block into block, whose AC part is zero; where
// they went is kept in written, so that only those are cleared again. large
// is set when a value is beyond limit.
inline bool DecodeAc(TBitReader& bits, const THuffman& table, int16_t* block, uint8_t* written, int& count,
                     int limit, bool& large)
{
    for (int k = 1; k < 64;) {
        bits.Fill();
        const TValue& entry = table.Values[bits.Peek(LookBits)];
        if (entry.Length) {
            bits.Drop(entry.Length);
            if (entry.Run == RunEndOfBlock)
                break;
            if (entry.Run == RunZeros16) {
                k += 16;
                continue;
            }
            k += entry.Run;
            const uint8_t at = NaturalOrder[static_cast<size_t>(k)];
            block[at] = entry.Value;
            large |= std::abs(entry.Value) > limit;
            written[count++] = at;
            ++k;
            continue;
        }
        int symbol = 0;
        if (!DecodeSymbol(bits, table, symbol))
            return false;
        const int run = symbol >> 4;
        const int size = symbol & 15;
        if (size) {
            k += run;
            const uint8_t at = NaturalOrder[static_cast<size_t>(k)];
            block[at] = static_cast<int16_t>(Extend(bits.Take(size), size));
            large |= std::abs(block[at]) > limit;
            written[count++] = at;
            ++k;
        } else if (run == 15) {
            k += 16;
        } else {
            break;
        }
    }
    return true;
}

// A coefficient times its quantizer, in the 32 bits libjpeg has for it; the
// 16-bit quantizers of damaged tables wrap there.
inline int32_t Dequantize(int coefficient, int quant)
{
    return static_cast<int32_t>(static_cast<uint32_t>(static_cast<int64_t>(coefficient) * quant));
}

inline bool Fits16(int64_t value)
{
    return value >= -32768 && value <= 32767;
}

// libjpeg's sample limit after an inverse DCT: the value is centred on 128,
// and taken modulo 1024 first, so that wild values of damaged data wrap as
// they do there.
inline uint8_t IdctSample(int value)
{
    int v = value & 1023;
    v = v >= 512 ? v - 1024 : v;
    return static_cast<uint8_t>(std::clamp(v + 128, 0, 255));
}

// The one pixel of a block at 1/8: its DC dequantized, an eighth of it.
inline uint8_t EighthOfDc(int dc, int quant)
{
    return IdctSample(static_cast<int>((static_cast<int64_t>(Dequantize(dc, quant)) + 4) >> 3));
}

// The 2 x 2 pixels of a block at 1/4, as libjpeg's reduced inverse DCT
// makes them (the chroma of 2x2-sampled pictures at 1/8): the even rows and
// columns beyond the first drop out. libjpeg runs its vector code here,
// which works in 16 bits and saturates where the plain code wraps; the two
// agree on every value a real picture gives, so a block whose values leave
// that range (damaged data) is refused and the file left to libjpeg. The
// caller has checked that every dequantized coefficient fits 16 bits.
bool Idct2x2(const int16_t* block, const uint16_t* quant, uint8_t* out, size_t outStride)
{
    constexpr int ConstBits = 13;
    constexpr int Pass1Bits = 2;
    constexpr int64_t Fix0720959822 = 5906;
    constexpr int64_t Fix0850430095 = 6967;
    constexpr int64_t Fix1272758580 = 10426;
    constexpr int64_t Fix3624509785 = 29692;
    const auto descale = [](int64_t x, int n) { return (x + (int64_t(1) << (n - 1))) >> n; };
    // Outside the range: x + half does not fit 0 .. 2 * half - 1.
    const auto outside = [](int64_t x, int64_t half) { return static_cast<uint64_t>(x + half) >= static_cast<uint64_t>(2 * half); };
    // libjpeg skips the odd part of columns and rows that have none; the
    // full sums give the same values there, without a branch on the data.
    bool bad = false;
    int64_t work[2][8] = {};
    for (int column : {0, 1, 3, 5, 7}) {
        const auto z = [&](int row) -> int64_t { return block[row * 8 + column] * int64_t(quant[row * 8 + column]); };
        const int64_t even = z(0) * (int64_t(1) << (ConstBits + 2));
        const int64_t odd =
            z(7) * -Fix0720959822 + z(5) * Fix0850430095 + z(3) * -Fix1272758580 + z(1) * Fix3624509785;
        work[0][column] = descale(even + odd, ConstBits - Pass1Bits + 2);
        work[1][column] = descale(even - odd, ConstBits - Pass1Bits + 2);
        bad |= outside(work[0][column], 32768) | outside(work[1][column], 32768);
    }
    for (int row = 0; row < 2; ++row) {
        const int64_t* w = work[row];
        const int64_t even = w[0] * (int64_t(1) << (ConstBits + 2));
        const int64_t odd = w[7] * -Fix0720959822 + w[5] * Fix0850430095 + w[3] * -Fix1272758580 + w[1] * Fix3624509785;
        const int64_t left = descale(even + odd, ConstBits + Pass1Bits + 3 + 2);
        const int64_t right = descale(even - odd, ConstBits + Pass1Bits + 3 + 2);
        bad |= outside(left, 512) | outside(right, 512);
        uint8_t* target = out + static_cast<size_t>(row) * outStride;
        target[0] = IdctSample(static_cast<int>(left));
        target[1] = IdctSample(static_cast<int>(right));
    }
    return !bad;
}

// libjpeg's YCbCr to RGB conversion, in its fixed point.
class TYccToBgr {
public:
    TYccToBgr()
    {
        constexpr int ScaleBits = 16;
        constexpr int64_t Half = int64_t(1) << (ScaleBits - 1);
        const auto fix = [](double x) { return static_cast<int64_t>(x * (1 << ScaleBits) + 0.5); };
        for (int i = 0; i < 256; ++i) {
            const int64_t x = i - 128;
            fCrR[static_cast<size_t>(i)] = static_cast<int>((fix(1.40200) * x + Half) >> ScaleBits);
            fCbB[static_cast<size_t>(i)] = static_cast<int>((fix(1.77200) * x + Half) >> ScaleBits);
            fCrG[static_cast<size_t>(i)] = -fix(0.71414) * x;
            fCbG[static_cast<size_t>(i)] = -fix(0.34414) * x + Half;
        }
    }
    void Put(int y, int cb, int cr, uint8_t* bgr) const
    {
        const auto limit = [](int v) { return static_cast<uint8_t>(std::clamp(v, 0, 255)); };
        bgr[0] = limit(y + fCbB[static_cast<size_t>(cb)]);
        bgr[1] = limit(y + static_cast<int>((fCbG[static_cast<size_t>(cb)] + fCrG[static_cast<size_t>(cr)]) >> 16));
        bgr[2] = limit(y + fCrR[static_cast<size_t>(cr)]);
    }

private:
    std::array<int, 256> fCrR{};
    std::array<int, 256> fCbB{};
    std::array<int64_t, 256> fCrG{};
    std::array<int64_t, 256> fCbG{};
};

// The samples of one component at the reduced scale, over every block of
// the scan (the padding blocks of the last MCUs included).
struct TPlane {
    std::vector<uint8_t> Samples;
    size_t Stride = 0;
    uint8_t At(size_t x, size_t y) const { return Samples[y * Stride + x]; }
};

// A component of the scan as the decoder walks it.
struct TComponent {
    int Index = 0;  // in the frame: 0 luminance or gray, 1 Cb, 2 Cr
    int H = 1;
    int V = 1;
    bool Idct2 = false;  // its blocks give 2 x 2 samples (else 1)
    int Prediction = 0;
    const THuffman* Dc = nullptr;
    const THuffman* Ac = nullptr;
    std::array<uint16_t, 64> Quant{};
    int SafeValue = 0;  // coefficients up to this size fit 16 bits dequantized
    TPlane Plane;
};

TEighthResult ReadEighth(const jpeg_decompress_struct& info, TDibBuilder& out)
{
    if (info.progressive_mode || info.arith_code || info.data_precision != 8 || !info.src ||
        info.image_width == 0 || info.image_height == 0)
        return TEighthResult::erNotMine;
    const bool gray = info.num_components == 1 && info.jpeg_color_space == JCS_GRAYSCALE;
    const bool ycc = info.num_components == 3 && info.jpeg_color_space == JCS_YCbCr;
    if ((!gray && !ycc) || info.comps_in_scan != info.num_components)
        return TEighthResult::erNotMine;
    const jpeg_component_info* frame = info.comp_info;
    if (ycc) {
        const int h = frame[0].h_samp_factor;
        const int v = frame[0].v_samp_factor;
        if (h < 1 || h > 2 || v < 1 || v > 2)
            return TEighthResult::erNotMine;
        for (int c = 1; c < 3; ++c) {
            if (frame[c].h_samp_factor != 1 || frame[c].v_samp_factor != 1)
                return TEighthResult::erNotMine;
        }
    }

    // Only the tables the scan names are built; each is some 28 KB, too
    // much for a worker's stack eight times over.
    std::array<std::unique_ptr<THuffman>, NUM_HUFF_TBLS> dcTables;
    std::array<std::unique_ptr<THuffman>, NUM_HUFF_TBLS> acTables;
    std::array<TComponent, 3> components;
    const int count = info.comps_in_scan;
    const int maxH = gray ? 1 : frame[0].h_samp_factor;
    const int maxV = gray ? 1 : frame[0].v_samp_factor;
    // A lone component's scan goes block by block over its own width; an
    // interleaved one by MCUs that cover maxH x maxV luminance blocks.
    const size_t mcusAcross = (info.image_width + 8u * static_cast<unsigned>(maxH) - 1) / (8u * maxH);
    const size_t mcusDown = (info.image_height + 8u * static_cast<unsigned>(maxV) - 1) / (8u * maxV);
    // Every block takes two bits at least, its DC and its end: data too
    // short for the blocks its header names is cut short, and is not worth
    // the planes.
    const size_t outWidth = (info.image_width + 7) / 8;
    const size_t outHeight = (info.image_height + 7) / 8;
    const uint64_t blocks = static_cast<uint64_t>(mcusAcross) * mcusDown * static_cast<unsigned>(maxH * maxV + (ycc ? 2 : 0));
    if (!PictureSizeAllowed(outWidth, outHeight) || blocks / 4 > info.src->bytes_in_buffer)
        return TEighthResult::erNotMine;
    for (int i = 0; i < count; ++i) {
        const jpeg_component_info* scanned = info.cur_comp_info[i];
        if (!scanned)
            return TEighthResult::erNotMine;
        TComponent& c = components[static_cast<size_t>(i)];
        c.Index = static_cast<int>(scanned - frame);
        if (c.Index < 0 || c.Index >= info.num_components)
            return TEighthResult::erNotMine;
        c.H = gray ? 1 : scanned->h_samp_factor;
        c.V = gray ? 1 : scanned->v_samp_factor;
        c.Idct2 = c.Index > 0 && maxH == 2 && maxV == 2;
        const int dc = scanned->dc_tbl_no;
        const int ac = scanned->ac_tbl_no;
        const int q = scanned->quant_tbl_no;
        if (dc < 0 || dc >= NUM_HUFF_TBLS || ac < 0 || ac >= NUM_HUFF_TBLS || q < 0 || q >= NUM_QUANT_TBLS ||
            !info.quant_tbl_ptrs[q])
            return TEighthResult::erNotMine;
        std::unique_ptr<THuffman>& dcTable = dcTables[static_cast<size_t>(dc)];
        if (!dcTable) {
            dcTable = std::make_unique<THuffman>();
            if (!BuildHuffman(info.dc_huff_tbl_ptrs[dc], true, *dcTable))
                return TEighthResult::erNotMine;
        }
        std::unique_ptr<THuffman>& acTable = acTables[static_cast<size_t>(ac)];
        if (!acTable) {
            acTable = std::make_unique<THuffman>();
            if (!BuildHuffman(info.ac_huff_tbl_ptrs[ac], false, *acTable))
                return TEighthResult::erNotMine;
        }
        c.Dc = dcTable.get();
        c.Ac = acTable.get();
        for (size_t k = 0; k < 64; ++k)
            c.Quant[k] = info.quant_tbl_ptrs[q]->quantval[k];
        c.SafeValue = 32767 / std::max<int>(1, *std::max_element(c.Quant.begin(), c.Quant.end()));
        const size_t side = c.Idct2 ? 2 : 1;
        c.Plane.Stride = mcusAcross * static_cast<size_t>(c.H) * side;
        c.Plane.Samples.resize(c.Plane.Stride * mcusDown * static_cast<size_t>(c.V) * side);
    }


    TBitReader bits(info.src->next_input_byte, info.src->bytes_in_buffer);
    const unsigned interval = info.restart_interval;
    unsigned toGo = interval;
    int nextRestart = 0;
    int16_t block[64] = {};
    uint8_t written[64];
    for (size_t my = 0; my < mcusDown; ++my) {
        // A picture the user has moved past stops here, every MCU row.
        if (!out.Continue(static_cast<int>(std::min(my * static_cast<size_t>(maxV), outHeight)),
                          static_cast<int>(outHeight)))
            return TEighthResult::erStopped;
        for (size_t mx = 0; mx < mcusAcross; ++mx) {
            if (interval) {
                if (toGo == 0) {
                    if (!bits.Clean() || !bits.Restart(nextRestart))
                        return TEighthResult::erNotMine;
                    nextRestart = (nextRestart + 1) & 7;
                    for (TComponent& c : components)
                        c.Prediction = 0;
                    toGo = interval;
                }
                --toGo;
            }
            for (int i = 0; i < count; ++i) {
                TComponent& c = components[static_cast<size_t>(i)];
                for (int by = 0; by < c.V; ++by) {
                    for (int bx = 0; bx < c.H; ++bx) {
                        if (!DecodeDc(bits, *c.Dc, c.Prediction))
                            return TEighthResult::erNotMine;
                        const size_t x = mx * static_cast<size_t>(c.H) + static_cast<size_t>(bx);
                        const size_t y = my * static_cast<size_t>(c.V) + static_cast<size_t>(by);
                        if (!c.Idct2) {
                            if (!SkipAc(bits, *c.Ac))
                                return TEighthResult::erNotMine;
                            c.Plane.Samples[y * c.Plane.Stride + x] = EighthOfDc(c.Prediction, c.Quant[0]);
                            continue;
                        }
                        block[0] = static_cast<int16_t>(c.Prediction);
                        int writtenCount = 0;
                        bool large = std::abs(block[0]) > c.SafeValue;
                        if (!DecodeAc(bits, *c.Ac, block, written, writtenCount, c.SafeValue, large))
                            return TEighthResult::erNotMine;
                        // Every dequantized coefficient fits 16 bits, as
                        // Idct2x2 needs; values that large are rare enough
                        // to be looked at one by one.
                        if (large) {
                            bool fits = Fits16(block[0] * int64_t(c.Quant[0]));
                            for (int w = 0; w < writtenCount; ++w)
                                fits = fits && Fits16(block[written[w]] * int64_t(c.Quant[written[w]]));
                            if (!fits)
                                return TEighthResult::erNotMine;
                        }
                        if (!Idct2x2(block, c.Quant.data(), &c.Plane.Samples[2 * y * c.Plane.Stride + 2 * x],
                                     c.Plane.Stride))
                            return TEighthResult::erNotMine;
                        for (int w = 0; w < writtenCount; ++w)
                            block[written[w]] = 0;
                    }
                }
            }
        }
        if (!bits.Clean())
            return TEighthResult::erNotMine;
    }

    const int outW = static_cast<int>(outWidth);
    const int outH = static_cast<int>(outHeight);
    if (!out.Create(outW, outH, gray ? 8 : 24, gray ? 256 : 0))
        return TEighthResult::erNotMine;
    if (gray) {
        out.SetGrayPalette();
        for (int y = 0; y < outH; ++y) {
            uint8_t* row = out.Row(y);
            std::memcpy(row, &components[0].Plane.Samples[static_cast<size_t>(y) * components[0].Plane.Stride],
                        outWidth);
            std::memset(row + outWidth, 0, out.Stride() - outWidth);
        }
        return TEighthResult::erDone;
    }
    const TPlane* planes[3] = {};
    for (const TComponent& c : components)
        planes[c.Index] = &c.Plane;
    const bool chromaFull = components[0].Idct2 || components[1].Idct2 || components[2].Idct2 || (maxH == 1 && maxV == 1);
    const TYccToBgr convert;
    for (int y = 0; y < outH; ++y) {
        uint8_t* row = out.Row(y);
        const size_t cy = chromaFull ? static_cast<size_t>(y) : static_cast<size_t>(y) / static_cast<size_t>(maxV);
        for (size_t x = 0; x < outWidth; ++x) {
            const size_t cx = chromaFull ? x : x / static_cast<size_t>(maxH);
            convert.Put(planes[0]->At(x, static_cast<size_t>(y)), planes[1]->At(cx, cy), planes[2]->At(cx, cy),
                        row + 3 * x);
        }
        std::memset(row + 3 * outWidth, 0, out.Stride() - 3 * outWidth);
    }
    return TEighthResult::erDone;
}

}  // namespace

TEighthResult DecodeEighth(const jpeg_decompress_struct& info, TDibBuilder& out)
{
    // Memory that runs out for the tables or planes is libjpeg's to report,
    // with its own state cleaned up.
    try {
        return ReadEighth(info, out);
    } catch (const std::bad_alloc&) {
        return TEighthResult::erNotMine;
    }
}

}  // namespace spikit
