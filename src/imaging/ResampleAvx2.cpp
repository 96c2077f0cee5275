// The AVX2 kernels of the resamplers. This file alone is compiled with -mavx2;
// it uses no standard-library templates, so no instantiation built for AVX2
// can be picked by the linker for code that runs on older processors.

#include <immintrin.h>

#include <cstring>

#include "imaging/ResampleSimd.h"

namespace imaging_detail::avx2 {

namespace {

inline int32_t PairOf(int16_t first, int16_t second)
{
    return static_cast<int32_t>(static_cast<uint16_t>(first) | (static_cast<uint32_t>(static_cast<uint16_t>(second)) << 16));
}

inline uint8_t ToByte(int32_t sum)
{
    if (sum < 0)
        return 0;
    const int32_t v = (sum + 32768) >> 16;
    return static_cast<uint8_t>(v > 255 ? 255 : v);
}

inline void Store4(uint8_t* out, __m128i v)
{
    const int32_t value = _mm_cvtsi128_si32(v);
    std::memcpy(out, &value, 4);
}

inline __m256i Load2(const uint8_t* low, const uint8_t* high)
{
    return _mm256_inserti128_si256(
        _mm256_castsi128_si256(_mm_loadu_si128(reinterpret_cast<const __m128i*>(low))),
        _mm_loadu_si128(reinterpret_cast<const __m128i*>(high)), 1);
}

inline __m128i Load8(const uint8_t* p)
{
    return _mm_loadl_epi64(reinterpret_cast<const __m128i*>(p));
}

// 32 bytes of the vertical filter at offset b.
inline void VerticalChunk(const uint8_t* const* rows, const int16_t* weights, const int16_t* big, int count,
                          bool hasBig, uint8_t* out, size_t b)
{
    const __m256i zero = _mm256_setzero_si256();
    __m256i acc0 = zero, acc1 = zero, acc2 = zero, acc3 = zero;
    __m256i extra0 = zero, extra1 = zero;
    for (int k = 0; k < count; k += 2) {
        const bool pair = k + 1 < count;
        const __m256i a = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(rows[k] + b));
        const __m256i c = pair ? _mm256_loadu_si256(reinterpret_cast<const __m256i*>(rows[k + 1] + b)) : zero;
        const __m256i w = _mm256_set1_epi32(PairOf(weights[k], pair ? weights[k + 1] : 0));
        const __m256i t0 = _mm256_unpacklo_epi8(a, c);
        const __m256i t1 = _mm256_unpackhi_epi8(a, c);
        acc0 = _mm256_add_epi32(acc0, _mm256_madd_epi16(_mm256_unpacklo_epi8(t0, zero), w));
        acc1 = _mm256_add_epi32(acc1, _mm256_madd_epi16(_mm256_unpackhi_epi8(t0, zero), w));
        acc2 = _mm256_add_epi32(acc2, _mm256_madd_epi16(_mm256_unpacklo_epi8(t1, zero), w));
        acc3 = _mm256_add_epi32(acc3, _mm256_madd_epi16(_mm256_unpackhi_epi8(t1, zero), w));
        if (hasBig) {
            if (big[k]) {
                extra0 = _mm256_add_epi16(extra0, _mm256_unpacklo_epi8(a, zero));
                extra1 = _mm256_add_epi16(extra1, _mm256_unpackhi_epi8(a, zero));
            }
            if (pair && big[k + 1]) {
                extra0 = _mm256_add_epi16(extra0, _mm256_unpacklo_epi8(c, zero));
                extra1 = _mm256_add_epi16(extra1, _mm256_unpackhi_epi8(c, zero));
            }
        }
    }
    const __m256i half = _mm256_set1_epi32(32768);
    acc0 = _mm256_srai_epi32(_mm256_add_epi32(acc0, half), 16);
    acc1 = _mm256_srai_epi32(_mm256_add_epi32(acc1, half), 16);
    acc2 = _mm256_srai_epi32(_mm256_add_epi32(acc2, half), 16);
    acc3 = _mm256_srai_epi32(_mm256_add_epi32(acc3, half), 16);
    const __m256i low = _mm256_add_epi16(_mm256_packs_epi32(acc0, acc1), extra0);
    const __m256i high = _mm256_add_epi16(_mm256_packs_epi32(acc2, acc3), extra1);
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + b), _mm256_packus_epi16(low, high));
}

