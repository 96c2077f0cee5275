// The SSE4.1 kernels of the resamplers, for processors without AVX2. This file
// alone is compiled with -msse4.1; it uses no standard-library templates, so
// no instantiation built for SSE4.1 can be picked by the linker for plain code.
// The arithmetic is that of ResampleAvx2.cpp on 128-bit registers.

#include <smmintrin.h>

#include <cstring>

#include "imaging/ResampleSimd.h"

namespace imaging_detail::sse41 {

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

inline __m128i Load8(const uint8_t* p)
{
    return _mm_loadl_epi64(reinterpret_cast<const __m128i*>(p));
}

inline __m128i Load16(const uint8_t* p)
{
    return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
}

inline int32_t Read32(const uint8_t* p)
{
    int32_t value;
    std::memcpy(&value, p, 4);
    return value;
}

inline void VerticalChunk(const uint8_t* const* rows, const int16_t* weights, const int16_t* big, int count,
                          bool hasBig, uint8_t* out, size_t b)
{
    const __m128i zero = _mm_setzero_si128();
    __m128i acc0 = zero, acc1 = zero, acc2 = zero, acc3 = zero;
    __m128i extra0 = zero, extra1 = zero;
    for (int k = 0; k < count; k += 2) {
        const bool pair = k + 1 < count;
        const __m128i a = Load16(rows[k] + b);
        const __m128i c = pair ? Load16(rows[k + 1] + b) : zero;
        const __m128i w = _mm_set1_epi32(PairOf(weights[k], pair ? weights[k + 1] : 0));
        const __m128i t0 = _mm_unpacklo_epi8(a, c);
        const __m128i t1 = _mm_unpackhi_epi8(a, c);
        acc0 = _mm_add_epi32(acc0, _mm_madd_epi16(_mm_unpacklo_epi8(t0, zero), w));
        acc1 = _mm_add_epi32(acc1, _mm_madd_epi16(_mm_unpackhi_epi8(t0, zero), w));
        acc2 = _mm_add_epi32(acc2, _mm_madd_epi16(_mm_unpacklo_epi8(t1, zero), w));
        acc3 = _mm_add_epi32(acc3, _mm_madd_epi16(_mm_unpackhi_epi8(t1, zero), w));
        if (hasBig) {
            if (big[k]) {
                extra0 = _mm_add_epi16(extra0, _mm_unpacklo_epi8(a, zero));
                extra1 = _mm_add_epi16(extra1, _mm_unpackhi_epi8(a, zero));
            }
            if (pair && big[k + 1]) {
                extra0 = _mm_add_epi16(extra0, _mm_unpacklo_epi8(c, zero));
                extra1 = _mm_add_epi16(extra1, _mm_unpackhi_epi8(c, zero));
            }
        }
    }
    const __m128i half = _mm_set1_epi32(32768);
    acc0 = _mm_srai_epi32(_mm_add_epi32(acc0, half), 16);
    acc1 = _mm_srai_epi32(_mm_add_epi32(acc1, half), 16);
    acc2 = _mm_srai_epi32(_mm_add_epi32(acc2, half), 16);
    acc3 = _mm_srai_epi32(_mm_add_epi32(acc3, half), 16);
    const __m128i low = _mm_add_epi16(_mm_packs_epi32(acc0, acc1), extra0);
    const __m128i high = _mm_add_epi16(_mm_packs_epi32(acc2, acc3), extra1);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + b), _mm_packus_epi16(low, high));
}

}  // namespace

void ConvolveVertical(const uint8_t* const* rows, const int16_t* weights, const int16_t* big, int count, bool hasBig,
                      uint8_t* out, size_t bytes)
{
    if (bytes < 16) {
        for (size_t b = 0; b < bytes; ++b) {
            int32_t sum = 0;
            for (int k = 0; k < count; ++k)
                sum += (weights[k] + (big[k] ? 65536 : 0)) * rows[k][b];
            out[b] = ToByte(sum);
        }
        return;
    }
    size_t b = 0;
    for (; b + 16 <= bytes; b += 16)
        VerticalChunk(rows, weights, big, count, hasBig, out, b);
    if (b < bytes)
        VerticalChunk(rows, weights, big, count, hasBig, out, bytes - 16);
}

