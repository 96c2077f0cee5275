#include "collections/CategoryFolder.h"

#include "base/Errors.h"

TCategoryFolder::TCategoryFolder(TCustomFolderList* owner, std::string name)
    : TGroupFolder(owner, std::move(name), TAnyOwner{})
{
    if (owner && !dynamic_cast<TCategoryList*>(owner))
        throw EMirevaError("Ownerが正しくありません");
}

std::unique_ptr<TCustomFolder> TCategoryList::CreateFolder(const std::string& name)
{
    return std::make_unique<TCategoryFolder>(this, name);
}
