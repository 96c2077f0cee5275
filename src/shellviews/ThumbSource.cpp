#include "shellviews/ThumbSource.h"

#include "base/PathUtils.h"
#include "collections/MediaFolder.h"
#include "collections/ShellFolder.h"
#include "base/Texts.h"

namespace {

// "/a/b/c.jpg" -> "/a/b/" and "c.jpg".
std::pair<std::string, std::string> SplitPath(const std::string& path)
{
    const size_t slash = path.find_last_of('/');
    if (slash == std::string::npos)
        return {std::string(), path};
    return {path.substr(0, slash + 1), path.substr(slash + 1)};
}

std::string WithSlash(std::string path)
{
    if (path.empty() || path.back() != '/')
        path += '/';
    return path;
}

}  // namespace

std::vector<TEnumImageInfo> TThumbSource::WorkItems() const
{
    std::vector<TEnumImageInfo> items;
    items.reserve(static_cast<size_t>(Count()));
    for (int row = 0; row < Count(); ++row)
        items.push_back(WorkItem(row));
    return items;
}

std::vector<std::string> TThumbSource::Keys() const
{
    std::vector<std::string> keys;
    keys.reserve(static_cast<size_t>(Count()));
    for (int row = 0; row < Count(); ++row)
        keys.push_back(Key(row));
    return keys;
}

// --- The file list -------------------------------------------------------------

TFileThumbSource::TFileThumbSource(TShellListModel& list) : fList(list)
{
    fList.RegisterObserver(this);
}

TFileThumbSource::~TFileThumbSource()
{
    fList.UnregisterObserver(this);
}

TThumbItemFacts TFileThumbSource::Facts(int row) const
{
    TThumbItemFacts facts;
    const TListContent content = fList.Content();
    facts.Name = fList.Text(row, 0);
    if (fList.CollectionAt(row)) {
        facts.Collection = true;
        facts.Folder = true;
        facts.Comment = fList.Text(row, 1);
        const auto& columns = fList.Columns();
        if (content == TListContent::lcoMedia) {
            facts.CollectionLines = {Tx("合計サイズ： ") + fList.Text(row, 2), Tx("空き領域： ") + fList.Text(row, 3)};
        } else if (content == TListContent::lcoCategories && columns.size() > 2) {
            facts.CollectionLines = {Tx("分類： ") + fList.Text(row, 2)};
            facts.DetailLines = facts.CollectionLines;
        }
        return facts;
    }
    TListedRow listed;
    if (!fList.RowFacts(row, listed))
        return facts;
    facts.Folder = listed.Kind == TFileKind::fkFolder;
    facts.SizeKnown = listed.DetailsKnown;
    facts.Size = listed.Size;
    facts.TimeKnown = listed.DetailsKnown && listed.Modified != 0;
    facts.Time = listed.Modified;
    // The folder is worth telling only where items of several folders meet.
    if (content != TListContent::lcoFolder && content != TListContent::lcoMediumRoot &&
        content != TListContent::lcoMediumFolder)
        facts.Location = SplitPath(std::string(listed.Path)).first;
    if (TShellFolder* node = fList.Node(row))
        facts.TypeName = node->GetTypeName();
    return facts;
}

TEnumImageInfo TFileThumbSource::WorkItem(int row) const
{
    TEnumImageInfo item;
    item.Id = row;
    TListedRow listed;
    if (!fList.RowFacts(row, listed) || listed.Path.empty())
        return item;
    if (listed.Kind == TFileKind::fkFolder) {
        item.Folder = WithSlash(std::string(listed.Path));
    } else {
        auto [folder, name] = SplitPath(std::string(listed.Path));
        item.Folder = std::move(folder);
        item.Name = std::move(name);
        item.Size = listed.Size;
    }
    item.Time = listed.Modified;
    item.FactsKnown = listed.DetailsKnown;
    // A catalogue's rows are the medium's: their thumbnails live in the media
    // store under its name, and while the disc is in no drive they come from
    // there alone. The rows' paths begin with the disc's mount, or with where
    // it was catalogued while it is out.
    const TListContent content = fList.Content();
    if (content == TListContent::lcoMediumRoot || content == TListContent::lcoMediumFolder)
        if (const auto* medium = dynamic_cast<const TMediaFolder*>(fList.ShownCollection())) {
            item.Medium = medium->Name();
            item.Online = medium->Inserted();
            item.MediumRoot =
                WithSlash(item.Online ? medium->LivePath() : ExcludeTrailingPathDelimiter(medium->StoredRootId.Path()));
            // The stored thumbnail is checked against the file's size and
            // time: before the row's details are read, the catalogue has them.
            const std::string path(listed.Path);
            if (!item.FactsKnown && path.starts_with(item.MediumRoot))
                if (const TCtFileInfo* record =
                        medium->Record(medium->IndexOf(CatalogueKey(path.substr(item.MediumRoot.size()))))) {
                    item.Size = record->IsDirectory ? 0 : record->Size;
                    item.Time = record->Modified;
                    item.FactsKnown = true;
                }
        }
    return item;
}

