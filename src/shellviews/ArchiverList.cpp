#include "shellviews/ArchiverList.h"

#include <algorithm>

#include "base/PathUtils.h"
#include "collections/CompareNames.h"
#include "collections/ShellInfo.h"
#include "common/DateTime.h"
#include "common/Text.h"
#include "shellviews/SizeText.h"
#include "base/Texts.h"

namespace {

constexpr const char* FolderTypeName = "フォルダ";

// Default widths of the four columns, in pixels.
constexpr int DefaultWidths[ArchiverListColumnCount] = {120, 96, 120, 120};

std::string WithoutTrailingSlash(const std::string& path)
{
    return !path.empty() && path.back() == '/' ? path.substr(0, path.size() - 1) : path;
}

std::string FolderName(const std::string& path)
{
    return ExtractFileName(WithoutTrailingSlash(path));
}

int CompareNumbers(double a, double b)
{
    return a < b ? -1 : (a > b ? 1 : 0);
}

// The levels of a chain, outermost first.
std::vector<TArchiver*> ChainOf(TArchiver* innermost)
{
    std::vector<TArchiver*> chain;
    for (TArchiver* level = innermost; level; level = level->Parent().get())
        chain.insert(chain.begin(), level);
    return chain;
}

}  // namespace

TArchiverListOptions ArchiverListOptionsFrom(const TOptions& options)
{
    TArchiverListOptions result;
    result.ObjectTypes = {TArchiveObjectType::atSupported};
    if (options.Archive.Folder)
        result.ObjectTypes.insert(TArchiveObjectType::atFolders);
    if (options.List.AllFile)
        result.ObjectTypes.insert(TArchiveObjectType::atNonSupported);
    result.SizeUnit = options.FilerView.SizeUnit;
    result.TypeByExtension = options.FilerView.ExtTypeName;
    return result;
}

TArchiverListModel::TArchiverListModel(TShellInfo* info) : fInfo(info) {}

TArchiverListModel::~TArchiverListModel() = default;

void TArchiverListModel::Notify(TArchiverListChangeKind kind, TChangePhase phase, int first, int count)
{
    const TArchiverListChange change{kind, phase, first, count};
    fObservers.Notify([&](TArchiverListObserver& observer) { observer.ArchiverListChanged(*this, change); });
}

void TArchiverListModel::SetOptions(const TArchiverListOptions& options)
{
    const bool relist = options.ObjectTypes != fOptions.ObjectTypes;
    const bool texts = options.SizeUnit != fOptions.SizeUnit || options.TypeByExtension != fOptions.TypeByExtension;
    fOptions = options;
    if (!fArchiver || fBusy)
        return;
    if (relist) {
        Relist(SaveMemory());
    } else if (texts) {
        for (TArchiverListRow& row : fRows)
            row.TypeName.reset();
        // The type column is a sort key: the order may change with its texts.
        if (fSort.Index == static_cast<int>(TArchiverListColumn::alType))
            SetSortOrder(fSort);
        if (!fRows.empty())
            Notify(TArchiverListChangeKind::acRows, TChangePhase::cpAfter, 0, Count());
    }
}

bool TArchiverListModel::Flat() const
{
    return fOptions.ObjectTypes.count(TArchiveObjectType::atFolders) == 0;
}

// --- The shown place ---------------------------------------------------------

std::string TArchiverListModel::FileName() const
{
    return fArchiver ? fArchiver->OuterFileName() : std::string();
}

std::string TArchiverListModel::WatchedFolder() const
{
    return fArchiver ? ExtractFilePath(fArchiver->OuterFileName()) : std::string();
}

bool TArchiverListModel::HasFolder(const std::string& folder) const
{
    return fArchiver && fArchiver->Folders().find(folder) != fArchiver->Folders().end();
}

std::string TArchiverListModel::KnownFolder(std::string folder) const
{
    if (!folder.empty())
        folder = IncludeTrailingPathDelimiter(folder);
    while (!folder.empty() && !HasFolder(folder))
        folder = ParentFolderPath(folder);
    return folder;
}

