#include "shellviews/ChangeCoalescer.h"

#include <algorithm>

namespace {

enum class TRecordClass : uint8_t { rcAdded, rcRemoved, rcRenamed, rcModified, rcGone, rcOverflow };

TRecordClass ClassOf(ChangeKind kind)
{
    switch (kind) {
    case ChangeKind::ckFileAdded:
    case ChangeKind::ckFolderAdded:
        return TRecordClass::rcAdded;
    case ChangeKind::ckFileRemoved:
    case ChangeKind::ckFolderRemoved:
        return TRecordClass::rcRemoved;
    case ChangeKind::ckFileRenamed:
    case ChangeKind::ckFolderRenamed:
        return TRecordClass::rcRenamed;
    case ChangeKind::ckFolderGone:
        return TRecordClass::rcGone;
    case ChangeKind::ckOverflow:
        return TRecordClass::rcOverflow;
    case ChangeKind::ckModified:
        break;
    }
    return TRecordClass::rcModified;
}

ChangeKind RemovedKindOf(ChangeKind kind)
{
    const bool folder = kind == ChangeKind::ckFolderAdded || kind == ChangeKind::ckFolderRenamed ||
                        kind == ChangeKind::ckFolderRemoved;
    return folder ? ChangeKind::ckFolderRemoved : ChangeKind::ckFileRemoved;
}

}  // namespace

size_t TChangeCoalescer::Append(const TNotifyInfo& record)
{
    fEntries.push_back(TEntry{record});
    ++fLive;
    return fEntries.size() - 1;
}

void TChangeCoalescer::Drop(size_t index)
{
    if (fEntries[index].Live) {
        fEntries[index].Live = false;
        --fLive;
    }
}

void TChangeCoalescer::Seal()
{
    fCurrent.clear();
    fRemoved.clear();
}

void TChangeCoalescer::Add(const TNotifyInfo& record)
{
    switch (ClassOf(record.Kind)) {
    case TRecordClass::rcOverflow:
        // Everything held is void: the view lists its folder again anyway.
        // A folder that went away still says so, since its watch has ended.
        for (size_t i = 0; i < fEntries.size(); ++i) {
            if (fEntries[i].Live && fEntries[i].Record.Kind != ChangeKind::ckFolderGone)
                Drop(i);
        }
        Seal();
        if (!fOverflow)
            Append(TNotifyInfo{ChangeKind::ckOverflow, {}, {}});
        fOverflow = true;
        return;
    case TRecordClass::rcGone:
        for (const TEntry& entry : fEntries) {
            if (entry.Live && entry.Record == record)
                return;
        }
        Append(record);
        return;
    default:
        break;
    }
    if (fOverflow)
        return;
    switch (ClassOf(record.Kind)) {
    case TRecordClass::rcAdded:
        AddAdded(record);
        break;
    case TRecordClass::rcRemoved:
        AddRemoved(record);
        break;
    case TRecordClass::rcRenamed:
        AddRenamed(record);
        break;
    default:
        AddModified(record);
        break;
    }
}

void TChangeCoalescer::AddAdded(const TNotifyInfo& record)
{
    const auto current = fCurrent.find(record.Name);
    if (current != fCurrent.end()) {
        // The same addition reported twice (a folder's scan and its own
        // event) is one addition.
        if (ClassOf(fEntries[current->second].Record.Kind) == TRecordClass::rcAdded)
            return;
        // Anything else means a change went unreported; the records are
        // delivered as they came rather than folded into a wrong guess.
        Seal();
    }
    // A name removed before stays removed first: the view drops the old item,
    // then lists the new one.
    fCurrent[record.Name] = Append(record);
}

void TChangeCoalescer::AddRemoved(const TNotifyInfo& record)
{
    const auto current = fCurrent.find(record.Name);
    if (current == fCurrent.end()) {
        if (fRemoved.count(record.Name))
            return;
        fRemoved[record.Name] = Append(record);
        return;
    }
    const size_t index = current->second;
    TEntry& entry = fEntries[index];
    fCurrent.erase(current);
    switch (ClassOf(entry.Record.Kind)) {
    case TRecordClass::rcAdded:
        // Added and removed between two deliveries: the view never needs to
        // know, whatever was changed in between.
        Drop(index);
        return;
    case TRecordClass::rcRenamed:
        // The view still shows the rename's original name: that is what
        // went away.
        entry.Record = TNotifyInfo{record.Kind, entry.Record.Name, {}};
        entry.ModifiedAfter = false;
        fRemoved[entry.Record.Name] = index;
        return;
    default:
        entry.Record = record;
        fRemoved[record.Name] = index;
        return;
    }
}

