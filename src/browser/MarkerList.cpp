#include "browser/MarkerList.h"

#include <algorithm>

#include "base/PathUtils.h"

TMarkerList::TMarkerList(const std::string& dataFolder) : fStore(dataFolder, MarkerFileName, MarkerBackupName) {}

void TMarkerList::Notify(TMarkerChangeKind kind, TChangePhase phase)
{
    if (phase == TChangePhase::cpAfter)
        ++fGeneration;
    const TMarkerChange change{kind, phase};
    fObservers.Notify([&](TMarkerListObserver& o) { o.MarkerListChanged(change); });
}

TListLoadResult TMarkerList::Load()
{
    std::vector<TMarkerPath> entries;
    const TListLoadResult result = fStore.Load(entries);
    Notify(TMarkerChangeKind::mcReplaced, TChangePhase::cpBefore);
    fEntries = std::move(entries);
    fJumps.clear();
    fJumpKey.clear();
    fJumpImages.clear();
    Notify(TMarkerChangeKind::mcReplaced, TChangePhase::cpAfter);
    return result;
}

void TMarkerList::Save()
{
    fStore.Save(fEntries);
}

const TMarkerPath* TMarkerList::Find(std::string_view key) const
{
    for (const TMarkerPath& entry : fEntries)
        if (!entry.FileName.empty() && MarkerKey(entry) == key)
            return &entry;
    return nullptr;
}

void TMarkerList::SortJumps()
{
    std::stable_sort(fJumps.begin(), fJumps.end(),
                     [&](size_t a, size_t b) { return fEntries[a].Index < fEntries[b].Index; });
}

void TMarkerList::RebuildJumps(const std::string& key, const std::vector<std::string>& images, bool inArchive)
{
    Notify(TMarkerChangeKind::mcJumps, TChangePhase::cpBefore);
    fJumpKey = key;
    fJumpImages = images;
    fJumpArchive = inArchive;
    fJumps.clear();
    for (size_t i = 0; i < fEntries.size(); ++i) {
        TMarkerPath& entry = fEntries[i];
        if (MarkerKey(entry) != key)
            continue;
        // A folder's pictures are found by their paths; an archive's by the
        // member path, or the bare name when the list shows a folder of it.
        const std::string wanted = inArchive ? entry.FileName : JoinPath(entry.Folder, entry.FileName);
        auto found = std::find(images.begin(), images.end(), wanted);
        if (found == images.end() && inArchive && !entry.FileName.empty())
            found = std::find_if(images.begin(), images.end(),
                                 [&](const std::string& image) { return ExtractFileName(image) == entry.FileName; });
        entry.Index = entry.FileName.empty() || found == images.end() ? -1 : static_cast<int32_t>(found - images.begin());
        fJumps.push_back(i);
    }
    SortJumps();
    Notify(TMarkerChangeKind::mcJumps, TChangePhase::cpAfter);
}

std::vector<int> TMarkerList::JumpIndices() const
{
    std::vector<int> indices;
    for (size_t i : fJumps)
        indices.push_back(fEntries[i].Index);
    return indices;
}

bool TMarkerList::SetMark(const TNotedImage& image, TDateTime now)
{
    const std::string key = MarkerKey(image.Archive, image.Folder);
    const bool shownPlace = key == fJumpKey;
    // The place's markers are the jump list when it shows this place; a
    // picture set twice keeps one marker.
    for (size_t i = 0; i < fEntries.size(); ++i) {
        const TMarkerPath& entry = fEntries[i];
        const bool inJumps = std::find(fJumps.begin(), fJumps.end(), i) != fJumps.end();
        if ((shownPlace ? inJumps : MarkerKey(entry) == key) && entry.Index == image.Index)
            return false;
    }
    TMarkerPath entry;
    entry.Archive = image.Archive;
    entry.Folder = image.Folder;
    entry.FileName = image.FileName;
    entry.Index = image.Index;
    entry.Count = image.Count;
    entry.Time = now;
    Notify(TMarkerChangeKind::mcAdded, TChangePhase::cpBefore);
    fEntries.push_back(std::move(entry));
    if (shownPlace) {
        fJumps.push_back(fEntries.size() - 1);
        SortJumps();
    }
    Notify(TMarkerChangeKind::mcAdded, TChangePhase::cpAfter);
    return true;
}

std::optional<int> TMarkerList::NextMarker(int current) const
{
    const std::vector<int> indices = JumpIndices();
    const auto beyond = std::find_if(indices.begin(), indices.end(), [&](int index) { return index > current; });
    if (beyond != indices.end() && *beyond > 0)
        return *beyond;
    const auto first = std::find_if(indices.begin(), indices.end(), [](int index) { return index >= 0; });
    if (first == indices.end())
        return std::nullopt;
    return *first;
}

void TMarkerList::Replace(std::vector<TMarkerPath> entries)
{
    Notify(TMarkerChangeKind::mcReplaced, TChangePhase::cpBefore);
    fEntries = std::move(entries);
    fJumps.clear();
    Notify(TMarkerChangeKind::mcReplaced, TChangePhase::cpAfter);
    if (!fJumpKey.empty())
        RebuildJumps(fJumpKey, std::vector<std::string>(fJumpImages), fJumpArchive);
}
