#include "browser/CommandTarget.h"

TCommandTarget CommandTargetOf(const TFocusFacts& focus, TCommandTarget last)
{
    if (focus.ImageWindowActive || focus.ImageViewFocused)
        return TCommandTarget::ctImage;
    // The thumbnail view stands in for whichever list it replaces.
    if (focus.FileListFocused || (focus.ThumbnailFocused && !focus.ArchiveShown))
        return TCommandTarget::ctFileList;
    if (focus.ArchiveListFocused || (focus.ThumbnailFocused && focus.ArchiveShown))
        return TCommandTarget::ctArchiveList;
    if (focus.TreeFocused)
        return TCommandTarget::ctTree;
    return last;
}

TCommandTarget TCommandTargetTracker::Target(const TFocusFacts& focus)
{
    if (fStale) {
        fTarget = CommandTargetOf(focus, fTarget);
        fStale = false;
    }
    return fTarget;
}
