#include "browser/NeighbourWalk.h"

#include <algorithm>

#include "base/Errors.h"
#include "base/PathUtils.h"
#include "collections/CompareNames.h"
#include "common/Text.h"
#include "loading/AcvUnit.h"
#include "platform/FileSystem.h"

namespace {

TNeighbourMove MakeMove(TNeighbourKind kind, std::string path = {}, std::string inner = {}, int index = -1,
                        bool archive = false)
{
    TNeighbourMove move;
    move.Kind = kind;
    move.Path = std::move(path);
    move.Inner = std::move(inner);
    move.Index = index;
    move.Archive = archive;
    return move;
}

}  // namespace

int NeighbourIndex(const std::vector<TWalkEntry>& entries, std::string_view current, bool currentIsFolder,
                   TWalkDirection direction, const std::function<bool(std::string_view ext)>& isArchive,
                   const std::function<bool(const TWalkEntry&)>& usable,
                   const std::function<bool(std::string_view, std::string_view)>& sameKey)
{
    // The order neighbours follow each other in: the folders, then the
    // archives, each as the container sorts them.
    std::vector<int> order;
    order.reserve(entries.size());
    for (size_t i = 0; i < entries.size(); ++i)
        if (entries[i].Folder)
            order.push_back(static_cast<int>(i));
    for (size_t i = 0; i < entries.size(); ++i)
        if (!entries[i].Folder && isArchive && isArchive(ExtractFileExt(entries[i].Key)))
            order.push_back(static_cast<int>(i));

    const auto same = [&](const std::string& key) { return sameKey ? sameKey(key, current) : key == current; };
    const auto at = std::find_if(order.begin(), order.end(), [&](int i) {
        const TWalkEntry& entry = entries[static_cast<size_t>(i)];
        return entry.Folder == currentIsFolder && same(entry.Key);
    });
    if (at == order.end())
        return -1;
    const int step = direction == TWalkDirection::wdForward ? 1 : -1;
    for (auto p = static_cast<int>(at - order.begin()) + step; p >= 0 && p < static_cast<int>(order.size()); p += step) {
        const int index = order[static_cast<size_t>(p)];
        if (!usable || usable(entries[static_cast<size_t>(index)]))
            return index;
    }
    return -1;
}

// --- Folders on disk ---------------------------------------------------------------

namespace {

std::optional<std::string> ParentKey(const std::string& key, const std::string& top)
{
    if (key.empty() || key == top)
        return std::nullopt;
    return ExtractFilePath(ExcludeTrailingPathDelimiter(key));
}

}  // namespace

void TDiskWalkSpace::Visit(const std::string& folder)
{
    const TFileStatus status = QueryFile(folder);
    if (status.Kind == TFileKind::fkFolder)
        fVisited.insert({status.Device, status.Inode});
}

void TDiskWalkSpace::Begin(const std::string& current, bool currentIsFolder)
{
    // The folder shown is where the reader is: a link to it leads nowhere new.
    if (currentIsFolder)
        Visit(current);
}

bool TDiskWalkSpace::List(const std::string& container, std::vector<TWalkEntry>& entries)
{
    entries.clear();
    fLinks.clear();
    std::vector<TDirEntry> listed;
    try {
        listed = ListDirectory(container);
    } catch (const EMirevaError&) {
        return false;
    }
    // Every folder the walk lists lies on its way: a link back to one of
    // them would lead around in a circle.
    Visit(container);
    fListedReal = RealPath(container);
    const std::string folder = IncludeTrailingPathDelimiter(container);
    std::vector<const TDirEntry*> folders;
    std::vector<const TDirEntry*> files;
    for (const TDirEntry& entry : listed) {
        if (entry.Status.Kind == TFileKind::fkFolder)
            folders.push_back(&entry);
        else if (entry.Status.Kind == TFileKind::fkFile)
            files.push_back(&entry);
    }
    const auto byName = [](const TDirEntry* a, const TDirEntry* b) { return CompareNames(a->Name, b->Name) < 0; };
    std::sort(folders.begin(), folders.end(), byName);
    std::sort(files.begin(), files.end(), byName);
    for (const TDirEntry* entry : folders) {
        TWalkEntry& item = entries.emplace_back();
        item.Key = folder + entry->Name + '/';
        item.Folder = true;
        TLinked linked;
        linked.Link = entry->Status.IsLink;
        linked.Id = {entry->Status.Device, entry->Status.Inode};
        if (linked.Link)
            linked.Real = RealPath(item.Key);
        fLinks.emplace_back(item.Key, std::move(linked));
    }
    for (const TDirEntry* entry : files)
        entries.push_back(TWalkEntry{folder + entry->Name, false});
    return true;
}

std::optional<std::string> TDiskWalkSpace::ParentOf(const std::string& key) const
{
    return ParentKey(key, "/");
}

