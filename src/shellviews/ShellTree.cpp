#include "shellviews/ShellTree.h"

#include <algorithm>
#include <iterator>
#include <set>

#include "app/Init.h"
#include "base/Errors.h"
#include "base/PathUtils.h"
#include "collections/CategoryFolder.h"
#include "collections/CompareNames.h"
#include "collections/GroupFolder.h"
#include "collections/MediaFolder.h"
#include "collections/Shelf.h"
#include "collections/ShellInfo.h"
#include "common/Text.h"
#include "platform/FileSystem.h"
#include "base/Texts.h"

namespace {

bool IsHiddenName(const std::string& name)
{
    return name.size() > 1 && name[0] == '.';
}

std::string PlainPath(const std::string& path)
{
    return ExcludeTrailingPathDelimiter(path);
}

// "a/b/" -> "b"; "a/inner.zip" -> "inner.zip".
std::string LastSegment(const std::string& path)
{
    return ExtractFileName(ExcludeTrailingPathDelimiter(path));
}


// Whether target (a plain path) is folder itself or lies below it.
bool Covers(const std::string& folder, const std::string& target)
{
    if (folder == target || folder == "/")
        return IsAbsolutePath(target);
    return target.size() > folder.size() && target.compare(0, folder.size(), folder) == 0 &&
           target[folder.size()] == '/';
}

// The segments of target below folder (Covers must hold).
std::vector<std::string> SegmentsBelow(const std::string& folder, const std::string& target)
{
    if (folder == target)
        return {};
    const std::string rest = target.substr(folder == "/" ? 1 : folder.size() + 1);
    std::vector<std::string> segments;
    for (std::string& segment : SplitString(rest, '/')) {
        if (!segment.empty())
            segments.push_back(std::move(segment));
    }
    return segments;
}

int CaptionSlot(TShellStyle style)
{
    switch (style) {
    case TShellStyle::ssFolder:
        return 0;
    case TShellStyle::ssGroup:
        return 1;
    case TShellStyle::ssMedia:
        return 2;
    case TShellStyle::ssCategory:
        return 3;
    default:
        return -1;
    }
}

// Folders before archive files, each by name; the raw bytes decide between
// names that differ only in case, so the order never depends on the listing.
int SortRank(const TTreeNode& node)
{
    return node.Kind() == TTreeNodeKind::nkArchive ? 1 : 0;
}

bool NodeLess(const TTreeNode& a, const TTreeNode& b)
{
    if (SortRank(a) != SortRank(b))
        return SortRank(a) < SortRank(b);
    const int order = CompareNames(a.Text(), b.Text());
    return order != 0 ? order < 0 : a.Text() < b.Text();
}

bool IsCollectionRoot(TTreeNodeKind kind)
{
    return kind == TTreeNodeKind::nkShelfRoot || kind == TTreeNodeKind::nkMediaRoot ||
           kind == TTreeNodeKind::nkCategoryRoot;
}

bool IsArchiveKind(TTreeNodeKind kind)
{
    return kind == TTreeNodeKind::nkArchive || kind == TTreeNodeKind::nkArchiveFolder ||
           kind == TTreeNodeKind::nkInnerArchive;
}

}  // namespace

std::string CataloguePath(std::string path)
{
    while (!path.empty() && path.back() == '/')
        path.pop_back();
    size_t start = 0;
    while (start < path.size() && path[start] == '/')
        ++start;
    return path.substr(start);
}

