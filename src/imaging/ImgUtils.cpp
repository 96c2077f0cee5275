#include "imaging/ImgUtils.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "base/Errors.h"

namespace {

// Copies pixels of bpp bytes: result(x', y') = source(map(x', y')). The
// quarter turns walk in square tiles so that both pictures are read and
// written a cache line at a time, whichever of them runs across the rows.
template <int Bpp, class TMap>
void Remap(const TBitmap& source, TBitmap& result, TMap map)
{
    constexpr int Tile = 64;
    for (int ty = 0; ty < result.Height(); ty += Tile)
        for (int tx = 0; tx < result.Width(); tx += Tile) {
            const int yEnd = std::min(result.Height(), ty + Tile), xEnd = std::min(result.Width(), tx + Tile);
            for (int y = ty; y < yEnd; ++y) {
                uint8_t* out = result.ScanLine(y);
                for (int x = tx; x < xEnd; ++x) {
                    const auto [sx, sy] = map(x, y);
                    std::memcpy(out + static_cast<size_t>(x) * Bpp, source.ScanLine(sy) + static_cast<size_t>(sx) * Bpp,
                                Bpp);
                }
            }
        }
}

template <int Bpp>
TBitmap Turn(const TBitmap& s, TurnKind kind)
{
    const int w = s.Width(), h = s.Height();
    const bool quarter = kind != TurnKind::Half;
    TBitmap r(quarter ? h : w, quarter ? w : h, Bpp * 8);
    r.Palette() = s.Palette();
    r.SetLoadedFormat(s.LoadedFormat());
    switch (kind) {
    case TurnKind::CounterClockwise:
        Remap<Bpp>(s, r, [&](int x, int y) { return std::pair{w - 1 - y, x}; });
        break;
    case TurnKind::Clockwise:
        Remap<Bpp>(s, r, [&](int x, int y) { return std::pair{y, h - 1 - x}; });
        break;
    default:
        Remap<Bpp>(s, r, [&](int x, int y) { return std::pair{w - 1 - x, h - 1 - y}; });
        break;
    }
    return r;
}

template <int Bpp>
TBitmap Flip(const TBitmap& s, bool horizontal)
{
    const int w = s.Width(), h = s.Height();
    TBitmap r(w, h, Bpp * 8);
    r.Palette() = s.Palette();
    r.SetLoadedFormat(s.LoadedFormat());
    const size_t bytes = static_cast<size_t>(w) * Bpp;
    for (int y = 0; y < h; ++y) {
        if (horizontal) {
            const uint8_t* in = s.ScanLine(y);
            uint8_t* out = r.ScanLine(y);
            for (int x = 0; x < w; ++x)
                std::memcpy(out + static_cast<size_t>(x) * Bpp, in + static_cast<size_t>(w - 1 - x) * Bpp, Bpp);
        } else {
            std::memcpy(r.ScanLine(y), s.ScanLine(h - 1 - y), bytes);
        }
    }
    return r;
}

// A worker's failure (no memory for a large copy) leaves the page unturned.
template <class TWork>
std::optional<TBitmap> Guarded(TWork&& work)
{
    try {
        return work();
    } catch (const EMirevaError&) {
        return std::nullopt;
    } catch (const std::bad_alloc&) {
        return std::nullopt;
    }
}

}  // namespace

std::optional<TBitmap> Turn24(TBitmap& source, TurnKind kind)
{
    if (kind == TurnKind::None)
        return std::nullopt;
    return Guarded([&] {
        if (source.BitsPerPixel() != 24)
            source.ConvertTo24();
        return Turn<3>(source, kind);
    });
}

std::optional<TBitmap> Turn8(const TBitmap& source, TurnKind kind)
{
    if (kind == TurnKind::None || source.BitsPerPixel() != 8)
        return std::nullopt;
    return Guarded([&] { return Turn<1>(source, kind); });
}

std::optional<TBitmap> Flip24(TBitmap& source, bool horizontal)
{
    return Guarded([&] {
        if (source.BitsPerPixel() != 24)
            source.ConvertTo24();
        return Flip<3>(source, horizontal);
    });
}

std::optional<TBitmap> Flip8(const TBitmap& source, bool horizontal)
{
    if (source.BitsPerPixel() != 8)
        return std::nullopt;
    return Guarded([&] { return Flip<1>(source, horizontal); });
}

void RotateBitmap(TBitmap& bitmap, TRotation mode, bool portraitOnly, bool gray)
{
    if (mode == TRotation::rtNone || bitmap.IsEmpty())
        return;
    const bool eight = gray && bitmap.BitsPerPixel() == 8;
    auto turn = [&](TurnKind kind) { return eight ? Turn8(bitmap, kind) : Turn24(bitmap, kind); };
    auto flip = [&](bool horizontal) { return eight ? Flip8(bitmap, horizontal) : Flip24(bitmap, horizontal); };
    std::optional<TBitmap> result;
    switch (mode) {
    case TRotation::rtRight90:
    case TRotation::rtLeft90:
        if (portraitOnly && bitmap.Width() >= bitmap.Height())
            return;
        result = turn(mode == TRotation::rtRight90 ? TurnKind::Clockwise : TurnKind::CounterClockwise);
        break;
    case TRotation::rt180:
        result = turn(TurnKind::Half);
        break;
    case TRotation::rtFlipVertical:
        result = flip(false);
        break;
    case TRotation::rtFlipHorizontal:
        result = flip(true);
        break;
    case TRotation::rtNone:
        break;
    }
    if (result)
        bitmap = std::move(*result);
}
