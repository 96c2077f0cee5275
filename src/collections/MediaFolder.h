#pragma once

// The list of media catalogues: offline catalogues of removable discs, kept so
// that a disc can be browsed while it is not in a drive. This holds the list
// and folder classes with what sorting them needs; reading and writing the
// catalogues and noticing inserted discs live with the catalogue files.

#include <memory>
#include <string>

#include "collections/FolderList.h"
#include "collections/KeyedList.h"

class TMediaFolder : public TCustomFolder {
public:
    // owner may be null; any other owner must be a TMediaList, else
    // EMirevaError "Ownerが正しくありません".
    TMediaFolder(TCustomFolderList* owner, std::string name);

    int64_t FreeSpace = 0;          // free bytes of the medium when catalogued
    TDateTime CatalogueDate = 0;    // when the catalogue was made

    // Appends one catalogue record under its path relative to the medium's root.
    int AddRecord(std::unique_ptr<TCtFileInfo> record);
    TCtFileInfo* Record(int index) const { return fItems.At(index); }

    int Count() const override { return fItems.Count(); }
    int IndexOf(std::string_view key) const override { return fItems.IndexOf(key); }
    const std::string& Key(int index) const override { return fItems.Key(index); }
    void Clear() override { fItems.Clear(); }

private:
    TKeyedList<TCtFileInfo> fItems;
};

class TMediaList : public TCustomFolderList {
public:
    // Sort keys beyond name and comment.
    static constexpr int SortByFreeSpace = 2;
    static constexpr int SortByDate = 3;

    TMediaList() : TCustomFolderList("Mdr", "Mdr_e") {}

    TMediaFolder* Medium(int index) const { return static_cast<TMediaFolder*>(Folder(index)); }
    // Appends a catalogue read elsewhere; sends lcAdd.
    int Add(std::unique_ptr<TMediaFolder> folder) { return AddFolder(std::move(folder)); }
    using TCustomFolderList::Add;

    // The drive whose media may not be ejected meanwhile; -1 for none.
    int LockedDrive = -1;

protected:
    std::unique_ptr<TCustomFolder> CreateFolder(const std::string& name) override;
    int CompareFolders(const TCustomFolder& a, const TCustomFolder& b, int key) const override;
};