// Adds the four int32 sums of each of up to four pairs of outputs (one pair
// per register, one output per 128-bit lane) and returns them in output order.
inline __m256i ReduceGray(__m256i p01, __m256i p23, __m256i p45, __m256i p67)
{
    const __m256i h = _mm256_hadd_epi32(_mm256_hadd_epi32(p01, p23), _mm256_hadd_epi32(p45, p67));
    return _mm256_permutevar8x32_epi32(h, _mm256_setr_epi32(0, 4, 1, 5, 2, 6, 3, 7));
}

}  // namespace

void ConvolveVertical(const uint8_t* const* rows, const int16_t* weights, const int16_t* big, int count, bool hasBig,
                      uint8_t* out, size_t bytes)
{
    if (bytes < 32) {
        for (size_t b = 0; b < bytes; ++b) {
            int32_t sum = 0;
            for (int k = 0; k < count; ++k)
                sum += (weights[k] + (big[k] ? 65536 : 0)) * rows[k][b];
            out[b] = ToByte(sum);
        }
        return;
    }
    size_t b = 0;
    for (; b + 32 <= bytes; b += 32)
        VerticalChunk(rows, weights, big, count, hasBig, out, b);
    if (b < bytes)
        VerticalChunk(rows, weights, big, count, hasBig, out, bytes - 32);
}

void ConvolveColour(const uint8_t* in, const TPreparedColumns& columns, uint8_t* out)
{
    // Lane 0 pairs the blue, green and red bytes of taps 0 and 1 of a group,
    // lane 1 those of taps 2 and 3, each widened to 16 bits.
    const __m256i shuffle = _mm256_setr_epi8(0, -1, 3, -1, 1, -1, 4, -1, 2, -1, 5, -1, -1, -1, -1, -1,  //
                                             6, -1, 9, -1, 7, -1, 10, -1, 8, -1, 11, -1, -1, -1, -1, -1);
    const __m128i half = _mm_set1_epi32(32768);
    const size_t perOutput = static_cast<size_t>(columns.Groups) * 16;
    for (int i = 0; i < columns.Outputs; ++i) {
        const uint8_t* p = in + columns.Offsets[i];
        const int16_t* w = columns.Weights + static_cast<size_t>(i) * perOutput;
        const int16_t* big = columns.Big + static_cast<size_t>(i) * perOutput;
        __m256i acc = _mm256_setzero_si256();
        __m256i extra = _mm256_setzero_si256();
        for (int g = 0; g < columns.Groups; ++g) {
            const __m256i pixels = _mm256_shuffle_epi8(
                _mm256_broadcastsi128_si256(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 12 * g))), shuffle);
            acc = _mm256_add_epi32(acc, _mm256_madd_epi16(pixels, _mm256_loadu_si256(reinterpret_cast<const __m256i*>(w + 16 * g))));
            if (columns.HasBig)
                extra = _mm256_add_epi32(
                    extra, _mm256_madd_epi16(pixels, _mm256_loadu_si256(reinterpret_cast<const __m256i*>(big + 16 * g))));
        }
        __m128i sum = _mm_add_epi32(_mm256_castsi256_si128(acc), _mm256_extracti128_si256(acc, 1));
        sum = _mm_srai_epi32(_mm_add_epi32(sum, half), 16);
        if (columns.HasBig)
            sum = _mm_add_epi32(sum, _mm_add_epi32(_mm256_castsi256_si128(extra), _mm256_extracti128_si256(extra, 1)));
        sum = _mm_packs_epi32(sum, sum);
        Store4(out + 3 * static_cast<size_t>(i), _mm_packus_epi16(sum, sum));
    }
}

