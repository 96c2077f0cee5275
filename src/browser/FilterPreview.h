#pragma once

// The preview of a filter set while the filter dialog is open: the shown
// pages as they were loaded and prepared, before any filter, kept once, and
// passed through the edited items and the rotation in force on every change.
// Nothing is loaded again per change, so a marker drag repaints at once; the
// sets in use are never touched. User-interface thread.

#include <memory>
#include <vector>

#include "imaging/FilterItem.h"
#include "imaging/ImgUtils.h"
#include "viewer/ImageSlot.h"

class TFilterPreview {
public:
    // originals: the shown pages (primary first) loaded and prepared
    // without filters or rotation; slots without a bitmap stay without one.
    TFilterPreview(std::vector<TImageSlot> originals, TRotation rotation, bool portraitOnly);

    const std::vector<TImageSlot>& Originals() const { return fOriginals; }
    // The pages passed through items, then turned: slots as the viewer shows
    // them, with the originals' indices and loaded sizes.
    std::vector<TImageSlot> Apply(const TFilterList& items) const;

private:
    std::vector<TImageSlot> fOriginals;
    TRotation fRotation;
    bool fPortraitOnly;
};