void ConvolveColour(const uint8_t* in, const TPreparedColumns& columns, uint8_t* out)
{
    const __m128i pair01 = _mm_setr_epi8(0, -1, 3, -1, 1, -1, 4, -1, 2, -1, 5, -1, -1, -1, -1, -1);
    const __m128i pair23 = _mm_setr_epi8(6, -1, 9, -1, 7, -1, 10, -1, 8, -1, 11, -1, -1, -1, -1, -1);
    const __m128i half = _mm_set1_epi32(32768);
    const size_t perOutput = static_cast<size_t>(columns.Groups) * 16;
    for (int i = 0; i < columns.Outputs; ++i) {
        const uint8_t* p = in + columns.Offsets[i];
        const int16_t* w = columns.Weights + static_cast<size_t>(i) * perOutput;
        const int16_t* big = columns.Big + static_cast<size_t>(i) * perOutput;
        __m128i acc = _mm_setzero_si128();
        __m128i extra = _mm_setzero_si128();
        for (int g = 0; g < columns.Groups; ++g) {
            const __m128i pixels = Load16(p + 12 * g);
            const __m128i first = _mm_shuffle_epi8(pixels, pair01);
            const __m128i second = _mm_shuffle_epi8(pixels, pair23);
            const __m128i* wg = reinterpret_cast<const __m128i*>(w + 16 * g);
            acc = _mm_add_epi32(acc, _mm_madd_epi16(first, _mm_loadu_si128(wg)));
            acc = _mm_add_epi32(acc, _mm_madd_epi16(second, _mm_loadu_si128(wg + 1)));
            if (columns.HasBig) {
                const __m128i* bg = reinterpret_cast<const __m128i*>(big + 16 * g);
                extra = _mm_add_epi32(extra, _mm_madd_epi16(first, _mm_loadu_si128(bg)));
                extra = _mm_add_epi32(extra, _mm_madd_epi16(second, _mm_loadu_si128(bg + 1)));
            }
        }
        __m128i sum = _mm_add_epi32(_mm_srai_epi32(_mm_add_epi32(acc, half), 16), extra);
        sum = _mm_packs_epi32(sum, sum);
        Store4(out + 3 * static_cast<size_t>(i), _mm_packus_epi16(sum, sum));
    }
}

void ConvolveGray(const uint8_t* in, const TPreparedColumns& columns, uint8_t* out)
{
    const size_t perOutput = static_cast<size_t>(columns.Groups) * 8;
    const __m128i half = _mm_set1_epi32(32768);
    for (int i = 0; i < columns.Outputs; i += 4) {
        __m128i acc[4], extra[4];
        for (int q = 0; q < 4; ++q) {
            acc[q] = _mm_setzero_si128();
            extra[q] = _mm_setzero_si128();
            const int o = i + q;
            if (o >= columns.Outputs)
                continue;
            const uint8_t* p = in + columns.Offsets[o];
            const int16_t* w = columns.Weights + static_cast<size_t>(o) * perOutput;
            const int16_t* big = columns.Big + static_cast<size_t>(o) * perOutput;
            for (int g = 0; g < columns.Groups; ++g) {
                const __m128i pixels = _mm_cvtepu8_epi16(Load8(p + 8 * g));
                acc[q] = _mm_add_epi32(acc[q], _mm_madd_epi16(pixels, _mm_loadu_si128(reinterpret_cast<const __m128i*>(w + 8 * g))));
                if (columns.HasBig)
                    extra[q] = _mm_add_epi32(
                        extra[q], _mm_madd_epi16(pixels, _mm_loadu_si128(reinterpret_cast<const __m128i*>(big + 8 * g))));
            }
        }
        __m128i sum = _mm_hadd_epi32(_mm_hadd_epi32(acc[0], acc[1]), _mm_hadd_epi32(acc[2], acc[3]));
        sum = _mm_srai_epi32(_mm_add_epi32(sum, half), 16);
        if (columns.HasBig)
            sum = _mm_add_epi32(sum, _mm_hadd_epi32(_mm_hadd_epi32(extra[0], extra[1]), _mm_hadd_epi32(extra[2], extra[3])));
        sum = _mm_packs_epi32(sum, sum);
        Store4(out + i, _mm_packus_epi16(sum, sum));
    }
}

