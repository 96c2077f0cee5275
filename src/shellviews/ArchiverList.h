#pragma once

// The archive list's logic: which archive of a chain of nested archives is
// shown and at which folder, the rows listed there (one folder's content, or
// every member below it when the archive is shown flat), their order, texts
// and selection, and the moves the user makes (into a folder or an inner
// archive, up to the enclosing folder or archive, out of the archive). It
// follows the archive file on disk and announces every change of its rows
// through TArchiverListObserver, exactly enough for a Qt table model.
//
// Archivers are shared with the browser model and the folder tree, so the
// rows keep their own copies of the member records and their own texts; the
// archiver's records are never written to. User-interface thread only.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "app/Init.h"
#include "common/ObserverList.h"
#include "loading/AcvUnit.h"
#include "shellviews/SortList.h"

class TArchiverListModel;
class TShellInfo;
struct TOptions;

struct TArchiverListOptions {
    // What a folder lists: sub-folders (else the archive is shown flat),
    // pictures and archives, other files.
    TArchiveObjectTypes ObjectTypes{TArchiveObjectType::atFolders, TArchiveObjectType::atSupported};
    TSizeUnit SizeUnit = TSizeUnit::suKiloBytes;
    // The type column shows the lower-case extension ("フォルダ" for a
    // folder) instead of the desktop's type name.
    bool TypeByExtension = false;
    TSortDirs SortDirs;
    // An inner archive that cannot be opened again after the archive file
    // changed leaves its parent shown rather than nothing.
    bool KeepParent = true;
};

// ARCHIVE Folder, LIST AllFile, FILERVIEW SizeUnit and ExtTypeName.
TArchiverListOptions ArchiverListOptionsFrom(const TOptions& options);

enum class TArchiverListChangeKind : uint8_t {
    acReset,      // before: every row goes; after: a new listing (archive, folder, reload, options)
    acSorted,     // before: the rows are about to be reordered; after: reordered, the selection found again
    acSelection,  // after: the selection or the focus changed
    acRows,       // after: the texts of rows First .. First + Count - 1 changed
};

struct TArchiverListChange {
    TArchiverListChangeKind Kind = TArchiverListChangeKind::acReset;
    TChangePhase Phase = TChangePhase::cpAfter;
    int First = 0;
    int Count = 0;
};

class TArchiverListObserver {
public:
    virtual ~TArchiverListObserver() = default;
    // Called synchronously on the user-interface thread.
    virtual void ArchiverListChanged(TArchiverListModel& model, const TArchiverListChange& change) = 0;
};

enum class TArchiverListColumn : int { alName = 0, alSize = 1, alType = 2, alTime = 3 };
inline constexpr int ArchiverListColumnCount = 4;

struct TArchiverListColumnInfo {
    std::string Caption;
    bool RightAligned = false;
    int Width = 0;  // pixels; 0 hides the column
};

// One listed row. Texts the desktop is asked for are filled on first use.
struct TArchiverListRow {
    TArchiveFileInfo Record;  // a copy of the archiver's record
    std::string DisplayName;  // the member's name, a folder's last segment
    std::string Caption;      // DisplayName, or the path below the shown folder when flat
    std::string Key;          // Path + Name for a member, Path without its '/' for a folder
    // Filled on first use, also through a const row.
    mutable std::optional<std::string> TypeName;
};

// A change of the outermost archive file on disk, with full paths.
enum class TArchiveFileChangeKind : uint8_t { afRenamed, afRemoved, afModified };

struct TArchiveFileChange {
    TArchiveFileChangeKind Kind = TArchiveFileChangeKind::afModified;
    std::string Name;
    std::string NewName;  // afRenamed
};

// What GoUp did.
enum class TArchiverGoUp : uint8_t {
    guNothing,  // no archive is shown
    guFolder,   // up one folder in the same archive
    guParent,   // from an inner archive's top to its parent archive
    guLeave,    // at the outermost top: the caller leaves the archive
};

// What OpenSelected did.
enum class TArchiverOpen : uint8_t {
    aoNothing,  // no row is selected
    aoFolder,   // a folder was entered
    aoArchive,  // an inner archive was opened
    aoFile,     // a member was chosen (OnSelectedFile)
};

class TArchiverListModel {
public:
    // info gives type names and icons; may be null (plain type names, no icons).
    explicit TArchiverListModel(TShellInfo* info = nullptr);
    ~TArchiverListModel();
    TArchiverListModel(const TArchiverListModel&) = delete;
    TArchiverListModel& operator=(const TArchiverListModel&) = delete;

    void RegisterObserver(TArchiverListObserver* observer) { fObservers.Register(observer); }
    void UnregisterObserver(TArchiverListObserver* observer) { fObservers.Unregister(observer); }

    // The loaders archives are opened with and the temporary folder inner
    // archives are written to.
    void SetArchiveEnv(const TArchiveEnv& env) { fEnv = env; }
    const TArchiverListOptions& Options() const { return fOptions; }
    // Other object types list the shown folder again (keeping the selection
    // by key); other display options only change the texts.
    void SetOptions(const TArchiverListOptions& options);

    // --- Hooks the window sets -----------------------------------------------

    // The archive is left: up from the outermost top, the archive file was
    // removed, or no longer is an archive. The list is emptied right after.
    std::function<void()> OnLeaveArchive;
    // A member was chosen that is not entered (a picture, a file, an inner
    // archive that cannot be opened); row is its row.
    std::function<void(int row)> OnSelectedFile;
    // The outermost archive file was renamed on disk; the list follows it.
    std::function<void(const std::string& newPath, const std::string& oldPath)> OnFileRenamed;
    // A listed record may be refused (false); without it every one is kept.
    std::function<bool(const TArchiveFileInfo& record)> OnAddFile;
    // A reload listed the shown folder again.
    std::function<void()> OnRefresh;

