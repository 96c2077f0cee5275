// mireva-cli's thumbnail subcommands: they read the thumbnail store the viewer
// uses (THUMBNAIL Path of the settings file in use, or the data folder's
// "Thumbnail/"; "--media" reads the media store) and never change it.

#include <memory>

#include "base/PathUtils.h"
#include "cli/CliSettings.h"
#include "cli/Commands.h"
#include "common/AtomicSave.h"
#include "common/BfStream.h"
#include "common/Text.h"
#include "platform/FileStream.h"
#include "platform/FileSystem.h"
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
    throw ECliUsage("unknown thumbs command '" + command + "'");
}