void LinearColour(const uint8_t* in, const TLinearColumns& columns, uint8_t* out)
{
    const __m128i left = _mm_setr_epi8(0, -1, -1, -1, 1, -1, -1, -1, 2, -1, -1, -1, -1, -1, -1, -1);
    const __m128i right = _mm_setr_epi8(3, -1, -1, -1, 4, -1, -1, -1, 5, -1, -1, -1, -1, -1, -1, -1);
    const __m128i half = _mm_set1_epi32(32768);
    for (int i = 0; i < columns.Outputs; ++i) {
        const __m128i pixels = Load8(in + columns.Offsets[i]);
        const __m128i a = _mm_shuffle_epi8(pixels, left);
        const __m128i b = _mm_shuffle_epi8(pixels, right);
        __m128i v = _mm_mullo_epi32(_mm_sub_epi32(b, a), _mm_set1_epi32(columns.Fractions[i]));
        v = _mm_add_epi32(_mm_srai_epi32(_mm_add_epi32(v, half), 16), a);
        v = _mm_packs_epi32(v, v);
        Store4(out + 3 * static_cast<size_t>(i), _mm_packus_epi16(v, v));
    }
}

void LinearGray(const uint8_t* in, const TLinearColumns& columns, uint8_t* out)
{
    const __m128i mask = _mm_set1_epi32(0xFF);
    const __m128i half = _mm_set1_epi32(32768);
    int i = 0;
    for (; i + 4 <= columns.Outputs; i += 4) {
        const __m128i pairs = _mm_setr_epi32(Read32(in + columns.Offsets[i]), Read32(in + columns.Offsets[i + 1]),
                                             Read32(in + columns.Offsets[i + 2]), Read32(in + columns.Offsets[i + 3]));
        const __m128i a = _mm_and_si128(pairs, mask);
        const __m128i b = _mm_and_si128(_mm_srli_epi32(pairs, 8), mask);
        const __m128i f = _mm_cvtepu16_epi32(Load8(reinterpret_cast<const uint8_t*>(columns.Fractions + i)));
        __m128i v = _mm_mullo_epi32(_mm_sub_epi32(b, a), f);
        v = _mm_add_epi32(_mm_srai_epi32(_mm_add_epi32(v, half), 16), a);
        v = _mm_packs_epi32(v, v);
        Store4(out + i, _mm_packus_epi16(v, v));
    }
    for (; i < columns.Outputs; ++i) {
        const uint8_t* p = in + columns.Offsets[i];
        const uint32_t f = columns.Fractions[i];
        out[i] = static_cast<uint8_t>(((65536 - f) * p[0] + f * p[1] + 32768) >> 16);
    }
}

