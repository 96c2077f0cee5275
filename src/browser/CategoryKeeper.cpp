#include "browser/CategoryKeeper.h"

#include <algorithm>

#include "browser/BrowserModel.h"
#include "browser/CollectionCommands.h"
#include "common/Text.h"
#include "shellviews/ShellTree.h"
#include "base/Texts.h"

TCategoryKeeper::TCategoryKeeper(TCategoryList& list, const std::string& dataFolder)
    : fList(list), fStore(dataFolder)
{
    fList.RegisterObserver(this);
}

TCategoryKeeper::~TCategoryKeeper()
{
    fList.UnregisterObserver(this);
}

void TCategoryKeeper::FolderListChanged(TCustomFolderList&, const TListChange& change)
{
    if (fQuiet || change.Phase != TChangePhase::cpAfter)
        return;
    switch (change.Kind) {
    case TListChangeKind::lcAdd:
    case TListChangeKind::lcDelete:
    case TListChangeKind::lcMove:
    case TListChangeKind::lcMoveArray:
    case TListChangeKind::lcSort:
    case TListChangeKind::lcProperties:
        if (const std::string error = Save(); !error.empty() && OnSaveFailed)
            OnSaveFailed(error);
        break;
    default:
        break;
    }
}

std::string TCategoryKeeper::Load()
{
    fQuiet = true;
    const TListLoadResult result = fStore.Load(fList);
    fQuiet = false;
    if (result.Unreadable)
        return Tx("カテゴリを読み込めません: ") + result.Error;
    if (result.Damaged)
        return Tx("カテゴリのファイルが壊れています: ") + result.Error;
    return {};
}

std::string TCategoryKeeper::Save()
{
    try {
        fStore.Save(fList);
    } catch (const EMirevaError& error) {
        return error.what();
    }
    return {};
}

std::string TCategoryKeeper::CheckName(const std::string& name, const TCategoryFolder* self) const
{
    if (Trim(name).empty())
        return Tx(EmptyNameText);
    const int other = fList.IndexOfName(Trim(name));
    if (other >= 0 && fList.Category(other) != self)
        return Tx(DuplicateNameText);
    return {};
}

int TCategoryKeeper::Add(const TCategoryFolder& from)
{
    fQuiet = true;
    const int index = fList.Add(Trim(from.Name()), from.ImageIndex(), from.Comment());
    fList.Category(index)->AssignFrom(from);
    fQuiet = false;
    Save();
    return index;
}

void TCategoryKeeper::Change(int index, const TCategoryFolder& from)
{
    TCategoryFolder* category = fList.Category(index);
    if (!category)
        return;
    const bool wasLoaded = category->Loaded || category->Busy();
    fQuiet = true;
    category->AssignFrom(from);
    fQuiet = false;
    // What it gathered was for the old settings: gathered again on the
    // next showing, or now when it is shown.
    category->Clear();
    if (wasLoaded)
        category->Load();
    Save();
}

void TCategoryKeeper::Delete(int index)
{
    if (!fList.Category(index))
        return;
    fList.Delete(index);
}

void TCategoryKeeper::EnsureLoaded(TCategoryFolder& category)
{
    if (!category.Loaded && !category.Busy())
        category.Load();
}

std::vector<std::string> TCategoryKeeper::Children(const TCategoryFolder& category, const std::string& itemPath)
{
    std::string path = itemPath;
    while (!path.empty() && path.back() == '/')
        path.pop_back();
    std::vector<std::string> children = category.CategoryTree().Children(path);
    for (std::string& child : children)
        child += '/';
    return children;
}

std::vector<int> CategoryTargets(TActionId action, TCommandTarget target, TBrowserModel& model,
                                 const TShellTreeModel& tree, const TCategoryList& list)
{
    if (action != TActionId::actProperties && action != TActionId::actDelete)
        return {};
    return CollectionTargets(TCollectionKind::ckCategory, action == TActionId::actProperties, target, model, tree,
                             list);
}
