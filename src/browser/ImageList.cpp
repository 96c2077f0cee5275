#include "browser/ImageList.h"

#include <algorithm>

#include "base/PathUtils.h"
#include "common/Text.h"

namespace {

bool IsPicture(const std::string& path, const TItemClassifier& extensions)
{
    const std::string ext = UpperCase(ExtractFileExt(path));
    if (ext.empty())
        return false;
    return ext == ".BMP" || (extensions.IsImage && extensions.IsImage(ext));
}

bool HasNoPictures(TListKind kind)
{
    return IsCollectionList(kind) || kind == TListKind::lkShelf;
}

int IndexOf(const std::vector<TImageEntry>& list, const std::string& path)
{
    if (path.empty())
        return -1;
    const auto it = std::find_if(list.begin(), list.end(),
                                 [&](const TImageEntry& entry) { return entry.DisplayPath == path; });
    return it == list.end() ? -1 : static_cast<int>(it - list.begin());
}

}  // namespace

std::vector<TImageEntry> BuildImageList(TListKind kind, bool inArchive, const std::vector<TImageListItem>& items,
                                        const TItemClassifier& extensions)
{
    std::vector<TImageEntry> list;
    if (HasNoPictures(kind))
        return list;
    for (size_t i = 0; i < items.size(); ++i) {
        const TImageListItem& item = items[i];
        if (item.Folder)
            continue;
        // Archive members have no links; a file's link is read through.
        const std::string& source = !inArchive && !item.Target.empty() ? item.Target : item.Path;
        if (IsPicture(source, extensions))
            list.push_back(TImageEntry{source, item.Path, static_cast<int>(i)});
    }
    return list;
}

TRefindResult FindShownAgain(const std::vector<TImageEntry>& list, const TShownPictures& shown,
                             TRelistReason reason)
{
    const int primary = IndexOf(list, shown.PrimaryPath);
    const bool spread = shown.Partner >= 0;
    const int partner = spread ? IndexOf(list, shown.PartnerPath) : -1;
    if (reason == TRelistReason::rrSorted && primary >= 0 && primary == shown.Primary &&
        (!spread || partner == shown.Partner))
        return TRefindResult{TRefindOutcome::roRefreshLabel, primary};
    if (list.empty())
        return TRefindResult{TRefindOutcome::roClose, -1};
    if (shown.RandomOrder)
        return TRefindResult{TRefindOutcome::roNewRandomOrder, -1};
    if (primary >= 0)
        return TRefindResult{TRefindOutcome::roShow, primary};
    if (partner >= 0)
        return TRefindResult{TRefindOutcome::roShow, partner};
    const int last = static_cast<int>(list.size()) - 1;
    return TRefindResult{TRefindOutcome::roShow, std::clamp(shown.Primary, 0, last)};
}
