// mireva-cli's recent-files and marker subcommands: they read and write the
// same "Recent.lst" and "Marker.lst" as the viewer, and find a picture's
// position in its folder or archive in the viewer's name order.

#include <algorithm>

#include "app/PathInfo.h"
#include "base/PathUtils.h"
#include "browser/MarkerList.h"
#include "browser/PlaceItems.h"
#include "browser/RecentFiles.h"
#include "cli/ArchiveCommands.h"
#include "cli/CliSettings.h"
#include "cli/Commands.h"
#include "collections/CompareNames.h"
#include "collections/ShellFolder.h"
#include "common/Text.h"
#include "platform/FileSystem.h"

namespace {

void PrintEntry(TCliContext& context, const TMarkerPath& e)
{
    context.Out << EscapeControls(e.Archive) << '\t' << EscapeControls(e.Folder) << '\t' << EscapeControls(e.FileName)
                << '\t' << e.Index << '\t' << e.Count << '\t' << FormatListTime(e.Time) << '\n';
}

// Tells what became of a list file; false when what was read may be
// incomplete. A file that cannot be read at all fails the command.
bool Report(TCliContext& context, const char* command, const TMarkerStore& store, const TListLoadResult& result)
{
    if (result.Unreadable)
        throw EFileError("cannot read " + store.FilePath() + ": " + result.Error);
    if (!result.RecoveredFrom.empty())
        context.Err << "mireva-cli " << command << ": " << EscapeControls(store.FilePath())
                    << " is missing after an interrupted save; read " << EscapeControls(result.RecoveredFrom)
                    << " in its place\n";
    if (result.Damaged)
        context.Err << "mireva-cli " << command << ": " << EscapeControls(store.FilePath()) << " is damaged ("
                    << result.Error << "); read what was readable\n";
    return !result.Damaged;
}

// A picture as a marker records it, with its place's pictures in the order
// the viewer pages through them.
struct TMarkedPicture {
    TNotedImage Image;
    std::vector<std::string> Images;
    std::string Key;
};

TItemClassifier ClassifierOf(const TLoaderSetPtr& loaders)
{
    return TItemClassifier{[loaders](std::string_view ext) { return loaders->IsImageExtension(ext); },
                           [loaders](std::string_view ext) { return loaders->IsArchiveExtension(ext); }};
}

TMarkedPicture PictureInArchive(TCliSettings& settings, const TPathInfo& info, const std::string& given)
{
    const TItemClassifier classes = ClassifierOf(settings.Loaders());
    if (info.FileName.empty() || classes.KindOf(info.FileName, false) != TItemKind::ikImage)
        throw EMirevaError("'" + given + "' is no picture inside an archive");
    TCliArchives archives(settings.Loaders());
    const TArchivePlace place = OpenArchivePlace(settings, archives, given);
    if (!place.Member)
        throw EMirevaError("'" + given + "' is not in the archive");
    const bool withFolders = settings.Options().Archive.Folder;
    const std::string folder = withFolders ? ExtractFilePath(info.FileName) : std::string();
    TMarkedPicture picture;
    for (const TBrowserItem& item : ListArchiveItems(*place.Archiver, folder, classes, withFolders))
        if (item.Kind == TItemKind::ikImage)
            picture.Images.push_back(item.Path);
    picture.Image.Archive = info.ArchivePath;
    picture.Image.Folder = ArchiveLevelsOf(info.Folder);
    picture.Image.FileName = info.FileName;
    const auto found = std::find(picture.Images.begin(), picture.Images.end(), info.FileName);
    if (found == picture.Images.end())
        throw EMirevaError("'" + given + "' is not among the pictures of its archive");
    picture.Image.Index = static_cast<int32_t>(found - picture.Images.begin());
    picture.Key = MarkerKey(picture.Image.Archive, picture.Image.Folder);
    return picture;
}

TMarkedPicture PictureInFolder(TCliSettings& settings, const TPathInfo& info, const std::string& given)
{
    const TItemClassifier classes = ClassifierOf(settings.Loaders());
    const std::string path = JoinPath(info.Folder, info.FileName);
    if (info.FileName.empty() || !FileExists(path) || classes.KindOf(info.FileName, false) != TItemKind::ikImage)
        throw EMirevaError("'" + given + "' is no picture");
    // The pages of a folder: its visible regular pictures in name order.
    std::unique_ptr<TShellFolder> node = TShellFolder::CreateFromPath(nullptr, info.Folder);
    node->SetIsDirectory(true);
    std::vector<std::string> names;
    for (const auto& child : ListChildren(*node, false)) {
        const std::string name = child->GetName();
        if (!child->IsDirectory() && FileExists(JoinPath(info.Folder, name)) &&
            classes.KindOf(name, false) == TItemKind::ikImage)
            names.push_back(name);
    }
    std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
        const int order = CompareNames(a, b);
        return order != 0 ? order < 0 : a < b;
    });
    TMarkedPicture picture;
    for (const std::string& name : names)
        picture.Images.push_back(JoinPath(info.Folder, name));
    const auto found = std::find(names.begin(), names.end(), info.FileName);
    if (found == names.end())
        throw EMirevaError("'" + given + "' is not among the pictures of its folder");
    picture.Image.Folder = IncludeTrailingPathDelimiter(info.Folder);
    picture.Image.FileName = info.FileName;
    picture.Image.Index = static_cast<int32_t>(found - names.begin());
    picture.Key = picture.Image.Folder;
    return picture;
}

