#pragma once

// The list of categories: trees that sort gathered files by date, name parts
// or conditions. The categories keep no file of their own; this holds the list
// and folder classes so that the views and the shelf code treat them alike.

#include <memory>
#include <string>

#include "collections/GroupFolder.h"

class TCategoryFolder : public TGroupFolder {
public:
    // owner may be null; any other owner must be a TCategoryList, else
    // EMirevaError "Ownerが正しくありません".
    TCategoryFolder(TCustomFolderList* owner, std::string name);
};

class TCategoryList : public TGroupList {
public:
    TCategoryList() : TGroupList("Cgr", "Cgr_s") {}

    TCategoryFolder* Category(int index) const { return static_cast<TCategoryFolder*>(Folder(index)); }

protected:
    std::unique_ptr<TCustomFolder> CreateFolder(const std::string& name) override;
};