void TArchiverListModel::UpdateDisplayPath()
{
    if (!fArchiver || !fArchiver->Parent())
        fDisplayPath = fCurrentFolder;
    else if (fCurrentFolder.empty())
        fDisplayPath = fArchiver->VirtualPath();
    else
        fDisplayPath = fArchiver->VirtualPath() + std::string(ArchiveDelim) + fCurrentFolder;
}

void TArchiverListModel::SetArchive(TArchiverPtr archiver, const std::string& folder)
{
    if (fBusy)
        return;
    if (!archiver) {
        if (!fArchiver && fRows.empty())
            return;
        Notify(TArchiverListChangeKind::acReset, TChangePhase::cpBefore);
        fRows.clear();
        fKeys.clear();
        fSelection = {};
        fCurrentFolder.clear();
        fDisplayPath.clear();
        // The chain goes level by level as its last holder lets go; levels
        // another view still holds stay open.
        fArchiver.reset();
        Notify(TArchiverListChangeKind::acReset, TChangePhase::cpAfter);
        return;
    }
    const std::string previousFolder = fCurrentFolder;
    const TArchiverPtr previous = fArchiver;
    fArchiver = std::move(archiver);
    fCurrentFolder = KnownFolder(folder);
    if (fArchiver == previous && fCurrentFolder == previousFolder)
        return;
    UpdateDisplayPath();
    Relist({});
}

bool TArchiverListModel::ShowArchive(const std::string& fileName, const std::string& innerPath, bool keepParent)
{
    if (fBusy)
        return false;
    // The inner path names a folder ("x/", "b.zip//x/"), or an inner
    // archive whose top is shown ("b.zip").
    std::string archivePart, folder;
    if (innerPath.empty() || innerPath.back() == '/')
        SplitVirtualPath(innerPath, archivePart, folder);
    else
        archivePart = innerPath;
    TArchiveEnv env = fEnv;
    if (fArchiver && !env.Loaders)
        env = fArchiver->Env();
    TArchiverPtr archiver;
    try {
        archiver = ResolveVirtualPath(env, fileName, archivePart, fArchiver, keepParent);
    } catch (const std::exception&) {
        archiver = nullptr;
    }
    if (!archiver)
        return false;
    const bool complete = archivePart.empty() ? archiver->Parent() == nullptr
                                              : archiver->VirtualPath() == archivePart;
    if (!complete) {
        // The deepest level reached, at the folder that holds the level that
        // failed: "b.zip//sub/c.zip" failed at c.zip shows b.zip at "sub/".
        std::string rest = archivePart;
        if (!archiver->VirtualPath().empty())
            rest = rest.substr(std::min(rest.size(), archiver->VirtualPath().size() + 2));
        const size_t delim = rest.find(ArchiveDelim);
        if (delim != std::string::npos)
            rest.erase(delim);
        SetArchive(archiver, Flat() ? std::string() : ExtractFilePath(rest));
        return false;
    }
    SetArchive(archiver, folder);
    return true;
}

void TArchiverListModel::SetFolder(const std::string& folder)
{
    if (fBusy || !fArchiver)
        return;
    const std::string known = KnownFolder(folder);
    if (known == fCurrentFolder)
        return;
    fCurrentFolder = known;
    UpdateDisplayPath();
    Relist({});
}

TArchiverGoUp TArchiverListModel::GoUp()
{
    if (fBusy || !fArchiver)
        return TArchiverGoUp::guNothing;
    if (!fCurrentFolder.empty()) {
        SetFolder(ParentFolderPath(fCurrentFolder));
        return TArchiverGoUp::guFolder;
    }
    if (fArchiver->Parent()) {
        FallBack(*fArchiver);
        return TArchiverGoUp::guParent;
    }
    Leave();
    return TArchiverGoUp::guLeave;
}

void TArchiverListModel::FallBack(const TArchiver& level)
{
    if (!level.Parent()) {
        Leave();
        return;
    }
    SetArchive(level.Parent(), Flat() ? std::string() : level.ParentFolder());
}

void TArchiverListModel::Leave()
{
    if (OnLeaveArchive)
        OnLeaveArchive();
    SetArchive(nullptr, {});
}

