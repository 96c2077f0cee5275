#include "shellviews/ShellList.h"

#include <algorithm>
#include <chrono>
#include <unordered_set>

#include "app/Init.h"
#include "base/Errors.h"
#include "base/PathUtils.h"
#include "collections/CategoryFolder.h"
#include "collections/CompareNames.h"
#include "collections/GroupFolder.h"
#include "collections/MediaFolder.h"
#include "collections/Search.h"
#include "collections/Shelf.h"
#include "common/ByteSize.h"
#include "shellviews/SizeText.h"
#include "common/DateTime.h"
#include "common/Text.h"
#include "platform/FileSystem.h"
#include "shellviews/DirNotify.h"
#include "shellviews/ListDetails.h"
#include "base/Texts.h"

namespace {

using enum TListContent;

std::string PlainPath(const std::string& path)
{
    return ExcludeTrailingPathDelimiter(path);
}

// The folder an item lies in, without its trailing separator ("/" for the
// items of "/").
std::string DirOf(const std::string& plainPath)
{
    return ExcludeTrailingPathDelimiter(ExtractFilePath(plainPath));
}

// The length of DirOf(plainPath), which is always its beginning.
uint32_t DirLengthOf(std::string_view plainPath)
{
    const size_t slash = plainPath.rfind('/');
    if (slash == std::string_view::npos)
        return 0;
    size_t length = slash + 1;
    while (length > 1 && plainPath[length - 1] == '/')
        --length;
    return static_cast<uint32_t>(length);
}

// The details of a large folder arrive in slices of this many rows, so that
// taking one in (and the browser following it) stays a short step of the
// user-interface thread.
constexpr size_t DetailSlice = 20000;

// How long one step may apply queued changes before it lets the event loop
// run again.
constexpr std::chrono::milliseconds ChangeSliceTime{20};

bool IsHiddenName(const std::string& name)
{
    return name.size() > 1 && name[0] == '.';
}


int Sign(int value)
{
    return (value > 0) - (value < 0);
}

template <typename T>
int Compare(const T& a, const T& b)
{
    return (b < a) - (a < b);
}

// The lists whose column 1 is the folder an item lies in.
bool HasFolderColumn(TListContent content)
{
    return content == lcoShelf || content == lcoCategory || content == lcoSearch;
}

bool IsCollectionContent(TListContent content)
{
    return content == lcoShelves || content == lcoMedia || content == lcoCategories;
}

std::string RenameFailed(const std::string& name)
{
    return name + Tx(" への名称変更に失敗しました  ");
}

}  // namespace

// One row of a node list. What sorting needs is read once when the row is
// made, so that sorting a large folder calls no getter of the node. A large
// folder holds a hundred thousand of them: nothing is kept twice, and the
// texts are made only for the rows that are shown.
struct TShellListModel::TRow {
    std::unique_ptr<TShellFolder> Node;
    std::string Key;   // the plain path; a catalogue record's relative path
    std::string Name;  // the caption
    // The row's place in the name order (ties on a name share one), so
    // that the other columns' ties compare two integers; -1 until ranked.
    int NameRank = -1;
    // The folder column, the directory the item lies in, is the beginning
    // of Key.
    uint32_t DirLength = 0;
    int64_t Size = 0;
    TDateTime Modified = 0;
    uint64_t Seq = 0;  // the listing order
    mutable int Position = 0;  // the row number, while fPositionsKnown
    int DetailSlot = -1;       // its place in fPendingDetails, while read there
    TFileKind Kind = TFileKind::fkNone;
    bool Directory = false;
    bool NoData = false;
    bool Link = false;  // as far as the node knows without asking
    bool SubCategory = false;  // Key is the category's path, the node's path is empty
    // Size, Modified, NoData and Kind come from the disk; a fast listing
    // leaves them to be read later.
    bool DetailsKnown = false;
    bool TypeRead = false;
    bool Filled = false;
    std::string Type;
    std::vector<std::string> Texts;  // detail columns from 1 on

    std::string_view Dir() const { return std::string_view(Key).substr(0, DirLength); }
};

// A place being listed; it replaces the shown one only when listing worked.
struct TShellListModel::TListing {
    TListContent Content = lcoNone;
    TShellStyle Style = TShellStyle::ssNone;
    std::unique_ptr<TShellFolder> Folder;
    int ListIndex = -1;
    TCustomFolder* Shown = nullptr;
    std::string MediumPath;
    std::string MemberPath;  // a folder listed from a shelf: the member it lies in
    std::string CategoryPath;  // a category's sub-category, "" for its top
    std::vector<std::unique_ptr<TRow>> Rows;
};

TListGroup ListGroupOf(TListContent content)
{
    switch (content) {
    case lcoShelves:
        return TListGroup::lgShelves;
    case lcoShelf:
        return TListGroup::lgShelf;
    case lcoMedia:
        return TListGroup::lgMedia;
    case lcoCategory:
        return TListGroup::lgCategory;
    case lcoCategories:
        return TListGroup::lgCategories;
    case lcoSearch:
        return TListGroup::lgSearch;
    default:
        return TListGroup::lgFolder;
    }
}

const std::vector<TListColumn>& ListColumns(TListContent content)
{
    using enum TColumnAlign;
    static const std::vector<TListColumn> folder = {
        {"名前", caLeft, 25}, {"サイズ", caRight, 10}, {"種類", caLeft, 10}, {"更新日時", caLeft, 14}};
    static const std::vector<TListColumn> shelves = {{"名前", caLeft, 25}, {"コメント", caLeft, 30}};
    static const std::vector<TListColumn> members = {{"名前", caLeft, 25},
                                                     {"フォルダ名", caLeft, 30},
                                                     {"サイズ", caRight, 10},
                                                     {"種類", caLeft, 10},
                                                     {"更新日時", caLeft, 14}};
    static const std::vector<TListColumn> media = {{"名前", caLeft, 25},
                                                   {"コメント", caLeft, 30},
                                                   {"合計サイズ", caRight, 15},
                                                   {"空き領域", caRight, 15},
                                                   {"更新日時", caLeft, 14}};
    static const std::vector<TListColumn> categories = {
        {"名前", caLeft, 25}, {"コメント", caLeft, 30}, {"分類", caLeft, 5}};
    switch (content) {
    case lcoShelves:
        return shelves;
    case lcoShelf:
    case lcoCategory:
    case lcoSearch:
        return members;
    case lcoMedia:
        return media;
    case lcoCategories:
        return categories;
    default:
        return folder;
    }
}

TShellListOptions ShellListOptionsFrom(const TOptions& options)
{
    TShellListOptions result;
    result.ShowHidden = options.List.HiddenFile;
    result.SizeUnit = options.FilerView.SizeUnit;
    result.TypeByExtension = options.FilerView.ExtTypeName;
    result.EditExtension = !options.List.NoChangeExt;
    result.AddExtension = options.List.AddExt;
    result.AutoRefresh = options.List.AutoRefresh;
    return result;
}

// ---- Construction ------------------------------------------------------------------------------

TShellListModel::TShellListModel(const TShellListSources& sources) : fSources(sources)
{
    // The collection lists start with no sort column: they keep their own
    // order until a column is clicked.
    for (TListGroup group : {TListGroup::lgShelves, TListGroup::lgMedia, TListGroup::lgCategories})
        fOrders[static_cast<size_t>(group)].Index = -1;
}

TShellListModel::~TShellListModel()
{
    StopDetailReader();
    Follow(nullptr);
    if (fSources.Notifier)
        fSources.Notifier->RemoveHandler(this);
    // The rows hang below the listed folder; they go first.
    fRows.clear();
}

void TShellListModel::Notify(const TFileListChange& change)
{
    fObservers.Notify([&](TShellListObserver& observer) { observer.ListChanged(*this, change); });
}

bool TShellListModel::IsNodeList() const
{
    return !IsCollectionContent(fContent) && fContent != lcoNone;
}

TCustomFolderList* TShellListModel::ListOfContent(TListContent content) const
{
    switch (content) {
    case lcoShelves:
    case lcoShelf:
        return fSources.Shelves;
    case lcoMedia:
    case lcoMediumRoot:
    case lcoMediumFolder:
        return fSources.Media;
    case lcoCategories:
    case lcoCategory:
        return fSources.Categories;
    default:
        return nullptr;
    }
}

TCustomFolderList* TShellListModel::CollectionList() const
{
    return IsCollectionContent(fContent) ? ListOfContent(fContent) : nullptr;
}

void TShellListModel::Follow(TCustomFolderList* list)
{
    if (list == fFollowed)
        return;
    if (fFollowed)
        fFollowed->UnregisterObserver(this);
    fFollowed = list;
    if (fFollowed)
        fFollowed->RegisterObserver(this);
}

