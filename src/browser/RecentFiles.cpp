#include "browser/RecentFiles.h"

#include <algorithm>
#include <utility>

#include "base/PathUtils.h"
#include "common/Text.h"

namespace {

bool SamePlace(const TMarkerPath& a, const TMarkerPath& b)
{
    return a.Archive == b.Archive && a.Folder == b.Folder;
}

// A folder for a caption: without its trailing separator, but "/" stays.
std::string ShownFolder(const std::string& folder)
{
    return ExcludeTrailingPathDelimiter(folder);
}

}  // namespace

TRecentFiles::TRecentFiles(const std::string& dataFolder) : fStore(dataFolder, RecentFileName) {}

void TRecentFiles::Notify(TMarkerChangeKind kind, TChangePhase phase)
{
    if (phase == TChangePhase::cpAfter)
        ++fGeneration;
    const TMarkerChange change{kind, phase};
    fObservers.Notify([&](TMarkerListObserver& o) { o.MarkerListChanged(change); });
}

TListLoadResult TRecentFiles::Load(int count)
{
    std::vector<TMarkerPath> entries;
    const TListLoadResult result = fStore.Load(entries, std::max(count, 0));
    Replace(std::move(entries));
    return result;
}

void TRecentFiles::Save()
{
    fStore.Save(fEntries);
}

const TMarkerPath* TRecentFiles::Find(std::string_view key) const
{
    for (const TMarkerPath& entry : fEntries)
        if (MarkerKey(entry) == key)
            return &entry;
    return nullptr;
}

bool TRecentFiles::RecordNoted(bool exceptLast, TDateTime now)
{
    if (!fNoted)
        return false;
    const TNotedImage noted = *std::exchange(fNoted, std::nullopt);
    TMarkerPath entry;
    entry.Archive = noted.Archive;
    entry.Folder = noted.Folder;
    entry.FileName = exceptLast && noted.AtEnd ? std::string() : noted.FileName;
    entry.Index = noted.Index;
    entry.Count = noted.Count;
    entry.Time = now;
    Add(std::move(entry));
    return true;
}

void TRecentFiles::Add(TMarkerPath entry)
{
    Notify(TMarkerChangeKind::mcAdded, TChangePhase::cpBefore);
    std::erase_if(fEntries, [&](const TMarkerPath& old) { return SamePlace(old, entry); });
    fEntries.insert(fEntries.begin(), std::move(entry));
    Notify(TMarkerChangeKind::mcAdded, TChangePhase::cpAfter);
}

bool TRecentFiles::Trim(int count)
{
    const size_t keep = static_cast<size_t>(std::max(count, 0));
    if (fEntries.size() <= keep)
        return false;
    Notify(TMarkerChangeKind::mcRemoved, TChangePhase::cpBefore);
    fEntries.resize(keep);
    Notify(TMarkerChangeKind::mcRemoved, TChangePhase::cpAfter);
    return true;
}

void TRecentFiles::Replace(std::vector<TMarkerPath> entries)
{
    Notify(TMarkerChangeKind::mcReplaced, TChangePhase::cpBefore);
    fEntries = std::move(entries);
    Notify(TMarkerChangeKind::mcReplaced, TChangePhase::cpAfter);
}

int TRecentFiles::AddOldEntries(const std::vector<std::string>& values, int count)
{
    std::vector<TMarkerPath> entries = fEntries;
    int taken = 0;
    for (const std::string& value : values) {
        if (static_cast<int>(entries.size()) >= count)
            break;
        size_t pos = 0;
        bool closed = true;
        std::optional<TMarkerPath> entry = EntryFromFields(ReadListRecord(value, pos, closed));
        if (!closed || !entry)
            continue;
        if (std::any_of(entries.begin(), entries.end(), [&](const TMarkerPath& e) { return SamePlace(e, *entry); }))
            continue;
        entries.push_back(std::move(*entry));
        ++taken;
    }
    if (taken > 0)
        Replace(std::move(entries));
    return taken;
}

std::string RecentCaption(int number, const TMarkerPath& entry, bool fullPath)
{
    std::string caption = IntToStr(number) + ": ";
    if (!entry.Archive.empty()) {
        caption += fullPath ? entry.Archive : ExtractFileName(entry.Archive);
        if (!entry.Folder.empty() || !entry.FileName.empty()) {
            caption += " － ";
            if (!entry.Folder.empty() && !entry.FileName.empty())
                caption += ShownFolder(entry.Folder) + "/" + entry.FileName;
            else
                caption += entry.FileName.empty() ? ShownFolder(entry.Folder) : entry.FileName;
        }
        return caption;
    }
    if (fullPath)
        caption += entry.FileName.empty() ? ShownFolder(entry.Folder) : JoinPath(entry.Folder, entry.FileName);
    else
        caption += entry.FileName.empty() ? ShownFolder(entry.Folder) : entry.FileName;
    return caption;
}

std::vector<std::string> RecentMenuCaptions(const std::vector<TMarkerPath>& entries, int view, bool fullPath)
{
    std::vector<std::string> captions;
    const size_t shown = std::min(entries.size(), static_cast<size_t>(std::max(view, 0)));
    for (size_t i = 0; i < shown; ++i)
        captions.push_back(RecentCaption(static_cast<int>(i) + 1, entries[i], fullPath));
    return captions;
}
