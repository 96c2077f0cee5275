#include "browser/CategoryKeeper.h"

#include "common/Text.h"

TCategoryKeeper::TCategoryKeeper(TCategoryList& list, const std::string& dataFolder)
    : fList(list), fStore(dataFolder)
{
}

std::string TCategoryKeeper::Load()
{
    const TListLoadResult result = fStore.Load(fList);
    if (result.Unreadable)
        return "カテゴリを読み込めません: " + result.Error;
    if (result.Damaged)
        return "カテゴリのファイルが壊れています: " + result.Error;
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
        return std::string(EmptyNameText);
    const int other = fList.IndexOfName(Trim(name));
    if (other >= 0 && fList.Category(other) != self)
        return std::string(DuplicateNameText);
    return {};
}

int TCategoryKeeper::Add(const TCategoryFolder& from)
{
    const int index = fList.Add(Trim(from.Name()), from.ImageIndex(), from.Comment());
    fList.Category(index)->AssignFrom(from);
    Save();
    return index;
}

void TCategoryKeeper::Change(int index, const TCategoryFolder& from)
{
    TCategoryFolder* category = fList.Category(index);
    if (!category)
        return;
    const bool wasLoaded = category->Loaded || category->Busy();
    category->AssignFrom(from);
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
    Save();
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