void TShellListModel::SetOptions(const TShellListOptions& options)
{
    if (options == fOptions)
        return;
    const TShellListOptions old = fOptions;
    fOptions = options;
    if (old.ShowHidden != options.ShowHidden || old.TypeByExtension != options.TypeByExtension) {
        Refresh();
    } else if (old.SizeUnit != options.SizeUnit) {
        for (auto& row : fRows)
            row->Filled = false;
        ChangedRows(0, static_cast<int>(fRows.size()));
    }
    if (old.AutoRefresh != options.AutoRefresh) {
        if (options.AutoRefresh)
            StartWatching();
        else
            StopWatching();
    }
}

// ---- Places ------------------------------------------------------------------------------------

bool TShellListModel::SetFolder(const std::string& path)
{
    if (!IsAbsolutePath(path)) {
        fLastError = Tx("パス設定エラー : \"") + path + "\"";
        return false;
    }
    TListing listing;
    listing.Content = lcoFolder;
    listing.Style = TShellStyle::ssFolder;
    listing.Folder = TShellFolder::CreateFromPath(nullptr, PlainPath(NormalizePath(path)), fSources.Info);
    listing.Folder->SetIsDirectory(true);
    return Install(std::move(listing), false);
}

bool TShellListModel::SetRoot()
{
    TListing listing;
    listing.Content = lcoFolder;
    listing.Style = TShellStyle::ssFolder;
    listing.Folder = TShellFolder::CreateRoot(fSources.Info);
    return Install(std::move(listing), false);
}

bool TShellListModel::SetShelves()
{
    TListing listing;
    listing.Content = lcoShelves;
    listing.Style = TShellStyle::ssGroup;
    return Install(std::move(listing), false);
}

bool TShellListModel::SetShelf(int index)
{
    TListing listing;
    listing.Content = lcoShelf;
    listing.Style = TShellStyle::ssGroup;
    listing.ListIndex = index;
    return Install(std::move(listing), false);
}

bool TShellListModel::SetSearch(TGroupFolder& results)
{
    TListing listing;
    listing.Content = lcoSearch;
    listing.Style = TShellStyle::ssSearch;
    listing.Shown = &results;
    return Install(std::move(listing), false);
}

void TShellListModel::SearchResultsAdded(int first, int count)
{
    auto* results = static_cast<TGroupFolder*>(fShown);
    if (fContent != lcoSearch || !results || first < 0)
        return;
    std::vector<std::unique_ptr<TRow>> rows;
    for (int i = first; i < first + count && i < results->Count(); ++i) {
        if (auto row = MemberRow(*results, i))
            rows.push_back(std::move(row));
    }
    AppendRows(std::move(rows));
}

bool TShellListModel::SetMedia()
{
    TListing listing;
    listing.Content = lcoMedia;
    listing.Style = TShellStyle::ssMedia;
    return Install(std::move(listing), false);
}

bool TShellListModel::SetMedium(int index, const std::string& path)
{
    TListing listing;
    listing.MediumPath = CataloguePath(path);
    listing.Content = listing.MediumPath.empty() ? lcoMediumRoot : lcoMediumFolder;
    listing.Style = TShellStyle::ssMedia;
    listing.ListIndex = index;
    return Install(std::move(listing), false);
}

bool TShellListModel::SetCategories()
{
    TListing listing;
    listing.Content = lcoCategories;
    listing.Style = TShellStyle::ssCategory;
    return Install(std::move(listing), false);
}

bool TShellListModel::SetCategory(int index, std::string path)
{
    TListing listing;
    listing.Content = lcoCategory;
    listing.Style = TShellStyle::ssCategory;
    listing.ListIndex = index;
    while (!path.empty() && path.back() == '/')
        path.pop_back();
    listing.CategoryPath = std::move(path);
    return Install(std::move(listing), false);
}

bool TShellListModel::SetPlace(const TTreePlace& place)
{
    using enum TTreePlaceKind;
    switch (place.Kind) {
    case tpRoot:
        return SetRoot();
    case tpFolder:
        return SetFolder(place.Path);
    case tpArchive:
        return SetFolder(ExtractFilePath(PlainPath(place.Path)));
    case tpShelves:
        return SetShelves();
    case tpShelf:
        return SetShelf(place.ListIndex);
    case tpShelfMember:
    case tpShelfFolder: {
        TGroupFolder* shelf = fSources.Shelves ? fSources.Shelves->Group(place.ListIndex) : nullptr;
        if (!shelf || !IsAbsolutePath(place.Path)) {
            fLastError = Tx("パス設定エラー : \"") + place.Path + "\"";
            return false;
        }
        TListing listing;
        listing.Content = lcoFolder;
        listing.Style = TShellStyle::ssFolder;
        listing.Folder = TShellFolder::CreateFromPath(nullptr, PlainPath(NormalizePath(place.Path)), fSources.Info);
        listing.Folder->SetIsDirectory(true);
        listing.ListIndex = place.ListIndex;
        listing.Shown = shelf;
        listing.MemberPath = PlainPath(place.Kind == tpShelfMember ? place.Path : place.MemberPath);
        return Install(std::move(listing), false);
    }
    case tpMedia:
        return SetMedia();
    case tpMedium:
        return SetMedium(place.ListIndex);
    case tpMediumFolder:
        return SetMedium(place.ListIndex, place.Path);
    case tpCategories:
        return SetCategories();
    case tpCategory:
        return SetCategory(place.ListIndex);
    case tpCategoryItem:
        return SetCategory(place.ListIndex, place.Path);
    case tpNone:
        break;
    }
    fLastError.clear();
    return false;
}

TTreePlace TShellListModel::Place() const
{
    using enum TTreePlaceKind;
    TTreePlace place;
    place.ListIndex = fListIndex;
    switch (fContent) {
    case lcoFolder:
        if (fFolder->IsRoot()) {
            place.Kind = tpRoot;
            break;
        }
        place.Path = IncludeTrailingPathDelimiter(fFolder->GetPath());
        if (fShown) {
            const bool member = PlainPath(fFolder->GetPath()) == fMemberPath;
            place.Kind = member ? tpShelfMember : tpShelfFolder;
            if (!member)
                place.MemberPath = IncludeTrailingPathDelimiter(fMemberPath);
        } else {
            place.Kind = tpFolder;
            place.ListIndex = -1;
        }
        break;
    case lcoShelves:
        place.Kind = tpShelves;
        break;
    case lcoShelf:
        place.Kind = tpShelf;
        break;
    case lcoMedia:
        place.Kind = tpMedia;
        break;
    case lcoMediumRoot:
        place.Kind = tpMedium;
        break;
    case lcoMediumFolder:
        place.Kind = tpMediumFolder;
        place.Path = fMediumPath + "/";
        break;
    case lcoCategories:
        place.Kind = tpCategories;
        break;
    case lcoCategory:
        place.Kind = fCategoryPath.empty() ? tpCategory : tpCategoryItem;
        if (!fCategoryPath.empty())
            place.Path = fCategoryPath + "/";
        break;
    default:
        break;
    }
    return place;
}

bool TShellListModel::Refresh()
{
    if (fContent == lcoNone)
        return true;
    TListing listing;
    listing.Content = fContent;
    listing.Style = fStyle;
    listing.ListIndex = fListIndex;
    listing.Shown = fShown;
    listing.MediumPath = fMediumPath;
    listing.MemberPath = fMemberPath;
    listing.CategoryPath = fCategoryPath;
    if (fFolder) {
        listing.Folder = fFolder->IsRoot() ? TShellFolder::CreateRoot(fSources.Info)
                                           : TShellFolder::CreateFromPath(nullptr, fFolder->GetPath(), fSources.Info);
        if (!fFolder->IsRoot())
            listing.Folder->SetIsDirectory(true);
    }
    return Install(std::move(listing), true);
}

bool TShellListModel::GoUp()
{
    switch (fContent) {
    case lcoFolder: {
        if (fFolder->IsRoot())
            return false;
        const std::string path = PlainPath(fFolder->GetPath());
        if (fShown && path == fMemberPath)
            return SetShelf(fListIndex);
        if (path == "/")
            return SetRoot();
        const std::string parent = DirOf(path);
        if (fShown) {
            TTreePlace place;
            place.Kind = TTreePlaceKind::tpShelfFolder;
            place.Path = parent;
            place.ListIndex = fListIndex;
            place.MemberPath = fMemberPath;
            if (parent == fMemberPath)
                place.Kind = TTreePlaceKind::tpShelfMember;
            return SetPlace(place);
        }
        return SetFolder(parent);
    }
    case lcoShelf:
        return SetShelves();
    case lcoMediumRoot:
        return SetMedia();
    case lcoMediumFolder:
        return SetMedium(fListIndex, CatalogueParent(fMediumPath));
    case lcoCategory:
        if (!fCategoryPath.empty()) {
            const size_t slash = fCategoryPath.rfind('/');
            return SetCategory(fListIndex, slash == std::string::npos ? std::string() : fCategoryPath.substr(0, slash));
        }
        return SetCategories();
    default:
        return false;
    }
}

// ---- Listing -----------------------------------------------------------------------------------