TArchiverOpen TArchiverListModel::OpenSelected()
{
    if (fBusy || !fArchiver)
        return TArchiverOpen::aoNothing;
    const int row = OpenedRow(fSelection);
    const TArchiverListRow* selected = Row(row);
    if (!selected)
        return TArchiverOpen::aoNothing;
    const TArchiveFileInfo record = selected->Record;
    if (record.IsFolder()) {
        SetFolder(record.Path);
        return TArchiverOpen::aoFolder;
    }
    const TLoaderSetPtr& loaders = fArchiver->Env().Loaders;
    if (loaders && loaders->IsArchiveExtension(ExtractFileExt(record.Name))) {
        const std::string member = record.Path + record.Name;
        const std::string inner =
            fArchiver->Parent() ? fArchiver->VirtualPath() + std::string(ArchiveDelim) + member : member;
        if (ShowArchive(fArchiver->OuterFileName(), inner, false))
            return TArchiverOpen::aoArchive;
    }
    if (OnSelectedFile)
        OnSelectedFile(row);
    return TArchiverOpen::aoFile;
}

void TArchiverListModel::Reload(bool checkStamps)
{
    if (fBusy || !fArchiver)
        return;
    TSelectionMemory memory = SaveMemory();
    const TArchiverPtr shown = fArchiver;
    if (checkStamps) {
        for (TArchiver* level : ChainOf(shown.get())) {
            const TLoaderSetPtr& loaders = level->Env().Loaders;
            if (!loaders || !loaders->FindArchiveLoaderFor(level->FileName())) {
                FallBack(*level);
                return;
            }
        }
    }
    try {
        fBusy = true;
        shown->Reload();
        fBusy = false;
    } catch (const std::exception&) {
        fBusy = false;
        FallBack(*shown);
        return;
    }
    const std::string folder = KnownFolder(fCurrentFolder);
    const bool same = folder == fCurrentFolder;
    if (!same) {
        fCurrentFolder = folder;
        UpdateDisplayPath();
        memory = {};
    }
    Relist(memory);
    if (same && OnRefresh)
        OnRefresh();
}

void TArchiverListModel::ApplyFileChange(const TArchiveFileChange& change)
{
    if (fBusy || !fArchiver || change.Name != fArchiver->OuterFileName())
        return;
    TArchiver* outer = fArchiver->Root() ? fArchiver->Root() : fArchiver.get();
    switch (change.Kind) {
    case TArchiveFileChangeKind::afRenamed: {
        const std::string oldName = outer->FileName();
        // Inner archives hold the file open under its old name, and this
        // system lets it be renamed all the same: the chain is opened again
        // under the new name rather than read from a name that is gone.
        if (!outer->SetFileName(change.NewName))
            Reopen(change.NewName);
        if (OnFileRenamed)
            OnFileRenamed(change.NewName, oldName);
        break;
    }
    case TArchiveFileChangeKind::afRemoved:
        Leave();
        break;
    case TArchiveFileChangeKind::afModified:
        Reopen(outer->FileName());
        break;
    }
}

void TArchiverListModel::Reopen(std::string fileName)
{
    // The new chain is opened before the old one is let go, so that a file
    // caught half-written leaves the list as it was.
    const TArchiveEnv env = fArchiver->Env();
    const std::string place = fDisplayPath;
    const TSelectionMemory memory = SaveMemory();
    std::string archivePart, folder;
    if (place.empty() || place.back() == '/')
        SplitVirtualPath(place, archivePart, folder);
    else
        archivePart = place;
    TArchiverPtr reopened;
    try {
        reopened = ResolveVirtualPath(env, fileName, archivePart, nullptr, fOptions.KeepParent);
    } catch (const std::exception&) {
        // Errors here are passed over: the list keeps what it showed.
    }
    if (!reopened)
        return;
    const bool complete = archivePart.empty() ? reopened->Parent() == nullptr
                                              : reopened->VirtualPath() == archivePart;
    fArchiver = std::move(reopened);
    fCurrentFolder = complete ? KnownFolder(folder) : std::string();
    UpdateDisplayPath();
    Relist(complete ? memory : TSelectionMemory{});
}

// --- Listing -------------------------------------------------------------------