void ConvolveGray(const uint8_t* in, const TPreparedColumns& columns, uint8_t* out)
{
    // Two outputs per register (one per lane), four registers per round.
    const size_t perPair = static_cast<size_t>(columns.Groups) * 16;
    const __m256i half = _mm256_set1_epi32(32768);
    for (int i = 0; i < columns.Outputs; i += 8) {
        __m256i acc[4], extra[4];
        for (int q = 0; q < 4; ++q) {
            acc[q] = _mm256_setzero_si256();
            extra[q] = _mm256_setzero_si256();
            const int o = i + 2 * q;
            if (o >= columns.Outputs)
                continue;
            const uint8_t* p0 = in + columns.Offsets[o];
            const uint8_t* p1 = in + columns.Offsets[o + 1];
            const int16_t* w = columns.Weights + static_cast<size_t>(o / 2) * perPair;
            const int16_t* big = columns.Big + static_cast<size_t>(o / 2) * perPair;
            for (int g = 0; g < columns.Groups; ++g) {
                const __m256i pixels = _mm256_cvtepu8_epi16(_mm_unpacklo_epi64(Load8(p0 + 8 * g), Load8(p1 + 8 * g)));
                acc[q] = _mm256_add_epi32(
                    acc[q], _mm256_madd_epi16(pixels, _mm256_loadu_si256(reinterpret_cast<const __m256i*>(w + 16 * g))));
                if (columns.HasBig)
                    extra[q] = _mm256_add_epi32(
                        extra[q], _mm256_madd_epi16(pixels, _mm256_loadu_si256(reinterpret_cast<const __m256i*>(big + 16 * g))));
            }
        }
        __m256i sum = _mm256_srai_epi32(_mm256_add_epi32(ReduceGray(acc[0], acc[1], acc[2], acc[3]), half), 16);
        if (columns.HasBig)
            sum = _mm256_add_epi32(sum, ReduceGray(extra[0], extra[1], extra[2], extra[3]));
        const __m128i packed = _mm_packs_epi32(_mm256_castsi256_si128(sum), _mm256_extracti128_si256(sum, 1));
        _mm_storel_epi64(reinterpret_cast<__m128i*>(out + i), _mm_packus_epi16(packed, packed));
    }
}