bool TShellListModel::Install(TListing listing, bool keepSelection)
{
    fLastError.clear();
    // The new folder is watched before it is listed, so that a file made
    // while the listing runs is not missed: it arrives as an addition of a
    // listed name, which counts as a modification.
    std::string watch;
    if (listing.Content == lcoFolder && fOptions.AutoRefresh && fSources.Notifier && !listing.Folder->IsRoot())
        watch = PlainPath(listing.Folder->GetPath());
    const bool newWatch = !watch.empty() && watch != fWatchedFolder;
    if (newWatch) {
        fSources.Notifier->AddHandler(this, [this](const TNotifyInfo& record) { QueueChange(record); });
        fSources.Notifier->Watch(this, watch, FileListFilter, false);
    }
    if (!TryList(listing)) {
        if (newWatch)
            fSources.Notifier->Unwatch(this, watch);
        return false;
    }
    if (!fWatchedFolder.empty() && fWatchedFolder != watch)
        fSources.Notifier->Unwatch(this, fWatchedFolder);
    fWatchedFolder = watch;
    fWatching = !watch.empty();

    TSelectionMemory memory;
    if (keepSelection)
        memory = SaveSelectionMemory();
    Notify({.Kind = TFileListChangeKind::fcReset, .Phase = TChangePhase::cpBefore});
    const bool contentChanged = listing.Content != fContent;
    StopDetailReader();
    fRows = std::move(listing.Rows);
    fFolder = std::move(listing.Folder);
    fContent = listing.Content;
    fStyle = listing.Style;
    fListIndex = listing.ListIndex;
    fShown = listing.Shown;
    fMediumPath = std::move(listing.MediumPath);
    fMemberPath = std::move(listing.MemberPath);
    fCategoryPath = std::move(listing.CategoryPath);
    InvalidateIndex();
    if (IsCollectionContent(fContent)) {
        fCollectionCount = CollectionList()->Count();
        if (contentChanged)
            GroupOrder().Index = -1;
    } else {
        fCollectionCount = 0;
    }
    Follow(fShown ? fShown->Owner() : CollectionList());
    if (IsNodeList())
        SortRows();
    fSelection = {};
    RestoreSelectionMemory(memory, false);
    Notify({.Kind = TFileListChangeKind::fcReset, .Phase = TChangePhase::cpAfter});
    Notify({.Kind = TFileListChangeKind::fcSelection});
    StartDetailReader();
    return true;
}

bool TShellListModel::TryList(TListing& listing)
{
    try {
        switch (listing.Content) {
        case lcoFolder:
            ListFolder(listing);
            break;
        case lcoShelves:
        case lcoMedia:
        case lcoCategories:
            if (!ListOfContent(listing.Content))
                throw EMirevaError(Tx("一覧がありません"));
            break;
        case lcoShelf: {
            TGroupFolder* shelf = fSources.Shelves ? fSources.Shelves->Group(listing.ListIndex) : nullptr;
            if (!shelf)
                throw EMirevaError(Tx("本棚がありません"));
            listing.Shown = shelf;
            ListMembers(listing, *shelf);
            break;
        }
        case lcoCategory: {
            TCategoryFolder* category =
                fSources.Categories ? fSources.Categories->Category(listing.ListIndex) : nullptr;
            if (!category)
                throw EMirevaError(Tx("カテゴリがありません"));
            if (!category->Loaded && OnCategoryLoading)
                OnCategoryLoading(*category);
            listing.Shown = category;
            // A sorted category lists the categories below the one shown,
            // then its files (and those of the categories below it when it
            // says so); before it is sorted, everything gathered so far.
            if (category->CategoryTree().Empty()) {
                ListMembers(listing, *category);
            } else {
                for (const std::string& child : category->CategoryTree().Children(listing.CategoryPath))
                    listing.Rows.push_back(SubCategoryRow(child));
                category->ResolveAll();
                for (int member : category->MembersOf(listing.CategoryPath, category->ShowSubContents))
                    if (auto row = MemberRow(*category, member))
                        listing.Rows.push_back(std::move(row));
            }
            break;
        }
        case lcoMediumRoot:
        case lcoMediumFolder:
            ListMedium(listing);
            break;
        case lcoSearch:
            if (listing.Shown)
                ListMembers(listing, *static_cast<TGroupFolder*>(listing.Shown));
            break;
        default:
            break;
        }
    } catch (const std::exception& e) {
        fLastError = e.what();
        return false;
    }
    return true;
}

void TShellListModel::ListFolder(TListing& listing)
{
    TShellFolder& folder = *listing.Folder;
    if (folder.IsRoot()) {
        for (auto& child : ListChildren(folder, fOptions.ShowHidden)) {
            child->SetPlainTypeNames(fOptions.TypeByExtension);
            listing.Rows.push_back(MakeRow(std::move(child)));
        }
        return;
    }
    const std::string base = PlainPath(folder.GetPath());
    // With a worker to read them later, the sizes and dates are left out:
    // the name order needs only names and kinds.
    std::vector<TDirEntry> entries =
        ListDirectory(base, fSources.Dispatcher ? TListDetail::ldKinds : TListDetail::ldFull);
    listing.Rows.reserve(entries.size());
    for (TDirEntry& entry : entries) {
        if (!fOptions.ShowHidden && IsHiddenName(entry.Name))
            continue;
        auto node = TShellFolder::CreateFromPath(&folder, JoinPath(base, entry.Name), fSources.Info);
        // The listing has read each entry already; the node takes its data
        // from there instead of asking the disk again.
        if (entry.Detailed)
            node->SetListedStatus(entry.Status);
        else
            node->SetListedKind(entry.Status);
        node->SetPlainTypeNames(fOptions.TypeByExtension);
        auto row = MakeRow(std::move(node));
        row->Kind = entry.Status.Kind;
        listing.Rows.push_back(std::move(row));
    }
}

std::unique_ptr<TShellListModel::TRow> TShellListModel::MemberRow(TGroupFolder& group, int member)
{
    const TGroupFileInfo* info = group.ItemInfo(member);
    if (!info)
        return nullptr;
    std::unique_ptr<TShellFolder> node;
    if (info->Item.IsRoot()) {
        node = TShellFolder::CreateRoot(fSources.Info);
    } else {
        const std::string path = PlainPath(info->Path);
        node = TShellFolder::CreateFromPath(nullptr, path, fSources.Info);
        const TFileStatus status = QueryFile(path);
        node->SetListedStatus(status);
        if (status.Kind == TFileKind::fkNone) {
            // The member's file is gone; the row stays, dimmed, as the
            // member stays in the shelf.
            node->Missing = true;
            node->SetIsDirectory(info->IsDirectory);
        }
    }
    node->SetPlainTypeNames(fOptions.TypeByExtension);
    node->TargetIndex = info->ParentIndex;
    return MakeRow(std::move(node));
}

std::unique_ptr<TShellListModel::TRow> TShellListModel::SubCategoryRow(const std::string& path)
{
    // An empty path keeps the node away from the disk; it is a folder by
    // its data alone.
    auto node = TShellFolder::CreateFromPath(nullptr, std::string(), fSources.Info);
    node->SetFileData(0, 0, faDirectory);
    node->IconByType = true;
    node->SetPlainTypeNames(true);
    auto row = MakeRow(std::move(node));
    row->SubCategory = true;
    row->Key = path;
    row->DirLength = 0;
    const size_t slash = path.rfind('/');
    row->Name = slash == std::string::npos ? path : path.substr(slash + 1);
    return row;
}

void TShellListModel::ListMembers(TListing& listing, TGroupFolder& group)
{
    group.ResolveAll();
    for (int i = 0; i < group.Count(); ++i) {
        if (auto row = MemberRow(group, i))
            listing.Rows.push_back(std::move(row));
    }
}

void TShellListModel::ListMedium(TListing& listing)
{
    TMediaFolder* medium = fSources.Media ? fSources.Media->Medium(listing.ListIndex) : nullptr;
    if (!medium)
        throw EMirevaError(Tx("メディアがありません"));
    listing.Shown = medium;
    if (!medium->Loaded && OnMediaLoading)
        OnMediaLoading(*medium);
    // A catalogue that is still not in memory shows nothing.
    if (!medium->Loaded)
        return;
    // The catalogue's folder index gives the folder's records at once, however
    // large the disc.
    for (const TCtFileInfo* record : medium->ItemsOf(listing.MediumPath)) {
        const std::string path = CataloguePath(record->Path);
        if (path.empty())
            continue;
        std::unique_ptr<TShellFolder> node;
        if (medium->Inserted()) {
            // The disc is in a drive: the row is the real file, read from it.
            node = TShellFolder::CreateFromPath(nullptr, medium->LivePath() + "/" + path, fSources.Info);
            node->IconByType = true;
            node->SetIsDirectory(record->IsDirectory);
        } else {
            // The disc may be anywhere, or nowhere: the node never looks at
            // the disk, its data and icon come from the record.
            node = TShellFolder::Create(nullptr, record->Item, fSources.Info);
            node->IconByType = true;
            node->SetIsDirectory(record->IsDirectory);
            if (record->Attributes != -1)
                node->SetFileData(record->Size, record->Modified,
                                  static_cast<uint32_t>(record->Attributes) | (record->IsDirectory ? faDirectory : 0));
            else
                node->SetFileData(0, 0, record->IsDirectory ? faDirectory : 0);
        }
        node->SetPlainTypeNames(fOptions.TypeByExtension);
        auto row = MakeRow(std::move(node));
        row->Key = path;
        row->DirLength = DirLengthOf(row->Key);
        row->Name = ExtractFileName(path);
        row->NoData = !medium->Inserted() && record->Attributes == -1;
        listing.Rows.push_back(std::move(row));
    }
}