void LinearBlend(const uint8_t* top, const uint8_t* bottom, uint32_t fraction, uint8_t* out, size_t bytes)
{
    const __m128i weights = _mm_set1_epi32(PairOf(static_cast<int16_t>(static_cast<int32_t>(fraction) - 32768), 32767));
    const __m128i half = _mm_set1_epi32(32768);
    size_t b = 0;
    for (; b + 8 <= bytes; b += 8) {
        const __m128i a = _mm_cvtepu8_epi16(Load8(top + b));
        const __m128i c = _mm_cvtepu8_epi16(Load8(bottom + b));
        const __m128i d = _mm_sub_epi16(c, a);
        const __m128i dl = _mm_unpacklo_epi16(d, d);
        const __m128i dh = _mm_unpackhi_epi16(d, d);
        __m128i lo = _mm_add_epi32(_mm_madd_epi16(dl, weights), _mm_srai_epi32(dl, 16));
        __m128i hi = _mm_add_epi32(_mm_madd_epi16(dh, weights), _mm_srai_epi32(dh, 16));
        lo = _mm_srai_epi32(_mm_add_epi32(lo, half), 16);
        hi = _mm_srai_epi32(_mm_add_epi32(hi, half), 16);
        const __m128i v = _mm_add_epi16(_mm_packs_epi32(lo, hi), a);
        _mm_storel_epi64(reinterpret_cast<__m128i*>(out + b), _mm_packus_epi16(v, v));
    }
    for (; b < bytes; ++b)
        out[b] = static_cast<uint8_t>((top[b] * (65536 - fraction) + bottom[b] * fraction + 32768) >> 16);
}

void AreaRowColour(const uint8_t* row, const TAreaColumns& columns, int32_t* sums)
{
    const __m128i blueGreen = _mm_setr_epi8(0, 3, 6, 9, 12, -1, -1, -1, 1, 4, 7, 10, 13, -1, -1, -1);
    const __m128i red = _mm_setr_epi8(2, 5, 8, 11, 14, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1);
    const __m128i zero = _mm_setzero_si128();
    const __m128i round = _mm_set1_epi16(128);
    const size_t perOutput = static_cast<size_t>(columns.Chunks) * 8;
    for (int i = 0; i < columns.Outputs; ++i) {
        const uint8_t* p = row + columns.Offsets[i];
        const uint16_t* w = columns.Weights + static_cast<size_t>(i) * perOutput;
        __m128i accBlueGreen = zero, accRed = zero;
        for (int g = 0; g < columns.Chunks; ++g) {
            const __m128i pixels = Load16(p + 15 * g);
            const __m128i weights = _mm_loadu_si128(reinterpret_cast<const __m128i*>(w + 8 * g));
            const __m128i bg = _mm_shuffle_epi8(pixels, blueGreen);
            const __m128i r = _mm_shuffle_epi8(pixels, red);
            const __m128i tb = _mm_srli_epi16(_mm_add_epi16(_mm_mullo_epi16(_mm_unpacklo_epi8(bg, zero), weights), round), 8);
            const __m128i tg = _mm_srli_epi16(_mm_add_epi16(_mm_mullo_epi16(_mm_unpackhi_epi8(bg, zero), weights), round), 8);
            const __m128i tr = _mm_srli_epi16(_mm_add_epi16(_mm_mullo_epi16(_mm_unpacklo_epi8(r, zero), weights), round), 8);
            accBlueGreen = _mm_add_epi64(accBlueGreen, _mm_sad_epu8(_mm_packus_epi16(tb, tg), zero));
            accRed = _mm_add_epi64(accRed, _mm_sad_epu8(_mm_packus_epi16(tr, zero), zero));
        }
        const __m128i result = _mm_or_si128(_mm_shuffle_epi32(accBlueGreen, _MM_SHUFFLE(3, 3, 2, 0)),
                                            _mm_shuffle_epi32(accRed, _MM_SHUFFLE(1, 0, 1, 1)));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(sums + 4 * static_cast<size_t>(i)), result);
    }
}

