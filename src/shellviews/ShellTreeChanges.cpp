// The tree's answers to changes from outside (the disk, the collection lists)
// and its renaming in place.

#include "shellviews/ShellTree.h"

#include <utility>

#include "base/Errors.h"
#include "base/PathUtils.h"
#include "collections/GroupFolder.h"
#include "collections/MediaFolder.h"
#include "collections/Shelf.h"
#include "common/Text.h"
#include "platform/FileSystem.h"
#include "base/Texts.h"

namespace {

std::string PlainPath(const std::string& path)
{
    return ExcludeTrailingPathDelimiter(path);
}

std::string RenameFailed(const std::string& name)
{
    return name + Tx(" への名称変更に失敗しました  ");
}

}  // namespace

// ---- Changes on disk ----------------------------------------------------------------------------

void TShellTreeModel::ApplyDiskChange(const TTreeDiskChange& change)
{
    if (!IsAbsolutePath(change.Name))
        return;
    const std::string name = PlainPath(NormalizePath(change.Name));
    switch (change.Kind) {
    case TTreeDiskChangeKind::dcAdded:
        DiskAdded(name);
        break;
    case TTreeDiskChangeKind::dcRemoved:
        DiskRemoved(name);
        break;
    case TTreeDiskChangeKind::dcRenamed:
        if (IsAbsolutePath(change.NewName))
            DiskRenamed(name, PlainPath(NormalizePath(change.NewName)));
        else
            DiskRemoved(name);
        break;
    case TTreeDiskChangeKind::dcFolderGone:
        // A folder that is still there but cannot be read keeps its node.
        if (!PathExists(name))
            DiskRemoved(name);
        break;
    }
}

void TShellTreeModel::DiskAdded(const std::string& path)
{
    const TChildKind kind = Classify(path);
    if (kind == TChildKind::ckNone)
        return;
    const std::string name = ExtractFileName(path);
    for (TTreeNode* parent : NodesAtPath(PlainPath(ExtractFilePath(path)), true)) {
        if (!HasNode(parent) || !IsPathNode(*parent))
            continue;
        // A folder never listed only learns that it has something inside.
        if (!parent->fFilled) {
            SetButton(*parent, true);
            continue;
        }
        if (FindChildByName(*parent, name))
            continue;
        auto folder = TShellFolder::CreateFromPath(parent->fFolder.get(), path, fSources.Info);
        InsertSorted(*parent, MakeFolderChild(std::move(folder), kind));
    }
}

void TShellTreeModel::RemoveFromDisk(TTreeNode& node)
{
    TTreeNode* parent = node.fParent;
    if (fSelected && node.Contains(fSelected)) {
        // The file list goes to the nearest folder that is still there
        // before the node goes.
        TTreeNode* ancestor = parent;
        while (ancestor && ancestor != &fBase && IsPathNode(*ancestor) && !DirectoryExists(NodePath(*ancestor)))
            ancestor = ancestor->fParent;
        if (ancestor && ancestor != &fBase && !NavigateTo(*ancestor, false))
            SelectQuietly(ancestor);
    }
    if (HasNode(&node))
        RemoveNode(node);
    if (HasNode(parent) && parent != &fBase && parent->fFilled && parent->fChildren.empty())
        SetButton(*parent, false);
}

void TShellTreeModel::DiskRemoved(const std::string& path)
{
    for (TTreeNode* node : NodesAtPath(path, false)) {
        if (HasNode(node))
            RemoveFromDisk(*node);
    }
}

void TShellTreeModel::DiskRenamed(const std::string& oldPath, const std::string& newPath)
{
    if (oldPath == newPath)
        return;
    const TChildKind kind = Classify(newPath);
    const bool sameFolder = ExtractFilePath(oldPath) == ExtractFilePath(newPath);
    for (TTreeNode* node : NodesAtPath(oldPath, false)) {
        if (!HasNode(node))
            continue;
        const TChildKind nodeKind =
            node->fKind == TTreeNodeKind::nkArchive ? TChildKind::ckArchive : TChildKind::ckFolder;
        TTreeNode* parent = node->fParent;
        // Moved to another folder, now of another kind (an archive renamed
        // to something else), hidden, or onto a name the tree shows already:
        // the old node goes and the new name is added where it belongs.
        if (!sameFolder || kind != nodeKind || FindChildByName(*parent, ExtractFileName(newPath))) {
            RemoveFromDisk(*node);
            continue;
        }
        RepointFolder(*node, newPath);
        if (HasNode(parent))
            SortChildren(*parent);
    }
    DiskAdded(newPath);
}

