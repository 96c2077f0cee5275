#include "thumbnails/ThumbnailList.h"

#include <algorithm>

#include "base/Errors.h"
#include "base/PathUtils.h"
#include "common/AtomicSave.h"
#include "platform/FileStream.h"
#include "platform/FileSystem.h"

namespace {

// A folder path of an old media file ("\DCIM\100\" as the old program wrote
// it) as the key part below the medium: "DCIM/100/", or "" for the root.
// Empty optional when it would climb out of the medium.
std::optional<std::string> MediaFolderPart(std::string path)
{
    std::replace(path.begin(), path.end(), '\\', '/');
    const size_t start = path.find_first_not_of('/');
    path = start == std::string::npos ? std::string() : path.substr(start);
    if (path.empty())
        return path;
    path = IncludeTrailingPathDelimiter(std::move(path));
    if (!IsSafeThumbName(std::string_view(path).substr(0, path.size() - 1), true) ||
        path.find("//") != std::string::npos)
        return std::nullopt;
    return path;
}

}  // namespace

TThumbnailList::TThumbnailList(std::string thumbnailFolder, std::string mediaThumbnailFolder)
    : fNormal(std::move(thumbnailFolder)), fMedia(std::move(mediaThumbnailFolder))
{
    ReadNormal();
}

void TThumbnailList::ReadNormal()
{
    // A store that cannot be read leaves the window without thumbnails of
    // earlier runs, not without a window; the store refuses saves meanwhile.
    try {
        fOutcome = fNormal.ReadIndex();
    } catch (const EFileError& e) {
        fOutcome = {false, false, e.what()};
    }
}

std::string TThumbnailList::NormalFolder(const std::string& dataFolder, const std::string& pathOption)
{
    if (!pathOption.empty())
        return IncludeTrailingPathDelimiter(pathOption);
    return IncludeTrailingPathDelimiter(dataFolder) + "Thumbnail/";
}

std::string TThumbnailList::MediaFolder(const std::string& dataFolder)
{
    return IncludeTrailingPathDelimiter(dataFolder) + "Media/Thumbnail/";
}

TThumbStore& TThumbnailList::MediaStore()
{
    if (!fMediaRead) {
        fMediaRead = true;
        try {
            fMedia.ReadIndex();
        } catch (const EFileError&) {
            // Unreadable: the store stays empty and refuses saves.
        }
    }
    return fMedia;
}

void TThumbnailList::Notify(TThumbListChangeKind kind, TChangePhase phase, bool media)
{
    const TThumbListChange change{kind, phase, media};
    fObservers.Notify([&](TThumbnailListObserver& observer) { observer.ThumbnailListChanged(*this, change); });
}

void TThumbnailList::ReloadIndex(const std::string& thumbnailFolder)
{
    Notify(TThumbListChangeKind::tkReload, TChangePhase::cpBefore, false);
    fNormal = TThumbStore(thumbnailFolder);
    ReadNormal();
    Notify(TThumbListChangeKind::tkReload, TChangePhase::cpAfter, false);
}

int TThumbnailList::RenamePaths(const std::vector<std::string>& oldPaths, const std::vector<std::string>& newPaths)
{
    const size_t pairs = std::min(oldPaths.size(), newPaths.size());
    Notify(TThumbListChangeKind::tkRename, TChangePhase::cpBefore, false);
    int renamed = 0;
    for (size_t i = 0; i < pairs; ++i)
        renamed += fNormal.RenamePath(oldPaths[i], newPaths[i]);
    Notify(TThumbListChangeKind::tkRename, TChangePhase::cpAfter, false);
    if (renamed > 0)
        fNormal.WriteIndex();
    return renamed;
}

int TThumbnailList::RenameMediaPaths(const std::string& oldPrefix, const std::string& newPrefix)
{
    TThumbStore& media = MediaStore();
    Notify(TThumbListChangeKind::tkRename, TChangePhase::cpBefore, true);
    const int renamed = media.RenamePath(oldPrefix, newPrefix);
    Notify(TThumbListChangeKind::tkRename, TChangePhase::cpAfter, true);
    if (renamed > 0)
        media.WriteIndex();
    return renamed;
}

int TThumbnailList::DeleteMediaPaths(const std::string& prefix)
{
    TThumbStore& media = MediaStore();
    Notify(TThumbListChangeKind::tkDelete, TChangePhase::cpBefore, true);
    const int removed = media.RemovePath(prefix);
    Notify(TThumbListChangeKind::tkDelete, TChangePhase::cpAfter, true);
    if (removed > 0)
        media.WriteIndex();
    return removed;
}