TThumbPlace TFileThumbSource::Place() const
{
    TThumbPlace place;
    if (TShellFolder* folder = fList.Folder())
        place.Folder = WithSlash(folder->GetPath());
    place.Media = fList.Content() == TListContent::lcoMediumRoot || fList.Content() == TListContent::lcoMediumFolder;
    return place;
}

bool TFileThumbSource::HasThumbnails() const
{
    switch (fList.Content()) {
    case TListContent::lcoShelves:
    case TListContent::lcoMedia:
    case TListContent::lcoCategories:
    case TListContent::lcoNone: return false;
    default: return true;
    }
}

void TFileThumbSource::Select(const TListSelection& selection)
{
    fSelecting = true;
    fList.Select(selection);
    fSelecting = false;
    if (OnChanged)
        OnChanged(TThumbSourceChange::scSelection);
}

void TFileThumbSource::ListChanged(TShellListModel&, const TFileListChange& change)
{
    if (change.Phase != TChangePhase::cpAfter || !OnChanged)
        return;
    switch (change.Kind) {
    case TFileListChangeKind::fcChange: OnChanged(TThumbSourceChange::scTexts); break;
    case TFileListChangeKind::fcSortOrder: break;
    case TFileListChangeKind::fcSelection:
        if (!fSelecting)
            OnChanged(TThumbSourceChange::scSelection);
        break;
    default:
        if (Mark >= Count())
            Mark = -1;
        OnChanged(TThumbSourceChange::scItems);
        break;
    }
}

// --- The archive list ----------------------------------------------------------

TArchiveThumbSource::TArchiveThumbSource(TArchiverListModel& list) : fList(list)
{
    fList.RegisterObserver(this);
}

TArchiveThumbSource::~TArchiveThumbSource()
{
    fList.UnregisterObserver(this);
}

TThumbItemFacts TArchiveThumbSource::Facts(int row) const
{
    TThumbItemFacts facts;
    const TArchiverListRow* listed = fList.Row(row);
    if (!listed)
        return facts;
    facts.Name = listed->Caption;
    facts.Folder = listed->Record.IsFolder();
    facts.SizeKnown = !facts.Folder;
    facts.Size = listed->Record.Size;
    facts.TimeKnown = listed->Record.Time >= 0;
    facts.Time = listed->Record.Time;
    facts.TypeName = fList.Text(row, static_cast<int>(TArchiverListColumn::alType));
    return facts;
}

TEnumImageInfo TArchiveThumbSource::WorkItem(int row) const
{
    TEnumImageInfo item;
    item.Id = row;
    if (const TArchiverListRow* listed = fList.Row(row)) {
        item.Folder = listed->Record.Path;
        item.Name = listed->Record.Name;
        item.Size = listed->Record.Size;
        item.Time = listed->Record.Time;
    }
    return item;
}

std::string TArchiveThumbSource::Key(int row) const
{
    const TArchiverListRow* listed = fList.Row(row);
    return listed ? listed->Key : std::string();
}

TThumbPlace TArchiveThumbSource::Place() const
{
    TThumbPlace place;
    if (const TArchiverPtr& archiver = fList.Archiver()) {
        auto [folder, name] = SplitPath(archiver->FileName());
        place.Folder = std::move(folder);
        place.ArchiveName = std::move(name);
        // An archive inside an archive lives in a temporary file: its
        // thumbnails would be stored under a name that is gone next time.
        place.UseStore = archiver->Parent() == nullptr;
    }
    return place;
}

void TArchiveThumbSource::Select(const TListSelection& selection)
{
    fList.Select(selection, this);
    if (OnChanged)
        OnChanged(TThumbSourceChange::scSelection);
}

void TArchiveThumbSource::ArchiverListChanged(TArchiverListModel&, const TArchiverListChange& change)
{
    if (change.Phase != TChangePhase::cpAfter || !OnChanged)
        return;
    switch (change.Kind) {
    case TArchiverListChangeKind::acRows: OnChanged(TThumbSourceChange::scTexts); break;
    case TArchiverListChangeKind::acSelection: OnChanged(TThumbSourceChange::scSelection); break;
    default:
        if (Mark >= Count())
            Mark = -1;
        OnChanged(TThumbSourceChange::scItems);
        break;
    }
}