    // --- The shown place -----------------------------------------------------

    // The shown archiver (an outermost or an inner one), null for none.
    const TArchiverPtr& Archiver() const { return fArchiver; }
    // The shown folder inside it, ending in '/'; empty for its top.
    const std::string& CurrentFolder() const { return fCurrentFolder; }
    // CurrentFolder for an outermost archive; for an inner one its virtual
    // path + "//" + CurrentFolder ("a.zip//x/"), or the virtual path alone at
    // its top. ShowArchive takes it back.
    const std::string& DisplayPath() const { return fDisplayPath; }
    // The outermost archive file; empty when none is shown.
    std::string FileName() const;
    // The folder whose changes the window watches for the archive file.
    std::string WatchedFolder() const;

    // Shows archiver at folder, walking up to a folder its index knows; null
    // empties the list and lets go of the shown chain.
    void SetArchive(TArchiverPtr archiver, const std::string& folder);
    // Opens fileName and the nesting levels of innerPath ("b.zip//c.zip",
    // optionally followed by "//" and a folder, or a folder alone for the
    // outermost archive), reusing the shown chain's archivers, and shows it.
    // False when a level cannot be opened: with keepParent the deepest level
    // reached is shown at the folder that held the failed one, otherwise
    // nothing changes. Errors are not raised.
    bool ShowArchive(const std::string& fileName, const std::string& innerPath, bool keepParent);
    // Shows another folder of the shown archive (walking up to a folder its
    // index knows).
    void SetFolder(const std::string& folder);
    TArchiverGoUp GoUp();
    // Enters the focused selected row (else the first selected one).
    TArchiverOpen OpenSelected();
    // Lists the shown archive again. With checkStamps every level of the
    // chain is first detected again; a level that is no longer an archive
    // (or fails to list) falls back to its parent at the folder that held
    // it, or leaves the archive at the outermost level.
    void Reload(bool checkStamps);
    // A change of the outermost archive file; changes of other files are
    // passed over.
    void ApplyFileChange(const TArchiveFileChange& change);

    // --- Rows ----------------------------------------------------------------

    int Count() const { return static_cast<int>(fRows.size()); }
    // Null outside the rows.
    const TArchiverListRow* Row(int row) const;
    // The cell's text; empty outside the rows and columns.
    std::string Text(int row, int column);
    // The row's icon in the program's icon list, -1 for none.
    int IconIndex(int row) const;
    // The row of a key (TArchiverListRow::Key), -1 for none.
    int IndexOfKey(const std::string& key) const;
    // The header: captions, alignment and widths (saved ones when there are
    // more than three, else the defaults).
    std::vector<TArchiverListColumnInfo> Columns() const;
    void SetColumnWidths(std::vector<int> widths) { fSavedWidths = std::move(widths); }
    const std::vector<int>& ColumnWidths() const { return fSavedWidths; }

    // --- Sorting -------------------------------------------------------------

    const TSortOrder& SortOrder() const { return fSort; }
    // Re-sorts, keeping the selection.
    void SetSortOrder(const TSortOrder& order);
    // A click on a column's header: the direction cycle of the options.
    void ClickColumn(int column);

    // --- Selection -----------------------------------------------------------

    const TListSelection& Selection() const { return fSelection; }
    // A pane selected rows (rows outside the list are dropped); the pane
    // that did it is not told again.
    void Select(TListSelection selection, TArchiverListObserver* originator = nullptr);
    // The first row from start whose display name begins with text, without
    // case; -1 for none.
    int FindByPrefix(const std::string& text, int start, bool wrap) const;

private:
    void Notify(TArchiverListChangeKind kind, TChangePhase phase, int first = 0, int count = 0);
    bool HasFolder(const std::string& folder) const;
    std::string KnownFolder(std::string folder) const;
    void UpdateDisplayPath();
    // Lists the shown folder into the rows and sorts them, inside a reset;
    // the selection is restored from memory (none: the first row focused).
    void Relist(const TSelectionMemory& memory);
    void Sort();
    void RebuildKeys();
    int Compare(const TArchiverListRow& a, const TArchiverListRow& b) const;
    const std::string& TypeName(const TArchiverListRow& row) const;
    TSelectionMemory SaveMemory() const;
    // Opens the shown place again from fileName (changed on disk); on
    // failure the list stays as it is.
    void Reopen(std::string fileName);
    // Leaves the archive: the hook, then an empty list.
    void Leave();
    // Shows the parent of level at the folder that held it, or leaves.
    void FallBack(const TArchiver& level);
    bool Flat() const;

    TShellInfo* fInfo;
    TArchiveEnv fEnv;
    TArchiverListOptions fOptions;
    TObserverList<TArchiverListObserver> fObservers;
    TArchiverPtr fArchiver;
    std::string fCurrentFolder;
    std::string fDisplayPath;
    std::vector<TArchiverListRow> fRows;
    std::unordered_map<std::string, int> fKeys;
    TSortOrder fSort;
    TListSelection fSelection;
    std::vector<int> fSavedWidths;
    // Set while a listing or a reload runs: a hook that calls back in is
    // ignored rather than pull the rows away beneath it.
    bool fBusy = false;
};