void TShellTreeModel::RepointFolder(TTreeNode& node, const std::string& path)
{
    const bool selectionInside = fSelected && node.Contains(fSelected);
    TTreeNode* parent = node.fParent;
    TShellFolder* parentFolder = parent && IsPathNode(*parent) ? parent->fFolder.get() : nullptr;
    const bool isFolder = node.fKind != TTreeNodeKind::nkArchive;
    auto folder = TShellFolder::CreateFromPath(parentFolder, path, fSources.Info);
    folder->SetIsDirectory(isFolder);
    // The node names the new place before anyone hears of it; the old
    // folder node lives until the children that point at it are gone.
    std::unique_ptr<TShellFolder> old = std::exchange(node.fFolder, std::move(folder));
    node.fText = node.fFolder->GetName();
    node.fItems.reset();
    DropChildren(node);
    old.reset();
    if (!node.fFilled)
        node.fButton = !isFolder || !fOptions.CheckSubFolders || HasSubItems(path);
    Notify({.Kind = TTreeChangeKind::tcChange, .Node = &node});
    // The file list showed the old place: it follows to the new one.
    if (selectionInside && HasNode(&node))
        NavigateTo(node, true);
}

// ---- Collection lists ---------------------------------------------------------------------------

void TShellTreeModel::FolderListChanged(TCustomFolderList& list, const TListChange& change)
{
    TTreeNode* root = fBase.Child(0);
    if (&list != fWatchedList || !root)
        return;
    const bool after = change.Phase == TChangePhase::cpAfter;
    switch (change.Kind) {
    case TListChangeKind::lcAdd:
        if (!after)
            break;
        if (root->fFilled)
            SyncCollections(*root);
        MarkExpanded(*root);
        break;
    case TListChangeKind::lcDelete:
        if (!after) {
            if (TTreeNode* node = Mutable(CollectionNode(change.Index))) {
                MoveSelectionOff(*node);
                RemoveNode(*node);
            }
        } else if (root->fFilled) {
            // The node went before the folder did; anything else is caught up.
            if (root->Count() != list.Count())
                SyncCollections(*root);
            SetButton(*root, !root->fChildren.empty());
        } else {
            SetButton(*root, list.Count() > 0);
        }
        break;
    case TListChangeKind::lcMove:
    case TListChangeKind::lcMoveArray:
    case TListChangeKind::lcSort:
        if (after)
            ReorderCollections(*root);
        break;
    case TListChangeKind::lcProperties:
    case TListChangeKind::lcChangeDevice:
        if (TTreeNode* node = Mutable(CollectionNode(change.Index))) {
            SetText(*node, node->fCollection->Name());
            Notify({.Kind = TTreeChangeKind::tcChange, .Node = node});
        }
        break;
    case TListChangeKind::lcUpdate:
        if (fStyle == TShellStyle::ssMedia)
            MediumChanged(change);
        // A category that finished sorting shows its new sub-categories.
        if (fStyle == TShellStyle::ssCategory)
            Refresh(CollectionNode(change.Index));
        break;
    case TListChangeKind::lcAddItem:
    case TListChangeKind::lcDeleteItem:
    case TListChangeKind::lcChangeItem:
        if (fStyle == TShellStyle::ssGroup)
            ShelfChanged(change);
        break;
    }
}

void TShellTreeModel::ShelfChanged(const TListChange& change)
{
    TTreeNode* shelfNode = Mutable(CollectionNode(change.Index));
    if (!shelfNode)
        return;
    auto* shelf = static_cast<TGroupFolder*>(shelfNode->fCollection);
    const int member = change.ItemIndex;
    switch (change.Kind) {
    case TListChangeKind::lcAddItem:
        SyncMembers(*shelfNode);
        break;
    case TListChangeKind::lcDeleteItem: {
        if (member < 0 || member >= shelf->Count())
            break;
        if (TTreeNode* node = FindMemberNode(*shelfNode, shelf->Key(member))) {
            MoveSelectionOff(*node);
            RemoveNode(*node);
        }
        SetButton(*shelfNode, shelfNode->fFilled ? !shelfNode->fChildren.empty() : HasFolderMember(*shelf, member));
        break;
    }
    case TListChangeKind::lcChangeItem: {
        if (member < 0 || member >= shelf->Count())
            break;
        const std::string oldKey = change.Item && change.Item->HasPath() ? change.Item->Path() : std::string();
        TTreeNode* node = oldKey.empty() ? nullptr : FindMemberNode(*shelfNode, oldKey);
        if (node) {
            shelf->ResolveItem(member);
            const TGroupFileInfo* info = shelf->ItemInfo(member);
            if (info->IsDirectory && info->Item.HasPath()) {
                node->fKey = shelf->Key(member);
                RepointFolder(*node, PlainPath(info->Path));
                break;
            }
            MoveSelectionOff(*node);
            RemoveNode(*node);
        }
        SyncMembers(*shelfNode);
        break;
    }
    default:
        break;
    }
}

