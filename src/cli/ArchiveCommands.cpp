// mireva-cli plugins and archive: the plug-ins a run finds, and listing and
// extracting archive members through them.

#include "cli/ArchiveCommands.h"

#include <unistd.h>

#include "cli/CliRegistry.h"
#include "cli/Commands.h"
#include "common/AtomicSave.h"
#include "common/DateTime.h"
#include "base/PathUtils.h"
#include "common/Text.h"
#include "loading/SPIs.h"
#include "platform/FileSystem.h"

TCliArchives::TCliArchives(TLoaderSetPtr loaders)
    : fTemp(TemporaryBase(), "mireva-cli-" + std::to_string(::getpid()))
{
    fEnv.Loaders = std::move(loaders);
    fEnv.TempBase = fTemp.Path();
}

namespace {

std::vector<std::string> PathSegments(const std::string& path)
{
    std::vector<std::string> segments;
    for (const std::string& segment : SplitString(path, '/')) {
        if (!segment.empty())
            segments.push_back(segment);
    }
    return segments;
}

std::string JoinSegments(const std::vector<std::string>& segments, size_t from, size_t to)
{
    std::string text;
    for (size_t i = from; i < to; ++i)
        text += segments[i] + (i + 1 < to ? "/" : "");
    return text;
}

[[noreturn]] void NotFound(const std::string& path)
{
    throw EFileError(SystemErrorText(path, ENOENT));
}

}  // namespace

TArchivePlace ResolveArchivePlace(TArchiveEnv& env, const std::string& path, bool openLastArchive)
{
    const bool absolute = IsAbsolutePath(path);
    const std::vector<std::string> segments = PathSegments(path);
    size_t outerEnd = 0;
    std::string outer;
    for (size_t i = 1; i <= segments.size(); ++i) {
        const std::string candidate = (absolute ? "/" : "") + JoinSegments(segments, 0, i);
        if (FileExists(candidate)) {
            outer = candidate;
            outerEnd = i;
            break;
        }
        if (!DirectoryExists(candidate))
            break;
    }
    if (outer.empty())
        NotFound(path);
    TArchivePlace place;
    place.Archiver = OpenArchive(env, outer);
    if (!place.Archiver)
        throw EMirevaError(ArchiveNotReadMessage(outer));
    // Inside: folders, members and inner archives.
    size_t start = outerEnd;
    for (size_t i = outerEnd; i < segments.size(); ++i) {
        const std::string folder = JoinSegments(segments, start, i);
        const std::string inFolder = folder.empty() ? std::string() : folder + "/";
        const bool last = i + 1 == segments.size();
        const TArchiveFileInfo* member = place.Archiver->FindRecord(inFolder, segments[i]);
        if (member && (!last || openLastArchive) && env.Loaders->IsArchiveExtension(ExtractFileExt(member->Name))) {
            TArchiverPtr inner = OpenInnerArchive(place.Archiver, member->Path, member->Name);
            if (!inner)
                throw EMirevaError(ArchiveNotReadMessage(member->Name));
            place.Archiver = inner;
            start = i + 1;
            continue;
        }
        if (last) {
            if (member) {
                place.Folder = member->Path;
                place.Member = member->Name;
                return place;
            }
            const std::string asFolder = inFolder + segments[i] + "/";
            if (place.Archiver->Folders().count(asFolder) == 0)
                NotFound(path);
            place.Folder = asFolder;
            return place;
        }
    }
    if (start < segments.size()) {
        const std::string folder = JoinSegments(segments, start, segments.size()) + "/";
        if (place.Archiver->Folders().count(folder) == 0)
            NotFound(path);
        place.Folder = folder;
    }
    return place;
}

int RunPlugins(TCliContext& context)
{
    context.Positional(0);
    const TLoaderSetPtr loaders = MakeCliLoaders(context);
    auto line = [&](const TSPI& plugin, const TFileLoader& loader, const char* kind) {
        std::string patterns;
        for (const std::string& group : loader.Extensions)
            patterns += (patterns.empty() ? "" : ";") + group;
        context.Out << plugin.LibraryName() << '\t' << kind << '\t' << (loader.Enabled ? "enabled" : "disabled")
                    << '\t' << patterns << '\n';
    };
    for (const auto& loader : loaders->InPlugins())
        line(static_cast<const TInSPI&>(*loader).Plugin(), *loader, "image");
    for (const auto& loader : loaders->AmPlugins())
        line(static_cast<const TAmSPI&>(*loader).Plugin(), *loader, "archive");
    return 0;
}

namespace {

int RunArchiveList(TCliContext& context, const std::string& path)
{
    TCliArchives archives(MakeCliLoaders(context));
    const TArchivePlace place = ResolveArchivePlace(archives.Env(), path, true);
    if (!place.Member.empty())
        throw ECliUsage("'" + path + "' is a member, not an archive or a folder");
    const TArchiver& archiver = *place.Archiver;
    for (size_t i = 0; i < archiver.MemberCount(); ++i) {
        const TArchiveFileInfo& record = *archiver.Items()[i];
        if (record.Path.compare(0, place.Folder.size(), place.Folder) != 0)
            continue;
        context.Out << record.Path << record.Name << '\t' << record.Size << '\t'
                    << (record.Time == -1.0 ? std::string("-") : FormatDateTime(record.Time)) << '\n';
    }
    return 0;
}

int RunArchiveExtract(TCliContext& context, const std::string& path, const std::string& member,
                      const std::string& out)
{
    TCliArchives archives(MakeCliLoaders(context));
    const TArchivePlace place = ResolveArchivePlace(archives.Env(), path, true);
    if (!place.Member.empty())
        throw ECliUsage("'" + path + "' is a member, not an archive");
    std::string wanted = member;
    while (!wanted.empty() && wanted.front() == '/')
        wanted.erase(0, 1);
    wanted = place.Folder + wanted;
    const TArchiveFileInfo* record = place.Archiver->FindRecord(ExtractFilePath(wanted), ExtractFileName(wanted));
    if (!record || record->IsFolder())
        throw EFileError(SystemErrorText(path + "/" + member, ENOENT));
    const std::unique_ptr<TMemoryStream> stream = place.Archiver->ExtractToStream(*record);
    if (stream->Size() == 0 && record->Size != 0)
        throw EMirevaError(ExtractFailedMessage);
    SaveFileAtomically(out, std::string_view(reinterpret_cast<const char*>(stream->Memory()),
                                             static_cast<size_t>(stream->Size())));
    return 0;
}

}  // namespace

int RunArchive(TCliContext& context)
{
    if (context.Args.empty())
        throw ECliUsage("list or extract?");
    const std::string action = context.Args[0];
    context.Args.erase(context.Args.begin());
    if (action == "list")
        return RunArchiveList(context, context.Positional(1)[0]);
    if (action == "extract") {
        const std::vector<std::string>& args = context.Positional(3);
        return RunArchiveExtract(context, args[0], args[1], args[2]);
    }
    throw ECliUsage("unknown action '" + action + "'");
}

std::unique_ptr<TBitmap> LoadPictureInArchive(const TLoaderSetPtr& loaders, const std::string& path,
                                              TUserNotifier* notifier)
{
    TCliArchives archives(loaders);
    const TArchivePlace place = ResolveArchivePlace(archives.Env(), path, false);
    if (place.Member.empty())
        throw EInvalidGraphic(NotReadMessage(path));
    const TArchiveFileInfo* record = place.Archiver->FindRecord(place.Folder, place.Member);
    return LoadArchivePicture(*loaders, place.Archiver->FileName(), record->Name, *place.Archiver->Loader, notifier,
                              record->Position);
}
