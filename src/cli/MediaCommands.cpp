// mireva-cli's media subcommands: they catalogue a folder or a mounted disc
// as a medium and read the catalogues back, through the same "Media/" folder
// of the data folder as the viewer.

#include <algorithm>
#include <charconv>
#include <memory>
#include <optional>

#include "cli/Commands.h"
#include "cli/CliSettings.h"
#include "base/PathUtils.h"
#include "browser/MediaKeeper.h"
#include "collections/CompareNames.h"
#include "collections/Media.h"
#include "common/DateTime.h"
#include "common/Text.h"
#include "platform/FileSystem.h"
#include "thumbnails/ThumbnailList.h"

namespace {

// The media of the data folder; a list that could not be read fails the
// command, a damaged one is said on the error stream.
bool LoadMedia(TCliContext& context, TMediaStore& store, TMediaList& list)
{
    int skipped = 0;
    const TListLoadResult result = store.LoadList(list, &skipped);
    if (result.Unreadable)
        throw EFileError("cannot read the media list: " + result.Error);
    if (result.Damaged)
        context.Err << "mireva-cli media: " << EscapeControls(store.ListPath()) << " is damaged (" << result.Error
                    << "); read what was readable\n";
    if (skipped > 0)
        context.Err << "mireva-cli media: " << skipped << " media without a catalogue file were left out\n";
    return !result.Damaged;
}

TMediaFolder& FindMedium(const TMediaList& list, const std::string& name)
{
    const int index = list.IndexOfName(Trim(name));
    if (index < 0)
        throw EMirevaError("no medium named '" + name + "'");
    return *list.Medium(index);
}

// Reads the medium's catalogue; returns false when it was damaged.
bool ReadMediumCatalogue(TCliContext& context, TMediaStore& store, TMediaFolder& medium)
{
    const TCatalogueLoadResult result = store.LoadCatalogue(medium);
    if (result.Kind != TCatalogueLoadKind::clRead)
        throw EMirevaError(Trim(result.Error) + ": " + store.CataloguePath(medium.Name()));
    if (result.Damaged)
        context.Err << "mireva-cli media: " << EscapeControls(store.CataloguePath(medium.Name())) << " is damaged ("
                    << result.Error << "); read what was readable\n";
    return !result.Damaged;
}

// The folder given on the command line, absolute and without trailing '/'.
std::string TreeRoot(const std::string& given)
{
    std::string path = ExcludeTrailingPathDelimiter(ExpandFileName(given, CurrentDirectory()));
    if (path.empty())
        path = "/";
    if (!DirectoryExists(path))
        throw EMirevaError("'" + path + "' is not a folder");
    return path;
}

// The mount that holds path: the longest mount folder above it.
TMountPoint MountOf(const std::string& path)
{
    const std::string real = RealPath(path).empty() ? path : RealPath(path);
    TMountPoint best{"/", "", ""};
    size_t bestLength = 0;
    for (const TMountPoint& mount : ReadMountPoints()) {
        const bool above = mount.Path == "/" || real == mount.Path || real.rfind(mount.Path + "/", 0) == 0;
        if (above && mount.Path.size() >= bestLength) {
            best = mount;
            bestLength = mount.Path.size();
        }
    }
    return best;
}

// What the command line says of the medium instead of the mount table.
struct TOverrides {
    std::optional<std::string> Label;
    std::optional<uint32_t> Serial;
    std::optional<TDriveType> Type;
};

TOverrides TakeOverrides(TCliContext& context)
{
    TOverrides overrides;
    overrides.Label = context.TakeOption("--label");
    if (const auto serial = context.TakeOption("--serial")) {
        std::string digits;
        for (const char c : *serial)
            if (c != '-')
                digits += c;
        uint32_t value = 0;
        const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value, 16);
        if (digits.empty() || digits.size() > 8 || error != std::errc() || end != digits.data() + digits.size())
            throw ECliUsage("--serial takes up to eight hexadecimal digits");
        overrides.Serial = value;
    }
    if (const auto code = context.TakeOption("--type")) {
        const std::optional<int32_t> value = TryStrToInt(*code);
        if (!value || *value < 0 || *value > static_cast<int32_t>(TDriveType::dtOther))
            throw ECliUsage("--type takes a drive type code from 0 to 9");
        overrides.Type = static_cast<TDriveType>(*value);
    }
    return overrides;
}

