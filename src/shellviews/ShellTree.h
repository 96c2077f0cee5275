#pragma once

// The logic of the browser's four trees, one class for all of them: the
// folder tree (the virtual root with the home folder, "/" and the mounts, or
// a folder given as root), the shelf tree, the media tree and the category
// tree, chosen by TShellStyle. It builds the nodes, fills a node's children
// when it is first expanded (archives among them as nodes, with their folders
// and inner archives), tells which place the file list should show for a
// selected node, follows the file list, changes on disk and changes of the
// collection lists, and renames nodes in place. It announces every change of
// its nodes through TShellTreeObserver, exactly enough for a Qt item model to
// follow. User-interface thread only.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <unordered_set>
#include <vector>

#include "base/Dispatcher.h"
#include "collections/FolderList.h"
#include "collections/ShellFolder.h"
#include "common/ObserverList.h"
#include "loading/AcvUnit.h"
#include "shellviews/ArchiveItemList.h"
#include "base/Texts.h"

class TCategoryFolder;
class TCategoryList;
class TGroupFolder;
class TGroupList;
class TMediaFolder;
class TMediaList;
class TShellInfo;
class TShellTreeModel;
struct TOptions;

// What a node stands for, by the tree's style and the node's level.
enum class TTreeNodeKind : uint8_t {
    nkNone,           // the invisible base above the top level
    nkShellFolder,    // a folder (or the virtual root) of the folder model
    nkShelfRoot,      // the shelf tree's root: the list of shelves
    nkShelf,          // one shelf
    nkShelfMember,    // a folder that is a member of a shelf
    nkMediaRoot,      // the media tree's root
    nkMedium,         // one media catalogue
    nkMediumFolder,   // a folder inside a catalogue
    nkCategoryRoot,   // the category tree's root
    nkCategory,       // one category
    nkCategoryItem,   // a part of a category's own tree
    nkArchive,        // an archive file shown as a node
    nkArchiveFolder,  // a folder inside an archive
    nkInnerArchive,   // an archive inside an archive
};

// One node. The tree owns its nodes; a pointer to one stays valid until the
// tree announces its removal (or a reset). Read-only to everyone but the tree.
class TTreeNode {
public:
    TTreeNodeKind Kind() const { return fKind; }
    const std::string& Text() const { return fText; }
    // The parent; the invisible base for the top level, null for the base.
    TTreeNode* Parent() const { return fParent; }
    int Count() const { return static_cast<int>(fChildren.size()); }
    // The child at row; null outside the children.
    TTreeNode* Child(int row) const;
    // The position among the parent's children; -1 for the base.
    int Row() const;
    // The expand button: children are there or may be there.
    bool HasButton() const { return fButton; }
    // The children were listed (the node was expanded at least once).
    bool Filled() const { return fFilled; }
    bool Expanded() const { return fExpanded; }
    // Folder, shelf member and archive file nodes: the folder model's node.
    TShellFolder* Folder() const { return fFolder.get(); }
    // Shelf, medium and category nodes: their folder in the list.
    TCustomFolder* Collection() const { return fCollection; }
    // A shelf member's key (its path in the shelf), a folder's path inside a
    // catalogue or a category, or an archive node's place inside its
    // enclosing archive ("a/b/" for a folder, "a/inner.zip" for an archive).
    const std::string& Key() const { return fKey; }
    // True for this node and every node below it.
    bool Contains(const TTreeNode* node) const;

private:
    friend class TShellTreeModel;

    TTreeNodeKind fKind = TTreeNodeKind::nkNone;
    std::string fText;
    TTreeNode* fParent = nullptr;
    bool fButton = false;
    bool fFilled = false;
    bool fExpanded = false;
    TCustomFolder* fCollection = nullptr;
    std::string fKey;
    // Archive and inner archive nodes: what the archive holds, once listed.
    std::unique_ptr<TArchiveItemList> fItems;
    // Declared before the children, so children (whose folder nodes point at
    // this one as their parent) go first.
    std::unique_ptr<TShellFolder> fFolder;
    std::vector<std::unique_ptr<TTreeNode>> fChildren;
};