void TArchiverListModel::Relist(const TSelectionMemory& memory)
{
    fBusy = true;
    Notify(TArchiverListChangeKind::acReset, TChangePhase::cpBefore);
    fRows.clear();
    fKeys.clear();
    fSelection = {};
    if (fArchiver) {
        std::vector<TArchiveFileInfo*> records;
        fArchiver->ListFolder(fCurrentFolder, fOptions.ObjectTypes, records);
        const bool flat = Flat();
        fRows.reserve(records.size());
        for (const TArchiveFileInfo* record : records) {
            // The folder's own record is not one of its rows.
            if (record->IsFolder() && record->Path == fCurrentFolder)
                continue;
            if (OnAddFile && !OnAddFile(*record))
                continue;
            TArchiverListRow row;
            row.Record = *record;
            row.DisplayName = record->IsFolder() ? FolderName(record->Path) : record->Name;
            row.Key = record->IsFolder() ? WithoutTrailingSlash(record->Path) : record->Path + record->Name;
            if (flat && !record->IsFolder()) {
                const std::string relative = record->Path.compare(0, fCurrentFolder.size(), fCurrentFolder) == 0
                                                 ? record->Path.substr(fCurrentFolder.size())
                                                 : record->Path;
                row.Caption = relative + row.DisplayName;
            } else {
                row.Caption = row.DisplayName;
            }
            fRows.push_back(std::move(row));
        }
    }
    Sort();
    RebuildKeys();
    fSelection = RestoreSelection(memory, Count(), [this](const std::string& key) { return IndexOfKey(key); });
    fBusy = false;
    Notify(TArchiverListChangeKind::acReset, TChangePhase::cpAfter);
}

void TArchiverListModel::RebuildKeys()
{
    fKeys.clear();
    for (int i = 0; i < Count(); ++i)
        fKeys.emplace(fRows[static_cast<size_t>(i)].Key, i);
}

const std::string& TArchiverListModel::TypeName(const TArchiverListRow& row) const
{
    if (!row.TypeName) {
        const TArchiveFileInfo& record = row.Record;
        if (fOptions.TypeByExtension || !fInfo)
            row.TypeName = record.IsFolder() ? Tx(FolderTypeName) : LowerCase(ExtractFileExt(record.Name));
        else
            // Asked by name alone: the member is no file on disk.
            row.TypeName = fInfo->TypeName(record.IsFolder() ? record.Path : record.Path + record.Name,
                                           record.IsFolder());
    }
    return *row.TypeName;
}

int TArchiverListModel::Compare(const TArchiverListRow& a, const TArchiverListRow& b) const
{
    const bool aFolder = a.Record.IsFolder();
    if (aFolder != b.Record.IsFolder())
        return Directed(aFolder ? -1 : 1, fSort.Dir);
    int order = 0;
    switch (static_cast<TArchiverListColumn>(fSort.Index)) {
    case TArchiverListColumn::alSize:
        order = a.Record.Size < b.Record.Size ? -1 : (a.Record.Size > b.Record.Size ? 1 : 0);
        break;
    case TArchiverListColumn::alType:
        order = CompareNames(TypeName(a), TypeName(b));
        break;
    case TArchiverListColumn::alTime:
        order = CompareNumbers(a.Record.Time, b.Record.Time);
        break;
    default:
        break;
    }
    if (order == 0) {
        // Flat captions hold the path below the shown folder, so they order
        // chapter by chapter; in a folder they are the names.
        const std::string& aName = aFolder ? a.Key : a.Caption;
        const std::string& bName = aFolder ? b.Key : b.Caption;
        order = CompareNames(aName, bName);
        // Names that differ only in case keep byte order, so a listing is the
        // same every time.
        if (order == 0)
            order = a.Key.compare(b.Key) < 0 ? -1 : (a.Key == b.Key ? 0 : 1);
    }
    return Directed(order, fSort.Dir);
}

void TArchiverListModel::Sort()
{
    // Unsorted rows keep the archive's order.
    if (fSort.Index < 0 || fSort.Dir == TSortDir::sdNone)
        return;
    std::stable_sort(fRows.begin(), fRows.end(),
                     [this](const TArchiverListRow& a, const TArchiverListRow& b) { return Compare(a, b) < 0; });
}

// --- Rows ---------------------------------------------------------------------------