void Catalogue(TMediaFolder& medium, const std::string& root)
{
    TTreeWalkStats stats;
    medium.InstallCatalogue(BuildCatalogue(root, {}, nullptr, &stats));
    medium.StoredRootId = TItemIdList::FromPath(root);
    medium.CatalogueDate = Now();
}

// The catalogue first: a list never names a medium whose records are not on
// disk.
void SaveMedium(TMediaStore& store, const TMediaList& list, const TMediaFolder& medium)
{
    store.SaveCatalogue(medium);
    store.SaveList(list);
}

int MediaAdd(TCliContext& context)
{
    const std::optional<std::string> name = context.TakeOption("--name");
    const TOverrides overrides = TakeOverrides(context);
    const std::string root = TreeRoot(context.Positional(1)[0]);
    TVolumeInfo volume = ReadVolumeInfo(MountOf(root));
    TDriveType type = overrides.Type.value_or(DriveTypeOfVolume(volume));
    volume.Label = overrides.Label.value_or(volume.Label);
    volume.Serial = overrides.Serial.value_or(volume.Serial);

    TMediaStore store(context.DataFolder());
    TMediaList list;
    LoadMedia(context, store, list);
    std::string chosen = name ? *name : volume.Label;
    if (!name && Trim(chosen).empty())
        chosen = ExtractFileName(root).empty() ? "/" : ExtractFileName(root);
    if (const std::optional<std::string> refusal = CheckMediumName(list, chosen, std::string()))
        throw EMirevaError(Trim(*refusal));
    if (Trim(chosen).find_first_of("\r\n\t") != std::string::npos)
        throw EMirevaError("a medium name holds no line break or tab");

    auto medium = std::make_unique<TMediaFolder>(&list, Trim(chosen));
    medium->VolumeLabel = volume.Label;
    medium->SerialNumber = volume.Serial;
    medium->DriveType = type;
    medium->FileSystem = volume.FsType;
    medium->Capacity = volume.Capacity;
    medium->FreeSpace = volume.FreeSpace;
    Catalogue(*medium, root);
    TMediaFolder& added = *list.Medium(list.Add(std::move(medium)));
    SaveMedium(store, list, added);
    context.Out << "'" << added.Name() << "': " << added.FileCount() << " files, " << added.FolderCount()
                << " folders\n";
    return 0;
}

int MediaList(TCliContext& context)
{
    context.Positional(0);
    TMediaStore store(context.DataFolder());
    TMediaList list;
    const bool whole = LoadMedia(context, store, list);
    for (int i = 0; i < list.Count(); ++i) {
        const TMediaFolder& m = *list.Medium(i);
        context.Out << EscapeControls(m.Name()) << '\t' << EscapeControls(m.VolumeLabel) << '\t'
                    << FormatSerial(m.SerialNumber) << '\t' << static_cast<int>(m.DriveType) << '\t'
                    << EscapeControls(m.FileSystem) << '\t' << m.Capacity << '\t' << m.FreeSpace << '\t'
                    << (m.CatalogueDate == 0 ? std::string() : FormatDateTime(m.CatalogueDate)) << '\n';
    }
    return whole ? 0 : 1;
}

