#pragma once

// The size of a picture read from its first bytes, before anything is
// decoded: what the picture budget is judged on, so that a file that claims a
// picture of gigapixels is refused before its decoder allocates the first
// row. Readers for the formats the program meets most (JPEG, PNG, GIF,
// bitmap, WebP); other formats are asked of their plug-in.

#include <cstddef>
#include <cstdint>
#include <optional>

struct TPictureDims {
    int64_t Width = 0;
    int64_t Height = 0;

    // Saturates: two 32-bit sides from a damaged header would overflow.
    int64_t Pixels() const
    {
        int64_t pixels = 0;
        return __builtin_mul_overflow(Width, Height, &pixels) ? INT64_MAX : pixels;
    }
    bool operator==(const TPictureDims&) const = default;
};

// How many bytes from the picture's start the readers are given: a JPEG's
// frame header may lie behind an EXIF block of up to 64 KB and further
// application blocks (colour profiles split over several).
inline constexpr size_t PictureHeaderProbeSize = 256 * 1024;

// The width and height a picture's header declares; nothing when the bytes
// are of none of the formats read here, are cut short before the size, or
// declare an empty picture. Every offset is checked against size.
std::optional<TPictureDims> ReadPictureDims(const uint8_t* data, size_t size);
