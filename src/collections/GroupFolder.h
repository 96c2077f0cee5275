#pragma once

// Shelves: named, user-made collections of folders, files and archives from
// anywhere in the file system. TGroupFolder keeps the members in the order
// they were added, keyed by their exact path, and one node per folder that
// holds members, so that listing a shelf looks at each folder once. TGroupList
// is the program's one list of shelves.

#include <memory>
#include <string>
#include <vector>

#include "collections/FolderList.h"
#include "collections/KeyedList.h"
#include "collections/ShellFolder.h"

class TGroupFolder : public TCustomFolder {
public:
    // Names and comments as the shelf dialog limits them, in characters.
    static constexpr size_t MaxNameLength = 50;
    static constexpr size_t MaxCommentLength = 100;

    // owner may be null (a temporary shelf); any other owner must be a
    // TGroupList, else EMirevaError "Ownerが正しくありません".
    TGroupFolder(TCustomFolderList* owner, std::string name);
    ~TGroupFolder() override;

    struct TNewItem {
        std::string Path;
        TItemIdList Item;
    };
    // Appends one member per item, skipping items without an identity and
    // paths that are members already (also twice in items), and sends lcAddItem once with the index of the
    // first new member. Returns the number added.
    int AddItems(std::vector<TNewItem> items);

    // Finds a member's parent folder node and whether it is a folder; done
    // lazily when a shelf is first listed or searched.
    void ResolveItem(int index);
    // Resolves every member when members were added since the last time.
    void ResolveAll();
    bool NeedsResolve = false;

    // The index of the folder node for dirPath, made (and checked to exist,
    // unless the caller has just read the folder) when missing; -1 when the
    // folder does not exist.
    int ParentIndexOf(const std::string& dirPath, const TItemIdList& dirItem, bool knownToExist = false);
    TShellFolder* ParentNode(int index) const { return fParentFolders.At(index); }
    int ParentCount() const { return fParentFolders.Count(); }

    TGroupFileInfo* ItemInfo(int index) const { return fItems.At(index); }
    // Sends lcDeleteItem (before), then removes the member.
    void DeleteItem(int index);
    // Points the member with oldPath at newPath and sends lcChangeItem; false
    // when oldPath is no member or newPath cannot be an identity. When newPath
    // is a member already, the oldPath member is deleted instead.
    bool ChangeItemPath(const std::string& oldPath, const std::string& newPath);

    int Count() const override { return fItems.Count(); }
    int IndexOf(std::string_view key) const override { return fItems.IndexOf(key); }
    const std::string& Key(int index) const override { return fItems.Key(index); }
    void Clear() override;

protected:
    // For folders that accept any owner (search results).
    struct TAnyOwner {};
    TGroupFolder(TCustomFolderList* owner, std::string name, TAnyOwner);
    // For folders that make their members' records themselves (search
    // results): no notice is sent.
    int AddRecord(std::string key, std::unique_ptr<TGroupFileInfo> record)
    {
        return fItems.AddUnindexed(std::move(key), std::move(record));
    }
    std::unique_ptr<TGroupFileInfo> ExtractRecord(int index) { return fItems.Extract(index); }

private:
    bool HasMember(const TNewItem& item) const;

    TKeyedList<TGroupFileInfo> fItems;
    TKeyedList<TShellFolder> fParentFolders;
};

class TGroupList : public TCustomFolderList {
public:
    TGroupList() : TCustomFolderList("Grp", "Grp_s") {}

    TGroupFolder* Group(int index) const { return static_cast<TGroupFolder*>(Folder(index)); }

protected:
    TGroupList(std::string iconPrefix, std::string altIconPrefix)
        : TCustomFolderList(std::move(iconPrefix), std::move(altIconPrefix))
    {
    }
    std::unique_ptr<TCustomFolder> CreateFolder(const std::string& name) override;
    bool LoadedOnCreation() const override { return true; }
};
