#include "browser/PlaceItems.h"

#include <algorithm>

#include "base/PathUtils.h"
#include "collections/CompareNames.h"
#include "loading/AcvUnit.h"
#include "platform/FileSystem.h"

TItemKind TItemClassifier::KindOf(std::string_view name, bool folder) const
{
    if (folder)
        return TItemKind::ikFolder;
    const std::string ext = ExtractFileExt(name);
    if (ext.empty())
        return TItemKind::ikOther;
    if (IsImage && IsImage(ext))
        return TItemKind::ikImage;
    if (IsArchive && IsArchive(ext))
        return TItemKind::ikArchive;
    return TItemKind::ikOther;
}

void SortItems(std::vector<TBrowserItem>& items)
{
    std::stable_sort(items.begin(), items.end(), [](const TBrowserItem& a, const TBrowserItem& b) {
        const bool aFolder = a.Kind == TItemKind::ikFolder;
        if (aFolder != (b.Kind == TItemKind::ikFolder))
            return aFolder;
        const int order = CompareNames(a.Name, b.Name);
        return order != 0 ? order < 0 : a.Name < b.Name;
    });
}

std::vector<TBrowserItem> ListArchiveItems(const TArchiver& archiver, const std::string& folder,
                                           const TItemClassifier& classes, bool withFolders)
{
    std::vector<TArchiveFileInfo*> records;
    archiver.List(folder, withFolders, records);
    std::vector<TBrowserItem> items;
    for (const TArchiveFileInfo* record : records) {
        // The folder's own record is not one of its items.
        if (record->IsFolder() && record->Path == folder)
            continue;
        TBrowserItem item;
        item.Kind = classes.KindOf(record->Name, record->IsFolder());
        item.Path = record->Path + record->Name;
        if (record->IsFolder())
            item.Name = ExtractFileName(ExcludeTrailingPathDelimiter(record->Path));
        else if (withFolders)
            item.Name = record->Name;
        else
            // Flat: two pages named "01.jpg" in two chapters must not look
            // alike, and the relative path orders chapter by chapter.
            item.Name = item.Path.substr(folder.size());
        item.Size = record->Size;
        item.Time = record->Time;
        item.Member = record->Position;
        items.push_back(std::move(item));
    }
    SortItems(items);
    return items;
}
