#pragma once

// The file list's logic: what the browser's report-style list shows for the
// place the folder tree or the address bar points at (a folder, the list of
// shelves or one shelf, the list of media or one medium's directory, the list
// of categories or one category), in which order, with which texts, and what
// stays selected. It sorts by the clicked column, keeps the selection across
// re-sorting and refreshing, follows changes on disk and in the collection
// lists, renames items in place, finds items by typed prefix and tells the
// window what opening a row means. It announces every change of its rows
// through TShellListObserver, exactly enough for a Qt table model to follow.
// User-interface thread only.

#include <array>
#include <deque>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "app/Init.h"
#include "collections/FolderList.h"
#include "collections/ShellFolder.h"
#include "platform/FileSystem.h"
#include "common/ObserverList.h"
#include "shellviews/ChangeCoalescer.h"
#include "shellviews/ShellTree.h"
#include "shellviews/SortList.h"

class TCategoryFolder;
class TDispatcher;
class TGroupFolder;
class TListDetailReader;
class TCategoryList;
class TDirChangeNotifier;
class TGroupList;
class TMediaFolder;
class TMediaList;
class TShellInfo;
class TShellListModel;

// What the list shows.
enum class TListContent : uint8_t {
    lcoFolder,        // a folder's contents (also the virtual root)
    lcoShelves,       // the list of shelves
    lcoShelf,         // one shelf's members
    lcoMedia,         // the list of media catalogues
    lcoMediumRoot,    // the top directory of one catalogue
    lcoMediumFolder,  // a directory inside one catalogue
    lcoCategories,    // the list of categories
    lcoCategory,      // one category's members
    lcoSearch,        // search results
    lcoNone,          // nothing
};

// The contents that keep their own column widths and sort order.
enum class TListGroup : uint8_t {
    lgFolder,  // folder and medium contents (and nothing)
    lgShelves,
    lgShelf,
    lgMedia,
    lgCategory,
    lgCategories,
    lgSearch,
};
inline constexpr int ListGroupCount = 7;
TListGroup ListGroupOf(TListContent content);

enum class TColumnAlign : uint8_t { caLeft, caRight };

struct TListColumn {
    std::string Caption;
    TColumnAlign Align = TColumnAlign::caLeft;
    int Width = 10;  // in widths of the letter "X" of the list's font
};

// The columns of a content.
const std::vector<TListColumn>& ListColumns(TListContent content);

// What the list lists and how it writes sizes, from the settings.
struct TShellListOptions {
    bool ShowHidden = true;        // names starting with "."
    TSizeUnit SizeUnit = TSizeUnit::suKiloBytes;
    bool TypeByExtension = false;  // "フォルダ" or the extension instead of the desktop's type names
    bool EditExtension = true;     // the edited name includes the extension
    bool AddExtension = false;     // a new name without extension keeps the old one
    bool AutoRefresh = true;       // the listed folder is watched for changes
    bool operator==(const TShellListOptions&) const = default;
};

// LIST AutoRefresh, HiddenFile, NoChangeExt, AddExt and FILERVIEW SizeUnit,
// ExtTypeName.
TShellListOptions ShellListOptionsFrom(const TOptions& options);

// Where the list gets its data. Everything must outlive the list.
struct TShellListSources {
    TShellInfo* Info = nullptr;  // type names and icons; may be null
    TGroupList* Shelves = nullptr;
    TMediaList* Media = nullptr;
    TCategoryList* Categories = nullptr;
    // Watches the listed folder while AutoRefresh is on; may be null.
    TDirChangeNotifier* Notifier = nullptr;
    // Whether a name's extension (with its dot, any case) is one of the
    // loaders' archive extensions. Without it nothing counts as an archive.
    std::function<bool(std::string_view ext)> IsArchive{};
    // The user-interface thread's dispatcher; may be null. With it a folder
    // is listed by its names and kinds alone and the sizes, dates and
    // attributes are read on a worker and arrive as a change of the rows;
    // without it every entry is read in full while listing.
    TDispatcher* Dispatcher = nullptr;
};

// What a node row tells without asking the disk: the browser's items are
// made from it. The texts belong to the list and change with its rows.
struct TListedRow {
    std::string_view Name;
    std::string_view Path;  // the node's path; empty for the root
    // fkFolder, fkFile, fkOther (a pipe, a device, a dangling link) or
    // fkNone (gone, or a member whose file was not found).
    TFileKind Kind = TFileKind::fkNone;
    bool Link = false;
    // A category below the shown one: Path stays empty (it is no file), so
    // that file, drop and shelf commands never take it for a folder.
    bool SubCategory = false;
    // Size and Modified are only known once the details were read.
    bool DetailsKnown = false;
    int64_t Size = 0;
    TDateTime Modified = 0;
};