std::unique_ptr<TShellListModel::TRow> TShellListModel::MakeRow(std::unique_ptr<TShellFolder> node)
{
    auto row = std::make_unique<TRow>();
    row->Node = std::move(node);
    row->Seq = fNextSeq++;
    ReadKeys(*row);
    return row;
}

void TShellListModel::ReadKeys(TRow& row) const
{
    TShellFolder& node = *row.Node;
    // The path index looks at the key's characters: a row read again under
    // the same path keeps its string as it is.
    if (node.IsRoot()) {
        row.Key.clear();
    } else {
        const std::string& path = node.GetPath();
        const size_t plain = path.size() > 1 && path.back() == '/' ? PlainPath(path).size() : path.size();
        if (std::string_view(path).substr(0, plain) != row.Key)
            row.Key.assign(path, 0, plain);
    }
    row.Name = node.GetName();
    row.NameRank = -1;
    row.DirLength = DirLengthOf(row.Key);
    row.Directory = node.IsDirectory();
    row.Link = (node.KnownDisplayFlags() & dfLink) != 0;
    row.DetailsKnown = false;
    row.Kind = row.Directory ? TFileKind::fkFolder : TFileKind::fkFile;
    row.NoData = false;
    row.Size = 0;
    row.Modified = 0;
    row.TypeRead = false;
    row.Type.clear();
    row.Filled = false;
    row.Texts.clear();
    // What the node knows already (a listing read in full, a catalogue
    // record) is taken now; the rest waits until it is asked for.
    if (node.FileDataLoaded() || node.IsRoot() || node.GetPath().empty())
        ReadDetails(row);
}

void TShellListModel::ReadDetails(TRow& row) const
{
    if (row.DetailsKnown)
        return;
    TShellFolder& node = *row.Node;
    row.NoData = node.NoFileData();
    row.Size = node.GetSize();
    row.Modified = node.GetModified();
    const uint32_t attributes = node.GetAttributes();
    if (!node.IsRoot() && !node.GetPath().empty() && !node.Catalogued())
        row.Kind = row.NoData                         ? TFileKind::fkNone
                   : (attributes & faDirectory) != 0 ? TFileKind::fkFolder
                   : (attributes & faSysFile) != 0   ? TFileKind::fkOther
                                                      : TFileKind::fkFile;
    row.DetailsKnown = true;
}

void TShellListModel::ReadAllDetails()
{
    if (std::all_of(fRows.begin(), fRows.end(), [](const auto& row) { return row->DetailsKnown; }))
        return;
    // A sort by size or date cannot wait for the worker: what it has not
    // read yet is read here.
    StopDetailReader();
    for (auto& row : fRows)
        ReadDetails(*row);
}

void TShellListModel::StartDetailReader()
{
    if (!fSources.Dispatcher || fContent != lcoFolder || fFolder->IsRoot())
        return;
    std::vector<std::string> names;
    for (auto& row : fRows) {
        if (row->DetailsKnown)
            continue;
        row->DetailSlot = static_cast<int>(fPendingDetails.size());
        fPendingDetails.push_back(row.get());
        names.push_back(row->Name);
    }
    if (fPendingDetails.empty())
        return;
    fDetailReader = std::make_unique<TListDetailReader>(
        *fSources.Dispatcher, PlainPath(fFolder->GetPath()), std::move(names),
        [this](size_t first, std::vector<TFileStatus> statuses, bool failed) {
            DetailsArrived(first, std::move(statuses), failed);
        },
        DetailSlice);
}

void TShellListModel::StopDetailReader()
{
    if (fDetailReader)
        fDetailReader->Stop();
    fDetailReader.reset();
    for (TRow* row : fPendingDetails)
        if (row)
            row->DetailSlot = -1;
    fPendingDetails.clear();
}

void TShellListModel::ForgetPendingDetails(const TRow& row)
{
    if (row.DetailSlot >= 0 && static_cast<size_t>(row.DetailSlot) < fPendingDetails.size())
        fPendingDetails[static_cast<size_t>(row.DetailSlot)] = nullptr;
}

void TShellListModel::DetailsArrived(size_t first, std::vector<TFileStatus> statuses, bool failed)
{
    // The reader reads the rows in the order they were shown in, so a slice
    // is mostly one run of rows, and only that run is announced.
    KnowPositions();
    int low = static_cast<int>(fRows.size());
    int high = -1;
    for (size_t i = 0; i < statuses.size() && first + i < fPendingDetails.size(); ++i) {
        TRow* row = fPendingDetails[first + i];
        if (!row)
            continue;
        fPendingDetails[first + i] = nullptr;
        row->DetailSlot = -1;
        if (row->DetailsKnown)
            continue;
        row->Node->SetListedStatus(statuses[i]);
        ReadDetails(*row);
        row->Filled = false;
        if (row->Node->PlainTypeNames()) {
            row->TypeRead = false;
            row->Type.clear();
        }
        low = std::min(low, row->Position);
        high = std::max(high, row->Position);
    }
    const bool done = failed || (fDetailReader && fDetailReader->Done());
    if (done) {
        // A folder that could not be read again leaves its rows to be read
        // one by one when they are asked for.
        fDetailReader.reset();
        for (TRow* row : fPendingDetails)
            if (row)
                row->DetailSlot = -1;
        fPendingDetails.clear();
    }
    if (high >= low)
        ChangedRows(low, high - low + 1);
}

void TShellListModel::KnowPositions() const
{
    if (fPositionsKnown)
        return;
    for (size_t i = 0; i < fRows.size(); ++i)
        fRows[i]->Position = static_cast<int>(i);
    fPositionsKnown = true;
}

bool TShellListModel::DetailsComplete() const
{
    return std::all_of(fRows.begin(), fRows.end(), [](const auto& row) { return row->DetailsKnown; });
}

void TShellListModel::FillTexts(TRow& row) const
{
    if (row.Filled)
        return;
    row.Texts.clear();
    ReadDetails(row);
    if (HasFolderColumn(fContent))
        row.Texts.emplace_back(row.Dir());
    if (row.Directory || row.NoData) {
        row.Texts.emplace_back();
    } else {
        row.Texts.push_back(FormatSizeColumn(row.Size, fOptions.SizeUnit));
    }
    if (!row.TypeRead) {
        row.Type = row.Node->GetTypeName();
        row.TypeRead = true;
    }
    row.Texts.push_back(row.Type);
    row.Texts.push_back(row.NoData || row.Modified == 0 ? std::string() : FormatDateTime(row.Modified));
    row.Filled = true;
}

void TShellListModel::StartWatching()
{
    if (fWatching || fContent != lcoFolder || !fOptions.AutoRefresh || !fSources.Notifier || fFolder->IsRoot())
        return;
    fWatchedFolder = PlainPath(fFolder->GetPath());
    fSources.Notifier->AddHandler(this, [this](const TNotifyInfo& record) { QueueChange(record); });
    fSources.Notifier->Watch(this, fWatchedFolder, FileListFilter, false);
    fWatching = true;
}

void TShellListModel::StopWatching()
{
    if (fSources.Notifier)
        fSources.Notifier->ClearHandler(this);
    fWatchedFolder.clear();
    fWatching = false;
}

// ---- Rows --------------------------------------------------------------------------------------

int TShellListModel::Count() const
{
    return IsCollectionContent(fContent) ? fCollectionCount : static_cast<int>(fRows.size());
}

TShellFolder* TShellListModel::Node(int row) const
{
    if (row < 0 || row >= static_cast<int>(fRows.size()) || !IsNodeList())
        return nullptr;
    return fRows[static_cast<size_t>(row)]->Node.get();
}

TCustomFolder* TShellListModel::CollectionAt(int row) const
{
    TCustomFolderList* list = CollectionList();
    if (!list || row < 0 || row >= fCollectionCount)
        return nullptr;
    return list->Folder(row);
}

int TShellListModel::IndexOfPath(const std::string& path) const
{
    if (!IsNodeList())
        return -1;
    if (!fIndexBuilt) {
        fPathIndex.clear();
        fPathIndex.reserve(fRows.size());
        for (const auto& row : fRows)
            fPathIndex.emplace(row->Key, row.get());
        fIndexBuilt = true;
    }
    // A re-sort moves the rows but keeps the index: only their positions
    // are written again, which is much cheaper than hashing every path.
    KnowPositions();
    const auto found = fPathIndex.find(PlainPath(path));
    return found == fPathIndex.end() ? -1 : found->second->Position;
}