void TChangeCoalescer::RenameOntoRemoved(size_t index, size_t removed, ChangeKind renamed)
{
    TEntry& target = fEntries[removed];
    fRemoved.erase(target.Record.Name);
    target.Record = TNotifyInfo{ChangeKind::ckModified, target.Record.Name, {}};
    fCurrent[target.Record.Name] = removed;
    TEntry& entry = fEntries[index];
    if (ClassOf(entry.Record.Kind) == TRecordClass::rcAdded) {
        Drop(index);
        return;
    }
    // A renamed entry's original name, or a changed entry's own name.
    const std::string original = entry.Record.Name;
    entry.Record = TNotifyInfo{RemovedKindOf(renamed), original, {}};
    entry.ModifiedAfter = false;
    fRemoved[original] = index;
}

void TChangeCoalescer::AddRenamed(const TNotifyInfo& record)
{
    const std::string& from = record.Name;
    const std::string& to = record.NewName;
    if (from == to)
        return;
    const auto current = fCurrent.find(from);
    if (fCurrent.count(to)) {
        // The rename replaced a name the view is about to be told of; the
        // records go out as they came.
        Seal();
        fCurrent[to] = Append(record);
        return;
    }
    if (current == fCurrent.end()) {
        // A removal of the target held before stays before the rename.
        fCurrent[to] = Append(record);
        return;
    }
    const size_t index = current->second;
    fCurrent.erase(current);
    TEntry& entry = fEntries[index];
    const auto removed = fRemoved.find(to);
    if (removed != fRemoved.end()) {
        // The entry is older than the removal of its new name, so it cannot
        // simply take that name: delivered first, it would land on a name the
        // view still lists.
        RenameOntoRemoved(index, removed->second, record.Kind);
        return;
    }
    switch (ClassOf(entry.Record.Kind)) {
    case TRecordClass::rcAdded:
        // Added under a name the view never saw: it learns the final one.
        entry.Record.Name = to;
        fCurrent[to] = index;
        return;
    case TRecordClass::rcRenamed:
        if (entry.Record.Name == to) {
            // Renamed back: only a change made on the way is left.
            if (entry.ModifiedAfter) {
                entry.Record = TNotifyInfo{ChangeKind::ckModified, to, {}};
                entry.ModifiedAfter = false;
                fCurrent[to] = index;
            } else {
                Drop(index);
            }
            return;
        }
        entry.Record.NewName = to;
        fCurrent[to] = index;
        return;
    default:
        // A file changed and then renamed: the rename, and the change under
        // the new name.
        entry.Record = record;
        entry.ModifiedAfter = true;
        fCurrent[to] = index;
        return;
    }
}

void TChangeCoalescer::AddModified(const TNotifyInfo& record)
{
    const auto current = fCurrent.find(record.Name);
    if (current == fCurrent.end()) {
        if (fRemoved.count(record.Name))
            Seal();
        fCurrent[record.Name] = Append(record);
        return;
    }
    TEntry& entry = fEntries[current->second];
    // An added or changed name is read afresh by the view anyway; a renamed
    // one is read again after the rename.
    if (ClassOf(entry.Record.Kind) == TRecordClass::rcRenamed)
        entry.ModifiedAfter = true;
}

std::vector<TNotifyInfo> TChangeCoalescer::TakeAll()
{
    std::vector<TNotifyInfo> records;
    records.reserve(fLive);
    for (const TEntry& entry : fEntries) {
        if (!entry.Live)
            continue;
        records.push_back(entry.Record);
        if (entry.ModifiedAfter)
            records.push_back(TNotifyInfo{ChangeKind::ckModified, entry.Record.NewName, {}});
    }
    fEntries.clear();
    fLive = 0;
    Seal();
    fOverflow = false;
    return records;
}
