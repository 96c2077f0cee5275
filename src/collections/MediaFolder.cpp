#include "collections/MediaFolder.h"

#include <algorithm>
#include <unordered_map>

#include "base/Errors.h"
#include "collections/CompareNames.h"
#include "collections/MediaLoader.h"
#include "base/Texts.h"

std::string CatalogueKey(std::string_view path)
{
    while (!path.empty() && path.back() == '/')
        path.remove_suffix(1);
    while (!path.empty() && path.front() == '/')
        path.remove_prefix(1);
    return std::string(path);
}

std::string CatalogueFolderOf(std::string_view key)
{
    const size_t slash = key.rfind('/');
    return slash == std::string_view::npos ? std::string() : std::string(key.substr(0, slash));
}

TMediaFolder::TMediaFolder(TCustomFolderList* owner, std::string name) : TCustomFolder(owner, std::move(name))
{
    if (owner && !dynamic_cast<TMediaList*>(owner))
        throw EMirevaError(Tx("Ownerが正しくありません"));
}

TMediaFolder::~TMediaFolder()
{
    StopLoading();
}

void TMediaFolder::SetLivePath(const std::string& path)
{
    if (path == fLivePath)
        return;
    fLivePath = path;
    // A disc taken out cannot be read any further.
    if (fLivePath.empty())
        StopLoading();
}

int TMediaFolder::AddRecord(std::unique_ptr<TCtFileInfo> record)
{
    std::string key = record->Path;
    fIndexStale = true;
    return fItems.Add(std::move(key), std::move(record));
}

void TMediaFolder::Clear()
{
    fDirectories.clear();
    fIndexStale = true;
    fItems.Clear();
}

void TMediaFolder::ClearCatalogue()
{
    Clear();
    Loaded = false;
}

void TMediaFolder::CompleteCatalogue()
{
    BuildIndex();
    Loaded = true;
}

void TMediaFolder::BuildIndex() const
{
    // Folders are found through a hash first and sorted once at the end, so
    // that a catalogue of a whole disc is indexed in one pass.
    std::unordered_map<std::string, size_t> slots;
    std::vector<TDirectory> directories;
    const auto slotOf = [&](const std::string& path) -> TDirectory& {
        const auto [it, added] = slots.emplace(path, directories.size());
        if (added)
            directories.push_back(TDirectory{path, {}});
        return directories[it->second];
    };
    slotOf(std::string());
    for (int i = 0; i < fItems.Count(); ++i) {
        const TCtFileInfo* record = fItems.At(i);
        const std::string key = CatalogueKey(record->Path);
        if (key.empty())
            continue;
        if (record->IsDirectory)
            slotOf(key);
        slotOf(CatalogueFolderOf(key)).Items.push_back(record);
    }
    std::sort(directories.begin(), directories.end(),
              [](const TDirectory& a, const TDirectory& b) { return a.Path < b.Path; });
    fDirectories = std::move(directories);
    fIndexStale = false;
}

int TMediaFolder::DirectoryCount() const
{
    EnsureIndex();
    return static_cast<int>(fDirectories.size());
}

void TMediaFolder::CopyCatalogueFrom(const TMediaFolder& other)
{
    std::vector<std::unique_ptr<TCtFileInfo>> records;
    records.reserve(static_cast<size_t>(other.Count()));
    for (int i = 0; i < other.Count(); ++i)
        records.push_back(std::make_unique<TCtFileInfo>(*other.Record(i)));
    InstallCatalogue(std::move(records));
}

void TMediaFolder::InstallCatalogue(std::vector<std::unique_ptr<TCtFileInfo>> records)
{
    Clear();
    for (auto& record : records)
        AddRecord(std::move(record));
    CompleteCatalogue();
    Announce(TListChangeKind::lcUpdate);
}

int TMediaFolder::DirectoryOf(std::string_view path) const
{
    EnsureIndex();
    const std::string key = CatalogueKey(path);
    const auto it = std::lower_bound(fDirectories.begin(), fDirectories.end(), key,
                                     [](const TDirectory& d, const std::string& k) { return d.Path < k; });
    return it != fDirectories.end() && it->Path == key ? static_cast<int>(it - fDirectories.begin()) : -1;
}

const std::string& TMediaFolder::DirectoryPath(int index) const
{
    static const std::string none;
    return index >= 0 && index < DirectoryCount() ? fDirectories[static_cast<size_t>(index)].Path : none;
}

const std::vector<const TCtFileInfo*>& TMediaFolder::DirectoryItems(int index) const
{
    static const std::vector<const TCtFileInfo*> none;
    return index >= 0 && index < DirectoryCount() ? fDirectories[static_cast<size_t>(index)].Items : none;
}

int TMediaFolder::FileCount() const
{
    int count = 0;
    for (int i = 0; i < fItems.Count(); ++i)
        count += fItems.At(i)->IsDirectory ? 0 : 1;
    return count;
}

int TMediaFolder::FolderCount() const
{
    return fItems.Count() - FileCount();
}

void TMediaFolder::AttachLoader(std::unique_ptr<TMediaLoadingThread> loader)
{
    StopLoading();
    fLoader = std::move(loader);
}

void TMediaFolder::StopLoading()
{
    if (!fLoader)
        return;
    // The loader is released first, so a report it posted before it ended
    // finds no loader and is dropped.
    std::unique_ptr<TMediaLoadingThread> loader = std::move(fLoader);
    loader->Stop();
    Reloading = false;
}

void TMediaFolder::Announce(TListChangeKind kind)
{
    TListChange change;
    change.Kind = kind;
    change.Index = Index();
    Notify(change);
}

std::unique_ptr<TCustomFolder> TMediaList::CreateFolder(const std::string& name)
{
    return std::make_unique<TMediaFolder>(this, name);
}

int TMediaList::FolderIcon(const TCustomFolder& folder) const
{
    const auto* medium = dynamic_cast<const TMediaFolder*>(&folder);
    return medium && medium->Inserted() ? AltIconOf(folder.ImageIndex()) : IconOf(folder.ImageIndex());
}

int TMediaList::CompareFolders(const TCustomFolder& a, const TCustomFolder& b, int key) const
{
    const auto& ma = static_cast<const TMediaFolder&>(a);
    const auto& mb = static_cast<const TMediaFolder&>(b);
    if (key == SortByFreeSpace && ma.FreeSpace != mb.FreeSpace)
        return ma.FreeSpace < mb.FreeSpace ? -1 : 1;
    if (key == SortByDate && ma.CatalogueDate != mb.CatalogueDate)
        return ma.CatalogueDate < mb.CatalogueDate ? -1 : 1;
    if (key == SortByComment)
        return TCustomFolderList::CompareFolders(a, b, key);
    return CompareNames(a.Name(), b.Name());
}

std::unique_ptr<TMediaLoadingThread> TMediaFolder::DetachLoader()
{
    return std::move(fLoader);
}