int TThumbnailList::CheckMedia(const std::string& medium, const TMediaListed& listed)
{
    TThumbStore& media = MediaStore();
    if (medium.empty() || media.Unreadable())
        return 0;
    const std::string prefix = medium + "/";
    std::vector<std::string> keys;
    for (const auto& [key, entry] : media.Entries())
        if (key.starts_with(prefix))
            keys.push_back(key);
    Notify(TThumbListChangeKind::tkDelete, TChangePhase::cpBefore, true);
    int removed = 0;
    bool rewritten = false;
    int32_t counter = 0;
    for (const std::string& key : keys) {
        std::string folder = key.substr(prefix.size());
        while (!folder.empty() && folder.back() == '/')
            folder.pop_back();
        if (!folder.empty() && !listed(folder, true)) {
            removed += media.Remove(key) ? 1 : 0;
            continue;
        }
        TFolderThumbs thumbs = media.ReadFolder(key, false);
        const TThumbIndexEntry* entry = media.Find(key);
        if (!entry || entry->State == TIndexState::isDeleted) {
            // Its data file is gone: the entry stands for nothing.
            removed += media.Remove(key) ? 1 : 0;
            continue;
        }
        const size_t before = thumbs.Records.size();
        std::erase_if(thumbs.Records, [&](const auto& pair) {
            return !listed(folder.empty() ? pair.first : folder + "/" + pair.first, false);
        });
        removed += static_cast<int>(before - thumbs.Records.size());
        if (thumbs.Records.size() != before || entry->State == TIndexState::isChanged) {
            media.Find(key)->State = TIndexState::isChanged;
            rewritten = media.WriteFolder(thumbs, counter) || rewritten;
        }
    }
    media.Settle();
    Notify(TThumbListChangeKind::tkDelete, TChangePhase::cpAfter, true);
    if (removed > 0 || rewritten)
        media.WriteIndex();
    return removed;
}

void TThumbnailList::Settle()
{
    fNormal.Settle();
    if (fMediaRead)
        fMedia.Settle();
}

TLegacyConversion TThumbnailList::ConvertLegacyMedia(const std::string& mtfPath, const std::string& medium)
{
    TLegacyConversion result;
    TLegacyMediaContents contents;
    try {
        TFileStream file(mtfPath, TFileMode::fmOpenRead);
        contents = ReadLegacyMediaFile(file);
    } catch (const EMirevaError& e) {
        result.Error = e.what();
        return result;
    }
    if (contents.Outcome.Foreign) {
        // Not a file of ours: nothing to take in, and nothing to remove.
        result.Error = contents.Outcome.Error;
        return result;
    }
    TThumbStore& media = MediaStore();
    Notify(TThumbListChangeKind::tkConvert, TChangePhase::cpBefore, true);
    bool writeFailed = false;
    result.Error = contents.Outcome.Error;
    int32_t counter = 0;
    for (TLegacyMediaFolder& old : contents.Folders) {
        const std::optional<std::string> part = MediaFolderPart(old.Path);
        if (!part)
            continue;
        const std::string key = medium + "/" + *part;
        if (media.Find(key) || old.Records.empty())
            continue;
        TFolderThumbs folder;
        folder.Key = key;
        for (TThumbnailRecord& record : old.Records) {
            std::string name = record.Name;
            folder.Records.emplace(std::move(name), std::move(record));
        }
        media.Add(key);
        if (!media.WriteFolder(folder, counter) || !media.Find(key) || media.Find(key)->Number < 0) {
            media.Remove(key);
            writeFailed = true;
            result.Error = "cannot write the thumbnails of " + key;
            continue;
        }
        media.Find(key)->State = TIndexState::isUnchanged;
        ++result.Folders;
        result.Thumbnails += static_cast<int>(folder.Records.size());
    }
    try {
        media.WriteIndex();
    } catch (const EMirevaError& e) {
        writeFailed = true;
        result.Error = e.what();
    }
    Notify(TThumbListChangeKind::tkConvert, TChangePhase::cpAfter, true);
    if (writeFailed)
        return result;
    try {
        // Everything readable is written; the damaged rest is kept where no
        // later conversion looks for it.
        if (!contents.Outcome.Complete)
            KeepDatedCopy(mtfPath, "damaged");
        result.Removed = DeleteFile(mtfPath);
    } catch (const EMirevaError& e) {
        result.Error = e.what();
    }
    return result;
}
