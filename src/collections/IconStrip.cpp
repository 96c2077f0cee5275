#include "collections/IconStrip.h"

#include <cstdio>
#include <cstring>

std::vector<int> LoadIconStrip(const TBitmap& strip, TIconSize size, std::vector<TIconImage>& images,
                               const std::string& prefix, TIconRegistry* registry)
{
    std::vector<int> indices;
    if (strip.IsEmpty() || strip.Height() != IconSide(size))
        return indices;
    TBitmap source = strip.Clone();
    source.ConvertTo24();
    const int side = source.Height();
    const int frames = source.Width() / side;
    for (int f = 0; f < frames; ++f) {
        TIconImage icon{TBitmap(side, side, 24, true), TBitmap(side, side, 8, true)};
        icon.Mask.SetGrayPalette();
        for (int y = 0; y < side; ++y) {
            const uint8_t* in = source.ScanLine(y) + static_cast<size_t>(f) * side * 3;
            uint8_t* out = icon.Color.ScanLine(y);
            uint8_t* mask = icon.Mask.ScanLine(y);
            for (int x = 0; x < side; ++x) {
                const uint8_t b = in[x * 3], g = in[x * 3 + 1], r = in[x * 3 + 2];
                const bool transparent = b == 0xFF && g == 0xFF && r == 0;
                mask[x] = transparent ? 0xFF : 0;
                out[x * 3] = transparent ? 0 : b;
                out[x * 3 + 1] = transparent ? 0 : g;
                out[x * 3 + 2] = transparent ? 0 : r;
            }
        }
        char number[16];
        std::snprintf(number, sizeof number, "%2d", static_cast<int>(images.size()));
        const int index = registry ? registry->AddIcon(prefix + number, icon) : -1;
        images.push_back(std::move(icon));
        indices.push_back(index);
    }
    return indices;
}
