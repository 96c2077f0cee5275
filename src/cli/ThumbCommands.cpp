// mireva-cli's thumbnail subcommands: they read the thumbnail store the viewer
// uses (THUMBNAIL Path of the settings file in use, or the data folder's
// "Thumbnail/"; "--media" reads the media store). "make" and "fill" write to
// it through the same enumeration the viewer runs, "clean" through the same
// working copy the management dialog edits.

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdint>
#include <memory>

#include "base/PathUtils.h"
#include "cli/ArchiveCommands.h"
#include "cli/CliSettings.h"
#include "base/QueueDispatcher.h"
#include "cli/Commands.h"
#include "common/AtomicSave.h"
#include "common/BfStream.h"
#include "common/Text.h"
#include "platform/FileStream.h"
#include "platform/FileSystem.h"
#include "thumbnails/EnumThumbs.h"
#include "thumbnails/ThumbBatch.h"
#include "thumbnails/ThumbControl.h"
#include "thumbnails/ThumbnailList.h"

namespace {

struct TOpenedStore {
    std::unique_ptr<TThumbStore> Store;
    bool Whole = true;  // the index was read to its end
};

TOpenedStore OpenStore(TCliContext& context, bool media)
{
    const std::string data = context.DataFolder();
    std::string folder;
    if (media) {
        folder = TThumbnailList::MediaFolder(data);
    } else {
        TCliSettings settings(context);
        folder = TThumbnailList::NormalFolder(data, settings.Options().Thumbnail.Path);
    }
    TOpenedStore opened{std::make_unique<TThumbStore>(folder)};
    const TThumbReadOutcome outcome = opened.Store->ReadIndex();
    if (!outcome.Complete) {
        opened.Whole = false;
        context.Err << "mireva-cli thumbs: " << EscapeControls(opened.Store->IndexPath()) << " is damaged ("
                    << outcome.Error << "); read what was readable\n";
    }
    return opened;
}

// The store key of a path: a folder's path with its trailing '/', an
// archive's path as it is; media keys are taken as given.
std::string KeyOf(const std::string& given, bool media)
{
    if (media)
        return given;
    const std::string path = ExpandFileName(given, CurrentDirectory());
    return DirectoryExists(path) ? IncludeTrailingPathDelimiter(path) : path;
}

struct TStoredFolder {
    TThumbDataContents Contents;
    bool Whole = true;
};

TStoredFolder ReadStored(TCliContext& context, TThumbStore& store, const std::string& key)
{
    const TThumbIndexEntry* entry = store.Find(key);
    if (!entry)
        throw EMirevaError("no thumbnails are stored for '" + key + "'");
    const std::string path = store.DataFilePath(entry->Number);
    TFileStream file(path, TFileMode::fmOpenRead);
    TBufferStream buffer(file, TBufferStream::ThumbnailBufferSize);
    TStoredFolder stored{ReadThumbData(buffer, entry->Number, std::max<int32_t>(entry->Count, 0), IsArchiveKey(key), {})};
    if (stored.Contents.Outcome.Foreign)
        throw EFormatError("'" + path + "' is no thumbnail data file");
    if (!stored.Contents.Outcome.Complete) {
        stored.Whole = false;
        context.Err << "mireva-cli thumbs: " << EscapeControls(path) << " is damaged ("
                    << stored.Contents.Outcome.Error << "); read what was readable\n";
    }
    return stored;
}

int ThumbsStores(TCliContext& context, bool media)
{
    context.Positional(0);
    TOpenedStore opened = OpenStore(context, media);
    for (const auto& [key, entry] : opened.Store->Entries())
        context.Out << EscapeControls(key) << '\t' << entry.Number << '\t' << entry.DataSize << '\t' << entry.Count
                    << '\t' << FormatDateTime(entry.LastUsed) << '\n';
    return opened.Whole ? 0 : 1;
}

int ThumbsShow(TCliContext& context, bool media)
{
    const std::string key = KeyOf(context.Positional(1)[0], media);
    TOpenedStore opened = OpenStore(context, media);
    const TStoredFolder stored = ReadStored(context, *opened.Store, key);
    for (const TThumbnailRecord& r : stored.Contents.Records) {
        const std::optional<std::vector<uint8_t>> bytes = opened.Store->ReadBytes(r);
        const TThumbSize size = bytes ? JpegFrameSize(bytes->data(), bytes->size()) : TThumbSize{};
        context.Out << EscapeControls(r.Name) << '\t' << r.Width << '\t' << r.Height << '\t' << r.Bits << '\t'
                    << r.FileSize << '\t' << FormatDateTime(r.FileTime) << '\t' << r.BoxWidth << '\t' << r.BoxHeight
                    << '\t' << int(r.FolderFlag) << '\t' << size.Width << 'x' << size.Height << '\n';
    }
    return opened.Whole && stored.Whole ? 0 : 1;
}

int ThumbsGet(TCliContext& context, bool media)
{
    const std::vector<std::string>& args = context.Positional(3);
    const std::string key = KeyOf(args[0], media);
    const std::string& name = args[1];
    const std::string out = ExpandFileName(args[2], CurrentDirectory());
    TOpenedStore opened = OpenStore(context, media);
    const TStoredFolder stored = ReadStored(context, *opened.Store, key);
    for (const TThumbnailRecord& r : stored.Contents.Records) {
        if (r.Name != name)
            continue;
        const std::optional<std::vector<uint8_t>> bytes = opened.Store->ReadBytes(r);
        if (!bytes)
            throw EFormatError("the thumbnail of '" + name + "' cannot be read");
        SaveFileAtomically(out, std::string_view(reinterpret_cast<const char*>(bytes->data()), bytes->size()));
        return 0;
    }
    throw EMirevaError("no thumbnail of '" + name + "' is stored for '" + key + "'");
}

// Batch runs deliver nothing; the counts are read when the queue is done.
class TNoReceiver : public TThumbReceiver {
public:
    void ThumbnailArrived(const TThumbnailResult&) override {}
};

int32_t BoxSide(const std::optional<std::string>& given, int32_t fallback)
{
    if (!given)
        return fallback;
    try {
        size_t used = 0;
        const int value = std::stoi(*given, &used);
        if (used == given->size() && value >= 1 && value <= 1024)
            return value;
    } catch (const std::exception&) {
    }
    throw ECliUsage("a box side is a number from 1 to 1024: '" + *given + "'");
}

// Makes the thumbnails of every picture, folder and archive in a folder, or
// of every picture member of an archive, as the viewer's batch save does.
int ThumbsMake(TCliContext& context)
{
    const std::optional<std::string> width = context.TakeOption("--width");
    const std::optional<std::string> height = context.TakeOption("--height");
    const std::string path = ExpandFileName(context.Positional(1)[0], CurrentDirectory());
    TCliSettings settings(context);
    TThumbnailOptions options = settings.Options().Thumbnail;
    options.Width = BoxSide(width, options.Width);
    options.Height = BoxSide(height, options.Height);
    const std::string data = context.DataFolder();
    TThumbnailList list(TThumbnailList::NormalFolder(data, options.Path), TThumbnailList::MediaFolder(data));
    if (!list.ReadOutcome().Complete && !list.ReadOutcome().Error.empty() && list.Store().Unreadable())
        throw EFileError(list.ReadOutcome().Error);
    const TLoaderSetPtr& loaders = settings.Loaders();
    TCliArchives archives(loaders);

    TEnumThumbsConfig config;
    config.Options = options;
    config.Loaders = loaders;
    config.TempFolder = archives.Env().TempBase;
    config.Batch = true;
    std::vector<TEnumImageInfo> items;
    const TFileStatus status = QueryFile(path);
    if (status.Kind == TFileKind::fkFolder) {
        config.Place.Folder = IncludeTrailingPathDelimiter(path);
        std::vector<TDirEntry> entries = ListDirectory(config.Place.Folder);
        std::sort(entries.begin(), entries.end(), [](const TDirEntry& a, const TDirEntry& b) { return a.Name < b.Name; });
        for (const TDirEntry& entry : entries) {
            const std::string ext = ExtractFileExt(entry.Name);
            const bool folder = entry.Status.Kind == TFileKind::fkFolder;
            if (!folder && !(entry.Status.Kind == TFileKind::fkFile && !ext.empty() &&
                             (loaders->IsImageExtension(ext) || loaders->IsArchiveExtension(ext))))
                continue;
            TEnumImageInfo item;
            item.Id = static_cast<int32_t>(items.size());
            item.Folder = folder ? config.Place.Folder + entry.Name + "/" : config.Place.Folder;
            item.Name = folder ? std::string() : entry.Name;
            item.Size = folder ? 0 : entry.Status.Size;
            item.Time = UnixToDateTime(entry.Status.ModifiedSeconds, entry.Status.ModifiedNanoseconds);
            items.push_back(std::move(item));
        }
    } else if (status.Kind == TFileKind::fkFile) {
        config.Place.Folder = ExtractFilePath(path);
        config.Place.ArchiveName = ExtractFileName(path);
    } else {
        throw EFileError(SystemErrorText(path, ENOENT));
    }

    TQueueDispatcher dispatcher;
    TNoReceiver receiver;
    TThumbCounts counts;
    bool ended = false;
    {
        TEnumThumbsThread thread(list, config, dispatcher, receiver);
        if (!items.empty()) {
            std::vector<int32_t> ids;
            for (const TEnumImageInfo& item : items)
                ids.push_back(item.Id);
            thread.SetItems(std::move(items));
            thread.SetQueue(std::move(ids));
        }
        while (!thread.Idle())
            dispatcher.RunOne(TQueueDispatcher::TClock::now() + std::chrono::milliseconds(100));
        counts = thread.Counts();
        ended = thread.Ended();
    }
    if (ended)
        throw EMirevaError(ArchiveNotReadMessage(path));
    context.Out << "made " << counts.Made << " reused " << counts.Reused << " failed " << counts.Failed << '\n';
    return 0;
}

std::string NormalStoreFolder(TCliContext& context)
{
    TCliSettings settings(context);
    return TThumbnailList::NormalFolder(context.DataFolder(), settings.Options().Thumbnail.Path);
}

// Lists what a clean would find: entries whose folder or archive is gone,
// and thumbnails of files no longer in their folder. Writes nothing.
int ThumbsCheck(TCliContext& context)
{
    const std::vector<std::string>& args = context.Positional(0, 1);
    const std::string within = args.empty() ? std::string() : ExpandFileName(args[0], CurrentDirectory());
    TThumbControl control(NormalStoreFolder(context));
    for (size_t i = 0; i < control.Rows().size(); ++i) {
        const TThumbControlRow& row = control.Rows()[i];
        if (!within.empty() && !KeyIsWithin(row.Key, within))
            continue;
        if (!row.Exists) {
            context.Out << "gone\t" << EscapeControls(row.Key) << '\n';
            continue;
        }
        for (const std::string& name : control.MissingFiles(i))
            context.Out << "stale\t" << EscapeControls(row.Key) << '\t' << EscapeControls(name) << '\n';
    }
    return 0;
}

int ThumbsClean(TCliContext& context)
{
    const bool gone = context.TakeFlag("--gone");
    const bool all = context.TakeFlag("--all");
    const std::optional<std::string> days = context.TakeOption("--unused-days");
    std::optional<int> unusedDays;
    if (days) {
        try {
            size_t used = 0;
            unusedDays = std::stoi(*days, &used);
            if (used != days->size() || *unusedDays < 0)
                unusedDays.reset();
        } catch (const std::exception&) {
        }
        if (!unusedDays)
            throw ECliUsage("--unused-days takes a number of days: '" + *days + "'");
    }
    const std::vector<std::string> keys = context.Positional(0, SIZE_MAX);
    if (!gone && !all && !unusedDays && keys.empty())
        throw ECliUsage("thumbs clean needs --gone, --unused-days N, --all or keys");

    TThumbControl control(NormalStoreFolder(context));
    int removed = 0;
    if (all)
        removed += control.RemoveAll();
    if (gone)
        removed += control.RemoveGone();
    std::vector<size_t> chosen;
    const TDateTime before = unusedDays ? Now() - *unusedDays : 0;
    std::vector<std::string> wanted;
    for (const std::string& key : keys)
        wanted.push_back(KeyOf(key, false));
    for (size_t i = 0; i < control.Rows().size(); ++i) {
        const TThumbControlRow& row = control.Rows()[i];
        if ((unusedDays && row.LastUsed < before) ||
            std::find(wanted.begin(), wanted.end(), row.Key) != wanted.end())
            chosen.push_back(i);
    }
    removed += control.RemoveRows(chosen);
    control.Commit();
    context.Out << "removed " << removed << '\n';
    return 0;
}

// Prints what happened to the console as the batch goes, and answers the
// archive question from the command line.
class TCliBatch : public TThumbBatchObserver {
public:
    explicit TCliBatch(bool archives) : fArchives(archives) {}
    void BatchProgress(const std::string&) override {}
    bool BatchAskArchives(size_t) override { return fArchives; }
    void BatchFinished(const TThumbCounts&) override { Done = true; }
    bool Done = false;

private:
    bool fArchives;
};

// Makes the thumbnails of every folder below PATH, and with --archives
// of the archives found there, as the viewer's batch load does.
int ThumbsFill(TCliContext& context)
{
    const bool archives = context.TakeFlag("--archives");
    const std::string path = ExpandFileName(context.Positional(1)[0], CurrentDirectory());
    if (!DirectoryExists(path))
        throw EFileError(SystemErrorText(path, ENOTDIR));
    TCliSettings settings(context);
    const TThumbnailOptions& options = settings.Options().Thumbnail;
    const std::string data = context.DataFolder();
    TThumbnailList list(TThumbnailList::NormalFolder(data, options.Path), TThumbnailList::MediaFolder(data));
    if (list.Store().Unreadable())
        throw EFileError(list.ReadOutcome().Error);
    TCliArchives cliArchives(settings.Loaders());
    TEnumThumbsConfig config;
    config.Options = options;
    config.Loaders = settings.Loaders();
    config.TempFolder = cliArchives.Env().TempBase;
    TQueueDispatcher dispatcher;
    TCliBatch observer(archives);
    TThumbBatchLoad batch(list, config, dispatcher, observer);
    batch.AddFolder(IncludeTrailingPathDelimiter(path));
    batch.Start();
    while (!observer.Done)
        dispatcher.RunOne(TQueueDispatcher::TClock::now() + std::chrono::milliseconds(100));
    const TThumbCounts& counts = batch.Counts();
    context.Out << "made " << counts.Made << " reused " << counts.Reused << " failed " << counts.Failed << '\n';
    return 0;
}

}  // namespace

int RunThumbs(TCliContext& context)
{
    const bool media = context.TakeFlag("--media");
    if (context.Args.empty())
        throw ECliUsage("missing thumbs command");
    const std::string command = context.Args[0];
    context.Args.erase(context.Args.begin());
    if (command == "stores")
        return ThumbsStores(context, media);
    if (command == "show")
        return ThumbsShow(context, media);
    if (command == "get")
        return ThumbsGet(context, media);
    if (command == "make") {
        if (media)
            throw ECliUsage("thumbs make works on the normal store");
        return ThumbsMake(context);
    }
    if (media && (command == "check" || command == "clean" || command == "fill"))
        throw ECliUsage("thumbs " + command + " works on the normal store");
    if (command == "check")
        return ThumbsCheck(context);
    if (command == "clean")
        return ThumbsClean(context);
    if (command == "fill")
        return ThumbsFill(context);
    throw ECliUsage("unknown thumbs command '" + command + "'");
}