std::string TShellListModel::KeyOf(int row) const
{
    if (const TCustomFolder* folder = CollectionAt(row))
        return folder->Name();
    if (row < 0 || row >= static_cast<int>(fRows.size()))
        return {};
    return fRows[static_cast<size_t>(row)]->Key;
}

std::string TShellListModel::Text(int row, int column) const
{
    if (column < 0 || column >= static_cast<int>(Columns().size()))
        return {};
    if (const TCustomFolder* folder = CollectionAt(row)) {
        if (column == 0)
            return folder->Name();
        if (column == 1)
            return folder->CommentLine();
        if (fContent == lcoMedia) {
            const auto* medium = static_cast<const TMediaFolder*>(folder);
            // Catalogues keep no total size, so that column stays empty.
            if (column == 3)
                return FormatByteSize(medium->FreeSpace);
            if (column == 4)
                return medium->CatalogueDate == 0 ? std::string() : FormatDateTime(medium->CatalogueDate);
        }
        if (fContent == lcoCategories && column == 2)
            return Tx(CategoryKindText(static_cast<const TCategoryFolder*>(folder)->CategoryKind()));
        return {};
    }
    if (!Node(row))
        return {};
    TRow& data = *fRows[static_cast<size_t>(row)];
    if (column == 0)
        return data.Name;
    FillTexts(data);
    const size_t at = static_cast<size_t>(column - 1);
    return at < data.Texts.size() ? data.Texts[at] : std::string();
}

int TShellListModel::IconIndex(int row) const
{
    if (const TCustomFolder* folder = CollectionAt(row))
        return CollectionList()->FolderIcon(*folder);
    TShellFolder* node = Node(row);
    return node ? node->GetIconIndex() : -1;
}

bool TShellListModel::RowFacts(int row, TListedRow& facts) const
{
    if (row < 0 || row >= static_cast<int>(fRows.size()) || !IsNodeList())
        return false;
    // The browser asks this of every row after each change: the row is
    // read, the node only for its path.
    const TRow& data = *fRows[static_cast<size_t>(row)];
    facts.Name = data.Name;
    facts.Path = data.Node->GetPath();
    facts.Kind = data.Kind;
    facts.Link = data.Link;
    facts.SubCategory = data.SubCategory;
    facts.DetailsKnown = data.DetailsKnown;
    facts.Size = data.Size;
    facts.Modified = data.Modified;
    return true;
}

bool TShellListModel::IsSubCategory(int row) const
{
    return Node(row) && fRows[static_cast<size_t>(row)]->SubCategory;
}

bool TShellListModel::IsDimmed(int row) const
{
    TShellFolder* node = Node(row);
    return node && (node->Missing || (node->GetDisplayFlags() & dfHidden) != 0);
}

// ---- Sorting -----------------------------------------------------------------------------------

TSortOrder& TShellListModel::GroupOrder()
{
    return fOrders[static_cast<size_t>(ListGroupOf(fContent))];
}

TSortOrder TShellListModel::SortOrder() const
{
    return fOrders[static_cast<size_t>(ListGroupOf(fContent))];
}

int TShellListModel::CompareRowNames(const TRow& a, const TRow& b)
{
    int result = CompareNames(a.Name, b.Name);
    // Names that differ only in case, and equal names in different folders,
    // still get one order, so a re-sort never shuffles them.
    if (result == 0)
        result = a.Name.compare(b.Name);
    if (result == 0)
        result = a.Key.compare(b.Key);
    return Sign(result);
}

namespace {

// A row with its name's sort key, made once for one sort and dropped after
// it: a hundred thousand keys would cost more memory than the rows.
template <typename TRowType>
struct TKeyedRow {
    std::string Key;
    TRowType* Row;
    size_t At;
};

// The order CompareRowNames gives, with the keys standing for the names.
template <typename TRowType>
int CompareKeyed(const TKeyedRow<TRowType>& a, const TKeyedRow<TRowType>& b)
{
    int result = a.Key.compare(b.Key);
    if (result == 0)
        result = a.Row->Name.compare(b.Row->Name);
    if (result == 0)
        result = a.Row->Key.compare(b.Row->Key);
    return Sign(result);
}

template <typename TRowType>
std::vector<TKeyedRow<TRowType>> KeyedRows(const std::vector<std::unique_ptr<TRowType>>& rows)
{
    std::vector<TKeyedRow<TRowType>> keyed;
    keyed.reserve(rows.size());
    for (size_t i = 0; i < rows.size(); ++i)
        keyed.push_back({NameSortKey(rows[i]->Name), rows[i].get(), i});
    return keyed;
}

}  // namespace

void TShellListModel::RankNames()
{
    auto order = KeyedRows(fRows);
    std::sort(order.begin(), order.end(), [](const auto& a, const auto& b) { return CompareKeyed(a, b) < 0; });
    int rank = 0;
    for (size_t i = 0; i < order.size(); ++i) {
        if (i > 0 && CompareKeyed(order[i - 1], order[i]) != 0)
            ++rank;
        order[i].Row->NameRank = rank;
    }
}

int TShellListModel::CompareRows(const TRow& a, const TRow& b, int column, bool ranked) const
{
    // Folders come before files whatever the column, so descending order
    // (the negated result) puts files first.
    if (a.Directory != b.Directory)
        return a.Directory ? -1 : 1;
    int result = 0;
    if (HasFolderColumn(fContent) && column == 1) {
        result = CompareNames(a.Dir(), b.Dir());
    } else {
        if (HasFolderColumn(fContent) && column > 1)
            --column;
        switch (column) {
        case 1:
            result = Compare(a.Size, b.Size);
            break;
        case 2:
            result = CompareNames(a.Type, b.Type);
            break;
        case 3:
            result = Compare(a.Modified, b.Modified);
            break;
        default:
            break;
        }
    }
    if (result == 0)
        result = ranked ? Compare(a.NameRank, b.NameRank) : CompareRowNames(a, b);
    return Sign(result);
}

void TShellListModel::SortRowsByName(TSortDir dir)
{
    // What the order looks at sits side by side in one array, so that most
    // comparisons read the two keys' bytes and nothing of the rows; the
    // order is the one CompareRows gives for the name column. Folders and
    // files each stand in name order (reversed when descending), and the
    // rows are ranked on the way out.
    auto entries = KeyedRows(fRows);
    const bool descending = dir == TSortDir::sdDesc;
    std::sort(entries.begin(), entries.end(), [descending](const auto& a, const auto& b) {
        int result = 0;
        if (a.Row->Directory != b.Row->Directory)
            result = a.Row->Directory ? -1 : 1;
        else
            result = CompareKeyed(a, b);
        return descending ? result > 0 : result < 0;
    });
    const int count = static_cast<int>(entries.size());
    std::vector<std::unique_ptr<TRow>> sorted;
    sorted.reserve(fRows.size());
    for (int i = 0; i < count; ++i) {
        const bool tie = i > 0 && CompareKeyed(entries[i - 1], entries[i]) == 0;
        const int rank = descending ? count - 1 - i : i;
        TRow& row = *fRows[entries[i].At];
        row.NameRank = tie ? sorted.back()->NameRank : rank;
        sorted.push_back(std::move(fRows[entries[i].At]));
    }
    fRows = std::move(sorted);
}

void TShellListModel::SortRows()
{
    const TSortOrder order = SortOrder();
    if (order.Index < 0 || order.Dir == TSortDir::sdNone) {
        std::sort(fRows.begin(), fRows.end(), [](const auto& a, const auto& b) { return a->Seq < b->Seq; });
    } else {
        int column = order.Index;
        // The folder column and the names need nothing from the disk; the
        // others need every row's details.
        if (column != 0 && !(HasFolderColumn(fContent) && column == 1))
            ReadAllDetails();
        if (HasFolderColumn(fContent) ? column == 3 : column == 2) {
            for (auto& row : fRows) {
                if (!row->TypeRead) {
                    row->Type = row->Node->GetTypeName();
                    row->TypeRead = true;
                }
            }
        }
        const TSortDir dir = order.Dir;
        const bool byName = column == 0;
        // Sorting by name compares the names' keys and leaves the rows
        // ranked; the other columns rank them first when a row is new or
        // renamed, so that their many ties never compare names again.
        if (!byName && std::any_of(fRows.begin(), fRows.end(), [](const auto& row) { return row->NameRank < 0; }))
            RankNames();
        if (byName) {
            SortRowsByName(dir);
        } else {
            std::sort(fRows.begin(), fRows.end(), [this, column, dir](const auto& a, const auto& b) {
                return Directed(CompareRows(*a, *b, column, true), dir) < 0;
            });
        }
    }
    fPositionsKnown = false;
}

