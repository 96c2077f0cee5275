#include "app/OpenPath.h"

#include "base/PathUtils.h"

namespace {

// True when the file list shows folder already, in whatever list kind; a
// collection view is first sent to the plain folder.
bool BringFolderForward(const std::string& folder, TPlaceView& view)
{
    const TShownPlace shown = view.ShownPlace();
    if (shown.Kind != TPlaceKind::pkFolder && shown.Kind != TPlaceKind::pkCollection)
        return false;
    if (IncludeTrailingPathDelimiter(shown.Folder) != IncludeTrailingPathDelimiter(folder))
        return false;
    if (shown.Kind == TPlaceKind::pkCollection)
        view.ShowFolder(folder);
    return true;
}

bool OpenArchivePlace(const TPathInfo& info, const TOpenOptions& options, TPlaceView& view)
{
    const TShownPlace shown = view.ShownPlace();
    // Names on this system keep their case, so the same archive is the same
    // path, byte for byte.
    const bool sameArchive = shown.Kind == TPlaceKind::pkArchive && shown.ArchivePath == info.ArchivePath;
    if (sameArchive && shown.ArchiveFolder.empty() && info.Folder.empty() && options.ArchiveOpenSubFolder) {
        const std::string single = view.SingleTopFolder();
        if (!single.empty()) {
            view.ShowArchive(info.ArchivePath, single);
            return true;
        }
    }
    if (sameArchive && shown.ArchiveFolder == info.Folder) {
        if (!info.FileName.empty())
            view.SelectAndShow(info.FileName);
        return true;
    }
    view.SetPendingSelection(TPendingSelection{{}, info.FileName});
    return view.ShowArchive(info.ArchivePath, info.Folder);
}

}  // namespace

bool OpenPathInfo(const TPathInfo& info, const TOpenOptions& options, TPlaceView& view)
{
    if (!info.ArchivePath.empty())
        return OpenArchivePlace(info, options, view);
    if (info.Folder.empty())
        return false;
    if (!info.FileName.empty()) {
        const std::string file = JoinPath(info.Folder, info.FileName);
        if (BringFolderForward(info.Folder, view)) {
            view.SelectAndShow(file);
            return true;
        }
        view.SetPendingSelection(TPendingSelection{file, {}});
        return view.ShowFolder(info.Folder);
    }
    if (BringFolderForward(info.Folder, view)) {
        if (options.ListOpenFolder)
            view.ShowFirstImage();
        return true;
    }
    return view.ShowFolder(info.Folder);
}

bool OpenPath(const std::string& path, const TResolveContext& context, const TOpenOptions& options,
              TPlaceView& view)
{
    if (path.empty())
        return false;
    return OpenPathInfo(ResolvePath(path, context), options, view);
}
