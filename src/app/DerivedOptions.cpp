// The tables the file list draws with, derived from the options.

#include <algorithm>

#include "app/Init.h"
#include "common/Text.h"

namespace {

// The attribute colours are tried in this order, so that the most specific
// attribute (the opened image, then system, hidden, read-only) wins over the
// kind of file.
constexpr TColorAttribute AttrColorOrder[ColorAttributeCount] = {
    TColorAttribute::caOpenedImage, TColorAttribute::caSystem,  TColorAttribute::caHidden,
    TColorAttribute::caReadOnly,    TColorAttribute::caFolder,  TColorAttribute::caArchive,
    TColorAttribute::caImage,
};

// An extension as the table keeps it: upper case with its dot. Hand-edited
// files may hold "jpg" or "*.jpg"; both mean ".JPG".
std::string TableExtension(std::string_view text)
{
    std::string ext = Trim(text);
    if (ext.size() >= 2 && ext[0] == '*' && ext[1] == '.')
        ext.erase(0, 1);
    if (!ext.empty() && ext.front() != '.')
        ext.insert(0, 1, '.');
    return UpperCase(ext);
}

}  // namespace

TColor DefaultSystemColor(TColor color)
{
    if (!IsSystemColor(color))
        return color;
    switch (color & 0xFF) {
    case 5:  // window background
        return clWhite;
    case 8:  // window text
        return clBlack;
    case 13:  // highlight
        return MakeColor(0x00, 0x78, 0xD7);
    case 14:  // highlighted text
        return clWhite;
    case 15:  // button face
        return MakeColor(0xF0, 0xF0, 0xF0);
    default:
        return clBlack;
    }
}

TColor HighlightTextColor(TColor resolved)
{
    const int r = ColorRed(resolved);
    const int g = ColorGreen(resolved);
    const int b = ColorBlue(resolved);
    const int y = (77 * r + 150 * g + 29 * b) / 256;
    // round(y / 255 * 64 + 191), half away from zero, in integers: the value
    // is never negative, so adding half the divisor rounds it.
    const int lifted = (2 * (y * 64 + 191 * 255) + 255) / (2 * 255);
    const int d = std::max(lifted - y, 0);
    return MakeColor(static_cast<uint8_t>(std::min(r + d, 255)), static_cast<uint8_t>(std::min(g + d, 255)),
                     static_cast<uint8_t>(std::min(b + d, 255)));
}

void BuildDerivedOptions(TOptions& options, const TSystemColorResolver& systemColors)
{
    TDerivedOptions& derived = options.Derived;
    derived.AttrColors.clear();
    for (TColorAttribute attribute : AttrColorOrder) {
        const int n = static_cast<int>(attribute);
        if (options.AttrColor.Use[n])
            derived.AttrColors.push_back(TAttrColorItem{attribute, options.AttrColor.Color[n]});
    }

    // A system colour has no components of its own: the highlight is lifted
    // from the colour the desktop actually shows for it.
    const TColor opened = options.AttrColor.Color[static_cast<int>(TColorAttribute::caOpenedImage)];
    const TColor resolved = IsSystemColor(opened) ? (systemColors ? systemColors(opened) : DefaultSystemColor(opened))
                                                  : opened;
    derived.HighlightText = HighlightTextColor(IsSystemColor(resolved) ? DefaultSystemColor(resolved) : resolved);

    derived.ExtColors.clear();
    for (const TExtColorEntry& entry : options.ExtColors) {
        if (!entry.Use)
            continue;
        for (const std::string& part : SplitString(entry.Extensions, ';')) {
            std::string ext = TableExtension(part);
            if (!ext.empty())
                derived.ExtColors.push_back(TExtColorItem{std::move(ext), entry.Color});
        }
    }
    // An extension named by two entries takes the colour of the first.
    std::stable_sort(derived.ExtColors.begin(), derived.ExtColors.end(),
                     [](const TExtColorItem& a, const TExtColorItem& b) { return a.Extension < b.Extension; });
    derived.ExtColors.erase(std::unique(derived.ExtColors.begin(), derived.ExtColors.end(),
                                        [](const TExtColorItem& a, const TExtColorItem& b) {
                                            return a.Extension == b.Extension;
                                        }),
                            derived.ExtColors.end());
}

const TColor* TDerivedOptions::FindExtColor(std::string_view ext) const
{
    const std::string key = TableExtension(ext);
    const auto it = std::lower_bound(ExtColors.begin(), ExtColors.end(), key,
                                     [](const TExtColorItem& item, const std::string& k) { return item.Extension < k; });
    if (it == ExtColors.end() || it->Extension != key)
        return nullptr;
    return &it->Color;
}