void TShellListModel::ColumnClick(int column)
{
    if (column < 0 || column >= static_cast<int>(Columns().size()))
        return;
    const TSortOrder current = SortOrder();
    const TSortOrder next = ClickSort(current, column, SortDirs);
    if (next != current)
        SetSortOrder(next);
}

void TShellListModel::SetGroupSortOrder(TListGroup group, const TSortOrder& order)
{
    if (group == ListGroupOf(fContent) && fContent != TListContent::lcoNone)
        SetSortOrder(order);
    else
        fOrders[static_cast<size_t>(group)] = order;
}

void TShellListModel::SetSortOrder(const TSortOrder& order)
{
    GroupOrder() = order;
    if (IsCollectionContent(fContent)) {
        SortCollection(order);
    } else if (IsNodeList()) {
        const TSelectionMemory memory = SaveSelectionMemory();
        Notify({.Kind = TFileListChangeKind::fcLayout, .Phase = TChangePhase::cpBefore});
        SortRows();
        RestoreSelectionMemory(memory, false);
        Notify({.Kind = TFileListChangeKind::fcLayout, .Phase = TChangePhase::cpAfter});
        Notify({.Kind = TFileListChangeKind::fcSelection});
    }
    Notify({.Kind = TFileListChangeKind::fcSortOrder});
}

void TShellListModel::SortCollection(const TSortOrder& order)
{
    if (order.Index < 0 || order.Dir == TSortDir::sdNone)
        return;
    int key = -1;
    if (order.Index == 0)
        key = TCustomFolderList::SortByName;
    else if (order.Index == 1)
        key = TCustomFolderList::SortByComment;
    else if (fContent == lcoMedia && order.Index == 3)
        key = TMediaList::SortByFreeSpace;
    else if (fContent == lcoMedia && order.Index == 4)
        key = TMediaList::SortByDate;
    // The list tells its observers (this one too) before and after; the
    // rows follow there.
    if (key >= 0)
        CollectionList()->Sort(key, order.Dir == TSortDir::sdDesc);
}

// ---- Selection ---------------------------------------------------------------------------------

TSelectionMemory TShellListModel::SaveSelectionMemory() const
{
    return SaveSelection(fSelection, [this](int row) { return KeyOf(row); });
}

void TShellListModel::RestoreSelectionMemory(const TSelectionMemory& memory, bool announce)
{
    TListSelection restored;
    if (IsCollectionContent(fContent)) {
        TCustomFolderList* list = CollectionList();
        restored = RestoreSelection(memory, Count(), [list](const std::string& key) {
            for (int i = 0; i < list->Count(); ++i) {
                if (list->Folder(i)->Name() == key)
                    return i;
            }
            return -1;
        });
    } else {
        restored = RestoreSelection(memory, Count(), [this](const std::string& key) { return IndexOfPath(key); });
    }
    if (announce)
        SetSelection(restored);
    else
        fSelection = restored;
}

void TShellListModel::SetSelection(TListSelection selection)
{
    if (selection == fSelection)
        return;
    fSelection = std::move(selection);
    Notify({.Kind = TFileListChangeKind::fcSelection});
}

void TShellListModel::Select(const TListSelection& selection)
{
    const int count = Count();
    TListSelection clean;
    clean.Focused = selection.Focused >= 0 && selection.Focused < count ? selection.Focused : -1;
    for (int row : selection.Selected) {
        if (row >= 0 && row < count)
            clean.Selected.push_back(row);
    }
    std::sort(clean.Selected.begin(), clean.Selected.end());
    clean.Selected.erase(std::unique(clean.Selected.begin(), clean.Selected.end()), clean.Selected.end());
    // Views other than the one that selected (the browser following the
    // page, a command) show it too.
    SetSelection(std::move(clean));
}

std::vector<std::string> TShellListModel::SelectedPaths() const
{
    std::vector<std::string> paths;
    for (int row : fSelection.Selected) {
        if (TShellFolder* node = Node(row); node && !node->GetPath().empty())
            paths.push_back(node->GetPath());
    }
    return paths;
}

// ---- Opening, finding, renaming ------------------------------------------------------------------

TOpenResult TShellListModel::Open(int row) const
{
    using enum TTreePlaceKind;
    TOpenResult result;
    if (CollectionAt(row)) {
        result.Kind = TOpenKind::okPlace;
        result.Row = row;
        result.Place.Kind = fContent == lcoShelves ? tpShelf : fContent == lcoMedia ? tpMedium : tpCategory;
        result.Place.ListIndex = row;
        return result;
    }
    TShellFolder* node = Node(row);
    if (!node)
        return result;
    const TRow& data = *fRows[static_cast<size_t>(row)];
    result.Row = row;
    if (data.SubCategory) {
        result.Kind = TOpenKind::okPlace;
        result.Place.Kind = tpCategoryItem;
        result.Place.Path = data.Key + "/";
        result.Place.ListIndex = fListIndex;
        return result;
    }
    if (fContent == lcoMediumRoot || fContent == lcoMediumFolder) {
        // A catalogue is browsed without its disc; only its folders open.
        if (data.Directory) {
            result.Kind = TOpenKind::okPlace;
            result.Place.Kind = tpMediumFolder;
            result.Place.Path = data.Key + "/";
            result.Place.ListIndex = fListIndex;
        }
        return result;
    }
    if (fContent == lcoSearch) {
        // A result found in a catalogue opens in the catalogue, which is
        // browsed without its disc: its folders only.
        if (const auto medium = SplitMediumResultPath(data.Key)) {
            const int index = fSources.Media ? fSources.Media->IndexOfName(medium->first) : -1;
            if (index >= 0 && data.Directory) {
                result.Kind = TOpenKind::okPlace;
                result.Place.Kind = medium->second.empty() ? tpMedium : tpMediumFolder;
                result.Place.Path = medium->second.empty() ? std::string() : medium->second + "/";
                result.Place.ListIndex = index;
            }
            return result;
        }
    }
    result.Path = data.Key;
    if (data.Directory) {
        result.Kind = TOpenKind::okPlace;
        result.Place.Path = node->IsRoot() ? std::string() : IncludeTrailingPathDelimiter(data.Key);
        if (node->IsRoot()) {
            result.Place.Kind = tpRoot;
        } else if (fContent == lcoShelf) {
            result.Place.Kind = tpShelfMember;
            result.Place.ListIndex = fListIndex;
        } else if (fContent == lcoFolder && fShown) {
            result.Place.Kind = tpShelfFolder;
            result.Place.ListIndex = fListIndex;
            result.Place.MemberPath = IncludeTrailingPathDelimiter(fMemberPath);
        } else {
            result.Place.Kind = tpFolder;
        }
        return result;
    }
    if (fSources.IsArchive && fSources.IsArchive(ExtractFileExt(data.Name))) {
        result.Kind = TOpenKind::okArchive;
        result.Context = Place();
        return result;
    }
    result.Kind = TOpenKind::okFile;
    return result;
}

int TShellListModel::Find(const std::string& text, int start) const
{
    if (fContent == lcoNone)
        return -1;
    return FindByPrefix(Count(), start, text, true, [this](int row) { return Text(row, 0); });
}

bool TShellListModel::CanRename(int row) const
{
    if (CollectionAt(row))
        return true;
    TShellFolder* node = Node(row);
    if (!node || (fContent != lcoFolder && fContent != lcoShelf))
        return false;
    return (node->GetAbilities() & iaCanRename) != 0;
}

std::string TShellListModel::EditText(int row) const
{
    if (const TCustomFolder* folder = CollectionAt(row))
        return folder->Name();
    if (!Node(row))
        return {};
    const TRow& data = *fRows[static_cast<size_t>(row)];
    if (data.Directory || fOptions.EditExtension)
        return data.Name;
    const std::string ext = ExtractFileExt(data.Name);
    // A name that is all extension (".profile") is edited whole.
    return ext.size() < data.Name.size() ? data.Name.substr(0, data.Name.size() - ext.size()) : data.Name;
}

bool TShellListModel::Rename(int row, const std::string& text)
{
    if (!CanRename(row))
        return false;
    std::string name = Trim(text);
    if (TCustomFolder* folder = CollectionAt(row)) {
        if (name == folder->Name())
            return false;
        if (fContent == lcoShelves) {
            if (const auto refusal = CheckShelfName(*fSources.Shelves, name, folder->Name()))
                throw EMirevaError(*refusal);
        } else {
            if (name.empty())
                throw EMirevaError(Tx("名前を入力してください  "));
            const int other = CollectionList()->IndexOfName(name);
            if (other >= 0 && CollectionList()->Folder(other) != folder)
                throw EMirevaError(fContent == lcoMedia ? Tx("同名のメディアが存在します  ") : Tx("同名のカテゴリが存在します  "));
        }
        // The list's notice repaints the row.
        folder->SetName(name);
        return true;
    }
    TRow& data = *fRows[static_cast<size_t>(row)];
    if (!data.Directory) {
        const std::string ext = ExtractFileExt(data.Name);
        const bool wholeName = ext.size() == data.Name.size();
        if (!ext.empty() && !wholeName &&
            (!fOptions.EditExtension || (fOptions.AddExtension && ExtractFileExt(name).empty())))
            name += ext;
    }
    if (name == data.Name)
        return false;
    const std::string oldPath = data.Key;
    if (!data.Node->Rename(name))
        throw EFileError(RenameFailed(name));
    const std::string newPath = PlainPath(data.Node->GetPath());
    if (fContent == lcoShelf) {
        // The member follows its file, so the shelf does not lose it.
        auto* shelf = static_cast<TGroupFolder*>(fShown);
        TOriginatorScope scope(*fSources.Shelves, this);
        shelf->ChangeItemPath(oldPath, newPath);
    }
    const uint64_t seq = data.Seq;
    ForgetPendingDetails(data);
    ReadKeys(data);
    data.Seq = seq;
    InvalidateIndex();
    ChangedRows(row, 1);
    if (OnRenamed)
        OnRenamed(oldPath, newPath);
    return true;
}

