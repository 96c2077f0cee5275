#pragma once

// Turning and mirroring a page after loading and filtering, before it is
// cached and shown: 90 degrees either way, 180 degrees, upside down or left
// to right, optionally only for pages taller than wide (landscape-scanned
// books). The image cache thread and the main window call RotateBitmap with
// the user's current choice; it may run on any thread.

#include <cstdint>
#include <optional>

#include "common/Bitmap.h"

// The rotation the viewer applies to every loaded picture (the menu's
// choice); the numbers are the ones the command line tools take.
enum class TRotation : uint8_t {
    rtNone = 0,
    rtRight90 = 1,
    rtLeft90 = 2,
    rt180 = 3,
    rtFlipVertical = 4,    // upside down
    rtFlipHorizontal = 5,  // mirror
};

// The turn a worker makes; the numbers are those the workers have always used.
enum class TurnKind : uint8_t { CounterClockwise = 0, Clockwise = 1, Half = 2, None = 3 };

// Replaces bitmap by its turned or mirrored copy. With portraitOnly the two
// quarter turns apply only to pages whose width is less than their height.
// gray selects the 8-bit workers; a 24-bit picture always takes the 24-bit
// ones. When a worker fails (no memory for the copy), the page stays as it
// was. Mode RotateNone leaves the bitmap object untouched.
void RotateBitmap(TBitmap& bitmap, TRotation mode, bool portraitOnly, bool gray);

// The workers: a new picture, or nothing for kind None or on failure. Turn24
// and Flip24 widen an 8-bit source to 24 bits first; Turn8 and Flip8 give
// nothing for a source that is not 8-bit and copy its palette.
std::optional<TBitmap> Turn24(TBitmap& source, TurnKind kind);
std::optional<TBitmap> Turn8(const TBitmap& source, TurnKind kind);
std::optional<TBitmap> Flip24(TBitmap& source, bool horizontal);
std::optional<TBitmap> Flip8(const TBitmap& source, bool horizontal);