void ConvolveGrayGathered(const uint8_t* in, const TPreparedColumns& columns, uint8_t* out)
{
    // Eight taps of four outputs per gather; after widening, one register
    // holds two outputs (one per lane): (0, 2), (1, 3), (4, 6), (5, 7).
    const __m256i zero = _mm256_setzero_si256();
    const __m256i half = _mm256_set1_epi32(32768);
    const __m256i order = _mm256_setr_epi32(0, 1, 4, 5, 2, 3, 6, 7);
    const long long* base = reinterpret_cast<const long long*>(in);
    for (int i = 0; i < columns.Outputs; i += 8) {
        const __m256i first =
            _mm256_i32gather_epi64(base, _mm_loadu_si128(reinterpret_cast<const __m128i*>(columns.Offsets + i)), 1);
        const __m256i second =
            _mm256_i32gather_epi64(base, _mm_loadu_si128(reinterpret_cast<const __m128i*>(columns.Offsets + i + 4)), 1);
        const __m256i pixels[4] = {_mm256_unpacklo_epi8(first, zero), _mm256_unpackhi_epi8(first, zero),
                                   _mm256_unpacklo_epi8(second, zero), _mm256_unpackhi_epi8(second, zero)};
        const __m256i* w = reinterpret_cast<const __m256i*>(columns.Weights + static_cast<size_t>(i) * 8);
        __m256i sum = _mm256_hadd_epi32(
            _mm256_hadd_epi32(_mm256_madd_epi16(pixels[0], _mm256_loadu_si256(w)),
                              _mm256_madd_epi16(pixels[1], _mm256_loadu_si256(w + 1))),
            _mm256_hadd_epi32(_mm256_madd_epi16(pixels[2], _mm256_loadu_si256(w + 2)),
                              _mm256_madd_epi16(pixels[3], _mm256_loadu_si256(w + 3))));
        sum = _mm256_srai_epi32(_mm256_add_epi32(_mm256_permutevar8x32_epi32(sum, order), half), 16);
        if (columns.HasBig) {
            const __m256i* b = reinterpret_cast<const __m256i*>(columns.Big + static_cast<size_t>(i) * 8);
            const __m256i extra = _mm256_hadd_epi32(
                _mm256_hadd_epi32(_mm256_madd_epi16(pixels[0], _mm256_loadu_si256(b)),
                                  _mm256_madd_epi16(pixels[1], _mm256_loadu_si256(b + 1))),
                _mm256_hadd_epi32(_mm256_madd_epi16(pixels[2], _mm256_loadu_si256(b + 2)),
                                  _mm256_madd_epi16(pixels[3], _mm256_loadu_si256(b + 3))));
            sum = _mm256_add_epi32(sum, _mm256_permutevar8x32_epi32(extra, order));
        }
        const __m128i packed = _mm_packs_epi32(_mm256_castsi256_si128(sum), _mm256_extracti128_si256(sum, 1));
        _mm_storel_epi64(reinterpret_cast<__m128i*>(out + i), _mm_packus_epi16(packed, packed));
    }
}

void LinearColour(const uint8_t* in, const TLinearColumns& columns, uint8_t* out)
{
    const __m256i left = _mm256_setr_epi8(0, -1, -1, -1, 1, -1, -1, -1, 2, -1, -1, -1, -1, -1, -1, -1,  //
                                          0, -1, -1, -1, 1, -1, -1, -1, 2, -1, -1, -1, -1, -1, -1, -1);
    const __m256i right = _mm256_setr_epi8(3, -1, -1, -1, 4, -1, -1, -1, 5, -1, -1, -1, -1, -1, -1, -1,  //
                                           3, -1, -1, -1, 4, -1, -1, -1, 5, -1, -1, -1, -1, -1, -1, -1);
    const __m256i half = _mm256_set1_epi32(32768);
    int i = 0;
    for (; i + 2 <= columns.Outputs; i += 2) {
        const __m256i pixels = _mm256_inserti128_si256(_mm256_castsi128_si256(Load8(in + columns.Offsets[i])),
                                                       Load8(in + columns.Offsets[i + 1]), 1);
        const __m256i a = _mm256_shuffle_epi8(pixels, left);
        const __m256i b = _mm256_shuffle_epi8(pixels, right);
        const __m256i f = _mm256_setr_epi32(columns.Fractions[i], columns.Fractions[i], columns.Fractions[i], 0,
                                            columns.Fractions[i + 1], columns.Fractions[i + 1],
                                            columns.Fractions[i + 1], 0);
        __m256i v = _mm256_mullo_epi32(_mm256_sub_epi32(b, a), f);
        v = _mm256_add_epi32(_mm256_srai_epi32(_mm256_add_epi32(v, half), 16), a);
        v = _mm256_packs_epi32(v, v);
        v = _mm256_packus_epi16(v, v);
        Store4(out + 3 * static_cast<size_t>(i), _mm256_castsi256_si128(v));
        Store4(out + 3 * static_cast<size_t>(i) + 3, _mm256_extracti128_si256(v, 1));
    }
    for (; i < columns.Outputs; ++i) {
        const uint8_t* p = in + columns.Offsets[i];
        const uint32_t f = columns.Fractions[i];
        for (int c = 0; c < 3; ++c)
            out[3 * i + c] = static_cast<uint8_t>(((65536 - f) * p[c] + f * p[c + 3] + 32768) >> 16);
    }
}