// ---- Row changes -------------------------------------------------------------------------------

void TShellListModel::ChangedRows(int first, int count)
{
    if (count <= 0)
        return;
    Notify({.Kind = TFileListChangeKind::fcChange, .First = first, .Count = count});
}

void TShellListModel::AppendRows(std::vector<std::unique_ptr<TRow>> rows)
{
    if (rows.empty())
        return;
    const int first = static_cast<int>(fRows.size());
    const int count = static_cast<int>(rows.size());
    Notify({.Kind = TFileListChangeKind::fcInsert, .Phase = TChangePhase::cpBefore, .First = first, .Count = count});
    for (auto& row : rows) {
        if (fIndexBuilt)
            fPathIndex.emplace(row->Key, row.get());
        row->Position = static_cast<int>(fRows.size());
        fRows.push_back(std::move(row));
    }
    Notify({.Kind = TFileListChangeKind::fcInsert, .Phase = TChangePhase::cpAfter, .First = first, .Count = count});
    if (fSelection.Focused < 0) {
        TListSelection selection = fSelection;
        selection.Focused = 0;
        SetSelection(selection);
    }
}

namespace {

// The selection after row went: it is deselected, later rows move up, and
// the focus moves up by one when it stood at or after the row (unless it was
// on the first row).
TListSelection SelectionWithout(const TListSelection& old, int row, int newCount)
{
    TListSelection result;
    for (int selected : old.Selected) {
        if (selected != row)
            result.Selected.push_back(selected > row ? selected - 1 : selected);
    }
    result.Focused = old.Focused;
    if (result.Focused >= row && result.Focused > 0)
        --result.Focused;
    if (result.Focused >= newCount)
        result.Focused = newCount - 1;
    return result;
}

}  // namespace

void TShellListModel::RemoveRow(int row)
{
    if (row < 0 || row >= static_cast<int>(fRows.size()))
        return;
    Notify({.Kind = TFileListChangeKind::fcRemove, .Phase = TChangePhase::cpBefore, .First = row, .Count = 1});
    ForgetPendingDetails(*fRows[static_cast<size_t>(row)]);
    // The row leaves the index by itself: building the index again for each
    // of many removed files would hash every path each time.
    if (fIndexBuilt) {
        const auto found = fPathIndex.find(fRows[static_cast<size_t>(row)]->Key);
        if (found != fPathIndex.end() && found->second == fRows[static_cast<size_t>(row)].get())
            fPathIndex.erase(found);
        else
            fIndexBuilt = false;
    }
    fRows.erase(fRows.begin() + row);
    // Only the rows below move up.
    if (fPositionsKnown)
        for (size_t i = static_cast<size_t>(row); i < fRows.size(); ++i)
            fRows[i]->Position = static_cast<int>(i);
    Notify({.Kind = TFileListChangeKind::fcRemove, .Phase = TChangePhase::cpAfter, .First = row, .Count = 1});
    SetSelection(SelectionWithout(fSelection, row, static_cast<int>(fRows.size())));
}

void TShellListModel::ReplaceRow(int row, std::unique_ptr<TRow> replacement)
{
    replacement->Seq = fRows[static_cast<size_t>(row)]->Seq;
    ForgetPendingDetails(*fRows[static_cast<size_t>(row)]);
    fRows[static_cast<size_t>(row)] = std::move(replacement);
    InvalidateIndex();
    ChangedRows(row, 1);
}

bool TShellListModel::InListedFolder(const std::string& path) const
{
    if (fContent != lcoFolder || fFolder->IsRoot())
        return false;
    const std::string plain = PlainPath(path);
    return plain != "/" && DirOf(plain) == PlainPath(fFolder->GetPath());
}

void TShellListModel::ApplyChange(const TNotifyInfo& record)
{
    if (fContent != lcoFolder)
        return;
    switch (record.Kind) {
    case ChangeKind::ckFileAdded:
    case ChangeKind::ckFolderAdded:
        DiskAdded(record.Name);
        break;
    case ChangeKind::ckFileRemoved:
    case ChangeKind::ckFolderRemoved:
        if (InListedFolder(record.Name))
            RemoveRow(IndexOfPath(record.Name));
        break;
    case ChangeKind::ckFileRenamed:
    case ChangeKind::ckFolderRenamed:
        DiskRenamed(record.Name, record.NewName);
        break;
    case ChangeKind::ckModified:
        DiskModified(record.Name);
        break;
    case ChangeKind::ckFolderGone:
        if (!fFolder->IsRoot() && PlainPath(record.Name) == PlainPath(fFolder->GetPath()))
            FolderGone();
        break;
    case ChangeKind::ckOverflow:
        // The system lost changes: only listing again tells what is there.
        Refresh();
        break;
    }
}

void TShellListModel::DiskAdded(const std::string& path)
{
    std::vector<std::unique_ptr<TRow>> rows;
    AddedRow(path, rows);
    // Appended at the end, unsorted: the row does not jump away from where
    // the user looks; a refresh sorts it in.
    AppendRows(std::move(rows));
}

void TShellListModel::AddedRow(const std::string& path, std::vector<std::unique_ptr<TRow>>& rows)
{
    if (!InListedFolder(path))
        return;
    // An addition of a name already listed (made while the folder was
    // listed, or replaced meanwhile) is a modification.
    if (IndexOfPath(path) >= 0) {
        DiskModified(path);
        return;
    }
    const std::string plain = PlainPath(path);
    if (!fOptions.ShowHidden && IsHiddenName(ExtractFileName(plain)))
        return;
    const TFileStatus status = QueryFile(plain);
    if (status.Kind == TFileKind::fkNone)
        return;
    auto node = TShellFolder::CreateFromPath(fFolder.get(), plain, fSources.Info);
    node->SetListedStatus(status);
    node->SetPlainTypeNames(fOptions.TypeByExtension);
    rows.push_back(MakeRow(std::move(node)));
}

void TShellListModel::QueueChange(const TNotifyInfo& record)
{
    if (!fSources.Dispatcher) {
        ApplyChange(record);
        return;
    }
    fChanges.push_back(record);
    if (fChangesPosted)
        return;
    fChangesPosted = true;
    fSources.Dispatcher->Post([this, alive = std::weak_ptr<bool>(fAlive)] {
        if (alive.lock())
            ApplyQueuedChanges();
    });
}

void TShellListModel::ApplyQueuedChanges()
{
    fChangesPosted = false;
    const auto start = std::chrono::steady_clock::now();
    // Files added one after another become one insertion of many rows, so
    // that the views (and the browser's book) follow once, not per file.
    std::vector<std::unique_ptr<TRow>> added;
    std::unordered_set<std::string> addedPaths;
    const auto flush = [&] {
        addedPaths.clear();
        AppendRows(std::move(added));
        added.clear();
    };
    size_t taken = 0;
    while (!fChanges.empty()) {
        // Time is looked at every few records, as a clock costs too.
        if (++taken % 64 == 0 && std::chrono::steady_clock::now() - start >= ChangeSliceTime)
            break;
        const TNotifyInfo record = std::move(fChanges.front());
        fChanges.pop_front();
        const bool addition = record.Kind == ChangeKind::ckFileAdded || record.Kind == ChangeKind::ckFolderAdded;
        if (addition && fContent == lcoFolder && !addedPaths.contains(PlainPath(record.Name))) {
            const size_t before = added.size();
            AddedRow(record.Name, added);
            if (added.size() > before)
                addedPaths.insert(added.back()->Key);
            continue;
        }
        flush();
        ApplyChange(record);
    }
    flush();
    // The rest waits for the next turn of the event loop, after whatever
    // else (painting, a key) came meanwhile.
    if (!fChanges.empty() && !fChangesPosted) {
        fChangesPosted = true;
        fSources.Dispatcher->Post([this, alive = std::weak_ptr<bool>(fAlive)] {
            if (alive.lock())
                ApplyQueuedChanges();
        });
    }
}

