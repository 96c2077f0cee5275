#include "browser/ui/CollectionIconLoader.h"

#include <vector>

#include "browser/ui/BuiltInStrips.h"
#include "collections/IconStrip.h"

namespace {

// Adds each frame of a large strip to the icon of the small frame at the
// same position.
void AddLargeFrames(const TBitmap& strip, const std::vector<int>& smallIcons, TQtShellInfo& icons)
{
    std::vector<TIconImage> frames;
    LoadIconStrip(strip, TIconSize::isLarge, frames, std::string(), nullptr);
    for (size_t i = 0; i < frames.size() && i < smallIcons.size(); ++i)
        icons.AddIconSize(smallIcons[i], frames[i]);
}

}  // namespace

void LoadCollectionIcons(TCustomFolderList& list, TIconCollection kind, const std::string& programFolder,
                         TQtShellInfo& icons, const TStripReader& read)
{
    const TCollectionStrips chosen = ChooseCollectionStrips(programFolder, kind, read);
    const bool own = !chosen.Normal.File.empty();
    if (own)
        list.LoadIcons(chosen.Normal.Strip, &icons);
    else
        list.LoadIcons(BuiltInStrip(kind, TIconSize::isSmall, false), &icons);
    // Only media draw their built-in alternative differently (the disc in a
    // drive); without alternative frames the normal ones serve.
    const bool ownAlt = !chosen.Alt.File.empty();
    if (ownAlt)
        list.LoadAltIcons(chosen.Alt.Strip, &icons);
    else if (!own && kind == TIconCollection::icMedia)
        list.LoadAltIcons(BuiltInStrip(kind, TIconSize::isSmall, true), &icons);

    const TLargeStrips large = ChooseLargeStrips(programFolder, kind, chosen.FromDollar, read);
    if (!large.Normal.File.empty())
        AddLargeFrames(large.Normal.Strip, list.SystemIconIndices(), icons);
    else if (!own)
        AddLargeFrames(BuiltInStrip(kind, TIconSize::isLarge, false), list.SystemIconIndices(), icons);
    if (!large.Alt.File.empty())
        AddLargeFrames(large.Alt.Strip, list.AltSystemIconIndices(), icons);
    else if (!own && !ownAlt && kind == TIconCollection::icMedia)
        AddLargeFrames(BuiltInStrip(kind, TIconSize::isLarge, true), list.AltSystemIconIndices(), icons);
}