// What a tree lists, from the settings.
struct TShellTreeOptions {
    bool ShowHidden = true;        // hidden folders (names starting with ".")
    bool CheckSubFolders = false;  // expand buttons only where children exist
    bool ShowArchives = true;      // archives as nodes
    bool EditExtension = true;     // a renamed archive file's extension is edited too
    bool AddExtension = false;     // a new name without extension keeps the old one
    bool operator==(const TShellTreeOptions&) const = default;
};

// A catalogue's relative path without separators at either end ("a/b"),
// and the path of the folder above it ("a"; "" at the top). The trees and
// the file list walk catalogues by these.
std::string CataloguePath(std::string path);
std::string CatalogueParent(const std::string& path);

// LIST HiddenFile, NoChangeExt, AddExt and TREE CheckSubFolders, ArchiveNode.
TShellTreeOptions ShellTreeOptionsFrom(const TOptions& options);

// Where the tree gets its data. Everything must outlive the tree.
struct TShellTreeSources {
    TShellInfo* Info = nullptr;  // type names and icons; may be null
    TGroupList* Shelves = nullptr;
    TMediaList* Media = nullptr;
    TCategoryList* Categories = nullptr;
    TUserNotifier* Notifier = nullptr;  // messages to the user; may be null
    // Messages raised while a node is filled are posted through it (the
    // window's), so that a message box never opens while the view is in the
    // middle of expanding a node; without one they are shown at once.
    TDispatcher* Dispatcher = nullptr;
};

// The place the file list should show for a selected node.
enum class TTreePlaceKind : uint8_t {
    tpNone,          // nothing to show (a medium whose catalogue is not loaded)
    tpRoot,          // the virtual root: the home folder, "/" and the mounts
    tpFolder,        // Path: a folder
    tpArchive,       // Path: the archive file; ArchiveFolder: the place inside
    tpShelves,       // the list of shelves
    tpShelf,         // ListIndex: one shelf's members
    tpShelfMember,   // ListIndex, Path: a member folder of that shelf
    tpShelfFolder,   // ListIndex, Path: a folder below MemberPath, a member of that shelf
    tpMedia,         // the list of media
    tpMedium,        // ListIndex: a catalogue's top
    tpMediumFolder,  // ListIndex, Path: a folder inside that catalogue
    tpCategories,    // the list of categories
    tpCategory,      // ListIndex: one category
    tpCategoryItem,  // ListIndex, Path: a part of that category's tree
};

struct TTreePlace {
    TTreePlaceKind Kind = TTreePlaceKind::tpNone;
    // A folder path ends in '/'. A catalogue's or category's folder is
    // relative to its top.
    std::string Path{};
    // Inside the archive, as the browser model opens it: "" for its top,
    // "a/b/" for a folder, "a/inner.zip" for an inner archive's top,
    // "a/inner.zip//x/" for a folder inside that.
    std::string ArchiveFolder{};
    std::string MemberPath{};
    int ListIndex = -1;
    bool operator==(const TTreePlace&) const = default;
};

enum class TTreeChangeKind : uint8_t {
    tcInsert,  // Node: the parent; rows First .. First + Count - 1 (before: not there yet)
    tcRemove,  // Node: the parent; rows First .. First + Count - 1 (before: still there)
    tcChange,  // Node: its text, icon or expand button changed (after only)
    tcLayout,  // Node: the parent whose children were reordered (before and after)
    tcReset,   // every node goes (before) and the tree was rebuilt (after)
    tcSelect,  // Node: the selected node, null for none (after only)
    tcExpand,  // Node: the tree expanded (Expanded) or collapsed it (after only)
};

struct TTreeChange {
    TTreeChangeKind Kind = TTreeChangeKind::tcChange;
    TChangePhase Phase = TChangePhase::cpAfter;
    const TTreeNode* Node = nullptr;
    int First = 0;
    int Count = 0;
    bool Expanded = false;       // tcExpand
};