void LinearGray(const uint8_t* in, const TLinearColumns& columns, uint8_t* out)
{
    const __m256i mask = _mm256_set1_epi32(0xFF);
    const __m256i half = _mm256_set1_epi32(32768);
    int i = 0;
    for (; i + 8 <= columns.Outputs; i += 8) {
        const __m256i offsets = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(columns.Offsets + i));
        const __m256i pairs = _mm256_i32gather_epi32(reinterpret_cast<const int*>(in), offsets, 1);
        const __m256i a = _mm256_and_si256(pairs, mask);
        const __m256i b = _mm256_and_si256(_mm256_srli_epi32(pairs, 8), mask);
        const __m256i f =
            _mm256_cvtepu16_epi32(_mm_loadu_si128(reinterpret_cast<const __m128i*>(columns.Fractions + i)));
        __m256i v = _mm256_mullo_epi32(_mm256_sub_epi32(b, a), f);
        v = _mm256_add_epi32(_mm256_srai_epi32(_mm256_add_epi32(v, half), 16), a);
        const __m128i packed = _mm_packs_epi32(_mm256_castsi256_si128(v), _mm256_extracti128_si256(v, 1));
        _mm_storel_epi64(reinterpret_cast<__m128i*>(out + i), _mm_packus_epi16(packed, packed));
    }
    for (; i < columns.Outputs; ++i) {
        const uint8_t* p = in + columns.Offsets[i];
        const uint32_t f = columns.Fractions[i];
        out[i] = static_cast<uint8_t>(((65536 - f) * p[0] + f * p[1] + 32768) >> 16);
    }
}

void LinearBlend(const uint8_t* top, const uint8_t* bottom, uint32_t fraction, uint8_t* out, size_t bytes)
{
    // g * d = (g - 32768) * d + 32767 * d + d keeps every factor within 16 bits.
    const __m256i weights = _mm256_set1_epi32(PairOf(static_cast<int16_t>(static_cast<int32_t>(fraction) - 32768), 32767));
    const __m256i half = _mm256_set1_epi32(32768);
    size_t b = 0;
    for (; b + 16 <= bytes; b += 16) {
        const __m256i a = _mm256_cvtepu8_epi16(_mm_loadu_si128(reinterpret_cast<const __m128i*>(top + b)));
        const __m256i c = _mm256_cvtepu8_epi16(_mm_loadu_si128(reinterpret_cast<const __m128i*>(bottom + b)));
        const __m256i d = _mm256_sub_epi16(c, a);
        const __m256i dl = _mm256_unpacklo_epi16(d, d);
        const __m256i dh = _mm256_unpackhi_epi16(d, d);
        __m256i lo = _mm256_add_epi32(_mm256_madd_epi16(dl, weights), _mm256_srai_epi32(dl, 16));
        __m256i hi = _mm256_add_epi32(_mm256_madd_epi16(dh, weights), _mm256_srai_epi32(dh, 16));
        lo = _mm256_srai_epi32(_mm256_add_epi32(lo, half), 16);
        hi = _mm256_srai_epi32(_mm256_add_epi32(hi, half), 16);
        const __m256i v = _mm256_add_epi16(_mm256_packs_epi32(lo, hi), a);
        const __m256i packed = _mm256_permute4x64_epi64(_mm256_packus_epi16(v, v), 0x08);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + b), _mm256_castsi256_si128(packed));
    }
    for (; b < bytes; ++b)
        out[b] = static_cast<uint8_t>((top[b] * (65536 - fraction) + bottom[b] * fraction + 32768) >> 16);
}

