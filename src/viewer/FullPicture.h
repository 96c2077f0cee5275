#pragma once

// How large a picture the view needs: pictures far larger than the view are
// decoded reduced for the box the fitted view shows them in, and loaded again
// in full once the view zooms past what the reduced bitmap holds
// (TImageSlot::NeedsFull).

#include <cstdint>

#include "viewer/Geometry.h"
#include "viewer/ViewOptions.h"

// The box the view in state, with a client area of client, fits its pictures
// into, as the decoders take it (before the pictures are turned): a side the
// fit leaves free is unbounded. Empty, so that pictures are decoded in full,
// when the state shows them at a ratio or size of their own, or while the view
// has no size.
TSize FitDecodeBox(const TViewState& state, TSize client);

// The decode box of the view packed in one word, so that a loader on any
// thread reads both sides of the same box.
inline uint64_t PackDecodeBox(TSize box)
{
    return (static_cast<uint64_t>(static_cast<uint32_t>(box.Width)) << 32) | static_cast<uint32_t>(box.Height);
}
inline TSize UnpackDecodeBox(uint64_t packed)
{
    return TSize{static_cast<int>(packed >> 32), static_cast<int>(packed & 0xFFFFFFFFu)};
}
