#pragma once

// Points, sizes and rectangles of the image view, in whole pixels, and the
// three roundings the layout uses. The view's arithmetic decides where every
// page lands to the pixel, so each formula names the rounding it wants:
// Trunc (toward zero), RoundHalfAway (halves away from zero) or RoundHalfEven
// (halves to the even neighbour, used by the scroll amounts).

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>

struct TPoint {
    int X = 0;
    int Y = 0;
    bool operator==(const TPoint&) const = default;
};

struct TSize {
    int Width = 0;
    int Height = 0;
    bool operator==(const TSize&) const = default;
    bool IsEmpty() const { return Width <= 0 || Height <= 0; }
};

// Right and Bottom are exclusive, as the painter's rectangles are.
struct TRect {
    int Left = 0;
    int Top = 0;
    int Right = 0;
    int Bottom = 0;

    bool operator==(const TRect&) const = default;

    static TRect FromSize(int left, int top, int width, int height)
    {
        return TRect{left, top, left + width, top + height};
    }
    int Width() const { return Right - Left; }
    int Height() const { return Bottom - Top; }
    bool IsEmpty() const { return Right <= Left || Bottom <= Top; }
    TPoint TopLeft() const { return TPoint{Left, Top}; }
    TRect Offset(int dx, int dy) const { return TRect{Left + dx, Top + dy, Right + dx, Bottom + dy}; }
    // The common part; an empty rectangle (all zero) when they do not meet.
    TRect Intersect(const TRect& other) const
    {
        const TRect r{std::max(Left, other.Left), std::max(Top, other.Top), std::min(Right, other.Right),
                      std::min(Bottom, other.Bottom)};
        return r.IsEmpty() ? TRect{} : r;
    }
    bool Contains(TPoint p) const { return p.X >= Left && p.X < Right && p.Y >= Top && p.Y < Bottom; }
};

// Converts a double to int, saturating instead of running into undefined
// behaviour when a ratio blows a side up beyond the integer range.
inline int SaturateToInt(double value)
{
    if (std::isnan(value))
        return 0;
    if (value >= static_cast<double>(std::numeric_limits<int>::max()))
        return std::numeric_limits<int>::max();
    if (value <= static_cast<double>(std::numeric_limits<int>::min()))
        return std::numeric_limits<int>::min();
    return static_cast<int>(value);
}

inline int Trunc(double value)
{
    return SaturateToInt(std::trunc(value));
}

inline int RoundHalfAway(double value)
{
    return SaturateToInt(std::round(value));
}

inline int RoundHalfEven(double value)
{
    const double floor = std::floor(value);
    const double diff = value - floor;
    double result = floor;
    if (diff > 0.5)
        result = floor + 1.0;
    else if (diff == 0.5)
        result = std::fmod(floor, 2.0) == 0.0 ? floor : floor + 1.0;
    return SaturateToInt(result);
}

// Device pixels: a size or rectangle of the view times the screen's device
// pixel ratio (2 on a screen scaled by two), rounded half away. A rectangle's
// corner and its size are rounded apart, so a page placed anywhere keeps the
// device size its pixels were scaled to.
inline TSize DeviceSize(TSize size, double ratio)
{
    return TSize{RoundHalfAway(size.Width * ratio), RoundHalfAway(size.Height * ratio)};
}

inline TRect DeviceRect(const TRect& rect, double ratio)
{
    return TRect::FromSize(RoundHalfAway(rect.Left * ratio), RoundHalfAway(rect.Top * ratio),
                           RoundHalfAway(rect.Width() * ratio), RoundHalfAway(rect.Height() * ratio));
}