const TArchiverListRow* TArchiverListModel::Row(int row) const
{
    return row >= 0 && row < Count() ? &fRows[static_cast<size_t>(row)] : nullptr;
}

std::string TArchiverListModel::Text(int row, int column)
{
    if (row < 0 || row >= Count())
        return {};
    TArchiverListRow& item = fRows[static_cast<size_t>(row)];
    switch (static_cast<TArchiverListColumn>(column)) {
    case TArchiverListColumn::alName:
        return item.Caption;
    case TArchiverListColumn::alSize:
        return item.Record.IsFolder() ? std::string() : FormatSizeColumn(item.Record.Size, fOptions.SizeUnit);
    case TArchiverListColumn::alType:
        return TypeName(item);
    case TArchiverListColumn::alTime:
        return item.Record.Time == -1.0 ? std::string() : FormatDateTime(item.Record.Time);
    }
    return {};
}

int TArchiverListModel::IconIndex(int row) const
{
    const TArchiverListRow* item = Row(row);
    if (!item || !fInfo)
        return -1;
    const TArchiveFileInfo& record = item->Record;
    return fInfo->IconIndex(record.Path + record.Name, record.IsFolder(), false, true);
}

int TArchiverListModel::IndexOfKey(const std::string& key) const
{
    const auto found = fKeys.find(key);
    return found == fKeys.end() ? -1 : found->second;
}

std::vector<TArchiverListColumnInfo> TArchiverListModel::Columns() const
{
    static const char* const captions[ArchiverListColumnCount] = {"名前", "サイズ", "種類", "更新日時"};
    const bool saved = fSavedWidths.size() > 3;
    std::vector<TArchiverListColumnInfo> columns;
    for (int i = 0; i < ArchiverListColumnCount; ++i) {
        TArchiverListColumnInfo column;
        column.Caption = captions[i];
        column.RightAligned = i == static_cast<int>(TArchiverListColumn::alSize);
        column.Width = saved ? std::max(0, fSavedWidths[static_cast<size_t>(i)]) : DefaultWidths[i];
        columns.push_back(std::move(column));
    }
    return columns;
}

// --- Sorting ----------------------------------------------------------------------------

void TArchiverListModel::SetSortOrder(const TSortOrder& order)
{
    if (fBusy)
        return;
    const TSelectionMemory memory = SaveMemory();
    Notify(TArchiverListChangeKind::acSorted, TChangePhase::cpBefore);
    fSort = order;
    Sort();
    RebuildKeys();
    fSelection = RestoreSelection(memory, Count(), [this](const std::string& key) { return IndexOfKey(key); });
    Notify(TArchiverListChangeKind::acSorted, TChangePhase::cpAfter);
}

void TArchiverListModel::ClickColumn(int column)
{
    const TSortOrder next = ClickSort(fSort, column, fOptions.SortDirs);
    if (next != fSort)
        SetSortOrder(next);
}

// --- Selection --------------------------------------------------------------------------

TSelectionMemory TArchiverListModel::SaveMemory() const
{
    return SaveSelection(fSelection, [this](int row) {
        const TArchiverListRow* item = Row(row);
        return item ? item->Key : std::string();
    });
}

void TArchiverListModel::Select(TListSelection selection, TArchiverListObserver* originator)
{
    const int count = Count();
    std::erase_if(selection.Selected, [count](int i) { return i < 0 || i >= count; });
    std::sort(selection.Selected.begin(), selection.Selected.end());
    selection.Selected.erase(std::unique(selection.Selected.begin(), selection.Selected.end()),
                             selection.Selected.end());
    if (selection.Focused < 0 || selection.Focused >= count)
        selection.Focused = -1;
    if (selection == fSelection)
        return;
    fSelection = std::move(selection);
    fObservers.SetOriginator(originator);
    Notify(TArchiverListChangeKind::acSelection, TChangePhase::cpAfter);
    fObservers.SetOriginator(nullptr);
}

int TArchiverListModel::FindByPrefix(const std::string& text, int start, bool wrap) const
{
    return ::FindByPrefix(Count(), start, text, wrap,
                          [this](int row) { return fRows[static_cast<size_t>(row)].DisplayName; });
}