bool TDiskWalkSpace::Usable(const TWalkEntry& entry)
{
    if (!entry.Folder)
        return true;
    const auto found = std::find_if(fLinks.begin(), fLinks.end(), [&](const auto& pair) { return pair.first == entry.Key; });
    if (found == fLinks.end())
        return true;
    const TLinked& linked = found->second;
    if (fVisited.count(linked.Id) > 0)
        return false;
    if (!linked.Link)
        return true;
    // A link is followed only into the folder it lies in, never out of it.
    const std::string base = IncludeTrailingPathDelimiter(fListedReal);
    const std::string real = IncludeTrailingPathDelimiter(linked.Real);
    return !fListedReal.empty() && !linked.Real.empty() && real.size() > base.size() &&
           real.compare(0, base.size(), base) == 0;
}

// --- Folders inside an archive ----------------------------------------------------------

bool TArchiveWalkSpace::List(const std::string& container, std::vector<TWalkEntry>& entries)
{
    entries.clear();
    std::vector<TArchiveFileInfo*> records;
    fArchiver.List(container, true, records);
    std::vector<const TArchiveFileInfo*> folders;
    std::vector<const TArchiveFileInfo*> members;
    for (const TArchiveFileInfo* record : records) {
        if (record->IsFolder()) {
            // The index may list a folder's own record beside its content.
            if (record->Path != container)
                folders.push_back(record);
        } else {
            members.push_back(record);
        }
    }
    std::sort(folders.begin(), folders.end(), [](const TArchiveFileInfo* a, const TArchiveFileInfo* b) {
        return CompareNames(ExcludeTrailingPathDelimiter(a->Path), ExcludeTrailingPathDelimiter(b->Path)) < 0;
    });
    std::sort(members.begin(), members.end(),
              [](const TArchiveFileInfo* a, const TArchiveFileInfo* b) { return CompareNames(a->Name, b->Name) < 0; });
    for (const TArchiveFileInfo* record : folders)
        entries.push_back(TWalkEntry{record->Path, true});
    for (const TArchiveFileInfo* record : members)
        entries.push_back(TWalkEntry{record->Path + record->Name, false});
    return true;
}

std::optional<std::string> TArchiveWalkSpace::ParentOf(const std::string& key) const
{
    if (key.empty())
        return std::nullopt;
    return HasTrailingDelimiter(key) ? ParentFolderPath(key) : ExtractFilePath(key);
}

bool TArchiveWalkSpace::SameKey(std::string_view a, std::string_view b) const
{
    return a == b || SameText(a, b);
}

// --- Folders of a media catalogue ---------------------------------------------------------

bool TCatalogueWalkSpace::List(const std::string& container, std::vector<TWalkEntry>& entries)
{
    entries.clear();
    for (const TWalkEntry& entry : fEntries)
        if (ParentOf(entry.Key) && SameKey(*ParentOf(entry.Key), container))
            entries.push_back(entry);
    std::stable_sort(entries.begin(), entries.end(), [](const TWalkEntry& a, const TWalkEntry& b) {
        return CompareText(ExcludeTrailingPathDelimiter(a.Key), ExcludeTrailingPathDelimiter(b.Key)) < 0;
    });
    return true;
}

std::optional<std::string> TCatalogueWalkSpace::ParentOf(const std::string& key) const
{
    if (key.empty())
        return std::nullopt;
    return ExtractFilePath(ExcludeTrailingPathDelimiter(key));
}

bool TCatalogueWalkSpace::SameKey(std::string_view a, std::string_view b) const
{
    return a == b || SameText(a, b);
}

// --- The walk -----------------------------------------------------------------------------

TNeighbourWalk::TStep TNeighbourWalk::Step(TWalkSpace& space, std::string current, bool currentIsFolder,
                                           TWalkDirection direction) const
{
    TStep step;
    const auto usable = [&space](const TWalkEntry& entry) { return space.Usable(entry); };
    const auto same = [&space](std::string_view a, std::string_view b) { return space.SameKey(a, b); };
    std::vector<TWalkEntry> entries;
    space.Begin(current, currentIsFolder);
    // Every turn climbs one level, so the loop ends at the top at the latest.
    for (;;) {
        const std::optional<std::string> parent = space.ParentOf(current);
        if (!parent) {
            step.TopReached = true;
            return step;
        }
        // A container that cannot be listed has no neighbours.
        if (!space.List(*parent, entries))
            entries.clear();
        const int found = NeighbourIndex(entries, current, currentIsFolder, direction, fIsArchive, usable, same);
        if (found >= 0) {
            step.Found = entries[static_cast<size_t>(found)];
            return step;
        }
        if (direction == TWalkDirection::wdBackward) {
            step.GoUp = true;
            return step;
        }
        current = *parent;
        currentIsFolder = true;
    }
}

