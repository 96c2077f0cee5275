#include "browser/FolderImages.h"

#include <algorithm>

#include "collections/CompareNames.h"
#include "base/PathUtils.h"
#include "platform/FileSystem.h"

void SortImageNames(std::vector<std::string>& names)
{
    std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
        const int order = CompareNames(a, b);
        return order != 0 ? order < 0 : a < b;
    });
}

std::vector<std::string> ListFolderImages(const std::string& folder,
                                          const std::function<bool(std::string_view ext)>& isImageExtension)
{
    std::vector<std::string> names;
    for (const TDirEntry& entry : ListDirectory(folder)) {
        if (entry.Status.Kind != TFileKind::fkFile || entry.Name.front() == '.')
            continue;
        const std::string ext = ExtractFileExt(entry.Name);
        if (!ext.empty() && isImageExtension && isImageExtension(ext))
            names.push_back(entry.Name);
    }
    SortImageNames(names);
    return names;
}