void AreaRowColour(const uint8_t* row, const TAreaColumns& columns, int32_t* sums)
{
    // Per lane (one output each) the blue terms of five pixels, then the
    // green ones; red separately. Each term is rounded on its own, so the
    // weighted bytes are reduced to 8 bits before they are summed.
    const __m256i blueGreen = _mm256_setr_epi8(0, 3, 6, 9, 12, -1, -1, -1, 1, 4, 7, 10, 13, -1, -1, -1,  //
                                               0, 3, 6, 9, 12, -1, -1, -1, 1, 4, 7, 10, 13, -1, -1, -1);
    const __m256i red = _mm256_setr_epi8(2, 5, 8, 11, 14, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1,  //
                                         2, 5, 8, 11, 14, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1);
    const __m256i zero = _mm256_setzero_si256();
    const __m256i round = _mm256_set1_epi16(128);
    const size_t perPair = static_cast<size_t>(columns.Chunks) * 16;
    for (int i = 0; i < columns.Outputs; i += 2) {
        const uint8_t* p0 = row + columns.Offsets[i];
        const uint8_t* p1 = row + columns.Offsets[i + 1];
        const uint16_t* w = columns.Weights + static_cast<size_t>(i / 2) * perPair;
        __m256i accBlueGreen = zero, accRed = zero;
        for (int g = 0; g < columns.Chunks; ++g) {
            const __m256i pixels = Load2(p0 + 15 * g, p1 + 15 * g);
            const __m256i weights = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(w + 16 * g));
            const __m256i bg = _mm256_shuffle_epi8(pixels, blueGreen);
            const __m256i r = _mm256_shuffle_epi8(pixels, red);
            const __m256i tb = _mm256_srli_epi16(_mm256_add_epi16(_mm256_mullo_epi16(_mm256_unpacklo_epi8(bg, zero), weights), round), 8);
            const __m256i tg = _mm256_srli_epi16(_mm256_add_epi16(_mm256_mullo_epi16(_mm256_unpackhi_epi8(bg, zero), weights), round), 8);
            const __m256i tr = _mm256_srli_epi16(_mm256_add_epi16(_mm256_mullo_epi16(_mm256_unpacklo_epi8(r, zero), weights), round), 8);
            accBlueGreen = _mm256_add_epi64(accBlueGreen, _mm256_sad_epu8(_mm256_packus_epi16(tb, tg), zero));
            accRed = _mm256_add_epi64(accRed, _mm256_sad_epu8(_mm256_packus_epi16(tr, zero), zero));
        }
        const __m256i result = _mm256_or_si256(_mm256_shuffle_epi32(accBlueGreen, _MM_SHUFFLE(3, 3, 2, 0)),
                                               _mm256_shuffle_epi32(accRed, _MM_SHUFFLE(1, 0, 1, 1)));
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(sums + 4 * static_cast<size_t>(i)), result);
    }
}

void AreaRowGray(const uint8_t* row, const TAreaColumns& columns, int32_t* sums)
{
    const __m256i zero = _mm256_setzero_si256();
    const __m256i round = _mm256_set1_epi16(128);
    const size_t perPair = static_cast<size_t>(columns.Chunks) * 16;
    for (int i = 0; i < columns.Outputs; i += 2) {
        const uint8_t* p0 = row + columns.Offsets[i];
        const uint8_t* p1 = row + columns.Offsets[i + 1];
        const uint16_t* w = columns.Weights + static_cast<size_t>(i / 2) * perPair;
        __m256i acc = zero;
        for (int g = 0; g < columns.Chunks; ++g) {
            const __m256i pixels = _mm256_cvtepu8_epi16(_mm_unpacklo_epi64(Load8(p0 + 8 * g), Load8(p1 + 8 * g)));
            const __m256i weights = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(w + 16 * g));
            const __m256i t = _mm256_srli_epi16(_mm256_add_epi16(_mm256_mullo_epi16(pixels, weights), round), 8);
            acc = _mm256_add_epi64(acc, _mm256_sad_epu8(_mm256_packus_epi16(t, zero), zero));
        }
        sums[i] = _mm256_extract_epi32(acc, 0);
        sums[i + 1] = _mm256_extract_epi32(acc, 4);
    }
}

