#include "browser/ShelfTargets.h"

#include "base/PathUtils.h"
#include "shellviews/ShellTree.h"
#include "base/Texts.h"

bool IsShelfCandidate(const TBrowserItem& item)
{
    if (item.Path.empty() || item.Path.front() != '/')
        return false;
    // A member inside an archive has no path of its own on disk.
    if (item.Path.find(ArchiveDelim) != std::string::npos)
        return false;
    return item.Kind == TItemKind::ikFolder || item.Kind == TItemKind::ikArchive;
}

std::vector<std::string> ShelfCandidatePaths(const std::vector<TBrowserItem>& items,
                                             const std::vector<int>& selection)
{
    std::vector<std::string> paths;
    for (const int index : selection) {
        if (index < 0 || index >= static_cast<int>(items.size()))
            return {};
        const TBrowserItem& item = items[static_cast<size_t>(index)];
        if (!IsShelfCandidate(item))
            return {};
        paths.push_back(item.Path);
    }
    return paths;
}

std::string ShelfPathOfTreePlace(const TTreePlace& place)
{
    using enum TTreePlaceKind;
    const bool folder = place.Kind == tpFolder || place.Kind == tpShelfMember || place.Kind == tpShelfFolder;
    const bool archiveTop = place.Kind == tpArchive && place.ArchiveFolder.empty() &&
                            place.Path.find(ArchiveDelim) == std::string::npos;
    if (!folder && !archiveTop)
        return {};
    if (place.Path.empty() || place.Path.front() != '/' || place.Path == "/")
        return {};
    return place.Path;
}

std::string ShelfExportFileName(const std::string& chosen)
{
    return ExtractFileExt(chosen) == ".txt" ? chosen : chosen + ".txt";
}

std::string DeleteMissingQuestion(const std::vector<std::string>& shelfNames)
{
    if (shelfNames.size() == 1)
        return Tx("本棚 '") + shelfNames.front() + Tx("' 内の存在しない項目を削除してもよろしいですか？  ");
    return Tx("選択された本棚内の存在しない項目を削除してもよろしいですか？  ");
}