void TShellListModel::DiskModified(const std::string& path)
{
    if (!InListedFolder(path))
        return;
    const int row = IndexOfPath(path);
    if (row < 0) {
        // A file the listing missed is there all the same.
        DiskAdded(path);
        return;
    }
    const std::string plain = PlainPath(path);
    const TFileStatus status = QueryFile(plain);
    if (status.Kind == TFileKind::fkNone) {
        RemoveRow(row);
        return;
    }
    TRow& data = *fRows[static_cast<size_t>(row)];
    data.Node->SetPath(plain);
    data.Node->SetListedStatus(status);
    data.Node->SetPlainTypeNames(fOptions.TypeByExtension);
    const uint64_t seq = data.Seq;
    ForgetPendingDetails(data);
    ReadKeys(data);
    data.Seq = seq;
    ChangedRows(row, 1);
}

void TShellListModel::DiskRenamed(const std::string& oldPath, const std::string& newPath)
{
    const int row = InListedFolder(oldPath) ? IndexOfPath(oldPath) : -1;
    if (!InListedFolder(newPath)) {
        RemoveRow(row);
        return;
    }
    if (row < 0) {
        DiskAdded(newPath);
        return;
    }
    const std::string plain = PlainPath(newPath);
    const TFileStatus status = QueryFile(plain);
    if (status.Kind == TFileKind::fkNone) {
        RemoveRow(row);
        return;
    }
    // A rename over a listed item replaced it: its row goes, so no path is
    // listed twice.
    const int replaced = IndexOfPath(plain);
    auto node = TShellFolder::CreateFromPath(fFolder.get(), plain, fSources.Info);
    node->SetListedStatus(status);
    node->SetPlainTypeNames(fOptions.TypeByExtension);
    // The row keeps its place: the order does not change under the user.
    ReplaceRow(row, MakeRow(std::move(node)));
    if (replaced >= 0 && replaced != row)
        RemoveRow(replaced);
}

void TShellListModel::FolderGone()
{
    // Up to the nearest place that can still be listed: the shelf for a
    // shelf member's own folder, else the nearest parent folder that exists.
    std::string path = PlainPath(fFolder->GetPath());
    while (true) {
        if (fShown && path == fMemberPath) {
            if (SetShelf(fListIndex))
                return;
        }
        if (path == "/") {
            SetRoot();
            return;
        }
        path = DirOf(path);
        if (fShown && path.size() >= fMemberPath.size()) {
            TTreePlace place;
            place.Kind = path == fMemberPath ? TTreePlaceKind::tpShelfMember : TTreePlaceKind::tpShelfFolder;
            place.Path = path;
            place.ListIndex = fListIndex;
            place.MemberPath = fMemberPath;
            if (SetPlace(place))
                return;
        } else if (SetFolder(path)) {
            return;
        }
    }
}

// ---- Collection lists --------------------------------------------------------------------------

void TShellListModel::FolderListChanged(TCustomFolderList& list, const TListChange& change)
{
    if (&list != fFollowed)
        return;
    if (IsCollectionContent(fContent))
        CollectionListChanged(change);
    else
        ShownCollectionChanged(change);
}

void TShellListModel::RemoveCollectionRow(int row)
{
    Notify({.Kind = TFileListChangeKind::fcRemove, .Phase = TChangePhase::cpBefore, .First = row, .Count = 1});
    --fCollectionCount;
    Notify({.Kind = TFileListChangeKind::fcRemove, .Phase = TChangePhase::cpAfter, .First = row, .Count = 1});
    SetSelection(SelectionWithout(fSelection, row, fCollectionCount));
}

void TShellListModel::CollectionListChanged(const TListChange& change)
{
    using enum TListChangeKind;
    const bool before = change.Phase == TChangePhase::cpBefore;
    switch (change.Kind) {
    case lcAdd: {
        const int count = fFollowed->Count() - fCollectionCount;
        if (count <= 0)
            break;
        const int first = fCollectionCount;
        Notify({.Kind = TFileListChangeKind::fcInsert, .Phase = TChangePhase::cpBefore, .First = first, .Count = count});
        fCollectionCount += count;
        Notify({.Kind = TFileListChangeKind::fcInsert, .Phase = TChangePhase::cpAfter, .First = first, .Count = count});
        if (fSelection.Focused < 0)
            SetSelection({.Focused = 0, .Selected = fSelection.Selected});
        break;
    }
    case lcDelete:
        // The view lets go of the row while the folder is still there and
        // learns it has gone once it has.
        if (change.Index < 0 || change.Index >= fCollectionCount)
            break;
        if (before) {
            Notify({.Kind = TFileListChangeKind::fcRemove, .Phase = TChangePhase::cpBefore, .First = change.Index,
                    .Count = 1});
            fRemovingRow = change.Index;
        } else if (fRemovingRow == change.Index) {
            fRemovingRow = -1;
            --fCollectionCount;
            Notify({.Kind = TFileListChangeKind::fcRemove, .Phase = TChangePhase::cpAfter, .First = change.Index,
                    .Count = 1});
            SetSelection(SelectionWithout(fSelection, change.Index, fCollectionCount));
        } else {
            RemoveCollectionRow(change.Index);
        }
        break;
    case lcMove:
    case lcMoveArray:
    case lcSort:
        if (before) {
            fPendingSelection = SaveSelectionMemory();
            Notify({.Kind = TFileListChangeKind::fcLayout, .Phase = TChangePhase::cpBefore});
        } else {
            RestoreSelectionMemory(fPendingSelection, false);
            Notify({.Kind = TFileListChangeKind::fcLayout, .Phase = TChangePhase::cpAfter});
            Notify({.Kind = TFileListChangeKind::fcSelection});
        }
        break;
    case lcProperties:
    case lcUpdate:
    case lcChangeDevice:
        if (change.Index >= 0 && change.Index < fCollectionCount)
            ChangedRows(change.Index, 1);
        break;
    default:
        break;
    }
}

void TShellListModel::ShownCollectionChanged(const TListChange& change)
{
    using enum TListChangeKind;
    if (!fShown)
        return;
    const bool before = change.Phase == TChangePhase::cpBefore;
    if (change.Kind == lcDelete && before && change.Index == fListIndex) {
        // The shown shelf, medium or category goes: a folder opened from a
        // shelf forgets it; a list of its members empties.
        fShown = nullptr;
        fListIndex = -1;
        fMemberPath.clear();
        if (fContent != lcoFolder) {
            Notify({.Kind = TFileListChangeKind::fcReset, .Phase = TChangePhase::cpBefore});
            fRows.clear();
            InvalidateIndex();
            fSelection = {};
            Notify({.Kind = TFileListChangeKind::fcReset, .Phase = TChangePhase::cpAfter});
            Notify({.Kind = TFileListChangeKind::fcSelection});
        }
        return;
    }
    if (!before)
        fListIndex = fFollowed->IndexOf(fShown);
    if (change.Index != fListIndex || fContent == lcoFolder)
        return;
    switch (change.Kind) {
    case lcAddItem:
        if (fContent == lcoShelf || fContent == lcoCategory) {
            auto* group = static_cast<TGroupFolder*>(fShown);
            group->ResolveAll();
            std::vector<std::unique_ptr<TRow>> rows;
            for (int i = std::max(change.ItemIndex, 0); i < group->Count(); ++i) {
                if (IndexOfPath(group->Key(i)) >= 0)
                    continue;
                if (auto row = MemberRow(*group, i))
                    rows.push_back(std::move(row));
            }
            AppendRows(std::move(rows));
        }
        break;
    case lcDeleteItem:
        if (fContent == lcoShelf || fContent == lcoCategory) {
            auto* group = static_cast<TGroupFolder*>(fShown);
            if (change.ItemIndex >= 0 && change.ItemIndex < group->Count())
                RemoveRow(IndexOfPath(group->Key(change.ItemIndex)));
        }
        break;
    case lcChangeItem:
        if ((fContent == lcoShelf || fContent == lcoCategory) && change.Item) {
            auto* group = static_cast<TGroupFolder*>(fShown);
            const int row = IndexOfPath(change.Item->Path());
            if (row >= 0 && change.ItemIndex >= 0 && change.ItemIndex < group->Count())
                if (auto replacement = MemberRow(*group, change.ItemIndex))
                    ReplaceRow(row, std::move(replacement));
        }
        break;
    case lcUpdate:
    case lcChangeDevice:
        // A catalogue that finished loading, or whose disc came or went, is
        // listed again; so is a category that finished sorting.
        if (fContent == lcoMediumRoot || fContent == lcoMediumFolder ||
            (fContent == lcoCategory && change.Index == fListIndex))
            Refresh();
        break;
    default:
        break;
    }
}

const std::vector<int>& TShellListModel::ColumnWidths(TListGroup group) const
{
    return fWidths[static_cast<size_t>(group)];
}

void TShellListModel::SetColumnWidths(TListGroup group, std::vector<int> widths)
{
    fWidths[static_cast<size_t>(group)] = std::move(widths);
}