class TShellTreeObserver {
public:
    virtual ~TShellTreeObserver() = default;
    // Called synchronously on the user-interface thread.
    virtual void TreeChanged(TShellTreeModel& tree, const TTreeChange& change) = 0;
};

// A change on disk as the change notifier reports it, with full paths.
enum class TTreeDiskChangeKind : uint8_t {
    dcAdded,       // Name appeared
    dcRemoved,     // Name vanished
    dcRenamed,     // Name became NewName
    dcFolderGone,  // the watched folder Name can no longer be read
};

struct TTreeDiskChange {
    TTreeDiskChangeKind Kind = TTreeDiskChangeKind::dcAdded;
    std::string Name;
    std::string NewName;
};

class TShellTreeModel : public TFolderListObserver {
public:
    explicit TShellTreeModel(const TShellTreeSources& sources);
    ~TShellTreeModel() override;
    TShellTreeModel(const TShellTreeModel&) = delete;
    TShellTreeModel& operator=(const TShellTreeModel&) = delete;

    void RegisterObserver(TShellTreeObserver* observer) { fObservers.Register(observer); }
    void UnregisterObserver(TShellTreeObserver* observer) { fObservers.Unregister(observer); }

    // --- Style, root and options ---------------------------------------------

    TShellStyle Style() const { return fStyle; }
    // Clears the tree, takes the style (and follows its collection list) and
    // builds the root level.
    void SetStyle(TShellStyle style);
    // The folder tree's root: empty for the virtual root, else a folder.
    // Raises EMirevaError "パス設定エラー : "<path>"" for a folder that does
    // not exist; the tree is then empty until a root is set that does.
    void SetRoot(const std::string& path);
    const std::string& RootPath() const { return fRootPath; }
    // The root captions: "コンピュータ" (virtual root), "本棚", "メディア", "カテゴリ".
    void SetRootCaption(TShellStyle style, const std::string& caption);
    const TShellTreeOptions& Options() const { return fOptions; }
    // Options that change what the tree lists rebuild it, keeping the
    // selected place where it can be found again.
    void SetOptions(const TShellTreeOptions& options);
    // The loaders archives are recognised and opened with, and the temporary
    // folder inner archives are written to. Takes effect for nodes filled
    // from now on.
    void SetArchiveEnv(const TArchiveEnv& env);
    const TArchiveEnv& ArchiveEnv() const { return fEnv; }
    // Clears and builds the root level again; the root is selected quietly.
    void Rebuild();

    // --- Hooks the window sets -----------------------------------------------

    // Shows a place in the file list; false when the list refuses (the tree
    // then selects its previous node again). Without it every place counts
    // as shown.
    std::function<bool(const TTreePlace&)> Navigate;
    // The innermost archive the archive list shows: expanding that archive's
    // nodes reads from it instead of opening the file again.
    std::function<TArchiverPtr()> ShownArchive;
    // Asked to load a catalogue or a category before it is expanded or shown.
    std::function<void(TMediaFolder&)> OnMediaLoading;
    std::function<void(TCategoryFolder&)> OnCategoryLoading;
    // The parts of a category's tree below itemPath ("" for its top), each as
    // a path ending in '/'. Without it categories have no children.
    std::function<std::vector<std::string>(TCategoryFolder&, const std::string& itemPath)> CategoryChildren;

    // --- Nodes ---------------------------------------------------------------

    // The invisible node whose children are the top level.
    const TTreeNode& Base() const { return fBase; }
    // The child at row of parent (null: the top level); null when parent is
    // no node of this tree or row lies outside its children.
    const TTreeNode* Child(const TTreeNode* parent, int row) const;
    // True for the base and every node the tree holds now.
    bool HasNode(const TTreeNode* node) const;
    // The icon list index of the node's icon (open: an expanded folder's).
    int IconIndex(const TTreeNode* node, bool open) const;
    // A hidden folder, shown dimmed.
    bool IsHidden(const TTreeNode* node) const;
    // The node of the collection folder at index (shelf, medium, category).
    const TTreeNode* CollectionNode(int index) const;
    // The folders whose changes the tree follows: every filled node that
    // stands for a folder on disk, once each.
    std::vector<std::string> FilledFolders() const;