enum class TFileListChangeKind : uint8_t {
    fcReset,      // a new listing (before: the old rows still there; after: the new rows, columns and order)
    fcInsert,     // rows First .. First + Count - 1 (before: not there yet)
    fcRemove,     // rows First .. First + Count - 1 (before: still there)
    fcChange,     // rows First .. First + Count - 1 changed their texts or icon (after only)
    fcLayout,     // the rows were reordered (before and after)
    fcSortOrder,  // the sort column or direction changed (after only)
    fcSelection,  // the list's selection changed (after only)
};

struct TFileListChange {
    TFileListChangeKind Kind = TFileListChangeKind::fcChange;
    TChangePhase Phase = TChangePhase::cpAfter;
    int First = 0;
    int Count = 0;
};

class TShellListObserver {
public:
    virtual ~TShellListObserver() = default;
    // Called synchronously on the user-interface thread.
    virtual void ListChanged(TShellListModel& list, const TFileListChange& change) = 0;
};

// What opening a row asks of the window.
enum class TOpenKind : uint8_t {
    okNothing,  // nothing to open (no such row, a member of an absent disc)
    okPlace,    // Place: show it (a folder, a shelf, a medium, a category)
    okArchive,  // Path: open it in the archive list; Context: where it was found
    okFile,     // Row: a file was chosen (the window shows or hands it on)
};

struct TOpenResult {
    TOpenKind Kind = TOpenKind::okNothing;
    int Row = -1;
    std::string Path;
    TTreePlace Place;
    // The place that holds the archive, for going back when it is left.
    TTreePlace Context;
};

class TShellListModel : public TFolderListObserver {
public:
    explicit TShellListModel(const TShellListSources& sources);
    ~TShellListModel() override;
    TShellListModel(const TShellListModel&) = delete;
    TShellListModel& operator=(const TShellListModel&) = delete;

    void RegisterObserver(TShellListObserver* observer) { fObservers.Register(observer); }
    void UnregisterObserver(TShellListObserver* observer) { fObservers.Unregister(observer); }

    const TShellListOptions& Options() const { return fOptions; }
    // Options that change what is listed re-list the place, keeping the
    // selection; the size unit re-writes the texts.
    void SetOptions(const TShellListOptions& options);

    // Asked to load a catalogue or a category before it is listed.
    std::function<void(TMediaFolder&)> OnMediaLoading;
    std::function<void(TCategoryFolder&)> OnCategoryLoading;

    // --- Place ---------------------------------------------------------------
    // Every setter lists the new place before it lets go of the old one: when
    // the listing fails the old place and its rows stay, the setter returns
    // false and LastError() tells why (the window shows it in the status bar).

    // A folder (a path ending in '/' or not).
    bool SetFolder(const std::string& path);
    // The virtual root: the home folder, "/" and the mounts.
    bool SetRoot();
    bool SetShelves();
    bool SetShelf(int index);
    bool SetMedia();
    // A directory of a catalogue: "" for its top, else relative to it.
    bool SetMedium(int index, const std::string& path = {});
    bool SetCategories();
    // path: a sub-category ("2004/03/"), "" for the category's top.
    bool SetCategory(int index, std::string path = {});
    // The results of a search (its folder must outlive the listing), and
    // the results it appended since, as it reports them.
    bool SetSearch(TGroupFolder& results);
    void SearchResultsAdded(int first, int count);
    // The place a tree node stands for (TShellTreeModel::Navigate). A shelf
    // member's folder is listed as a folder that remembers its shelf, so
    // going up from it returns to the shelf; an archive's place lists the
    // folder that holds the archive.
    bool SetPlace(const TTreePlace& place);
    // Lists the place again, keeping the selection.
    bool Refresh();
    // Goes to the place above the listed one: the parent folder, or from a
    // shelf member's own folder the shelf, or from a medium's directory its
    // parent directory. False at the top.
    bool GoUp();

    TListContent Content() const { return fContent; }
    TShellStyle Style() const { return fStyle; }
    // The listed folder (also the virtual root); null for the other contents.
    TShellFolder* Folder() const { return fFolder.get(); }
    // The chosen shelf, medium or category; -1 for none.
    int ListIndex() const { return fListIndex; }
    // The directory inside the chosen medium ("" for its top).
    const std::string& MediumPath() const { return fMediumPath; }
    // The place now shown, as the tree names it.
    TTreePlace Place() const;
    const std::string& LastError() const { return fLastError; }

