#pragma once

// The image filters of a filter set and the chain runner the image cache and
// the main window call on every freshly loaded page. All filters work on the
// two layouts that leave loading: 24-bit colour and 8-bit gray with the gray
// palette; a gray flag travels with the picture and says which it is. The
// point filters are 256-entry tables; sharpen, blur and unsharp mask use
// running window sums and 16.16 reciprocals. Everything here is plain
// computation on pictures the caller owns and may run on any thread.
//
// Each filter takes the picture and a destination: with no destination the
// picture itself is replaced by the result; with one, the result goes there
// and the picture stays untouched. A filter whose parameters make it the
// identity changes nothing (or copies the picture into the destination).

#include <array>
#include <cstdint>
#include <optional>
#include <utility>

#include "common/Bitmap.h"
#include "imaging/FilterItem.h"

using TToneTable = std::array<uint8_t, 256>;
using THistogram = std::array<uint64_t, 256>;

// The luminance the filters use: (B * 7471 + G * 38470 + R * 19595) >> 16.
inline uint8_t Luminance(uint8_t blue, uint8_t green, uint8_t red)
{
    return static_cast<uint8_t>((blue * 7471 + green * 38470 + red * 19595) >> 16);
}

// Runs the items in order. gray says on entry whether the picture is the
// 8-bit gray layout and on return whether it still is (after Grayscale). An
// 8-bit picture that is not gray is widened to 24 bits first.
void ApplyFilters(TBitmap& bitmap, const TFilterList& items, bool& gray);

// The same chain with the source left untouched and the result in result,
// byte for byte what ApplyFilters gives on a copy. The leading point filters
// whose tables do not depend on the picture (levels, gamma, brightness,
// posterize, tone curve, invert) read the source and write the result in
// one pass: consecutive tables on the same bytes are composed into one, and
// a luminance table takes the composed table before it along. The pass runs
// in up to bands horizontal bands at once on a large picture; the rest of
// the chain runs on the result as ApplyFilters would. gray as for
// ApplyFilters.
void ApplyFiltersTo(const TBitmap& source, const TFilterList& items, bool& gray, TBitmap& result, int bands = 1);

// Tables: on an 8-bit picture every byte b becomes table[b]. On a 24-bit one
// (an 8-bit picture is widened first) either every blue, green and red byte
// goes through the table (perChannel), or the table is applied to the
// luminance and the difference is added to all three bytes, clamped.
void ApplyTable(TBitmap& bitmap, TBitmap* destination, const TToneTable& table, bool perChannel);
void ApplyGrayTable(TBitmap& bitmap, TBitmap* destination, const TToneTable& table);

// The samples a table will see: the gray bytes, every colour byte
// (perChannel) or every pixel's luminance.
THistogram SampleHistogram(const TBitmap& bitmap, bool gray, bool perChannel);
double HistogramMean(const THistogram& histogram);

// The tables of the point filters, from the values the filters receive.
TToneTable IdentityTable();
TToneTable LevelsTable(const TLevelsParameter& levels);
// The stored gamma (20 to 180) as the filter receives it: unchanged up to
// 100, 5 * v - 400 above (180 gives 500, an exponent of 1 / 5).
int32_t MappedGamma(int32_t stored);
TToneTable GammaTable(int32_t value);
// c = stored value - 100, -100 to 100; mean of the samples.
TToneTable ContrastTable(int32_t c, double mean);
TToneTable BrightnessTable(int32_t b);
// Nothing when every sample has the same level.
std::optional<TToneTable> EqualizeTable(const THistogram& histogram);
TToneTable PosterizeTable(int32_t levels);
// Nothing for a curve that breaks the point rules.
std::optional<TToneTable> ToneCurveTable(const TToneCurveInfo& curve);

// How many pixels Trim cuts from the two ends of a side of the given size.
std::pair<int, int> TrimCuts(int size, int first, int second);

// The filters. gray selects the 8-bit table path; the neighbourhood filters
// work per channel on either layout.
void GrayscaleFilter(TBitmap& bitmap, TBitmap* destination, TGrayBase base);
void LevelsFilter(TBitmap& bitmap, TBitmap* destination, const TLevelsParameter& levels, bool gray);
void GammaFilter(TBitmap& bitmap, TBitmap* destination, int32_t value, bool perChannel, bool gray);
void ContrastFilter(TBitmap& bitmap, TBitmap* destination, int32_t c, bool perChannel, bool gray);
void BrightnessFilter(TBitmap& bitmap, TBitmap* destination, int32_t b, bool perChannel, bool gray);
void EqualizeFilter(TBitmap& bitmap, TBitmap* destination, bool perChannel, bool gray);
void PosterizeFilter(TBitmap& bitmap, TBitmap* destination, int32_t levels, bool gray);
void InvertFilter(TBitmap& bitmap, TBitmap* destination);
void ToneCurveFilter(TBitmap& bitmap, TBitmap* destination, const TToneCurveInfo& curve, bool gray);
void SharpenFilter(TBitmap& bitmap, TBitmap* destination, int32_t strength);
void BlurFilter(TBitmap& bitmap, TBitmap* destination, int32_t radius);
void UnsharpMaskFilter(TBitmap& bitmap, TBitmap* destination, const TUnsharpMaskParameter& parameter);
void TrimFilter(TBitmap& bitmap, TBitmap* destination, const TTrimParameter& trim);
void AddMarginFilter(TBitmap& bitmap, TBitmap* destination, const TMarginParameter& margin);