void AreaRowGray(const uint8_t* row, const TAreaColumns& columns, int32_t* sums)
{
    const __m128i zero = _mm_setzero_si128();
    const __m128i round = _mm_set1_epi16(128);
    const size_t perOutput = static_cast<size_t>(columns.Chunks) * 8;
    for (int i = 0; i < columns.Outputs; ++i) {
        const uint8_t* p = row + columns.Offsets[i];
        const uint16_t* w = columns.Weights + static_cast<size_t>(i) * perOutput;
        __m128i acc = zero;
        for (int g = 0; g < columns.Chunks; ++g) {
            const __m128i pixels = _mm_cvtepu8_epi16(Load8(p + 8 * g));
            const __m128i weights = _mm_loadu_si128(reinterpret_cast<const __m128i*>(w + 8 * g));
            const __m128i t = _mm_srli_epi16(_mm_add_epi16(_mm_mullo_epi16(pixels, weights), round), 8);
            acc = _mm_add_epi64(acc, _mm_sad_epu8(_mm_packus_epi16(t, zero), zero));
        }
        sums[i] = _mm_cvtsi128_si32(acc);
    }
}

void AreaAccumulate(int32_t* total, const int32_t* sums, int32_t weight, size_t count)
{
    size_t k = 0;
    if (weight == 256) {
        for (; k + 4 <= count; k += 4) {
            const __m128i t = _mm_loadu_si128(reinterpret_cast<const __m128i*>(total + k));
            const __m128i s = _mm_loadu_si128(reinterpret_cast<const __m128i*>(sums + k));
            _mm_storeu_si128(reinterpret_cast<__m128i*>(total + k), _mm_add_epi32(t, s));
        }
        for (; k < count; ++k)
            total[k] += sums[k];
        return;
    }
    const __m128i w = _mm_set1_epi32(weight);
    const __m128i round = _mm_set1_epi32(128);
    for (; k + 4 <= count; k += 4) {
        const __m128i t = _mm_loadu_si128(reinterpret_cast<const __m128i*>(total + k));
        const __m128i s = _mm_loadu_si128(reinterpret_cast<const __m128i*>(sums + k));
        const __m128i weighted = _mm_srai_epi32(_mm_add_epi32(_mm_mullo_epi32(s, w), round), 8);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(total + k), _mm_add_epi32(t, weighted));
    }
    for (; k < count; ++k)
        total[k] += (weight * sums[k] + 128) >> 8;
}

void AreaFinish(const int32_t* total, uint32_t inverseX, uint32_t inverseY, int channels, uint8_t* out,
                size_t outputs)
{
    const size_t values = outputs * (channels == 3 ? 4 : 1);
    const __m128i ix = _mm_set1_epi64x(inverseX);
    const __m128i iy = _mm_set1_epi64x(inverseY);
    const __m128i half = _mm_set1_epi64x(32768);
    const __m128i limit = _mm_set1_epi32(255);
    const __m128i low = _mm_set1_epi64x(0xFFFFFFFF);
    size_t k = 0;
    for (; k + 4 <= values; k += 4) {
        const __m128i t = _mm_loadu_si128(reinterpret_cast<const __m128i*>(total + k));
        __m128i even = _mm_srli_epi64(_mm_add_epi64(_mm_mul_epu32(t, ix), half), 16);
        even = _mm_srli_epi64(_mm_add_epi64(_mm_mul_epu32(even, iy), half), 16);
        __m128i odd = _mm_srli_epi64(_mm_add_epi64(_mm_mul_epu32(_mm_srli_epi64(t, 32), ix), half), 16);
        odd = _mm_srli_epi64(_mm_add_epi64(_mm_mul_epu32(odd, iy), half), 16);
        __m128i v = _mm_min_epu32(_mm_or_si128(_mm_and_si128(even, low), _mm_slli_epi64(odd, 32)), limit);
        v = _mm_packs_epi32(v, v);
        v = _mm_packus_epi16(v, v);
        Store4(channels == 3 ? out + k / 4 * 3 : out + k, v);
    }
    for (; k < values; ++k) {
        const uint64_t x = (static_cast<uint64_t>(inverseX) * static_cast<uint32_t>(total[k]) + 32768) >> 16;
        uint64_t v = (static_cast<uint64_t>(inverseY) * x + 32768) >> 16;
        v = v > 255 ? 255 : v;
        out[k] = static_cast<uint8_t>(v);
    }
}

}  // namespace imaging_detail::sse41
