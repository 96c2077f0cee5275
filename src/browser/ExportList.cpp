#include "browser/ExportList.h"

#include "base/PathUtils.h"
#include "collections/GroupFolder.h"
#include "collections/Media.h"
#include "collections/MediaFolder.h"
#include "collections/Search.h"
#include "collections/ShellFolder.h"
#include "shellviews/ShellList.h"

namespace {

// A catalogue row's record: by its key, else among the records of the
// folder shown.
const TCtFileInfo* RecordOfRow(const TMediaFolder& medium, const TShellListModel& list, int row)
{
    const std::string key = list.KeyOf(row);
    if (const int index = medium.IndexOf(key); index >= 0)
        return medium.Record(index);
    for (const TCtFileInfo* record : medium.ItemsOf(list.MediumPath()))
        if (CatalogueKey(record->Path) == CatalogueKey(key))
            return record;
    return nullptr;
}

template <typename TRecord, typename TFolder>
std::vector<const TRecord*> MembersOfRows(const TFolder& folder, const TShellListModel& list,
                                          const std::vector<int>& rows)
{
    std::vector<const TRecord*> members;
    for (const int row : rows)
        if (const int index = folder.IndexOf(list.KeyOf(row)); index >= 0)
            members.push_back(folder.ItemInfo(index));
    return members;
}

}  // namespace

int64_t ExportShownList(const TShellListModel& list, TListKind kind, const std::vector<int>& selection,
                        const TExportSettings& settings, const std::string& path, const TExportSources& sources)
{
    std::vector<int> rows;
    if (settings.Options.Selected) {
        rows = selection;
    } else {
        for (int row = 0; row < list.Count(); ++row)
            rows.push_back(row);
    }
    TFileExport exporter(settings, path, sources.TypeNames);
    exporter.SetCollections(sources.Shelves, sources.Media, nullptr);
    switch (kind) {
    case TListKind::lkFolder: {
        const TShellFolder* folder = list.Folder();
        // The top of the folder tree lists mounts, written as volumes.
        std::string base;
        if (folder && !folder->IsRoot())
            base = folder->GetPath().size() > 1 ? ExcludeTrailingPathDelimiter(folder->GetPath()) : folder->GetPath();
        std::vector<std::string> paths;
        for (const int row : rows)
            if (const TShellFolder* node = list.Node(row))
                paths.push_back(node->GetPath());
        exporter.WriteFolderItems(base, paths);
        break;
    }
    case TListKind::lkShelves:
    case TListKind::lkMediaList: {
        const bool shelves = kind == TListKind::lkShelves;
        std::vector<int> indices;
        for (const int row : rows) {
            const TCustomFolder* collection = list.CollectionAt(row);
            if (!collection)
                continue;
            const int index = shelves ? (sources.Shelves ? sources.Shelves->IndexOf(collection) : -1)
                                      : (sources.Media ? sources.Media->IndexOf(collection) : -1);
            if (index < 0)
                continue;
            indices.push_back(index);
            if (!shelves && settings.Options.SubFolder && sources.LoadCatalogue)
                sources.LoadCatalogue(*sources.Media->Medium(index));
        }
        if (shelves)
            exporter.WriteShelfList(indices);
        else
            exporter.WriteMediaList(indices);
        break;
    }
    case TListKind::lkShelf: {
        const int index = list.ListIndex();
        if (sources.Shelves && index >= 0 && index < sources.Shelves->Count())
            exporter.WriteShelfItems(index,
                                     MembersOfRows<TGroupFileInfo>(*sources.Shelves->Group(index), list, rows));
        break;
    }
    case TListKind::lkMedium:
    case TListKind::lkMediumFolder: {
        const int index = list.ListIndex();
        if (!sources.Media || index < 0 || index >= sources.Media->Count())
            break;
        const TMediaFolder& medium = *sources.Media->Medium(index);
        std::vector<const TCtFileInfo*> records;
        for (const int row : rows)
            if (const TCtFileInfo* record = RecordOfRow(medium, list, row))
                records.push_back(record);
        const std::string base =
            list.MediumPath().empty() ? std::string("/") : "/" + ExcludeTrailingPathDelimiter(list.MediumPath());
        exporter.WriteCatalogueItems(index, base, records);
        break;
    }
    case TListKind::lkSearch:
        if (const auto* search = dynamic_cast<const TSearchFolder*>(list.ShownCollection()))
            exporter.WriteSearchResults(*search, MembersOfRows<TGroupFileInfo>(*search, list, rows));
        break;
    case TListKind::lkCategories:
    case TListKind::lkCategory:
    case TListKind::lkNothing:
        break;
    }
    exporter.Commit();
    return exporter.LinesWritten();
}