int AddMarker(TCliContext& context)
{
    const std::string given = context.Positional(1)[0];
    TCliSettings settings(context);
    const TPathInfo info = ResolvePath(given, settings.ResolveContext());
    TMarkedPicture picture =
        info.ArchivePath.empty() ? PictureInFolder(settings, info, given) : PictureInArchive(settings, info, given);
    picture.Image.Count = static_cast<int32_t>(picture.Images.size());

    TMarkerList markers(context.DataFolder());
    Report(context, "markers", markers.Store(), markers.Load());
    markers.RebuildJumps(picture.Key, picture.Images, !picture.Image.Archive.empty());
    if (!markers.SetMark(picture.Image, Now())) {
        context.Err << "mireva-cli markers: '" << EscapeControls(given) << "' is marked already\n";
        return 0;
    }
    markers.Save();
    if (!markers.Store().DamagedCopy().empty())
        context.Err << "mireva-cli markers: the damaged file was kept as "
                    << EscapeControls(markers.Store().DamagedCopy()) << '\n';
    return 0;
}

int ListMarkers(TCliContext& context)
{
    const std::optional<std::string> folder = context.TakeOption("--folder");
    context.Positional(0);
    std::string key;
    if (folder) {
        // The place's key as the viewer makes it: a folder with its
        // separator, an archive (or a level inside one) as it is named.
        key = AbsoluteArgumentPath(*folder, CurrentDirectory());
        if (key.find("//") == std::string::npos && DirectoryExists(key))
            key = IncludeTrailingPathDelimiter(key);
        else if (key.find("//") == std::string::npos && !FileExists(key))
            throw EMirevaError("'" + *folder + "' is neither a folder nor an archive");
    }
    TMarkerList markers(context.DataFolder());
    const bool whole = Report(context, "markers", markers.Store(), markers.Load());
    for (const TMarkerPath& entry : markers.Entries())
        if (!folder || MarkerKey(entry) == key)
            PrintEntry(context, entry);
    return whole ? 0 : 1;
}

}  // namespace

namespace {

// Puts a picture, or with a folder its place, at the top of the recent
// files, as closing the picture in the viewer does.
int AddRecent(TCliContext& context)
{
    const std::string given = context.Positional(1)[0];
    TCliSettings settings(context);
    const TPathInfo info = ResolvePath(given, settings.ResolveContext());
    if (info.Empty())
        throw EMirevaError("'" + given + "' leads nowhere");
    TRecentFiles recent(context.DataFolder());
    Report(context, "recent", recent.Store(), recent.Load(settings.Options().Recent.Count));
    TMarkerPath entry;
    entry.Archive = info.ArchivePath;
    entry.Folder = info.ArchivePath.empty() ? IncludeTrailingPathDelimiter(info.Folder) : info.Folder;
    entry.FileName = info.FileName;
    recent.Add(std::move(entry));
    recent.Save();
    return 0;
}

}  // namespace

int RunRecent(TCliContext& context)
{
    const std::string sub = context.Args.empty() ? std::string() : context.Args.front();
    if (sub != "list" && sub != "add")
        throw ECliUsage("recent: expected 'list' or 'add'");
    context.Args.erase(context.Args.begin());
    if (sub == "add")
        return AddRecent(context);
    context.Positional(0);
    TCliSettings settings(context);
    TRecentFiles recent(context.DataFolder());
    const bool whole = Report(context, "recent", recent.Store(), recent.Load(settings.Options().Recent.Count));
    for (const TMarkerPath& entry : recent.Entries())
        PrintEntry(context, entry);
    return whole ? 0 : 1;
}

int RunMarkers(TCliContext& context)
{
    const std::string sub = context.Args.empty() ? std::string() : context.Args.front();
    if (sub != "list" && sub != "add")
        throw ECliUsage("markers: expected 'list' or 'add'");
    context.Args.erase(context.Args.begin());
    return sub == "list" ? ListMarkers(context) : AddMarker(context);
}
