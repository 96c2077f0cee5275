#include "collections/SearchWalker.h"

#include <algorithm>

#include "base/Errors.h"
#include "base/PathUtils.h"
#include "collections/CompareNames.h"
#include "collections/SearchCache.h"
#include "collections/ShellFolder.h"
#include "platform/FileSystem.h"

namespace {

// The directory as the cache and the visited set key it: without its
// trailing '/', except "/" itself.
std::string DirectoryKey(const std::string& path)
{
    std::string key = ExcludeTrailingPathDelimiter(path);
    return key.empty() ? std::string("/") : key;
}

std::string_view NameOf(std::string_view path)
{
    const size_t slash = path.rfind('/');
    return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

// Sorts paths of one directory by their names. An order of positions is
// sorted and the items moved once: records are large to move about.
template <typename T, typename PathOf>
void SortByName(std::vector<T>& items, PathOf pathOf)
{
    if (items.size() < 2)
        return;
    // Entries from the cache are in name order already; a listing is not,
    // and the test stops at its first pair out of order.
    if (std::is_sorted(items.begin(), items.end(), [&](const T& a, const T& b) {
            return CompareNames(NameOf(pathOf(a)), NameOf(pathOf(b))) < 0;
        }))
        return;
    std::vector<uint32_t> order(items.size());
    for (uint32_t i = 0; i < order.size(); ++i)
        order[i] = i;
    if (items.size() <= 32) {
        // A small batch compares names in place: fewer comparisons than
        // keys to make.
        std::stable_sort(order.begin(), order.end(), [&](uint32_t a, uint32_t b) {
            return CompareNames(NameOf(pathOf(items[a])), NameOf(pathOf(items[b]))) < 0;
        });
    } else {
        std::vector<std::string> keys;
        keys.reserve(items.size());
        for (const T& item : items)
            keys.push_back(NameSortKey(NameOf(pathOf(item))));
        std::stable_sort(order.begin(), order.end(), [&](uint32_t a, uint32_t b) { return keys[a] < keys[b]; });
    }
    std::vector<T> sorted;
    sorted.reserve(items.size());
    for (const uint32_t i : order)
        sorted.push_back(std::move(items[i]));
    items = std::move(sorted);
}

bool MakeResult(const TCtFileInfo& entry, std::vector<TGroupFileInfo>& results)
{
    TItemIdList item = TItemIdList::FromPath(entry.Path);
    if (item.IsAbsent())
        return false;  // a path no stored identity can name
    TGroupFileInfo& result = results.emplace_back();
    static_cast<TCtFileInfo&>(result) = entry;
    result.Item = std::move(item);
    result.Resolved = true;
    return true;
}

}  // namespace

TCtFileInfo CacheRecordOf(const std::string& directory, const TDirEntry& entry)
{
    TCtFileInfo record;
    record.Path = JoinPath(directory, entry.Name);
    const TFileStatus& status = entry.Status;
    record.IsDirectory = status.Kind == TFileKind::fkFolder;
    int32_t attributes = 0;
    if (record.IsDirectory)
        attributes |= static_cast<int32_t>(faDirectory);
    else if (status.Kind != TFileKind::fkFile)
        attributes |= static_cast<int32_t>(faSysFile);
    if (status.ReadOnly)
        attributes |= static_cast<int32_t>(faReadOnly);
    if (IsHiddenName(entry.Name))
        attributes |= static_cast<int32_t>(faHidden);
    if (status.IsLink)
        attributes |= faSymLink;
    record.Attributes = attributes;
    record.Size = status.Kind == TFileKind::fkFile ? status.Size : 0;
    record.Modified = UnixToDateTime(status.ModifiedSeconds, status.ModifiedNanoseconds);
    return record;
}

int ComparePaths(std::string_view a, std::string_view b)
{
    size_t i = 0;
    size_t j = 0;
    while (i < a.size() && j < b.size()) {
        const size_t ea = std::min(a.find('/', i), a.size());
        const size_t eb = std::min(b.find('/', j), b.size());
        if (const int c = CompareNames(a.substr(i, ea - i), b.substr(j, eb - j)); c != 0)
            return c;
        i = ea + 1;
        j = eb + 1;
    }
    const bool aDone = i >= a.size();
    const bool bDone = j >= b.size();
    if (aDone != bDone)
        return aDone ? -1 : 1;
    // Names equal but for case: the bytes decide, so the order is total.
    return a.compare(b) < 0 ? -1 : a.compare(b) > 0 ? 1 : 0;
}

TSearchWalker::TSearchWalker(const TSearchFilter& filter, TSearchCache* cache, TSearchSink& sink, bool trackFound)
    : fFilter(filter), fCache(cache), fSink(sink), fTrackFound(trackFound)
{
}

void TSearchWalker::SearchDirectory(const std::string& path)
{
    // Depth first, sub-folders in name order, without recursion: a deep tree
    // cannot exhaust the thread's stack.
    std::vector<std::string> pending{DirectoryKey(path)};
    while (!pending.empty() && !fSink.Stopped()) {
        const std::string directory = std::move(pending.back());
        pending.pop_back();
        TListed listed;
        if (!SearchOne(directory, listed) || !fFilter.Conditions().Subfolders)
            continue;
        for (auto it = listed.Subfolders.rbegin(); it != listed.Subfolders.rend(); ++it)
            pending.push_back(std::move(*it));
    }
}

bool TSearchWalker::SearchOne(const std::string& directory, TListed& listed)
{
    if (fVisited.count(directory) || fSink.Stopped())
        return false;
    fSink.Progress(directory);
    if (fCache)
        FromCache(directory, listed);
    else
        FromDisk(directory, listed);
    fVisited.insert(directory);
    SortByName(listed.Subfolders, [](const std::string& p) -> const std::string& { return p; });
    if (!listed.Results.empty()) {
        fListing = true;
        Deliver(directory, std::move(listed.Results));
        fListing = false;
    }
    return true;
}

bool TSearchWalker::EnterOnce(const std::string& directory)
{
    const TFileStatus status = QueryFile(directory, true);
    if (status.Kind != TFileKind::fkFolder)
        return false;
    return fEntered.emplace(status.Device, status.Inode).second;
}

void TSearchWalker::FromDisk(const std::string& directory, TListed& listed)
{
    if (!EnterOnce(directory))
        return;
    std::vector<TDirEntry> entries;
    try {
        entries = ListDirectory(directory, TListDetail::ldKinds);
    } catch (const EFileError&) {
        return;  // gone or closed to us: nothing to find there
    }
    const bool takeHidden = fFilter.Conditions().TakeHidden;
    std::unique_ptr<TFolderStatter> statter;
    for (const TDirEntry& entry : entries) {
        if (fSink.Stopped())
            return;
        const bool isDirectory = entry.Status.Kind == TFileKind::fkFolder;
        const bool hidden = IsHiddenName(entry.Name);
        if (isDirectory && !entry.Status.IsLink && (takeHidden || !hidden))
            listed.Subfolders.push_back(JoinPath(directory, entry.Name));
        if (!fFilter.MayTake(entry.Name, isDirectory))
            continue;
        TDirEntry detailed = entry;
        if (!entry.Detailed) {
            // Only the names that pass are asked about their size and date.
            try {
                if (!statter)
                    statter = std::make_unique<TFolderStatter>(directory);
            } catch (const EFileError&) {
                return;
            }
            detailed.Status = statter->Query(entry.Name);
            if (detailed.Status.Kind == TFileKind::fkNone)
                continue;  // gone meanwhile
        }
        const TCtFileInfo record = CacheRecordOf(directory, detailed);
        if (Found(record.Path) || !fFilter.PassesLimits(record.IsDirectory, record.Size, record.Modified))
            continue;
        MakeResult(record, listed.Results);
    }
}

void TSearchWalker::FromCache(const std::string& directory, TListed& listed)
{
    std::shared_ptr<const TCacheEntries> entries = fCache->Find(directory);
    if (!entries) {
        if (!EnterOnce(directory))
            return;
        TCacheEntries read;
        try {
            for (const TDirEntry& entry : ListDirectory(directory, TListDetail::ldFull))
                read.push_back(CacheRecordOf(directory, entry));
        } catch (const EFileError&) {
            return;
        }
        // Kept in name order, so that later searches deliver without sorting.
        SortByName(read, [](const TCtFileInfo& r) -> const std::string& { return r.Path; });
        entries = fCache->Add(directory, std::move(read));
    }
    const bool takeHidden = fFilter.Conditions().TakeHidden;
    for (const TCtFileInfo& entry : *entries) {
        if (fSink.Stopped())
            return;
        const std::string_view name = NameOf(entry.Path);
        const bool hidden = IsHiddenName(name);
        if (entry.IsDirectory && !(entry.Attributes & faSymLink) && (takeHidden || !hidden))
            listed.Subfolders.push_back(entry.Path);
        if (fFilter.MayTake(name, entry.IsDirectory) && !Found(entry.Path) &&
            fFilter.PassesLimits(entry.IsDirectory, entry.Size, entry.Modified))
            MakeResult(entry, listed.Results);
    }
}

void TSearchWalker::Deliver(const std::string& directory, std::vector<TGroupFileInfo> results)
{
    if (fSink.Stopped())
        return;
    SortByName(results, [](const TGroupFileInfo& r) -> const std::string& { return r.Path; });
    for (const TGroupFileInfo& result : results)
        MarkFound(result.Path);
    TSearchBatch batch;
    batch.Kind = fOrigin.Kind;
    batch.TargetName = fOrigin.TargetName;
    batch.TargetIndex = fOrigin.TargetIndex;
    batch.TargetPath = fOrigin.TargetPath;
    batch.EntryPath = fOrigin.EntryPath;
    batch.EntryItem = fOrigin.EntryItem;
    batch.DirPath = directory;
    batch.DirItem = TItemIdList::FromPath(directory);
    batch.Records = std::move(results);
    batch.DirListed = fListing;
    fSink.Deliver(std::move(batch));
}
