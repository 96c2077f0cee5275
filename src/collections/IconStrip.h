#pragma once

// Icon strips: a row of square frames in one bitmap, each as wide as the strip
// is high, with aqua (red 0, green 255, blue 255) as the transparent colour.
// The folder lists cut their strips into icons with a colour image (aqua
// painted black) and a mask, and hand each to the program's icon list, which
// gives back the index the views draw with. Strips come in two sizes: the
// trees' and lists' small icons and the thumbnail view's large ones.

#include <string>
#include <vector>

#include "common/Bitmap.h"

struct TIconImage {
    TBitmap Color;  // 24-bit, the transparent pixels black
    TBitmap Mask;   // 8-bit gray: 255 where the icon is transparent, 0 elsewhere
};

// The program's icon list as the windows keep it. Implemented by the windows;
// tests use a fake.
class TIconRegistry {
public:
    virtual ~TIconRegistry() = default;
    // Registers one icon under a name such as "Grp 0" and returns its index,
    // or -1 when it could not be registered.
    virtual int AddIcon(const std::string& name, const TIconImage& icon) = 0;
};

// The height of a strip, which is also the side of each of its frames.
enum class TIconSize : int { isSmall = 16, isLarge = 32 };

inline constexpr int IconSide(TIconSize size) { return static_cast<int>(size); }

// Cuts strip into frames, appends them to images and returns the index the
// registry gave each one (-1 without a registry). prefix names the icons: the
// prefix and the number of images already in the list, right-aligned in two
// characters ("Grp 0", "Grp 1", ..., "Grp10"). A strip that is not exactly as
// high as size asks is refused whole (nothing appended, nothing returned): a
// user's replacement strip of another height would otherwise give frames of
// the wrong size, and a strip one pixel high would give one icon per column.
std::vector<int> LoadIconStrip(const TBitmap& strip, TIconSize size, std::vector<TIconImage>& images,
                               const std::string& prefix, TIconRegistry* registry);
