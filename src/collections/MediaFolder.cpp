#include "collections/MediaFolder.h"

#include "collections/CompareNames.h"
#include "base/Errors.h"

TMediaFolder::TMediaFolder(TCustomFolderList* owner, std::string name) : TCustomFolder(owner, std::move(name))
{
    if (owner && !dynamic_cast<TMediaList*>(owner))
        throw EMirevaError("Ownerが正しくありません");
}

int TMediaFolder::AddRecord(std::unique_ptr<TCtFileInfo> record)
{
    std::string key = record->Path;
    return fItems.Add(std::move(key), std::move(record));
}

std::unique_ptr<TCustomFolder> TMediaList::CreateFolder(const std::string& name)
{
    return std::make_unique<TMediaFolder>(this, name);
}

int TMediaList::CompareFolders(const TCustomFolder& a, const TCustomFolder& b, int key) const
{
    const auto& ma = static_cast<const TMediaFolder&>(a);
    const auto& mb = static_cast<const TMediaFolder&>(b);
    if (key == SortByFreeSpace && ma.FreeSpace != mb.FreeSpace)
        return ma.FreeSpace < mb.FreeSpace ? -1 : 1;
    if (key == SortByDate && ma.CatalogueDate != mb.CatalogueDate)
        return ma.CatalogueDate < mb.CatalogueDate ? -1 : 1;
    if (key == SortByComment)
        return TCustomFolderList::CompareFolders(a, b, key);
    return CompareNames(a.Name(), b.Name());
}
