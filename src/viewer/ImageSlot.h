#pragma once

// A picture as the viewer hands it around: the decoded, prepared, filtered and
// rotated bitmap with the list position it belongs to and what the caption
// shows about the file as loaded. The browser window keeps two (the page the
// move arrived at and its partner); the image cache stores and returns the
// same record.

#include <cstdint>
#include <memory>
#include <optional>

#include "common/Bitmap.h"
#include "imaging/Stretch.h"

struct TImageSlot {
    int32_t Index = -1;              // position in the image list; -1: empty slot
    std::shared_ptr<TBitmap> Bitmap; // nullptr when the picture could not be decoded
    int32_t LoadedWidth = 0;         // size as loaded, before rotation
    int32_t LoadedHeight = 0;
    ::PixelFormat PixelFormat = ::PixelFormat::Bits24;  // as loaded
    bool Gray = false;               // the bitmap is 8-bit gray with the identity palette
    // The bitmap was decoded reduced for the fitted view from a picture of
    // LoadedWidth x LoadedHeight; zooming past its scale needs it whole.
    bool Reduced = false;
    // For a reduced slot: the size the picture has in full, turned as the
    // bitmap is (after rotation and filters).
    int32_t FullWidth = 0;
    int32_t FullHeight = 0;
    // The whole picture scaled ahead by the cache to the size its page is
    // expected to show at, with the "Stretch" method ScaledStretch; null
    // when none was made (or scaling was not possible at that size).
    std::shared_ptr<TBitmap> Scaled;
    int32_t ScaledWidth = 0;
    int32_t ScaledHeight = 0;
    std::optional<TStretchMode> ScaledStretch;

    bool Empty() const { return Index < 0; }
    bool HasBitmap() const { return Bitmap != nullptr; }
    // The size the view lays out: the bitmap's, after rotation; 0 x 0 without one.
    int Width() const { return Bitmap ? Bitmap->Width() : 0; }
    int Height() const { return Bitmap ? Bitmap->Height() : 0; }
    // The size the view lays the page out at: the picture's own, also when
    // the bitmap holds it reduced.
    int PictureWidth() const { return Reduced && Bitmap ? FullWidth : Width(); }
    int PictureHeight() const { return Reduced && Bitmap ? FullHeight : Height(); }
    // A page shown at displayWidth x displayHeight wants more pixels than the
    // bitmap holds: a reduced bitmap serves only while it is scaled down.
    bool NeedsFull(int displayWidth, int displayHeight) const
    {
        return Reduced && Bitmap && (displayWidth > Width() || displayHeight > Height());
    }
    void Clear() { *this = TImageSlot{}; }
    // The picture scaled ahead to width x height with stretch, if there is one.
    const TBitmap* ScaledFor(int width, int height, TStretchMode stretch) const
    {
        return Scaled && ScaledWidth == width && ScaledHeight == height && ScaledStretch == stretch ? Scaled.get()
                                                                                                    : nullptr;
    }
};
