#include "shellviews/ArchiveItemList.h"

#include "base/PathUtils.h"
#include "collections/CompareNames.h"

void TArchiveItemList::Build(const TArchiver& archiver)
{
    Clear();
    const TLoaderSetPtr& loaders = archiver.Env().Loaders;
    for (const auto& [folder, records] : archiver.Folders()) {
        std::vector<TArchiveChild>& children = fEntries[folder];
        for (const TArchiveFileInfo* record : records) {
            if (record->IsFolder())
                children.push_back({record->Path, false});
            else if (loaders && loaders->IsArchiveExtension(ExtractFileExt(record->Name)))
                children.push_back({record->Path + record->Name, true});
        }
    }
    // Nothing below the top: the node needs no expand button.
    if (fEntries.size() == 1 && fEntries.begin()->first.empty() && fEntries.begin()->second.empty())
        fEntries.clear();
    fBuilt = true;
}

bool TArchiveItemList::LoadFromArchive(const TArchiveEnv& env, const std::string& fileName)
{
    Clear();
    try {
        const TArchiverPtr archiver = OpenArchive(env, fileName);
        if (archiver)
            Build(*archiver);
        fBuilt = true;
        return true;
    } catch (const std::exception&) {
        Clear();
        return false;
    }
}

void TArchiveItemList::Clear()
{
    fEntries.clear();
    fBuilt = false;
}

std::vector<TArchiveChild> TArchiveItemList::Children(const std::string& folder) const
{
    const auto found = fEntries.find(folder);
    return found == fEntries.end() ? std::vector<TArchiveChild>() : found->second;
}

bool TArchiveItemList::HasChildren(const std::string& folder, bool countArchives) const
{
    const auto found = fEntries.find(folder);
    if (found == fEntries.end())
        return false;
    for (const TArchiveChild& child : found->second) {
        if (countArchives || !child.IsArchive)
            return true;
    }
    return false;
}

int CompareChildren(const TArchiveChild& a, const TArchiveChild& b)
{
    if (a.IsArchive != b.IsArchive)
        return a.IsArchive ? 1 : -1;
    return CompareNames(ExcludeTrailingPathDelimiter(a.Path), ExcludeTrailingPathDelimiter(b.Path));
}