    // --- Rows ----------------------------------------------------------------

    int Count() const;
    // The node at row; null outside the rows and in the collection lists.
    TShellFolder* Node(int row) const;
    // The collection folder at row in the lists of shelves, media and
    // categories; null otherwise.
    TCustomFolder* CollectionAt(int row) const;
    // The shelf, medium or category whose members are listed; null otherwise.
    TCustomFolder* ShownCollection() const { return fShown; }
    // The row of a node's path (with or without a trailing '/'); -1 if none.
    int IndexOfPath(const std::string& path) const;
    // The key the selection is kept by: the path, or a collection's name.
    std::string KeyOf(int row) const;
    const std::vector<TListColumn>& Columns() const { return ListColumns(fContent); }
    // Row data; empty outside the rows or columns.
    std::string Text(int row, int column) const;
    // The icon list index; -1 for none.
    int IconIndex(int row) const;
    // A shelf member whose file is gone, or a hidden item: drawn dimmed.
    bool IsDimmed(int row) const;
    // The facts of a node row; false outside the node rows.
    bool RowFacts(int row, TListedRow& facts) const;
    // Whether the row is a category below the shown one (no file).
    bool IsSubCategory(int row) const;
    // Whether every row's size, date and attributes are known (the worker
    // that reads them after a listing is done).
    bool DetailsComplete() const;

    // --- Sorting -------------------------------------------------------------

    TSortOrder SortOrder() const;
    TSortDirs SortDirs;
    // A click on a column header: the sort cycle of ClickSort, remembered
    // for the content's group. The collection lists sort themselves.
    void ColumnClick(int column);
    void SetSortOrder(const TSortOrder& order);
    // The order a content group keeps, also while another content is shown;
    // setting the shown group's order re-sorts the rows.
    TSortOrder GroupSortOrder(TListGroup group) const { return fOrders[static_cast<size_t>(group)]; }
    void SetGroupSortOrder(TListGroup group, const TSortOrder& order);

    // --- Selection -----------------------------------------------------------

    const TListSelection& Selection() const { return fSelection; }
    // A new selection (rows outside the list are dropped), announced to
    // every observer when it differs.
    void Select(const TListSelection& selection);
    // The selected nodes' paths, in row order.
    std::vector<std::string> SelectedPaths() const;

    // --- Opening, finding, renaming --------------------------------------------

    TOpenResult Open(int row) const;
    // The first row from start on whose name begins with text (any case),
    // wrapping to the top; -1 for none.
    int Find(const std::string& text, int start) const;
    bool CanRename(int row) const;
    // The text the edit starts with.
    std::string EditText(int row) const;
    // Renames the row's item to the trimmed text. False when nothing was done
    // (unchanged, or not renameable); raises EFileError when the rename
    // fails and EMirevaError for a collection name that is taken.
    bool Rename(int row, const std::string& text);
    // Told after Rename renamed a file or folder on disk (not a collection),
    // with both paths: the file commands keep it for undo.
    std::function<void(const std::string& oldPath, const std::string& newPath)> OnRenamed;

    // --- Changes -------------------------------------------------------------

    // A change record of the listed folder (the notifier delivers them here
    // while AutoRefresh is on).
    void ApplyChange(const TNotifyInfo& record);
    // TFolderListObserver.
    void FolderListChanged(TCustomFolderList& list, const TListChange& change) override;

    // --- Column widths -----------------------------------------------------------
    // Saved widths in pixels per content group, 0 for a hidden column; empty
    // entries use the default widths.

    const std::vector<int>& ColumnWidths(TListGroup group) const;
    void SetColumnWidths(TListGroup group, std::vector<int> widths);

private:
    struct TRow;
    struct TListing;

    void Notify(const TFileListChange& change);
    bool IsNodeList() const;
    TCustomFolderList* CollectionList() const;
    TCustomFolderList* ListOfContent(TListContent content) const;

