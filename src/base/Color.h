#pragma once

// Colours as the settings file stores them: 0x00BBGGRR, or a system colour
// when the top byte is 0xFF (0xFF000005 the window background, 0xFF000008 the
// window text). The widgets resolve system colours from the desktop theme.

#include <cstdint>

using TColor = uint32_t;

inline constexpr TColor clWindow = 0xFF000005;
inline constexpr TColor clWindowText = 0xFF000008;
inline constexpr TColor clHighlight = 0xFF00000D;
inline constexpr TColor clHighlightText = 0xFF00000E;
inline constexpr TColor clBlack = 0x00000000;
inline constexpr TColor clWhite = 0x00FFFFFF;

inline constexpr bool IsSystemColor(TColor c) { return (c & 0xFF000000u) == 0xFF000000u; }
inline constexpr TColor MakeColor(uint8_t r, uint8_t g, uint8_t b)
{
    return static_cast<TColor>(r) | (static_cast<TColor>(g) << 8) | (static_cast<TColor>(b) << 16);
}
inline constexpr uint8_t ColorRed(TColor c) { return static_cast<uint8_t>(c & 0xFF); }
inline constexpr uint8_t ColorGreen(TColor c) { return static_cast<uint8_t>((c >> 8) & 0xFF); }
inline constexpr uint8_t ColorBlue(TColor c) { return static_cast<uint8_t>((c >> 16) & 0xFF); }