int MediaShow(TCliContext& context)
{
    const std::vector<std::string> args = context.Positional(1, 2);
    TMediaStore store(context.DataFolder());
    TMediaList list;
    bool whole = LoadMedia(context, store, list);
    TMediaFolder& medium = FindMedium(list, args[0]);
    whole = ReadMediumCatalogue(context, store, medium) && whole;
    const std::string folder = args.size() > 1 ? CatalogueKey(args[1]) : std::string();
    const int index = medium.DirectoryOf(folder);
    if (index < 0)
        throw EMirevaError("no folder '" + folder + "' in '" + medium.Name() + "'");
    std::vector<const TCtFileInfo*> items = medium.DirectoryItems(index);
    std::stable_sort(items.begin(), items.end(), [](const TCtFileInfo* a, const TCtFileInfo* b) {
        if (a->IsDirectory != b->IsDirectory)
            return a->IsDirectory;
        return CompareNames(ExtractFileName(CatalogueKey(a->Path)), ExtractFileName(CatalogueKey(b->Path))) < 0;
    });
    for (const TCtFileInfo* record : items) {
        context.Out << EscapeControls(ExtractFileName(CatalogueKey(record->Path))) << (record->IsDirectory ? "/" : "")
                    << '\t' << record->Size << '\t'
                    << (record->Modified == 0 ? std::string() : FormatDateTime(record->Modified)) << '\t'
                    << record->Attributes << '\n';
    }
    return whole ? 0 : 1;
}

// Both thumbnail stores, as the program keeps them.
std::unique_ptr<TThumbnailList> OpenThumbnails(TCliContext& context)
{
    const std::string data = context.DataFolder();
    TCliSettings settings(context);
    return std::make_unique<TThumbnailList>(TThumbnailList::NormalFolder(data, settings.Options().Thumbnail.Path),
                                            TThumbnailList::MediaFolder(data));
}

int MediaReload(TCliContext& context)
{
    const std::vector<std::string> args = context.Positional(2);
    const std::string root = TreeRoot(args[1]);
    TMediaStore store(context.DataFolder());
    TMediaList list;
    LoadMedia(context, store, list);
    TMediaFolder& medium = FindMedium(list, args[0]);
    const TVolumeInfo volume = ReadVolumeInfo(MountOf(root));
    medium.Capacity = volume.Capacity;
    medium.FreeSpace = volume.FreeSpace;
    Catalogue(medium, root);
    SaveMedium(store, list, medium);
    // The thumbnails of what the disc no longer holds go too.
    PruneMediaThumbnails(*OpenThumbnails(context), medium);
    context.Out << "'" << medium.Name() << "': " << medium.FileCount() << " files, " << medium.FolderCount()
                << " folders\n";
    return 0;
}

int MediaDiff(TCliContext& context)
{
    const std::vector<std::string> args = context.Positional(2);
    const std::string root = TreeRoot(args[1]);
    TMediaStore store(context.DataFolder());
    TMediaList list;
    bool whole = LoadMedia(context, store, list);
    TMediaFolder& medium = FindMedium(list, args[0]);
    whole = ReadMediumCatalogue(context, store, medium) && whole;
    TMediaFolder live(nullptr, medium.Name());
    Catalogue(live, root);
    for (const TDiffEntry& entry : CompareCatalogues(live, medium)) {
        const char* kind = entry.Kind == TDiffKind::dkAdded ? "added" : entry.Kind == TDiffKind::dkRemoved ? "removed"
                                                                                                          : "changed";
        context.Out << kind << '\t' << EscapeControls(entry.Path) << (entry.IsDirectory ? "/" : "") << '\n';
    }
    return whole ? 0 : 1;
}

int MediaDelete(TCliContext& context)
{
    const std::vector<std::string> args = context.Positional(1);
    TMediaStore store(context.DataFolder());
    TMediaList list;
    LoadMedia(context, store, list);
    const TMediaFolder& medium = FindMedium(list, args[0]);
    const std::string name = medium.Name();
    list.Delete(medium.Index());
    store.SaveList(list);
    store.DeleteFiles(name);
    OpenThumbnails(context)->DeleteMediaPaths(name);
    context.Out << "'" << name << "' deleted\n";
    return 0;
}

}  // namespace

int RunMedia(TCliContext& context)
{
    if (context.Args.empty())
        throw ECliUsage("missing media command");
    const std::string command = context.Args[0];
    context.Args.erase(context.Args.begin());
    if (command == "add")
        return MediaAdd(context);
    if (command == "list")
        return MediaList(context);
    if (command == "show")
        return MediaShow(context);
    if (command == "reload")
        return MediaReload(context);
    if (command == "diff")
        return MediaDiff(context);
    if (command == "delete")
        return MediaDelete(context);
    throw ECliUsage("unknown media command '" + command + "'");
}