std::string CatalogueParent(const std::string& path)
{
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

bool TShellTreeModel::HasFolderMember(TGroupFolder& shelf, int skip)
{
    shelf.ResolveAll();
    for (int i = 0; i < shelf.Count(); ++i) {
        const TGroupFileInfo* info = shelf.ItemInfo(i);
        if (i != skip && info && info->IsDirectory)
            return true;
    }
    return false;
}

bool TShellTreeModel::HasTopFolders(const TMediaFolder& medium)
{
    if (!medium.Loaded)
        return false;
    for (const TCtFileInfo* record : medium.ItemsOf(std::string()))
        if (record->IsDirectory)
            return true;
    return false;
}

// ---- TTreeNode ------------------------------------------------------------------------------------

TTreeNode* TTreeNode::Child(int row) const
{
    return row >= 0 && row < Count() ? fChildren[static_cast<size_t>(row)].get() : nullptr;
}

int TTreeNode::Row() const
{
    if (!fParent)
        return -1;
    for (size_t i = 0; i < fParent->fChildren.size(); ++i) {
        if (fParent->fChildren[i].get() == this)
            return static_cast<int>(i);
    }
    return -1;
}

bool TTreeNode::Contains(const TTreeNode* node) const
{
    for (const TTreeNode* p = node; p; p = p->fParent) {
        if (p == this)
            return true;
    }
    return false;
}

TShellTreeOptions ShellTreeOptionsFrom(const TOptions& options)
{
    TShellTreeOptions result;
    result.ShowHidden = options.List.HiddenFile;
    result.CheckSubFolders = options.Tree.CheckSubFolders;
    result.ShowArchives = options.Tree.ArchiveNode;
    result.EditExtension = !options.List.NoChangeExt;
    result.AddExtension = options.List.AddExt;
    return result;
}

// ---- Construction, style, root ------------------------------------------------------------------

TShellTreeModel::TShellTreeModel(const TShellTreeSources& sources) : fSources(sources) {}

TShellTreeModel::~TShellTreeModel()
{
    if (fWatchedList)
        fWatchedList->UnregisterObserver(this);
}

void TShellTreeModel::SetStyle(TShellStyle style)
{
    if (fWatchedList)
        fWatchedList->UnregisterObserver(this);
    fStyle = style;
    fWatchedList = CollectionList();
    if (fWatchedList)
        fWatchedList->RegisterObserver(this);
    Rebuild();
}

void TShellTreeModel::SetRoot(const std::string& path)
{
    fRootText = path;
    fRootPath = path.empty() ? std::string() : PlainPath(NormalizePath(path));
    if (fStyle == TShellStyle::ssFolder)
        Rebuild();
}

void TShellTreeModel::SetRootCaption(TShellStyle style, const std::string& caption)
{
    const int slot = CaptionSlot(style);
    if (slot < 0)
        return;
    fCaptions[slot] = caption;
    TTreeNode* root = fBase.Child(0);
    if (root && style == fStyle && (IsCollectionRoot(root->fKind) || (root->fFolder && root->fFolder->IsRoot())))
        SetText(*root, caption);
}

void TShellTreeModel::SetOptions(const TShellTreeOptions& options)
{
    if (options == fOptions)
        return;
    const bool listing = options.ShowHidden != fOptions.ShowHidden ||
                         options.CheckSubFolders != fOptions.CheckSubFolders ||
                         options.ShowArchives != fOptions.ShowArchives;
    fOptions = options;
    if (listing && fBase.Count() > 0) {
        const TTreePlace place = PlaceOf(fSelected);
        Rebuild();
        RestoreSelection(place);
    }
}

void TShellTreeModel::SetArchiveEnv(const TArchiveEnv& env)
{
    fEnv = env;
}

TCustomFolderList* TShellTreeModel::CollectionList() const
{
    switch (fStyle) {
    case TShellStyle::ssGroup:
        return fSources.Shelves;
    case TShellStyle::ssMedia:
        return fSources.Media;
    case TShellStyle::ssCategory:
        return fSources.Categories;
    default:
        return nullptr;
    }
}

void TShellTreeModel::Rebuild()
{
    Notify({.Kind = TTreeChangeKind::tcReset, .Phase = TChangePhase::cpBefore});
    Clear();
    // While the view holds no nodes, building announces nothing.
    ++fQuiet;
    try {
        BuildRoot();
    } catch (...) {
        --fQuiet;
        Clear();
        Notify({.Kind = TTreeChangeKind::tcReset, .Phase = TChangePhase::cpAfter});
        throw;
    }
    --fQuiet;
    Notify({.Kind = TTreeChangeKind::tcReset, .Phase = TChangePhase::cpAfter});
    if (TTreeNode* root = fBase.Child(0)) {
        if (root->fExpanded)
            Notify({.Kind = TTreeChangeKind::tcExpand, .Node = root, .Expanded = true});
        SelectQuietly(root);
    }
}

void TShellTreeModel::Clear()
{
    fSelected = nullptr;
    for (auto& child : fBase.fChildren)
        Unregister(*child);
    fBase.fChildren.clear();
}

void TShellTreeModel::BuildRoot()
{
    std::unique_ptr<TTreeNode> root;
    if (fStyle == TShellStyle::ssFolder) {
        if (fRootPath.empty()) {
            root = NewNode(TTreeNodeKind::nkShellFolder, fCaptions[0]);
            root->fFolder = TShellFolder::CreateRoot(fSources.Info);
        } else {
            if (!DirectoryExists(fRootPath))
                throw EMirevaError(Tx("パス設定エラー : \"") + fRootText + "\"");
            auto folder = TShellFolder::CreateFromPath(nullptr, fRootPath, fSources.Info);
            folder->SetIsDirectory(true);
            root = NewNode(TTreeNodeKind::nkShellFolder, folder->GetName());
            root->fFolder = std::move(folder);
        }
    } else if (CollectionList()) {
        const TTreeNodeKind kind = fStyle == TShellStyle::ssGroup   ? TTreeNodeKind::nkShelfRoot
                                   : fStyle == TShellStyle::ssMedia ? TTreeNodeKind::nkMediaRoot
                                                                    : TTreeNodeKind::nkCategoryRoot;
        root = NewNode(kind, fCaptions[CaptionSlot(fStyle)]);
    }
    if (!root)
        return;
    root->fButton = true;
    std::vector<std::unique_ptr<TTreeNode>> top;
    top.push_back(std::move(root));
    InsertChildren(fBase, 0, std::move(top));
    TTreeNode& node = *fBase.Child(0);
    FillNode(node);
    node.fExpanded = !node.fChildren.empty();
}

// ---- Structure ----------------------------------------------------------------------------------

std::unique_ptr<TTreeNode> TShellTreeModel::NewNode(TTreeNodeKind kind, std::string text)
{
    auto node = std::make_unique<TTreeNode>();
    node->fKind = kind;
    node->fText = std::move(text);
    return node;
}

TTreeNode* TShellTreeModel::Mutable(const TTreeNode* node) const
{
    return HasNode(node) ? const_cast<TTreeNode*>(node) : nullptr;
}

bool TShellTreeModel::HasNode(const TTreeNode* node) const
{
    return node && (node == &fBase || fNodes.count(node) > 0);
}

const TTreeNode* TShellTreeModel::Child(const TTreeNode* parent, int row) const
{
    const TTreeNode* p = parent ? parent : &fBase;
    return HasNode(p) ? p->Child(row) : nullptr;
}

void TShellTreeModel::Notify(const TTreeChange& change)
{
    if (fQuiet > 0)
        return;
    fObservers.Notify([&](TShellTreeObserver& observer) { observer.TreeChanged(*this, change); });
}

void TShellTreeModel::ShowMessage(const std::string& text)
{
    TUserNotifier* notifier = fSources.Notifier;
    if (!notifier)
        return;
    if (fSources.Dispatcher)
        fSources.Dispatcher->Post([notifier, text] { notifier->ShowMessage(text, TMessageIcon::miWarning); });
    else
        notifier->ShowMessage(text, TMessageIcon::miWarning);
}

void TShellTreeModel::Register(TTreeNode& node)
{
    fNodes.insert(&node);
    for (auto& child : node.fChildren)
        Register(*child);
}

void TShellTreeModel::Unregister(TTreeNode& node)
{
    fNodes.erase(&node);
    for (auto& child : node.fChildren)
        Unregister(*child);
}

void TShellTreeModel::InsertChildren(TTreeNode& parent, int at, std::vector<std::unique_ptr<TTreeNode>> children)
{
    if (children.empty())
        return;
    at = std::clamp(at, 0, parent.Count());
    const int count = static_cast<int>(children.size());
    Notify({.Kind = TTreeChangeKind::tcInsert, .Phase = TChangePhase::cpBefore, .Node = &parent, .First = at,
            .Count = count});
    for (auto& child : children) {
        child->fParent = &parent;
        Register(*child);
    }
    parent.fChildren.insert(parent.fChildren.begin() + at, std::make_move_iterator(children.begin()),
                            std::make_move_iterator(children.end()));
    // A parent with children has its button; the view sees the rows come.
    parent.fButton = true;
    Notify({.Kind = TTreeChangeKind::tcInsert, .Phase = TChangePhase::cpAfter, .Node = &parent, .First = at,
            .Count = count});
}

void TShellTreeModel::InsertSorted(TTreeNode& parent, std::unique_ptr<TTreeNode> child)
{
    const auto at = std::upper_bound(parent.fChildren.begin(), parent.fChildren.end(), child,
                                     [](const auto& a, const auto& b) { return NodeLess(*a, *b); });
    std::vector<std::unique_ptr<TTreeNode>> one;
    one.push_back(std::move(child));
    InsertChildren(parent, static_cast<int>(at - parent.fChildren.begin()), std::move(one));
}

void TShellTreeModel::RemoveNode(TTreeNode& node)
{
    TTreeNode* parent = node.fParent;
    const int row = node.Row();
    if (!parent || row < 0)
        return;
    // The selection never points into freed nodes; callers that want the
    // file list to follow move it before.
    if (fSelected && node.Contains(fSelected))
        SelectQuietly(parent == &fBase ? nullptr : parent);
    Notify({.Kind = TTreeChangeKind::tcRemove, .Phase = TChangePhase::cpBefore, .Node = parent, .First = row,
            .Count = 1});
    Unregister(node);
    std::unique_ptr<TTreeNode> gone = std::move(parent->fChildren[static_cast<size_t>(row)]);
    parent->fChildren.erase(parent->fChildren.begin() + row);
    Notify({.Kind = TTreeChangeKind::tcRemove, .Phase = TChangePhase::cpAfter, .Node = parent, .First = row,
            .Count = 1});
}

void TShellTreeModel::DropChildren(TTreeNode& node)
{
    node.fFilled = false;
    if (node.fChildren.empty())
        return;
    if (fSelected && fSelected != &node && node.Contains(fSelected))
        SelectQuietly(&node);
    const int count = node.Count();
    Notify({.Kind = TTreeChangeKind::tcRemove, .Phase = TChangePhase::cpBefore, .Node = &node, .First = 0,
            .Count = count});
    for (auto& child : node.fChildren)
        Unregister(*child);
    std::vector<std::unique_ptr<TTreeNode>> gone = std::move(node.fChildren);
    node.fChildren.clear();
    Notify({.Kind = TTreeChangeKind::tcRemove, .Phase = TChangePhase::cpAfter, .Node = &node, .First = 0,
            .Count = count});
    // An expanded node without rows would show nothing below it until the
    // user collapses it; it is collapsed and filled again when next expanded.
    if (node.fExpanded) {
        node.fExpanded = false;
        Notify({.Kind = TTreeChangeKind::tcExpand, .Node = &node, .Expanded = false});
    }
}

void TShellTreeModel::SetButton(TTreeNode& node, bool button)
{
    if (node.fButton == button)
        return;
    node.fButton = button;
    Notify({.Kind = TTreeChangeKind::tcChange, .Node = &node});
}

void TShellTreeModel::SetText(TTreeNode& node, const std::string& text)
{
    if (node.fText == text)
        return;
    node.fText = text;
    Notify({.Kind = TTreeChangeKind::tcChange, .Node = &node});
}

void TShellTreeModel::SortChildren(TTreeNode& node)
{
    const auto less = [](const auto& a, const auto& b) { return NodeLess(*a, *b); };
    if (std::is_sorted(node.fChildren.begin(), node.fChildren.end(), less))
        return;
    Notify({.Kind = TTreeChangeKind::tcLayout, .Phase = TChangePhase::cpBefore, .Node = &node});
    std::stable_sort(node.fChildren.begin(), node.fChildren.end(), less);
    Notify({.Kind = TTreeChangeKind::tcLayout, .Phase = TChangePhase::cpAfter, .Node = &node});
}

void TShellTreeModel::MarkExpanded(TTreeNode& node)
{
    FillNode(node);
    if (node.fExpanded || node.fChildren.empty())
        return;
    node.fExpanded = true;
    Notify({.Kind = TTreeChangeKind::tcExpand, .Node = &node, .Expanded = true});
}

// ---- Nodes --------------------------------------------------------------------------------------

int TShellTreeModel::IconIndex(const TTreeNode* node, bool open) const
{
    if (!HasNode(node) || node == &fBase)
        return -1;
    TShellInfo* info = fSources.Info;
    const TCustomFolderList* list = CollectionList();
    switch (node->fKind) {
    case TTreeNodeKind::nkShellFolder:
    case TTreeNodeKind::nkShelfMember:
        if (!node->fFolder)
            return -1;
        return open ? node->fFolder->GetOpenIconIndex() : node->fFolder->GetIconIndex();
    case TTreeNodeKind::nkArchive:
        return node->fFolder ? node->fFolder->GetIconIndex() : -1;
    case TTreeNodeKind::nkInnerArchive:
        return info ? info->IconIndex(node->fText, false, false, true) : -1;
    case TTreeNodeKind::nkArchiveFolder:
    case TTreeNodeKind::nkMediumFolder:
    case TTreeNodeKind::nkCategoryItem:
        return info ? info->IconIndex({}, true, open, true) : -1;
    case TTreeNodeKind::nkShelfRoot:
    case TTreeNodeKind::nkMediaRoot:
    case TTreeNodeKind::nkCategoryRoot:
        return list ? list->RootIcon() : -1;
    case TTreeNodeKind::nkShelf:
    case TTreeNodeKind::nkMedium:
    case TTreeNodeKind::nkCategory:
        return list && node->fCollection ? list->FolderIcon(*node->fCollection) : -1;
    default:
        return -1;
    }
}

bool TShellTreeModel::IsHidden(const TTreeNode* node) const
{
    if (!HasNode(node) || !node->fFolder || node->fFolder->IsRoot())
        return false;
    return (node->fFolder->GetDisplayFlags() & dfHidden) != 0;
}

const TTreeNode* TShellTreeModel::CollectionNode(int index) const
{
    const TCustomFolderList* list = CollectionList();
    const TTreeNode* root = fBase.Child(0);
    const TCustomFolder* folder = list ? list->Folder(index) : nullptr;
    if (!root || !folder)
        return nullptr;
    for (const auto& child : root->fChildren) {
        if (child->fCollection == folder)
            return child.get();
    }
    return nullptr;
}

std::vector<std::string> TShellTreeModel::FilledFolders() const
{
    std::vector<std::string> paths;
    std::set<std::string> seen;
    const std::function<void(const TTreeNode&)> walk = [&](const TTreeNode& node) {
        if (node.fFilled && IsPathNode(node) && seen.insert(NodePath(node)).second)
            paths.push_back(NodePath(node));
        for (const auto& child : node.fChildren)
            walk(*child);
    };
    walk(fBase);
    return paths;
}

bool TShellTreeModel::IsPathNode(const TTreeNode& node)
{
    return (node.fKind == TTreeNodeKind::nkShellFolder || node.fKind == TTreeNodeKind::nkShelfMember) &&
           node.fFolder && !node.fFolder->GetPath().empty();
}

std::string TShellTreeModel::NodePath(const TTreeNode& node)
{
    return node.fFolder ? PlainPath(node.fFolder->GetPath()) : std::string();
}

// ---- Filling ------------------------------------------------------------------------------------

bool TShellTreeModel::Fill(const TTreeNode* node)
{
    TTreeNode* target = Mutable(node);
    if (!target || target == &fBase)
        return false;
    FillNode(*target);
    return true;
}

bool TShellTreeModel::Expand(const TTreeNode* node)
{
    TTreeNode* target = Mutable(node);
    if (!target || target == &fBase)
        return false;
    MarkExpanded(*target);
    return true;
}

void TShellTreeModel::SetExpanded(const TTreeNode* node, bool expanded)
{
    TTreeNode* target = Mutable(node);
    if (!target || target == &fBase)
        return;
    if (!expanded) {
        target->fExpanded = false;
        return;
    }
    const bool wasFilled = target->fFilled;
    FillNode(*target);
    // Expanding a collection root brings its level up to date.
    if (wasFilled && IsCollectionRoot(target->fKind))
        SyncCollections(*target);
    target->fExpanded = !target->fChildren.empty();
}

void TShellTreeModel::FillNode(TTreeNode& node)
{
    if (node.fFilled)
        return;
    node.fFilled = true;
    switch (node.fKind) {
    case TTreeNodeKind::nkShellFolder:
    case TTreeNodeKind::nkShelfMember:
        FillShellFolder(node);
        break;
    case TTreeNodeKind::nkArchive:
    case TTreeNodeKind::nkArchiveFolder:
    case TTreeNodeKind::nkInnerArchive:
        FillArchive(node);
        break;
    case TTreeNodeKind::nkShelf:
        FillShelf(node);
        break;
    case TTreeNodeKind::nkMedium:
    case TTreeNodeKind::nkMediumFolder:
        FillMedium(node);
        break;
    case TTreeNodeKind::nkCategory:
    case TTreeNodeKind::nkCategoryItem:
        FillCategory(node);
        break;
    case TTreeNodeKind::nkShelfRoot:
    case TTreeNodeKind::nkMediaRoot:
    case TTreeNodeKind::nkCategoryRoot:
        SyncCollections(node);
        break;
    default:
        break;
    }
    if (HasNode(&node))
        SetButton(node, !node.fChildren.empty());
}

bool TShellTreeModel::IsArchiveName(const std::string& name) const
{
    const std::string ext = ExtractFileExt(name);
    return !ext.empty() && fEnv.Loaders && fEnv.Loaders->IsArchiveExtension(ext);
}

TShellTreeModel::TChildKind TShellTreeModel::Classify(const std::string& path) const
{
    const std::string plain = PlainPath(path);
    const std::string name = ExtractFileName(plain);
    if (name.empty() || (!fOptions.ShowHidden && IsHiddenName(name)))
        return TChildKind::ckNone;
    if (DirectoryExists(plain))
        return TChildKind::ckFolder;
    if (fOptions.ShowArchives && IsArchiveName(name) && FileExists(plain))
        return TChildKind::ckArchive;
    return TChildKind::ckNone;
}

bool TShellTreeModel::HasSubItems(const std::string& folder) const
{
    try {
        for (const TDirEntry& entry : ListDirectory(PlainPath(folder))) {
            if (!fOptions.ShowHidden && IsHiddenName(entry.Name))
                continue;
            if (entry.Status.Kind == TFileKind::fkFolder)
                return true;
            if (fOptions.ShowArchives && entry.Status.Kind == TFileKind::fkFile && IsArchiveName(entry.Name))
                return true;
        }
    } catch (const std::exception&) {
    }
    return false;
}

std::unique_ptr<TTreeNode> TShellTreeModel::MakeFolderChild(std::unique_ptr<TShellFolder> folder, TChildKind kind)
{
    const bool isFolder = kind == TChildKind::ckFolder;
    auto node = NewNode(isFolder ? TTreeNodeKind::nkShellFolder : TTreeNodeKind::nkArchive, folder->GetName());
    folder->SetIsDirectory(isFolder);
    // An archive's content is known only once it is opened.
    node->fButton = !isFolder || !fOptions.CheckSubFolders || HasSubItems(folder->GetPath());
    node->fFolder = std::move(folder);
    return node;
}

void TShellTreeModel::FillShellFolder(TTreeNode& node)
{
    if (!node.fFolder)
        return;
    std::vector<std::unique_ptr<TShellFolder>> items;
    try {
        items = ListChildren(*node.fFolder, fOptions.ShowHidden);
    } catch (const std::exception&) {
        // A folder that cannot be listed expands to nothing.
        return;
    }
    std::vector<std::unique_ptr<TTreeNode>> children;
    for (auto& item : items) {
        TChildKind kind = TChildKind::ckNone;
        if (item->IsDirectory())
            kind = TChildKind::ckFolder;
        else if (fOptions.ShowArchives && IsArchiveName(item->GetName()) && FileExists(item->GetPath()))
            kind = TChildKind::ckArchive;
        if (kind != TChildKind::ckNone)
            children.push_back(MakeFolderChild(std::move(item), kind));
    }
    // The virtual root keeps its own order: home, "/", then the mounts.
    if (!node.fFolder->IsRoot())
        std::stable_sort(children.begin(), children.end(), [](const auto& a, const auto& b) { return NodeLess(*a, *b); });
    InsertChildren(node, 0, std::move(children));
}

TTreeNode* TShellTreeModel::ArchiveContainer(const TTreeNode& node) const
{
    for (const TTreeNode* p = &node; p; p = p->fParent) {
        if (p->fKind == TTreeNodeKind::nkArchive || p->fKind == TTreeNodeKind::nkInnerArchive)
            return const_cast<TTreeNode*>(p);
    }
    return nullptr;
}

TTreeNode* TShellTreeModel::ArchiveFileNode(const TTreeNode& node) const
{
    for (const TTreeNode* p = &node; p; p = p->fParent) {
        if (p->fKind == TTreeNodeKind::nkArchive)
            return const_cast<TTreeNode*>(p);
    }
    return nullptr;
}

std::string TShellTreeModel::ItemPath(const TTreeNode& node) const
{
    if (node.fKind == TTreeNodeKind::nkArchive || !node.fParent)
        return {};
    // The archive that holds this place: the node's own parent chain.
    const TTreeNode* enclosing = ArchiveContainer(*node.fParent);
    if (node.fKind == TTreeNodeKind::nkArchiveFolder)
        enclosing = ArchiveContainer(node);
    if (!enclosing || enclosing->fKind == TTreeNodeKind::nkArchive)
        return node.fKey;
    return ItemPath(*enclosing) + std::string(ArchiveDelim) + node.fKey;
}

void TShellTreeModel::FillArchive(TTreeNode& node)
{
    TTreeNode* container = ArchiveContainer(node);
    TTreeNode* file = ArchiveFileNode(node);
    if (!container || !file || !file->fFolder)
        return;
    if (!container->fItems) {
        auto items = std::make_unique<TArchiveItemList>();
        const TArchiverPtr shown = ShownArchive ? ShownArchive() : nullptr;
        const std::string outerPath = file->fFolder->GetPath();
        if (container == file) {
            // The archive the archive list shows is read already.
            const TArchiver* outer = shown ? (shown->Root() ? shown->Root() : shown.get()) : nullptr;
            if (outer && outer->FileName() == outerPath)
                items->Build(*outer);
            else
                items->LoadFromArchive(fEnv, outerPath);
        } else {
            TArchiverPtr archiver;
            try {
                archiver = ResolveVirtualPath(fEnv, outerPath, ItemPath(*container), shown);
            } catch (const std::exception&) {
                archiver = nullptr;
            }
            if (!archiver) {
                ShowMessage("'" + container->fText + Tx("' は開けませんでした  "));
                return;
            }
            items->Build(*archiver);
        }
        container->fItems = std::move(items);
    }
    const std::string folder = node.fKind == TTreeNodeKind::nkArchiveFolder ? node.fKey : std::string();
    std::vector<TArchiveChild> entries = container->fItems->Children(folder);
    std::stable_sort(entries.begin(), entries.end(),
                     [](const TArchiveChild& a, const TArchiveChild& b) { return CompareChildren(a, b) < 0; });
    std::vector<std::unique_ptr<TTreeNode>> children;
    for (const TArchiveChild& entry : entries) {
        std::unique_ptr<TTreeNode> child;
        if (entry.IsArchive) {
            if (!fOptions.ShowArchives)
                continue;
            child = NewNode(TTreeNodeKind::nkInnerArchive, ExtractFileName(entry.Path));
            child->fButton = true;
        } else {
            child = NewNode(TTreeNodeKind::nkArchiveFolder, LastSegment(entry.Path));
            child->fButton = container->fItems->HasChildren(entry.Path, fOptions.ShowArchives);
        }
        child->fKey = entry.Path;
        children.push_back(std::move(child));
    }
    InsertChildren(node, 0, std::move(children));
}

std::unique_ptr<TTreeNode> TShellTreeModel::MakeCollectionNode(TCustomFolder& folder)
{
    TTreeNodeKind kind = TTreeNodeKind::nkCategory;
    bool button = true;
    if (fStyle == TShellStyle::ssGroup) {
        kind = TTreeNodeKind::nkShelf;
        button = HasFolderMember(static_cast<TGroupFolder&>(folder));
    } else if (fStyle == TShellStyle::ssMedia) {
        kind = TTreeNodeKind::nkMedium;
        // Without a catalogue in memory the button is assumed.
        auto& medium = static_cast<TMediaFolder&>(folder);
        button = !medium.Loaded || HasTopFolders(medium);
    }
    auto node = NewNode(kind, folder.Name());
    node->fCollection = &folder;
    node->fButton = button;
    return node;
}

void TShellTreeModel::SyncCollections(TTreeNode& root)
{
    TCustomFolderList* list = CollectionList();
    if (!list)
        return;
    // A node whose folder left the list goes; its folder may be freed
    // already, so it is only compared, never used.
    for (int row = root.Count() - 1; row >= 0; --row) {
        TTreeNode* node = root.Child(row);
        if (list->IndexOf(node->fCollection) < 0) {
            MoveSelectionOff(*node);
            RemoveNode(*node);
        }
    }
    for (int i = 0; i < list->Count(); ++i) {
        TCustomFolder* folder = list->Folder(i);
        TTreeNode* existing = nullptr;
        for (const auto& child : root.fChildren) {
            if (child->fCollection == folder)
                existing = child.get();
        }
        if (existing) {
            SetText(*existing, folder->Name());
            // The icon may have changed too.
            Notify({.Kind = TTreeChangeKind::tcChange, .Node = existing});
        } else {
            std::vector<std::unique_ptr<TTreeNode>> one;
            one.push_back(MakeCollectionNode(*folder));
            InsertChildren(root, i, std::move(one));
        }
    }
    ReorderCollections(root);
}

void TShellTreeModel::ReorderCollections(TTreeNode& root)
{
    const TCustomFolderList* list = CollectionList();
    if (!list)
        return;
    const auto position = [list](const std::unique_ptr<TTreeNode>& node) {
        const int index = list->IndexOf(node->fCollection);
        return index < 0 ? list->Count() : index;
    };
    const auto less = [&](const auto& a, const auto& b) { return position(a) < position(b); };
    if (std::is_sorted(root.fChildren.begin(), root.fChildren.end(), less))
        return;
    Notify({.Kind = TTreeChangeKind::tcLayout, .Phase = TChangePhase::cpBefore, .Node = &root});
    std::stable_sort(root.fChildren.begin(), root.fChildren.end(), less);
    Notify({.Kind = TTreeChangeKind::tcLayout, .Phase = TChangePhase::cpAfter, .Node = &root});
}

std::unique_ptr<TTreeNode> TShellTreeModel::MakeMemberNode(TGroupFolder& shelf, int member)
{
    const TGroupFileInfo* info = shelf.ItemInfo(member);
    std::unique_ptr<TShellFolder> folder;
    std::string text;
    if (info->Item.IsRoot()) {
        folder = TShellFolder::CreateRoot(fSources.Info);
        text = fCaptions[0];
    } else {
        folder = TShellFolder::CreateFromPath(nullptr, PlainPath(info->Path), fSources.Info);
        folder->SetIsDirectory(true);
        text = folder->GetName();
    }
    auto node = NewNode(TTreeNodeKind::nkShelfMember, text);
    node->fKey = shelf.Key(member);
    node->fButton = info->Item.IsRoot() || !fOptions.CheckSubFolders || HasSubItems(folder->GetPath());
    node->fFolder = std::move(folder);
    return node;
}

void TShellTreeModel::FillShelf(TTreeNode& node)
{
    auto* shelf = static_cast<TGroupFolder*>(node.fCollection);
    shelf->ResolveAll();
    std::vector<std::unique_ptr<TTreeNode>> children;
    for (int i = 0; i < shelf->Count(); ++i) {
        if (shelf->ItemInfo(i)->IsDirectory)
            children.push_back(MakeMemberNode(*shelf, i));
    }
    InsertChildren(node, 0, std::move(children));
}

TTreeNode* TShellTreeModel::FindMemberNode(TTreeNode& shelfNode, const std::string& key) const
{
    for (const auto& child : shelfNode.fChildren) {
        if (child->fKind == TTreeNodeKind::nkShelfMember && PlainPath(child->fKey) == PlainPath(key))
            return child.get();
    }
    return nullptr;
}

void TShellTreeModel::SyncMembers(TTreeNode& shelfNode)
{
    auto* shelf = static_cast<TGroupFolder*>(shelfNode.fCollection);
    if (!shelfNode.fFilled) {
        SetButton(shelfNode, HasFolderMember(*shelf));
        return;
    }
    shelf->ResolveAll();
    // Member nodes keep the shelf's order: a missing one goes after the
    // node of the folder member before it.
    int row = 0;
    for (int i = 0; i < shelf->Count(); ++i) {
        if (!shelf->ItemInfo(i)->IsDirectory)
            continue;
        if (TTreeNode* existing = FindMemberNode(shelfNode, shelf->Key(i))) {
            row = existing->Row() + 1;
            continue;
        }
        std::vector<std::unique_ptr<TTreeNode>> one;
        one.push_back(MakeMemberNode(*shelf, i));
        InsertChildren(shelfNode, row, std::move(one));
        ++row;
    }
    SetButton(shelfNode, !shelfNode.fChildren.empty());
}

void TShellTreeModel::FillMedium(TTreeNode& node)
{
    TTreeNode* mediumNode = CollectionAncestor(node);
    if (!mediumNode)
        return;
    auto* medium = static_cast<TMediaFolder*>(mediumNode->fCollection);
    if (node.fKind == TTreeNodeKind::nkMedium && !medium->Loaded && OnMediaLoading)
        OnMediaLoading(*medium);
    // A catalogue that is still not in memory shows nothing below it.
    if (!medium->Loaded)
        return;
    const std::string folder = node.fKind == TTreeNodeKind::nkMedium ? std::string() : CataloguePath(node.fKey);
    // Only this folder's records and those of its subfolders are looked at,
    // through the catalogue's folder index.
    std::vector<std::string> folders;
    std::set<std::string> withFolders;
    for (const TCtFileInfo* record : medium->ItemsOf(folder)) {
        if (!record->IsDirectory)
            continue;
        const std::string path = CataloguePath(record->Path);
        if (path.empty())
            continue;
        folders.push_back(path);
        for (const TCtFileInfo* inner : medium->ItemsOf(path))
            if (inner->IsDirectory) {
                withFolders.insert(path);
                break;
            }
    }
    std::sort(folders.begin(), folders.end(), [](const std::string& a, const std::string& b) {
        return CompareNames(LastSegment(a), LastSegment(b)) < 0;
    });
    std::vector<std::unique_ptr<TTreeNode>> children;
    for (const std::string& path : folders) {
        auto child = NewNode(TTreeNodeKind::nkMediumFolder, LastSegment(path));
        child->fKey = path + "/";
        child->fButton = withFolders.count(path) > 0;
        children.push_back(std::move(child));
    }
    InsertChildren(node, 0, std::move(children));
}

void TShellTreeModel::FillCategory(TTreeNode& node)
{
    TTreeNode* categoryNode = CollectionAncestor(node);
    if (!categoryNode)
        return;
    auto* category = static_cast<TCategoryFolder*>(categoryNode->fCollection);
    if (node.fKind == TTreeNodeKind::nkCategory && !category->Loaded && OnCategoryLoading)
        OnCategoryLoading(*category);
    if (!CategoryChildren)
        return;
    const std::string itemPath = node.fKind == TTreeNodeKind::nkCategory ? std::string() : node.fKey;
    std::vector<std::unique_ptr<TTreeNode>> children;
    for (const std::string& item : CategoryChildren(*category, itemPath)) {
        if (LastSegment(item).empty())
            continue;
        auto child = NewNode(TTreeNodeKind::nkCategoryItem, LastSegment(item));
        child->fKey = IncludeTrailingPathDelimiter(item);
        child->fButton = true;
        children.push_back(std::move(child));
    }
    InsertChildren(node, 0, std::move(children));
}

void TShellTreeModel::Refresh(const TTreeNode* node)
{
    TTreeNode* target = Mutable(node);
    if (!target || target == &fBase)
        return;
    const bool below = fSelected && fSelected != target && target->Contains(fSelected);
    const TTreePlace place = below ? PlaceOf(fSelected) : TTreePlace();
    const bool wasExpanded = target->fExpanded;
    target->fItems.reset();
    DropChildren(*target);
    if (!target->fFilled) {
        target->fButton = !IsPathNode(*target) || !fOptions.CheckSubFolders || HasSubItems(NodePath(*target));
        Notify({.Kind = TTreeChangeKind::tcChange, .Node = target});
    }
    if (wasExpanded)
        MarkExpanded(*target);
    if (below) {
        RestoreSelection(place);
        // The place is gone: the file list follows the refreshed node.
        if (fSelected == target)
            NavigateTo(*target, true);
    }
}

// ---- Places and selection -----------------------------------------------------------------------

TTreeNode* TShellTreeModel::CollectionAncestor(const TTreeNode& node) const
{
    for (const TTreeNode* p = &node; p; p = p->fParent) {
        if (p->fCollection)
            return const_cast<TTreeNode*>(p);
    }
    return nullptr;
}

TTreeNode* TShellTreeModel::MemberAncestor(const TTreeNode& node) const
{
    for (const TTreeNode* p = &node; p; p = p->fParent) {
        if (p->fKind == TTreeNodeKind::nkShelfMember)
            return const_cast<TTreeNode*>(p);
    }
    return nullptr;
}

TTreePlace TShellTreeModel::PlaceOf(const TTreeNode* node) const
{
    TTreePlace place;
    if (!HasNode(node) || node == &fBase)
        return place;
    const TTreeNode* collection = CollectionAncestor(*node);
    const TCustomFolderList* list = CollectionList();
    place.ListIndex = collection && list ? list->IndexOf(collection->fCollection) : -1;
    switch (node->fKind) {
    case TTreeNodeKind::nkShellFolder: {
        if (!node->fFolder || node->fFolder->IsRoot()) {
            place.Kind = TTreePlaceKind::tpRoot;
            break;
        }
        place.Path = IncludeTrailingPathDelimiter(node->fFolder->GetPath());
        if (const TTreeNode* member = MemberAncestor(*node)) {
            place.Kind = TTreePlaceKind::tpShelfFolder;
            place.MemberPath = member->fKey;
        } else {
            place.Kind = TTreePlaceKind::tpFolder;
        }
        break;
    }
    case TTreeNodeKind::nkShelfMember:
        place.Kind = TTreePlaceKind::tpShelfMember;
        place.MemberPath = node->fKey;
        if (node->fFolder && !node->fFolder->IsRoot())
            place.Path = IncludeTrailingPathDelimiter(node->fFolder->GetPath());
        break;
    case TTreeNodeKind::nkArchive:
    case TTreeNodeKind::nkArchiveFolder:
    case TTreeNodeKind::nkInnerArchive: {
        const TTreeNode* file = ArchiveFileNode(*node);
        place.Kind = TTreePlaceKind::tpArchive;
        place.Path = file && file->fFolder ? file->fFolder->GetPath() : std::string();
        place.ArchiveFolder = ItemPath(*node);
        place.ListIndex = -1;
        break;
    }
    case TTreeNodeKind::nkShelfRoot:
        place.Kind = TTreePlaceKind::tpShelves;
        break;
    case TTreeNodeKind::nkShelf:
        place.Kind = TTreePlaceKind::tpShelf;
        break;
    case TTreeNodeKind::nkMediaRoot:
        place.Kind = TTreePlaceKind::tpMedia;
        break;
    case TTreeNodeKind::nkMedium:
        place.Kind = node->fCollection && node->fCollection->Loaded ? TTreePlaceKind::tpMedium : TTreePlaceKind::tpNone;
        break;
    case TTreeNodeKind::nkMediumFolder:
        place.Kind = TTreePlaceKind::tpMediumFolder;
        place.Path = node->fKey;
        break;
    case TTreeNodeKind::nkCategoryRoot:
        place.Kind = TTreePlaceKind::tpCategories;
        break;
    case TTreeNodeKind::nkCategory:
        place.Kind = TTreePlaceKind::tpCategory;
        break;
    case TTreeNodeKind::nkCategoryItem:
        place.Kind = TTreePlaceKind::tpCategoryItem;
        place.Path = node->fKey;
        break;
    default:
        break;
    }
    if (place.Kind == TTreePlaceKind::tpNone)
        place = TTreePlace();
    return place;
}

bool TShellTreeModel::Select(const TTreeNode* node)
{
    TTreeNode* target = Mutable(node);
    if (!target || target == &fBase)
        return false;
    if (target == fSelected)
        return true;
    return NavigateTo(*target, false);
}

bool TShellTreeModel::NavigateTo(TTreeNode& node, bool again)
{
    // A catalogue or category is loaded before its place is shown.
    if (node.fKind == TTreeNodeKind::nkMedium && !node.fCollection->Loaded && OnMediaLoading)
        OnMediaLoading(static_cast<TMediaFolder&>(*node.fCollection));
    if (node.fKind == TTreeNodeKind::nkCategory && !node.fCollection->Loaded && OnCategoryLoading)
        OnCategoryLoading(static_cast<TCategoryFolder&>(*node.fCollection));
    if (!HasNode(&node))
        return false;
    const TTreePlace place = PlaceOf(&node);
    if (place.Kind != TTreePlaceKind::tpNone && Navigate) {
        TTreeNode* previous = fSelected;
        const bool shown = Navigate(place);
        if (!HasNode(&node))
            return false;
        if (!shown) {
            // The view moved to the node already: it is told to go back.
            fSelected = HasNode(previous) && previous != &fBase ? previous : nullptr;
            Notify({.Kind = TTreeChangeKind::tcSelect, .Node = fSelected});
            return false;
        }
    }
    if (fSelected != &node || again) {
        fSelected = &node;
        Notify({.Kind = TTreeChangeKind::tcSelect, .Node = &node});
    }
    return true;
}

void TShellTreeModel::SelectQuietly(const TTreeNode* node)
{
    TTreeNode* target = Mutable(node);
    if (target == &fBase)
        target = nullptr;
    if (node && !target)
        return;
    if (target == fSelected)
        return;
    fSelected = target;
    Notify({.Kind = TTreeChangeKind::tcSelect, .Node = target});
}

bool TShellTreeModel::SelectParent()
{
    if (!fSelected || !fSelected->fParent || fSelected->fParent == &fBase)
        return false;
    return Select(fSelected->fParent);
}

void TShellTreeModel::MoveSelectionOff(TTreeNode& node)
{
    if (!fSelected || !node.Contains(fSelected) || !node.fParent)
        return;
    TTreeNode& parent = *node.fParent;
    const int row = node.Row();
    TTreeNode* target = parent.Child(row + 1);
    if (!target)
        target = parent.Child(row - 1);
    if (!target)
        target = &parent == &fBase ? nullptr : &parent;
    if (!target) {
        SelectQuietly(nullptr);
        return;
    }
    // The node goes whatever the file list says.
    if (!NavigateTo(*target, false))
        SelectQuietly(target);
}

void TShellTreeModel::RestoreSelection(const TTreePlace& place)
{
    switch (place.Kind) {
    case TTreePlaceKind::tpFolder:
        FindPathNode(place.Path, true);
        break;
    case TTreePlaceKind::tpArchive:
        FindArchiveNode(place.Path, place.ArchiveFolder, true);
        break;
    case TTreePlaceKind::tpShelfMember:
    case TTreePlaceKind::tpShelfFolder:
        if (const TTreeNode* shelf = CollectionNode(place.ListIndex))
            FindPathNode(place.Path, true, shelf);
        break;
    case TTreePlaceKind::tpShelf:
    case TTreePlaceKind::tpMedium:
    case TTreePlaceKind::tpCategory:
        if (const TTreeNode* node = CollectionNode(place.ListIndex))
            SelectQuietly(node);
        break;
    default:
        break;
    }
}

// ---- Finding ------------------------------------------------------------------------------------

void TShellTreeModel::CollectAnchors(TTreeNode& node, std::vector<TTreeNode*>& anchors) const
{
    for (const auto& child : node.fChildren) {
        if (IsPathNode(*child))
            anchors.push_back(child.get());
        else if (!IsArchiveKind(child->fKind))
            CollectAnchors(*child, anchors);
    }
}

TTreeNode* TShellTreeModel::FindChildByName(TTreeNode& parent, const std::string& name) const
{
    for (const auto& child : parent.fChildren) {
        if ((child->fKind == TTreeNodeKind::nkShellFolder || child->fKind == TTreeNodeKind::nkArchive) &&
            child->fFolder && child->fFolder->GetName() == name)
            return child.get();
    }
    return nullptr;
}

std::vector<TTreeNode*> TShellTreeModel::NodesAtPath(const std::string& path, bool withAnchors) const
{
    const std::string target = PlainPath(path);
    std::vector<TTreeNode*> anchors;
    CollectAnchors(const_cast<TTreeNode&>(fBase), anchors);
    std::vector<TTreeNode*> found;
    for (TTreeNode* anchor : anchors) {
        const std::string anchorPath = NodePath(*anchor);
        if (!Covers(anchorPath, target))
            continue;
        if (anchorPath == target) {
            if (withAnchors)
                found.push_back(anchor);
            continue;
        }
        TTreeNode* node = anchor;
        for (const std::string& segment : SegmentsBelow(anchorPath, target)) {
            node = FindChildByName(*node, segment);
            if (!node)
                break;
        }
        if (node)
            found.push_back(node);
    }
    return found;
}

TTreeNode* TShellTreeModel::LocatePath(const std::string& path, bool expand, TTreeNode* start)
{
    if (!IsAbsolutePath(path))
        return nullptr;
    const std::string target = PlainPath(NormalizePath(path));
    std::vector<TTreeNode*> anchors;
    TTreeNode* from = start ? start : &fBase;
    if (IsPathNode(*from)) {
        anchors.push_back(from);
    } else {
        // Shelves list their members only once expanded.
        if (expand && from->fKind == TTreeNodeKind::nkShelf)
            MarkExpanded(*from);
        CollectAnchors(*from, anchors);
    }
    // The deepest folder that holds the place: a mount's own node rather
    // than the way through "/".
    TTreeNode* anchor = nullptr;
    for (TTreeNode* candidate : anchors) {
        const std::string candidatePath = NodePath(*candidate);
        if (Covers(candidatePath, target) && (!anchor || candidatePath.size() > NodePath(*anchor).size()))
            anchor = candidate;
    }
    if (!anchor)
        return nullptr;
    TTreeNode* node = anchor;
    for (const std::string& segment : SegmentsBelow(NodePath(*anchor), target)) {
        TTreeNode* child = FindChildByName(*node, segment);
        if (!child && expand) {
            FillNode(*node);
            child = FindChildByName(*node, segment);
            if (!child) {
                // A folder the listing left out (a hidden one) or one made
                // since: made now, as the file list is there.
                const std::string childPath = JoinPath(NodePath(*node), segment);
                if (!DirectoryExists(childPath))
                    return nullptr;
                auto folder = TShellFolder::CreateFromPath(node->fFolder.get(), childPath, fSources.Info);
                InsertSorted(*node, MakeFolderChild(std::move(folder), TChildKind::ckFolder));
                child = FindChildByName(*node, segment);
            }
        }
        if (!child || child->fKind != TTreeNodeKind::nkShellFolder)
            return nullptr;
        if (expand)
            MarkExpanded(*node);
        node = child;
    }
    return node;
}

const TTreeNode* TShellTreeModel::FindPathNode(const std::string& path, bool expand, const TTreeNode* start)
{
    TTreeNode* from = nullptr;
    if (start) {
        from = Mutable(start);
        if (!from)
            return nullptr;
    }
    TTreeNode* node = LocatePath(path, expand, from);
    if (node)
        SelectQuietly(node);
    return node;
}

TTreeNode* TShellTreeModel::ArchiveStep(TTreeNode& node, TTreeNodeKind kind, const std::string& key, bool expand)
{
    const auto find = [&]() -> TTreeNode* {
        for (const auto& child : node.fChildren) {
            if (child->fKind == kind && child->fKey == key)
                return child.get();
        }
        return nullptr;
    };
    TTreeNode* child = find();
    if (!child && expand && !node.fFilled) {
        FillNode(node);
        child = find();
    }
    if (child && expand)
        MarkExpanded(node);
    return child;
}

TTreeNode* TShellTreeModel::LocateArchiveChild(TTreeNode& archive, const std::string& inner, bool expand)
{
    // The levels of nested archives: "a/inner.zip//x/" is the inner archive
    // a/inner.zip, then its folder x/.
    const std::vector<std::string> levels = SplitArchiveLevels(inner);

    TTreeNode* node = &archive;
    for (size_t i = 0; i < levels.size() && node; ++i) {
        const std::string& level = levels[i];
        const bool innerArchive = i + 1 < levels.size() || (!level.empty() && !HasTrailingDelimiter(level));
        const std::string folder = innerArchive ? ExtractFilePath(level) : level;
        std::string key;
        for (const std::string& segment : SplitString(folder, '/')) {
            if (segment.empty() || !node)
                continue;
            key += segment + "/";
            node = ArchiveStep(*node, TTreeNodeKind::nkArchiveFolder, key, expand);
        }
        if (node && innerArchive)
            node = ArchiveStep(*node, TTreeNodeKind::nkInnerArchive, level, expand);
    }
    return node;
}

const TTreeNode* TShellTreeModel::FindArchiveNode(const std::string& archivePath, const std::string& innerFolder,
                                                  bool expand)
{
    const std::string plain = PlainPath(NormalizePath(archivePath));
    TTreeNode* folderNode = LocatePath(ExtractFilePath(plain), expand, nullptr);
    if (!folderNode)
        return nullptr;
    if (!fOptions.ShowArchives) {
        SelectQuietly(folderNode);
        return folderNode;
    }
    const std::string name = ExtractFileName(plain);
    TTreeNode* archive = FindChildByName(*folderNode, name);
    if (!archive && expand) {
        FillNode(*folderNode);
        archive = FindChildByName(*folderNode, name);
        if (!archive && Classify(plain) == TChildKind::ckArchive) {
            auto folder = TShellFolder::CreateFromPath(folderNode->fFolder.get(), plain, fSources.Info);
            InsertSorted(*folderNode, MakeFolderChild(std::move(folder), TChildKind::ckArchive));
            archive = FindChildByName(*folderNode, name);
        }
    }
    if (!archive || archive->fKind != TTreeNodeKind::nkArchive)
        return nullptr;
    if (expand)
        MarkExpanded(*folderNode);
    TTreeNode* node = LocateArchiveChild(*archive, innerFolder, expand);
    if (node)
        SelectQuietly(node);
    return node;
}