    // --- Expanding -----------------------------------------------------------

    // Lists the node's children when it was not listed yet. False for a node
    // of another tree.
    bool Fill(const TTreeNode* node);
    // Fills the node and expands it (the view follows).
    bool Expand(const TTreeNode* node);
    // The view expanded or collapsed the node; expanding fills it, and a
    // collection root brings its level up to date.
    void SetExpanded(const TTreeNode* node, bool expanded);
    // Lists the node's children again (when it was expanded) or lets it be
    // listed again on the next expansion; a selection below it is found
    // again where it still exists.
    void Refresh(const TTreeNode* node);

    // --- Selection -----------------------------------------------------------

    const TTreeNode* Selected() const { return fSelected; }
    TTreePlace PlaceOf(const TTreeNode* node) const;
    // The user selected a node: the file list is asked to show its place;
    // when it refuses the previous node stays selected (and is announced
    // again so that the view selects it). False when refused or no node.
    bool Select(const TTreeNode* node);
    // Selects without asking the file list (it is there already).
    void SelectQuietly(const TTreeNode* node);
    // Selects the parent of the selected node; false at the root.
    bool SelectParent();
    // Follows the file list to a folder: finds the node of path below start
    // (null: the whole tree) and selects it quietly. With expand the nodes
    // on the way are filled, expanded and made where missing (a hidden
    // folder, one made since its parent was listed); without, only nodes
    // that exist count. Null when there is none.
    const TTreeNode* FindPathNode(const std::string& path, bool expand, const TTreeNode* start = nullptr);
    // The same for a place inside an archive (innerFolder as
    // TTreePlace::ArchiveFolder). Opens the archives on the way with expand.
    // Without archive nodes the archive's folder node is selected.
    const TTreeNode* FindArchiveNode(const std::string& archivePath, const std::string& innerFolder, bool expand);

    // --- Changes -------------------------------------------------------------

    // A change on disk below the tree's folders.
    void ApplyDiskChange(const TTreeDiskChange& change);
    // TFolderListObserver: the tree's collection list changed.
    void FolderListChanged(TCustomFolderList& list, const TListChange& change) override;

    // --- Renaming ------------------------------------------------------------

    // Folders and archive files that may be renamed, and shelves, media and
    // categories.
    bool CanRename(const TTreeNode* node) const;
    // The text an edit starts with: an archive file's name without its
    // extension unless the extension is edited too.
    std::string EditText(const TTreeNode* node) const;
    // Renames the node to the trimmed text. False when nothing was done (an
    // unchanged name, a node that cannot be renamed). Raises EFileError
    // "<name> への名称変更に失敗しました  " for the selected node or one of its
    // ancestors (the file list shows something inside it) and when the
    // rename fails, and EMirevaError for a collection name that is taken.
    bool Rename(const TTreeNode* node, const std::string& text);
    // Told after Rename renamed a folder or archive file on disk (not a
    // shelf, medium or category), with both paths: the file commands keep it
    // for undo, as they keep the file list's renames.
    std::function<void(const std::string& oldPath, const std::string& newPath)> OnRenamed;

private:
    enum class TChildKind : uint8_t { ckNone, ckFolder, ckArchive };

    TTreeNode* Mutable(const TTreeNode* node) const;
    static std::unique_ptr<TTreeNode> NewNode(TTreeNodeKind kind, std::string text);
    void Notify(const TTreeChange& change);
    void ShowMessage(const std::string& text);
    void Register(TTreeNode& node);
    void Unregister(TTreeNode& node);
    void Clear();
    void BuildRoot();
    TCustomFolderList* CollectionList() const;

    // Structure; every change is announced.
    void InsertChildren(TTreeNode& parent, int at, std::vector<std::unique_ptr<TTreeNode>> children);
    void InsertSorted(TTreeNode& parent, std::unique_ptr<TTreeNode> child);
    void RemoveNode(TTreeNode& node);
    void DropChildren(TTreeNode& node);
    void SetButton(TTreeNode& node, bool button);
    void SetText(TTreeNode& node, const std::string& text);
    void SortChildren(TTreeNode& node);
    void MarkExpanded(TTreeNode& node);