void AreaAccumulate(int32_t* total, const int32_t* sums, int32_t weight, size_t count)
{
    size_t k = 0;
    if (weight == 256) {
        for (; k + 8 <= count; k += 8) {
            const __m256i t = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(total + k));
            const __m256i s = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(sums + k));
            _mm256_storeu_si256(reinterpret_cast<__m256i*>(total + k), _mm256_add_epi32(t, s));
        }
        for (; k < count; ++k)
            total[k] += sums[k];
        return;
    }
    const __m256i w = _mm256_set1_epi32(weight);
    const __m256i round = _mm256_set1_epi32(128);
    for (; k + 8 <= count; k += 8) {
        const __m256i t = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(total + k));
        const __m256i s = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(sums + k));
        const __m256i weighted = _mm256_srai_epi32(_mm256_add_epi32(_mm256_mullo_epi32(s, w), round), 8);
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(total + k), _mm256_add_epi32(t, weighted));
    }
    for (; k < count; ++k)
        total[k] += (weight * sums[k] + 128) >> 8;
}

void AreaFinish(const int32_t* total, uint32_t inverseX, uint32_t inverseY, int channels, uint8_t* out,
                size_t outputs)
{
    const size_t values = outputs * (channels == 3 ? 4 : 1);
    const __m256i ix = _mm256_set1_epi64x(inverseX);
    const __m256i iy = _mm256_set1_epi64x(inverseY);
    const __m256i half = _mm256_set1_epi64x(32768);
    const __m256i limit = _mm256_set1_epi32(255);
    const __m256i low = _mm256_set1_epi64x(0xFFFFFFFF);
    auto normalise = [&](__m256i t) {
        // Even and odd 32-bit lanes through two 32 x 32 -> 64-bit products each.
        __m256i even = _mm256_srli_epi64(_mm256_add_epi64(_mm256_mul_epu32(t, ix), half), 16);
        even = _mm256_srli_epi64(_mm256_add_epi64(_mm256_mul_epu32(even, iy), half), 16);
        __m256i odd = _mm256_srli_epi64(_mm256_add_epi64(_mm256_mul_epu32(_mm256_srli_epi64(t, 32), ix), half), 16);
        odd = _mm256_srli_epi64(_mm256_add_epi64(_mm256_mul_epu32(odd, iy), half), 16);
        // Values beyond 32 bits cannot occur: the totals fit 31 bits and the
        // inverses are at most 65536.
        const __m256i v = _mm256_or_si256(_mm256_and_si256(even, low), _mm256_slli_epi64(odd, 32));
        return _mm256_min_epu32(v, limit);
    };
    size_t k = 0;
    for (; k + 8 <= values; k += 8) {
        __m256i v = normalise(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(total + k)));
        v = _mm256_packs_epi32(v, v);
        v = _mm256_packus_epi16(v, v);
        if (channels == 3) {
            const size_t pixel = k / 4;
            Store4(out + 3 * pixel, _mm256_castsi256_si128(v));
            Store4(out + 3 * pixel + 3, _mm256_extracti128_si256(v, 1));
        } else {
            Store4(out + k, _mm256_castsi256_si128(v));
            Store4(out + k + 4, _mm256_extracti128_si256(v, 1));
        }
    }
    for (; k < values; ++k) {
        const uint64_t x = (static_cast<uint64_t>(inverseX) * static_cast<uint32_t>(total[k]) + 32768) >> 16;
        uint64_t v = (static_cast<uint64_t>(inverseY) * x + 32768) >> 16;
        v = v > 255 ? 255 : v;
        if (channels == 3) {
            if (k % 4 != 3)
                out[k / 4 * 3 + k % 4] = static_cast<uint8_t>(v);
        } else {
            out[k] = static_cast<uint8_t>(v);
        }
    }
}

}  // namespace imaging_detail::avx2
