#pragma once

// The list of media catalogues: offline catalogues of removable discs, kept so
// that a disc can be browsed while it is not in a drive. A medium holds the
// disc's identity (label, serial number, file system, drive kind), its sizes,
// one record per file and folder on it, and an index of the records by the
// folder they lie in, which is how views, the search and the comparison with
// the disc walk a catalogue. Reading and writing the catalogue files, walking
// a disc and noticing inserted discs live in Media.h.

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "collections/FolderList.h"
#include "collections/KeyedList.h"
#include "collections/ShellFolder.h"

class TMediaLoadingThread;

class TMediaFolder : public TCustomFolder {
public:
    // owner may be null; any other owner must be a TMediaList, else
    // EMirevaError "Ownerが正しくありません".
    TMediaFolder(TCustomFolderList* owner, std::string name);
    ~TMediaFolder() override;

    // Where the catalogue was made: the mount's folder, as an identity.
    TItemIdList StoredRootId;
    std::string VolumeLabel;
    uint32_t SerialNumber = 0;
    TDriveType DriveType = TDriveType::dtUnknown;
    std::string FileSystem;
    int64_t Capacity = 0;           // total bytes of the medium
    int64_t FreeSpace = 0;          // free bytes of the medium when catalogued
    TDateTime CatalogueDate = 0;    // when the catalogue was made
    int64_t UsedSpace() const { return Capacity - FreeSpace; }

    // Where the catalogue's top is now, without trailing '/': the disc's
    // mount, or a folder catalogued below its mount; empty while it is in no
    // drive. SetLivePath stops a running load when the disc goes.
    const std::string& LivePath() const { return fLivePath; }
    bool Inserted() const { return !fLivePath.empty(); }
    void SetLivePath(const std::string& path);

    // Appends one catalogue record under its path relative to the medium's
    // root. The folder index is made again when it is next asked for.
    int AddRecord(std::unique_ptr<TCtFileInfo> record);
    TCtFileInfo* Record(int index) const { return fItems.At(index); }
    TCtFileInfo* ItemInfo(int index) const { return fItems.At(index); }

    // Frees the records and marks the catalogue not loaded.
    void ClearCatalogue();
    // Rebuilds the folder index from the records and marks the catalogue loaded.
    void CompleteCatalogue();
    // Replaces the records by copies of other's, completes the catalogue and
    // sends lcUpdate.
    void CopyCatalogueFrom(const TMediaFolder& other);
    // Takes over records read elsewhere (a finished load): replaces the
    // catalogue, completes it, and sends lcUpdate.
    void InstallCatalogue(std::vector<std::unique_ptr<TCtFileInfo>> records);

    // The folders of the catalogue, sorted by their path ("" is the top):
    // DirectoryOf gives a folder's index or -1, DirectoryItems the records
    // directly inside it (empty outside the range).
    int DirectoryCount() const;
    int DirectoryOf(std::string_view path) const;
    const std::string& DirectoryPath(int index) const;
    const std::vector<const TCtFileInfo*>& DirectoryItems(int index) const;
    // The records directly inside the folder at path; empty when it is none.
    const std::vector<const TCtFileInfo*>& ItemsOf(std::string_view path) const
    {
        return DirectoryItems(DirectoryOf(path));
    }
    // The count of file and folder records (the top itself is no record).
    int FileCount() const;
    int FolderCount() const;

    // The running load of this medium; null when none runs.
    TMediaLoadingThread* LoaderThread() const { return fLoader.get(); }
    bool Loading() const { return fLoader != nullptr; }
    bool Reloading = false;
    // Raised on the owner's thread while a load runs: with the path of the
    // item being read, or with sorting set when the records are being
    // installed. OnLoaded follows once the records are installed, or with the
    // reason when the disc could not be read (the catalogue then stays as it was).
    std::function<void(TMediaFolder&, const std::string& path, bool sorting)> OnLoadProgress;
    std::function<void(TMediaFolder&, const std::string& error)> OnLoaded;
    // Starts a load of the disc mounted at rootPath (Media.h); ends one that runs.
    void AttachLoader(std::unique_ptr<TMediaLoadingThread> loader);
    // Ends the running load, if any, and waits for its thread; its records are
    // discarded.
    void StopLoading();
    // The load that ended, handed back by its own last report.
    std::unique_ptr<TMediaLoadingThread> DetachLoader();

    int Count() const override { return fItems.Count(); }
    int IndexOf(std::string_view key) const override { return fItems.IndexOf(key); }
    const std::string& Key(int index) const override { return fItems.Key(index); }
    void Clear() override;

private:
    struct TDirectory {
        std::string Path;
        std::vector<const TCtFileInfo*> Items;
    };
    void Announce(TListChangeKind kind);
    void BuildIndex() const;
    void EnsureIndex() const
    {
        if (fIndexStale)
            BuildIndex();
    }

    TKeyedList<TCtFileInfo> fItems;
    // Made from the records on demand; only the owner's thread asks for it.
    mutable std::vector<TDirectory> fDirectories;
    mutable bool fIndexStale = true;
    std::string fLivePath;
    std::unique_ptr<TMediaLoadingThread> fLoader;
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

    int FolderIcon(const TCustomFolder& folder) const override;

    // The mount whose disc may not be ejected meanwhile; empty for none.
    std::string LockedDrive;

protected:
    std::unique_ptr<TCustomFolder> CreateFolder(const std::string& name) override;
    int CompareFolders(const TCustomFolder& a, const TCustomFolder& b, int key) const override;
};

// A record path as the folder index keys it: without leading or trailing '/'.
std::string CatalogueKey(std::string_view path);
// The folder a record path lies in ("" at the top).
std::string CatalogueFolderOf(std::string_view key);