    // Filling, by kind.
    void FillNode(TTreeNode& node);
    void FillShellFolder(TTreeNode& node);
    void FillArchive(TTreeNode& node);
    void FillShelf(TTreeNode& node);
    void FillMedium(TTreeNode& node);
    void FillCategory(TTreeNode& node);
    void SyncCollections(TTreeNode& root);
    void ReorderCollections(TTreeNode& root);
    void SyncMembers(TTreeNode& shelfNode);

    // Making nodes.
    std::unique_ptr<TTreeNode> MakeFolderChild(std::unique_ptr<TShellFolder> folder, TChildKind kind);
    std::unique_ptr<TTreeNode> MakeCollectionNode(TCustomFolder& folder);
    std::unique_ptr<TTreeNode> MakeMemberNode(TGroupFolder& shelf, int member);
    TChildKind Classify(const std::string& path) const;
    bool HasSubItems(const std::string& folder) const;
    bool IsArchiveName(const std::string& name) const;
    static bool HasFolderMember(TGroupFolder& shelf, int skip = -1);
    static bool HasTopFolders(const TMediaFolder& medium);

    // Finding.
    static bool IsPathNode(const TTreeNode& node);
    static std::string NodePath(const TTreeNode& node);
    void CollectAnchors(TTreeNode& node, std::vector<TTreeNode*>& anchors) const;
    std::vector<TTreeNode*> NodesAtPath(const std::string& path, bool withAnchors) const;
    TTreeNode* FindChildByName(TTreeNode& parent, const std::string& name) const;
    TTreeNode* LocatePath(const std::string& path, bool expand, TTreeNode* start);
    TTreeNode* ArchiveStep(TTreeNode& node, TTreeNodeKind kind, const std::string& key, bool expand);
    TTreeNode* LocateArchiveChild(TTreeNode& archive, const std::string& inner, bool expand);
    TTreeNode* ArchiveContainer(const TTreeNode& node) const;
    TTreeNode* ArchiveFileNode(const TTreeNode& node) const;
    std::string ItemPath(const TTreeNode& node) const;
    TTreeNode* CollectionAncestor(const TTreeNode& node) const;
    TTreeNode* MemberAncestor(const TTreeNode& node) const;
    TTreeNode* FindMemberNode(TTreeNode& shelfNode, const std::string& key) const;

    // Selection.
    // Selects the node and asks the file list to show it (again: even when
    // it is selected already); a refusal selects the previous node again.
    bool NavigateTo(TTreeNode& node, bool again);
    // Before a node goes: the selection inside it moves to the next sibling,
    // else the previous one, else the parent, and the file list follows.
    void MoveSelectionOff(TTreeNode& node);
    void RestoreSelection(const TTreePlace& place);

    // Changes.
    void DiskAdded(const std::string& path);
    void DiskRemoved(const std::string& path);
    void DiskRenamed(const std::string& oldPath, const std::string& newPath);
    void RemoveFromDisk(TTreeNode& node);
    void RepointFolder(TTreeNode& node, const std::string& path);
    void ShelfChanged(const TListChange& change);
    void MediumChanged(const TListChange& change);
    void CheckCollectionName(const TTreeNode& node, const std::string& name) const;

    TShellTreeSources fSources;
    TObserverList<TShellTreeObserver> fObservers;
    TShellStyle fStyle = TShellStyle::ssNone;
    std::string fRootText;  // as given, for the message
    std::string fRootPath;
    std::string fCaptions[4] = {Tx("コンピュータ"), Tx("本棚"), Tx("メディア"), Tx("カテゴリ")};
    TShellTreeOptions fOptions;
    TArchiveEnv fEnv;
    TCustomFolderList* fWatchedList = nullptr;

    TTreeNode fBase;
    std::unordered_set<const TTreeNode*> fNodes;
    TTreeNode* fSelected = nullptr;
    // Above zero while the root level is built inside a reset.
    int fQuiet = 0;
};