TNeighbourMove TNeighbourWalk::OnDisk(TWalkSpace& disk, const std::string& current, bool currentIsFolder,
                                      TWalkDirection direction) const
{
    const TStep step = Step(disk, currentIsFolder ? IncludeTrailingPathDelimiter(current) : current,
                            currentIsFolder, direction);
    TNeighbourMove move;
    if (step.Found) {
        move.Kind = step.Found->Folder ? TNeighbourKind::nkFolder : TNeighbourKind::nkArchive;
        move.Path = step.Found->Key;
    } else if (step.GoUp) {
        move.Kind = TNeighbourKind::nkGoUp;
    }
    return move;
}

TNeighbourMove TNeighbourWalk::InArchive(const TArchiver& archiver, const std::string& folder, TWalkSpace& disk,
                                         TWalkDirection direction) const
{
    return InArchive(archiver, folder, direction,
                     [&](const std::string& archiveFile) { return OnDisk(disk, archiveFile, false, direction); });
}

TNeighbourMove TNeighbourWalk::InArchive(const TArchiver& archiver, const std::string& folder,
                                         TWalkDirection direction,
                                         const std::function<TNeighbourMove(const std::string&)>& outside) const
{
    const TArchiver* level = &archiver;
    std::string current = folder;
    bool currentIsFolder = true;
    for (;;) {
        TArchiveWalkSpace space(*level);
        const TStep step = Step(space, current, currentIsFolder, direction);
        if (step.Found) {
            // Inside an inner archive the target names its level first.
            const std::string& nested = level->VirtualPath();
            return MakeMove(TNeighbourKind::nkInArchive, archiver.OuterFileName(),
                            nested.empty() ? step.Found->Key : nested + std::string(ArchiveDelim) + step.Found->Key);
        }
        if (step.GoUp)
            return MakeMove(TNeighbourKind::nkGoUp);
        // Past the top of this level: on with the archive itself as the
        // current item among its neighbours in the level that holds it.
        if (!level->Parent())
            return outside(level->FileName());
        std::string head;
        SplitVirtualPath(level->VirtualPath(), head, current);
        currentIsFolder = false;
        level = level->Parent().get();
    }
}

namespace {

// A folder below a shelf member or a search result, walked with the
// member as its top.
class TBelowMemberSpace : public TWalkSpace {
public:
    TBelowMemberSpace(TWalkSpace& disk, std::string member) : fDisk(disk), fMember(std::move(member)) {}
    void Begin(const std::string& current, bool currentIsFolder) override { fDisk.Begin(current, currentIsFolder); }
    bool List(const std::string& container, std::vector<TWalkEntry>& entries) override
    {
        return fDisk.List(container, entries);
    }
    std::optional<std::string> ParentOf(const std::string& key) const override
    {
        return fDisk.SameKey(key, fMember) ? std::nullopt : fDisk.ParentOf(key);
    }
    bool Usable(const TWalkEntry& entry) override { return fDisk.Usable(entry); }
    bool SameKey(std::string_view a, std::string_view b) const override { return fDisk.SameKey(a, b); }

private:
    TWalkSpace& fDisk;
    std::string fMember;
};

}  // namespace

TNeighbourMove TNeighbourWalk::OnShelf(const std::vector<TShelfWalkMember>& members, int shelfIndex, int shelfCount,
                                       const std::string& current, bool currentIsFolder, TWalkSpace& disk,
                                       const std::function<bool(const std::string&)>& reachable,
                                       TWalkDirection direction) const
{
    const bool forward = direction == TWalkDirection::wdForward;
    const auto nextShelf = [&] {
        if (forward)
            return shelfIndex + 1 < shelfCount ? MakeMove(TNeighbourKind::nkShelf, {}, {}, shelfIndex + 1)
                                               : MakeMove(TNeighbourKind::nkNothing);
        return shelfIndex > 0 ? MakeMove(TNeighbourKind::nkShelf, {}, {}, shelfIndex - 1)
                              : MakeMove(TNeighbourKind::nkShelves);
    };
    if (current.empty())
        return nextShelf();

    const std::string key = currentIsFolder ? IncludeTrailingPathDelimiter(current) : current;
    const auto member = std::find_if(members.begin(), members.end(), [&](const TShelfWalkMember& m) {
        return m.Path == key || (m.Folder && key.size() > m.Path.size() && key.compare(0, m.Path.size(), m.Path) == 0);
    });
    if (member == members.end())
        return {};
    std::string memberKey = member->Path;
    bool memberIsFolder = member->Folder;
    if (member->Path != key) {
        TBelowMemberSpace below(disk, member->Path);
        const TStep step = Step(below, key, currentIsFolder, direction);
        if (step.Found) {
            // Shown as a place inside the member, on the member's shelf.
            return MakeMove(step.Found->Folder ? TNeighbourKind::nkFolder : TNeighbourKind::nkArchive, step.Found->Key,
                            member->Path, shelfIndex);
        }
        if (step.GoUp)
            return MakeMove(TNeighbourKind::nkGoUp);
    }

    // Among the members: folders, then archives, each by path.
    std::vector<TWalkEntry> entries;
    for (const TShelfWalkMember& m : members)
        entries.push_back(TWalkEntry{m.Path, m.Folder});
    std::stable_sort(entries.begin(), entries.end(),
                     [](const TWalkEntry& a, const TWalkEntry& b) { return CompareNames(a.Key, b.Key) < 0; });
    const int found = NeighbourIndex(
        entries, memberKey, memberIsFolder, direction, fIsArchive,
        [&](const TWalkEntry& entry) { return !reachable || reachable(entry.Key); });
    if (found >= 0) {
        const TWalkEntry& entry = entries[static_cast<size_t>(found)];
        return MakeMove(TNeighbourKind::nkShelfMember, entry.Key, {}, shelfIndex, !entry.Folder);
    }
    return forward ? nextShelf() : MakeMove(TNeighbourKind::nkGoUp);
}

