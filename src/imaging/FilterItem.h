#pragma once

// One filter of a filter set, the chain of picture corrections the viewer can
// run on every page right after loading: its kind and its parameter. Items are
// plain values, so copying a set (the filter dialog works on copies) copies
// everything, tone curves included.

#include <cstdint>
#include <string_view>
#include <variant>
#include <vector>

#include "base/Color.h"

// The order is the order of the list shown to the user and the number stored
// in the settings file.
enum class FilterKind : uint8_t {
    Grayscale,
    Levels,
    Gamma,
    Contrast,
    Brightness,
    Equalize,
    Posterize,
    Invert,
    ToneCurve,
    Sharpen,
    UnsharpMask,
    Blur,
    Trim,
    AddMargin,
};
inline constexpr int FilterKindCount = 14;

// The list text of a kind ("グレースケール化", ...).
std::string_view FilterKindText(FilterKind kind);

// Grayscale base.
enum class TGrayBase : uint8_t { gbLuminance, gbRed, gbGreen, gbBlue };

struct TLevelsParameter {
    uint8_t InBlack = 0;
    uint8_t InWhite = 255;
    uint8_t OutBlack = 0;
    uint8_t OutWhite = 255;
    bool PerChannel = false;
    bool operator==(const TLevelsParameter&) const = default;
};

// Gamma (20 to 180, 100 neutral), contrast and brightness (0 to 200, 100
// neutral), as stored.
struct TCorrectionParameter {
    int32_t Value = 100;
    bool PerChannel = false;
    bool operator==(const TCorrectionParameter&) const = default;
};

struct TToneCurvePoint {
    uint16_t X = 0;
    uint16_t Y = 0;
    bool operator==(const TToneCurvePoint&) const = default;
};

// A tone curve: 2 to 255 points, x strictly increasing within 0 to 255, y
// within 0 to 255.
struct TToneCurveInfo {
    std::vector<TToneCurvePoint> Points{{0, 0}, {255, 255}};
    bool PerChannel = false;
    bool operator==(const TToneCurveInfo&) const = default;
    // True when the points keep the rules above.
    bool Valid() const;
};

struct TUnsharpMaskParameter {
    int32_t Amount = 100;  // percent, 1 to 300
    uint8_t Radius = 2;    // 1 to 5
    uint8_t Threshold = 0; // 0 to 200
    bool operator==(const TUnsharpMaskParameter&) const = default;
};

// Trim amounts, each 0 to 200 pixels.
struct TTrimParameter {
    int32_t Left = 0;
    int32_t Top = 0;
    int32_t Right = 0;
    int32_t Bottom = 0;
    bool operator==(const TTrimParameter&) const = default;
};

// Margins, each 0 to 200 pixels, and their colour (red in the lowest byte).
struct TMarginParameter {
    int32_t Left = 0;
    int32_t Top = 0;
    int32_t Right = 0;
    int32_t Bottom = 0;
    TColor Color = clWhite;
    bool operator==(const TMarginParameter&) const = default;
};

// The value itself (grayscale base, equalize's per-channel flag as 0 or 1,
// posterize levels, sharpen strength, blur radius), one of the records, or
// nothing (invert).
using TFilterParameter = std::variant<std::monostate, int32_t, TLevelsParameter, TCorrectionParameter, TToneCurveInfo,
                                      TUnsharpMaskParameter, TTrimParameter, TMarginParameter>;

struct TFilterItem {
    FilterKind Kind = FilterKind::Invert;
    TFilterParameter Parameter;

    // A new item of the kind with the editor's defaults.
    static TFilterItem Default(FilterKind kind);

    // The parameter as the kind's type; the kind's default when the item holds
    // another alternative, so a malformed item can never crash a filter.
    int32_t Value() const;
    TLevelsParameter Levels() const;
    TCorrectionParameter Correction() const;
    TToneCurveInfo ToneCurve() const;
    TUnsharpMaskParameter UnsharpMask() const;
    TTrimParameter Trim() const;
    TMarginParameter Margin() const;

    bool operator==(const TFilterItem&) const = default;
};

using TFilterList = std::vector<TFilterItem>;
