#include "browser/FilterPreview.h"

#include <algorithm>
#include <thread>

#include "imaging/FilterProc.h"

namespace {

// The preview runs while the user drags a marker; every processor helps.
int PreviewBands()
{
    return std::clamp(static_cast<int>(std::thread::hardware_concurrency()), 1, 4);
}

}  // namespace

TFilterPreview::TFilterPreview(std::vector<TImageSlot> originals, TRotation rotation, bool portraitOnly)
    : fOriginals(std::move(originals)), fRotation(rotation), fPortraitOnly(portraitOnly)
{
    // The originals are filtered afresh each time; a page scaled ahead for
    // them would show the wrong pixels.
    for (TImageSlot& slot : fOriginals) {
        slot.Scaled.reset();
        slot.ScaledStretch.reset();
    }
}

std::vector<TImageSlot> TFilterPreview::Apply(const TFilterList& items) const
{
    std::vector<TImageSlot> pages;
    pages.reserve(fOriginals.size());
    for (const TImageSlot& original : fOriginals) {
        TImageSlot page = original;
        if (original.Bitmap) {
            bool gray = original.Gray;
            // Filtered straight from the original: no copy of the whole
            // page is made first.
            TBitmap bitmap;
            ApplyFiltersTo(*original.Bitmap, items, gray, bitmap, PreviewBands());
            if (fRotation != TRotation::rtNone)
                RotateBitmap(bitmap, fRotation, fPortraitOnly, gray);
            page.Gray = bitmap.BitsPerPixel() == 8 && bitmap.IsGray();
            page.Bitmap = std::make_shared<TBitmap>(std::move(bitmap));
        }
        pages.push_back(std::move(page));
    }
    return pages;
}
