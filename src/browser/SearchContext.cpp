#include "browser/SearchContext.h"

#include "app/OpenPath.h"
#include "base/PathUtils.h"
#include "collections/GroupFolder.h"
#include "collections/MediaFolder.h"
#include "collections/Search.h"
#include "common/Text.h"
#include "loading/AcvUnit.h"
#include "platform/FileSystem.h"
#include "shellviews/ShellTree.h"

std::vector<TWalkEntry> CatalogueWalkEntries(const TMediaFolder& medium)
{
    std::vector<TWalkEntry> entries;
    for (int i = 0; i < medium.Count(); ++i)
        if (const TCtFileInfo* record = medium.Record(i)) {
            const std::string path = CataloguePath(record->Path);
            if (!path.empty())
                entries.push_back({record->IsDirectory ? path + "/" : path, record->IsDirectory});
        }
    return entries;
}

namespace {

bool StartsWith(const std::string& text, const std::string& head)
{
    return text.size() >= head.size() && text.compare(0, head.size(), head) == 0;
}

// path is the catalogue's folder top or lies below it; catalogues are
// compared without case.
bool AtOrBelow(const std::string& path, const std::string& top)
{
    if (top.empty())
        return true;
    if (SameText(path, top))
        return true;
    return path.size() > top.size() && path[top.size()] == '/' && SameText(path.substr(0, top.size()), top);
}

}  // namespace

bool TSearchContext::Within(const std::string& key, const TTreePlace& place, const TShownPlace& shown,
                            const TCustomFolderList* media) const
{
    if (const auto medium = SplitMediumResultPath(key)) {
        if (shown.Kind == TPlaceKind::pkArchive || !media)
            return false;
        if (place.Kind != TTreePlaceKind::tpMedium && place.Kind != TTreePlaceKind::tpMediumFolder)
            return false;
        return place.ListIndex == media->IndexOfName(medium->first) &&
               AtOrBelow(CataloguePath(place.Path), CataloguePath(medium->second));
    }
    const TGroupFileInfo* info = fResults ? fResults->ItemInfo(fResults->IndexOf(key)) : nullptr;
    if (!info)
        return false;
    if (!info->IsDirectory)
        return shown.Kind == TPlaceKind::pkArchive && shown.ArchivePath == info->Path;
    const std::string top = IncludeTrailingPathDelimiter(info->Path);
    if (shown.Kind == TPlaceKind::pkArchive)
        return StartsWith(shown.ArchivePath, top);
    return shown.Kind == TPlaceKind::pkFolder && StartsWith(shown.Folder, top);
}

void TSearchContext::PlaceShown(const TTreePlace& place, const TShownPlace& shown, const TCustomFolderList* media)
{
    if (fOpening) {
        // The list names a folder's row without its trailing separator.
        fResult = *fOpening;
        if (fResults && fResults->IndexOf(fResult) < 0 &&
            fResults->IndexOf(IncludeTrailingPathDelimiter(fResult)) >= 0)
            fResult = IncludeTrailingPathDelimiter(fResult);
    }
    else if (!fResult.empty() && !Within(fResult, place, shown, media))
        fResult.clear();
}

std::optional<TSearchContext::TMove> TSearchContext::Neighbour(const TNeighbourWalk& walk, const TTreePlace& place,
                                                               const TArchiver* archive,
                                                               const std::string& archiveFolder, TWalkSpace& disk,
                                                               const TMediaList* media,
                                                               TWalkDirection direction) const
{
    if (!fResults || fResult.empty())
        return std::nullopt;
    // The results in their order; those of a catalogue no longer listed
    // lead nowhere and are left out.
    std::vector<TSearchWalkRecord> records;
    int own = -1;
    for (int i = 0; i < fResults->Count(); ++i) {
        const TGroupFileInfo* info = fResults->ItemInfo(i);
        const std::string& key = fResults->Key(i);
        TSearchWalkRecord record{key, {}, info->IsDirectory, -1};
        if (const auto medium = SplitMediumResultPath(key)) {
            record.Medium = media ? media->IndexOfName(medium->first) : -1;
            if (record.Medium < 0)
                continue;
            record.Path = CataloguePath(medium->second) + (info->IsDirectory ? "/" : "");
        } else {
            record.Path = info->IsDirectory ? IncludeTrailingPathDelimiter(info->Path) : info->Path;
        }
        if (key == fResult)
            own = static_cast<int>(records.size());
        records.push_back(std::move(record));
    }
    if (own < 0)
        return std::nullopt;
    const TSearchWalkRecord& current = records[static_cast<size_t>(own)];
    // Results on disk may have gone since the search; a catalogue's are
    // there as long as the catalogue.
    const auto usable = [](const TSearchWalkRecord& r) { return r.Medium >= 0 || PathExists(r.Path); };

    TMove result;
    if (current.Medium >= 0) {
        const TMediaFolder* medium = media->Medium(current.Medium);
        if (!medium || (place.Kind != TTreePlaceKind::tpMedium && place.Kind != TTreePlaceKind::tpMediumFolder))
            return std::nullopt;
        TCatalogueWalkSpace catalogue(CatalogueWalkEntries(*medium));
        const std::string path = CataloguePath(place.Path);
        result.Move = walk.OnSearch(records, own, path.empty() ? path : path + "/", true, catalogue, usable, direction);
    } else if (archive) {
        result.Move = walk.InArchive(*archive, archiveFolder, direction, [&](const std::string& archiveFile) {
            return walk.OnSearch(records, own, archiveFile, false, disk, usable, direction);
        });
    } else if (place.Kind == TTreePlaceKind::tpFolder) {
        result.Move = walk.OnSearch(records, own, place.Path, true, disk, usable, direction);
    } else {
        return std::nullopt;
    }
    if (result.Move.Result >= 0)
        result.ResultKey = records[static_cast<size_t>(result.Move.Result)].Key;
    return result;
}