void TShellTreeModel::MediumChanged(const TListChange& change)
{
    TTreeNode* node = Mutable(CollectionNode(change.Index));
    if (!node)
        return;
    // The catalogue was read again: what lay below the medium is gone.
    if (fSelected && fSelected != node && node->Contains(fSelected) && !NavigateTo(*node, false))
        SelectQuietly(node);
    DropChildren(*node);
    SetButton(*node, HasTopFolders(static_cast<TMediaFolder&>(*node->fCollection)));
}

// ---- Renaming -----------------------------------------------------------------------------------

bool TShellTreeModel::CanRename(const TTreeNode* node) const
{
    if (!HasNode(node) || node == &fBase)
        return false;
    switch (node->fKind) {
    case TTreeNodeKind::nkShellFolder:
    case TTreeNodeKind::nkShelfMember:
    case TTreeNodeKind::nkArchive:
        return node->fFolder && !node->fFolder->IsRoot() && (node->fFolder->GetAbilities() & iaCanRename) != 0;
    case TTreeNodeKind::nkShelf:
    case TTreeNodeKind::nkMedium:
    case TTreeNodeKind::nkCategory:
        return node->fCollection != nullptr;
    default:
        return false;
    }
}

std::string TShellTreeModel::EditText(const TTreeNode* node) const
{
    if (!HasNode(node))
        return {};
    if (node->fKind == TTreeNodeKind::nkArchive && !fOptions.EditExtension) {
        const std::string stem = ChangeFileExt(node->fText, "");
        if (!stem.empty())
            return stem;
    }
    return node->fText;
}

void TShellTreeModel::CheckCollectionName(const TTreeNode& node, const std::string& name) const
{
    const TCustomFolderList* list = CollectionList();
    if (!list)
        return;
    if (fStyle == TShellStyle::ssGroup) {
        if (const auto refusal = CheckShelfName(*fSources.Shelves, name, node.fCollection->Name()))
            throw EMirevaError(*refusal);
        return;
    }
    if (name.empty())
        throw EMirevaError(Tx("名前を入力してください  "));
    // A medium's name also names its catalogue files: two of one name would
    // share them.
    const int other = list->IndexOfName(name);
    if (other >= 0 && list->Folder(other) != node.fCollection)
        throw EMirevaError(fStyle == TShellStyle::ssMedia ? Tx("同名のメディアが存在します  ") : Tx("同名のカテゴリが存在します  "));
}

bool TShellTreeModel::Rename(const TTreeNode* node, const std::string& text)
{
    TTreeNode* target = Mutable(node);
    if (!target || !CanRename(target))
        return false;
    std::string name = Trim(text);
    const std::string oldName = target->fCollection ? target->fCollection->Name() : target->fFolder->GetName();
    if (target->fKind == TTreeNodeKind::nkArchive && !name.empty()) {
        const std::string oldExt = ExtractFileExt(oldName);
        if (!fOptions.EditExtension || (fOptions.AddExtension && ExtractFileExt(name).empty()))
            name += oldExt;
    }
    if (name == oldName)
        return false;
    // The file list shows something inside: it would lose its place.
    if (fSelected && target->Contains(fSelected))
        throw EFileError(RenameFailed(name));
    if (target->fCollection) {
        CheckCollectionName(*target, name);
        // The list's notice updates the node.
        target->fCollection->SetName(name);
        return true;
    }
    const std::string oldKey = target->fKey;
    const std::string oldPath = PlainPath(target->fFolder->GetPath());
    if (!target->fFolder->Rename(name))
        throw EFileError(RenameFailed(name));
    const std::string newPath = PlainPath(target->fFolder->GetPath());
    // Told before the node is re-pointed or removed: the handler may not
    // look at the node, only at the paths.
    if (OnRenamed)
        OnRenamed(oldPath, newPath);
    if (target->fKind == TTreeNodeKind::nkShelfMember) {
        // The member follows its folder, so the shelf does not lose it; the
        // shelf's notice re-points the node.
        auto* shelf = static_cast<TGroupFolder*>(CollectionAncestor(*target)->fCollection);
        if (!shelf->ChangeItemPath(oldKey, newPath) && HasNode(target))
            RepointFolder(*target, newPath);
        return true;
    }
    if (target->fKind == TTreeNodeKind::nkArchive && Classify(newPath) != TChildKind::ckArchive) {
        RemoveFromDisk(*target);
        return true;
    }
    TTreeNode* parent = target->fParent;
    RepointFolder(*target, newPath);
    SortChildren(*parent);
    return true;
}
