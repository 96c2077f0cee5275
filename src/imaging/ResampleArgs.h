#pragma once

// The arguments every resampler shares: the source picture, where the result
// goes, the size of the whole scaled picture and the part of it that is wanted.
// Only that part is ever computed, so a page zoomed far in costs as much as the
// window that shows it.

#include <cstdint>

class TBitmap;

// A rectangle of the scaled picture; right and bottom are exclusive.
struct TVisibleRect {
    int Left = 0;
    int Top = 0;
    int Right = 0;
    int Bottom = 0;

    int Width() const { return Right - Left; }
    int Height() const { return Bottom - Top; }
    bool IsEmpty() const { return Right <= Left || Bottom <= Top; }
    bool operator==(const TVisibleRect&) const = default;
};

// One resampling job after the dispatcher's checks: Source scaled to
// Width x Height, of which Visible is written into Destination at (X, Y).
struct TResampleJob {
    const TBitmap* Source = nullptr;
    TBitmap* Destination = nullptr;
    int Width = 0;
    int Height = 0;
    int X = 0;
    int Y = 0;
    TVisibleRect Visible;
};

// Raises EInvalidGraphic unless the job is one a resampler can run safely: a
// non-empty source of 8 or 24 bits, a destination of the same depth, a
// non-empty visible rectangle inside Width x Height and a destination large
// enough to take it at (X, Y). The dispatcher checks the same things first
// and silently does nothing; this guard is for direct callers.
void CheckResampleJob(const TResampleJob& job);
