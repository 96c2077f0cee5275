#include "browser/CollectionCommands.h"

#include <algorithm>

#include "base/PathUtils.h"
#include "browser/BrowserModel.h"
#include "browser/CommandTarget.h"
#include "collections/GroupFolder.h"
#include "collections/Shelf.h"
#include "common/Text.h"
#include "shellviews/ShellTree.h"
#include "base/Texts.h"

std::optional<TCollectionKind> TCollectionCommands::ListedKind(TListKind kind)
{
    switch (kind) {
    case TListKind::lkShelves: return TCollectionKind::ckShelf;
    case TListKind::lkMediaList: return TCollectionKind::ckMedium;
    case TListKind::lkCategories: return TCollectionKind::ckCategory;
    default: return std::nullopt;
    }
}

std::string TCollectionCommands::DeleteQuestion(TCollectionKind kind)
{
    switch (kind) {
    case TCollectionKind::ckShelf: return Tx("選択された本棚を削除してもよろしいですか？  ");
    case TCollectionKind::ckMedium: return Tx("選択されたメディアを削除してもよろしいですか？  ");
    case TCollectionKind::ckCategory: break;
    }
    return Tx("選択されたカテゴリを削除してもよろしいですか？  ");
}

std::string TCollectionCommands::DuplicateNameText(TCollectionKind kind)
{
    switch (kind) {
    case TCollectionKind::ckShelf: return Tx("同名の本棚が存在します  ");
    case TCollectionKind::ckMedium: return Tx("同名のメディアが存在します  ");
    case TCollectionKind::ckCategory: break;
    }
    return Tx("同名のカテゴリが存在します  ");
}

TCustomFolderList& TCollectionCommands::ListOf(TCollectionKind kind) const
{
    switch (kind) {
    case TCollectionKind::ckShelf: return fLists.Shelves;
    case TCollectionKind::ckMedium: return fLists.Media;
    case TCollectionKind::ckCategory: break;
    }
    return fLists.Categories;
}

void TCollectionCommands::ShelvesChanged(TCollectionKind kind) const
{
    if (kind == TCollectionKind::ckShelf && OnShelvesChanged)
        OnShelvesChanged();
}

bool TCollectionCommands::DeleteCollections(TCollectionKind kind, const std::vector<TCustomFolder*>& folders,
                                            bool noQuestion)
{
    if (folders.empty() || (!noQuestion && !fHost.Ask(DeleteQuestion(kind))))
        return false;
    // By the folders, not by indices: each deletion moves the later ones up.
    TCustomFolderList& list = ListOf(kind);
    bool any = false;
    for (TCustomFolder* folder : folders) {
        const int index = list.IndexOf(folder);
        if (index < 0)
            continue;
        list.Delete(index);
        any = true;
    }
    if (any)
        ShelvesChanged(kind);
    return any;
}

bool TCollectionCommands::RemoveMembers(TGroupFolder& shelf, const std::vector<std::string>& paths,
                                        const std::string& question, bool noQuestion)
{
    if (paths.empty() || (!noQuestion && !fHost.Ask(question)))
        return false;
    bool any = false;
    for (const std::string& path : paths) {
        // Members are kept by their plain path; a folder's row may end in '/'.
        const int index = shelf.IndexOf(ExcludeTrailingPathDelimiter(path));
        if (index < 0)
            continue;
        shelf.DeleteItem(index);
        any = true;
    }
    if (any)
        ShelvesChanged(TCollectionKind::ckShelf);
    return any;
}

bool TCollectionCommands::Rename(TCollectionKind kind, TCustomFolder& folder, const std::string& name)
{
    const std::string trimmed = Trim(name);
    if (trimmed == folder.Name())
        return false;
    TCustomFolderList& list = ListOf(kind);
    std::optional<std::string> refusal;
    if (auto* shelves = dynamic_cast<TGroupList*>(&list); shelves && kind == TCollectionKind::ckShelf) {
        refusal = CheckShelfName(*shelves, trimmed, folder.Name());
    } else if (trimmed.empty()) {
        refusal = Tx("名前を入力してください  ");
    } else {
        const int other = list.IndexOfName(trimmed);
        if (other >= 0 && list.Folder(other) != &folder)
            refusal = DuplicateNameText(kind);
    }
    if (refusal) {
        fHost.Tell(*refusal, TMessageIcon::miInformation);
        return false;
    }
    folder.SetName(trimmed);
    ShelvesChanged(kind);
    return true;
}

std::vector<int> CollectionTargets(TCollectionKind kind, bool listed, TCommandTarget target, TBrowserModel& model,
                                   const TShellTreeModel& tree, const TCustomFolderList& list)
{
    struct TKindFacts {
        TTreeNodeKind Node;
        TListKind List;      // the list of them
        TListKind Contents;  // one of them listed
    };
    const TKindFacts facts = kind == TCollectionKind::ckShelf
                                 ? TKindFacts{TTreeNodeKind::nkShelf, TListKind::lkShelves, TListKind::lkShelf}
                             : kind == TCollectionKind::ckMedium
                                 ? TKindFacts{TTreeNodeKind::nkMedium, TListKind::lkMediaList, TListKind::lkMedium}
                                 : TKindFacts{TTreeNodeKind::nkCategory, TListKind::lkCategories, TListKind::lkCategory};
    std::vector<int> indices;
    const auto add = [&](const TCustomFolder* collection) {
        if (const int index = collection ? list.IndexOf(collection) : -1; index >= 0)
            indices.push_back(index);
    };
    if (target == TCommandTarget::ctTree) {
        if (const TTreeNode* node = tree.Selected(); node && node->Kind() == facts.Node)
            add(node->Collection());
        return indices;
    }
    if (target != TCommandTarget::ctFileList)
        return indices;
    if (model.ListKind() == facts.List) {
        const int focused = model.FocusedItem();
        const std::vector<int>& selection = model.Selection();
        if (std::find(selection.begin(), selection.end(), focused) != selection.end())
            add(model.FileList().CollectionAt(focused));
        for (int row : selection)
            if (row != focused)
                add(model.FileList().CollectionAt(row));
    } else if (model.ListKind() == facts.Contents && listed && model.Selection().empty()) {
        add(model.FileList().ShownCollection());
    }
    return indices;
}