TNeighbourMove TNeighbourWalk::OnMedium(TWalkSpace& catalogue, int mediumIndex, int mediumCount,
                                        const std::string& current, TWalkDirection direction) const
{
    const bool forward = direction == TWalkDirection::wdForward;
    if (!current.empty()) {
        const TStep step = Step(catalogue, IncludeTrailingPathDelimiter(current), true, direction);
        if (step.Found) {
            return MakeMove(TNeighbourKind::nkMediumFolder, step.Found->Key, {}, mediumIndex);
        }
        if (step.GoUp || !forward)
            return MakeMove(TNeighbourKind::nkGoUp);
    }
    // The medium's root was left: on to the next medium, or back to the
    // previous one (the list of media before the first).
    TNeighbourMove move;
    if (forward && mediumIndex + 1 < mediumCount) {
        move.Kind = TNeighbourKind::nkMedium;
        move.Index = mediumIndex + 1;
    } else if (!forward) {
        move.Kind = mediumIndex > 0 ? TNeighbourKind::nkMedium : TNeighbourKind::nkMediaList;
        move.Index = mediumIndex > 0 ? mediumIndex - 1 : -1;
    }
    return move;
}

TNeighbourMove TNeighbourWalk::OnSearch(const std::vector<TSearchWalkRecord>& records, int record,
                                        const std::string& current, bool currentIsFolder, TWalkSpace& below,
                                        const std::function<bool(const TSearchWalkRecord&)>& usable,
                                        TWalkDirection direction) const
{
    if (record < 0 || record >= static_cast<int>(records.size()))
        return {};
    const TSearchWalkRecord& own = records[static_cast<size_t>(record)];
    const auto moveTo = [&](const TSearchWalkRecord& target, const TWalkEntry& entry, int result) {
        TNeighbourMove move;
        if (target.Medium >= 0) {
            move = MakeMove(TNeighbourKind::nkMediumFolder, entry.Key, {}, target.Medium);
        } else {
            move = MakeMove(entry.Folder ? TNeighbourKind::nkFolder : TNeighbourKind::nkArchive, entry.Key);
        }
        move.Result = result;
        return move;
    };

    // Below the record its own folders come first; leaving them backward
    // returns to the results, which the reader chose the record from.
    const std::string key = currentIsFolder ? IncludeTrailingPathDelimiter(current) : current;
    if (!below.SameKey(key, own.Path)) {
        TBelowMemberSpace space(below, own.Path);
        const TStep step = Step(space, key, currentIsFolder, direction);
        if (step.Found)
            return moveTo(own, *step.Found, record);
        if (direction == TWalkDirection::wdBackward)
            return MakeMove(TNeighbourKind::nkSearchResults);
    }

    std::vector<TWalkEntry> entries;
    entries.reserve(records.size());
    for (const TSearchWalkRecord& r : records)
        entries.push_back(TWalkEntry{r.Key, r.Folder});
    const int found = NeighbourIndex(entries, own.Key, own.Folder, direction, fIsArchive, [&](const TWalkEntry& entry) {
        // A catalogue's files are not opened without the disc.
        const TSearchWalkRecord& r = records[static_cast<size_t>(&entry - entries.data())];
        return (r.Medium < 0 || r.Folder) && (!usable || usable(r));
    });
    if (found >= 0) {
        const TSearchWalkRecord& target = records[static_cast<size_t>(found)];
        return moveTo(target, TWalkEntry{target.Path, target.Folder}, found);
    }
    return direction == TWalkDirection::wdBackward ? MakeMove(TNeighbourKind::nkSearchResults) : TNeighbourMove{};
}