    // Listing.
    bool Install(TListing listing, bool keepSelection);
    bool TryList(TListing& listing);
    void ListFolder(TListing& listing);
    void ListMembers(TListing& listing, TGroupFolder& group);
    void ListMedium(TListing& listing);
    std::unique_ptr<TRow> MakeRow(std::unique_ptr<TShellFolder> node);
    std::unique_ptr<TRow> MemberRow(TGroupFolder& group, int member);
    // A row for the child category at path, made without the disk.
    std::unique_ptr<TRow> SubCategoryRow(const std::string& path);
    void ReadKeys(TRow& row) const;
    // Size, date and attributes of a row whose listing left them out.
    void ReadDetails(TRow& row) const;
    void ReadAllDetails();
    void StartDetailReader();
    void StopDetailReader();
    void DetailsArrived(size_t first, std::vector<TFileStatus> statuses, bool failed);
    void ForgetPendingDetails(const TRow& row);
    // Writes every row's Position when a change left them unknown.
    void KnowPositions() const;
    void FillTexts(TRow& row) const;
    void Follow(TCustomFolderList* list);
    void StartWatching();
    void StopWatching();

    // Order and selection.
    void SortRows();
    void SortCollection(const TSortOrder& order);
    // ranked: the rows' name ranks stand for the name order in ties.
    int CompareRows(const TRow& a, const TRow& b, int column, bool ranked) const;
    static int CompareRowNames(const TRow& a, const TRow& b);
    void RankNames();
    void SortRowsByName(TSortDir dir);
    TSelectionMemory SaveSelectionMemory() const;
    void RestoreSelectionMemory(const TSelectionMemory& memory, bool announce);
    void SetSelection(TListSelection selection);
    void InvalidateIndex()
    {
        fIndexBuilt = false;
        fPositionsKnown = false;
    }
    TSortOrder& GroupOrder();

    // Row changes.
    void AppendRows(std::vector<std::unique_ptr<TRow>> rows);
    void RemoveRow(int row);
    void RemoveCollectionRow(int row);
    void ReplaceRow(int row, std::unique_ptr<TRow> replacement);
    void ChangedRows(int first, int count);
    void DiskAdded(const std::string& path);
    // The row for a file added on disk, appended to rows (or nothing, or a
    // modification of the listed row).
    void AddedRow(const std::string& path, std::vector<std::unique_ptr<TRow>>& rows);
    void QueueChange(const TNotifyInfo& record);
    void ApplyQueuedChanges();
    void DiskRenamed(const std::string& oldPath, const std::string& newPath);
    void DiskModified(const std::string& path);
    void FolderGone();
    bool InListedFolder(const std::string& path) const;
    void ShownCollectionChanged(const TListChange& change);
    void CollectionListChanged(const TListChange& change);

    TShellListSources fSources;
    TObserverList<TShellListObserver> fObservers;
    TShellListOptions fOptions;

    TListContent fContent = TListContent::lcoNone;
    TShellStyle fStyle = TShellStyle::ssNone;
    std::unique_ptr<TShellFolder> fFolder;
    int fListIndex = -1;
    TCustomFolder* fShown = nullptr;  // the chosen shelf, medium or category
    std::string fMediumPath;
    // A folder listed from a shelf remembers the shelf (fShown, fListIndex)
    // and the member folder it lies in.
    std::string fMemberPath;
    std::string fCategoryPath;  // the sub-category shown, "" for a category's top
    std::string fLastError;

    std::vector<std::unique_ptr<TRow>> fRows;
    int fCollectionCount = 0;  // the rows of a collection list, as announced
    int fRemovingRow = -1;     // a collection row announced as going
    TCustomFolderList* fFollowed = nullptr;
    uint64_t fNextSeq = 0;  // listing order, for the unsorted direction
    // Each row's key (its path) to the row; the views look into the rows'
    // own keys, so the index is dropped whenever a row goes or its key
    // changes.
    mutable std::unordered_map<std::string_view, TRow*> fPathIndex;
    mutable bool fIndexBuilt = false;
    mutable bool fPositionsKnown = false;  // every TRow::Position is its row number

    std::array<TSortOrder, ListGroupCount> fOrders;
    std::array<std::vector<int>, ListGroupCount> fWidths;
    TListSelection fSelection;
    TSelectionMemory fPendingSelection;  // across a collection list's reorder
    bool fWatching = false;  // fWatchedFolder is watched
    std::string fWatchedFolder;

    // The rows whose details the reader reads, by its index; a row that
    // goes or is read again meanwhile leaves a null behind.
    std::unique_ptr<TListDetailReader> fDetailReader;
    std::vector<TRow*> fPendingDetails;

    // Changes from the notifier, applied in steps of limited length when a
    // dispatcher is given; a posted step that finds the list gone does
    // nothing.
    std::deque<TNotifyInfo> fChanges;
    bool fChangesPosted = false;
    std::shared_ptr<bool> fAlive = std::make_shared<bool>(true);
};
