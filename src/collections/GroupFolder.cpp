#include "collections/GroupFolder.h"

#include "base/Errors.h"
#include "base/PathUtils.h"
#include "platform/FileSystem.h"
#include "base/Texts.h"

TGroupFolder::TGroupFolder(TCustomFolderList* owner, std::string name) : TCustomFolder(owner, std::move(name))
{
    if (owner && !dynamic_cast<TGroupList*>(owner))
        throw EMirevaError(Tx("Ownerが正しくありません"));
}

TGroupFolder::TGroupFolder(TCustomFolderList* owner, std::string name, TAnyOwner)
    : TCustomFolder(owner, std::move(name))
{
}

TGroupFolder::~TGroupFolder() = default;

bool TGroupFolder::HasMember(const TNewItem& item) const
{
    if (!item.Path.empty())
        return fItems.IndexOf(item.Path) >= 0;
    // Members without a path (foreign or root identities) are the same when
    // their stored bytes are.
    for (int i = 0; i < fItems.Count(); ++i) {
        if (fItems.Key(i).empty() && fItems.At(i)->Item == item.Item)
            return true;
    }
    return false;
}

int TGroupFolder::AddItems(std::vector<TNewItem> items)
{
    const int first = Count();
    for (TNewItem& item : items) {
        // A member without an identity could not be stored in the shelf file.
        if (item.Item.IsAbsent() || HasMember(item))
            continue;
        auto record = std::make_unique<TGroupFileInfo>();
        record->Item = std::move(item.Item);
        record->Path = item.Path;
        fItems.Add(std::move(item.Path), std::move(record));
    }
    const int added = Count() - first;
    if (added > 0) {
        NeedsResolve = true;
        Notify({.Kind = TListChangeKind::lcAddItem, .Phase = TChangePhase::cpAfter, .ItemIndex = first});
    }
    return added;
}

int TGroupFolder::ParentIndexOf(const std::string& dirPath, const TItemIdList& dirItem, bool knownToExist)
{
    const int found = fParentFolders.IndexOf(dirPath);
    if (found >= 0)
        return found;
    if (!knownToExist && !DirectoryExists(dirPath))
        return -1;
    std::unique_ptr<TShellFolder> node =
        dirItem.HasPath() ? TShellFolder::Create(nullptr, dirItem) : TShellFolder::CreateFromPath(nullptr, dirPath);
    node->SetIsDirectory(true);
    return fParentFolders.Add(dirPath, std::move(node));
}

void TGroupFolder::ResolveItem(int index)
{
    TGroupFileInfo* info = fItems.At(index);
    if (!info || info->Resolved)
        return;
    if (info->Item.IsRoot()) {
        info->ParentIndex = -1;
        info->IsDirectory = true;
    } else {
        if (info->Path.empty() && info->Item.HasPath())
            info->Path = info->Item.Path();
        const std::string plain = ExcludeTrailingPathDelimiter(info->Path);
        if (plain.empty() || plain == "/") {
            // "/" hangs below the root; a foreign identity has no place here.
            info->ParentIndex = -1;
            info->IsDirectory = plain == "/";
        } else {
            const std::string parent = ExcludeTrailingPathDelimiter(ExtractFilePath(plain));
            info->ParentIndex = ParentIndexOf(parent, TItemIdList::FromPath(parent));
            // A member whose folder is gone keeps its path and counts as a
            // file; the views show it as missing.
            info->IsDirectory = DirectoryExists(plain);
        }
    }
    info->Resolved = true;
}

void TGroupFolder::ResolveAll()
{
    if (!NeedsResolve)
        return;
    for (int i = 0; i < Count(); ++i)
        ResolveItem(i);
    NeedsResolve = false;
}

void TGroupFolder::DeleteItem(int index)
{
    TGroupFileInfo* info = fItems.At(index);
    if (!info)
        return;
    Notify({.Kind = TListChangeKind::lcDeleteItem, .Phase = TChangePhase::cpBefore, .ItemIndex = index,
            .Item = &info->Item});
    fItems.Extract(index);
}

bool TGroupFolder::ChangeItemPath(const std::string& oldPath, const std::string& newPath)
{
    const int index = fItems.IndexOf(oldPath);
    if (index < 0)
        return false;
    TItemIdList newItem = TItemIdList::FromPath(newPath);
    if (newItem.IsAbsent())
        return false;
    if (newPath != oldPath && fItems.IndexOf(newPath) >= 0) {
        // The new path is a member already: keeping both would hold the
        // same file twice under one key, so the old member goes.
        DeleteItem(index);
        return true;
    }
    TGroupFileInfo* info = fItems.At(index);
    const TItemIdList oldItem = std::move(info->Item);
    info->Item = std::move(newItem);
    info->Path = newPath;
    // The member may now live in another folder: find its parent again.
    info->Resolved = false;
    NeedsResolve = true;
    fItems.SetKey(index, newPath);
    Notify({.Kind = TListChangeKind::lcChangeItem, .Phase = TChangePhase::cpAfter, .ItemIndex = index,
            .Item = &oldItem, .NewItem = &info->Item});
    return true;
}

void TGroupFolder::Clear()
{
    fItems.Clear();
    fParentFolders.Clear();
}

std::unique_ptr<TCustomFolder> TGroupList::CreateFolder(const std::string& name)
{
    return std::make_unique<TGroupFolder>(this, name);
}
