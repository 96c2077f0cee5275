// mireva-cli plugins and archive: the plug-ins a run finds, and listing and
// extracting archive members through them.

#include "cli/ArchiveCommands.h"

#include <cerrno>
#include <unistd.h>

#include "app/PathInfo.h"
#include "base/PathUtils.h"
#include "cli/CliSettings.h"
#include "cli/Commands.h"
#include "cli/PictureFile.h"
#include "common/AtomicSave.h"
#include "common/DateTime.h"
#include "common/Text.h"
#include "loading/SPIs.h"
#include "platform/FileSystem.h"
#include "base/Texts.h"

TCliArchives::TCliArchives(TLoaderSetPtr loaders)
    : fTemp(TemporaryBase(), "mireva-cli-" + std::to_string(::getpid()))
{
    fEnv.Loaders = std::move(loaders);
    fEnv.TempBase = fTemp.Path();
}

namespace {

[[noreturn]] void NotFound(const std::string& path)
{
    throw EFileError(SystemErrorText(path, ENOENT));
}

// The archive a path names when it leads into none: the file the path names
// itself, which needs no archive extension, since the plug-ins go by the
// bytes. A path that ends below a plain file, or leads nowhere, fails with
// the system's reason.
std::string PlainArchiveFile(const std::string& path, const TPathInfo& info, const TResolveContext& context)
{
    if (!info.FileName.empty()) {
        const std::string named = JoinPath(info.Folder, info.FileName);
        const std::string given = ExcludeTrailingPathDelimiter(AbsoluteArgumentPath(path, context.WorkingFolder));
        const std::string inData = ExcludeTrailingPathDelimiter(NormalizePath(JoinPath(context.DataFolder, path)));
        if (named == given || (!IsAbsolutePath(path) && named == inData))
            return named;
    }
    RequireReadableFile(path);
    NotFound(path);
}

std::vector<std::string> SplitLevels(const std::string& levels)
{
    std::vector<std::string> parts;
    size_t start = 0;
    while (start <= levels.size()) {
        const size_t nest = levels.find(ArchiveDelim, start);
        parts.push_back(levels.substr(start, nest == std::string::npos ? std::string::npos : nest - start));
        if (nest == std::string::npos)
            break;
        start = nest + ArchiveDelim.size();
    }
    return parts;
}

// Says which nesting level could not be opened: one the archive does not
// hold, or one that is no archive a plug-in reads. Runs only after a failure,
// opening the chain again one level at a time.
[[noreturn]] void ExplainLevelFailure(TArchiveEnv& env, const std::string& path, const std::string& outer,
                                      const std::string& levels)
{
    TArchiverPtr parent = OpenArchive(env, outer);
    if (!parent || levels.empty())
        throw EMirevaError(ArchiveNotReadMessage(outer));
    std::string prefix;
    for (const std::string& level : SplitLevels(levels)) {
        prefix += (prefix.empty() ? "" : std::string(ArchiveDelim)) + level;
        TArchiverPtr next = ResolveVirtualPath(env, outer, prefix, parent);
        if (!next) {
            if (!parent->FindRecord(ExtractFilePath(level), ExtractFileName(level)))
                NotFound(path);
            throw EMirevaError(ArchiveNotReadMessage(level));
        }
        parent = next;
    }
    throw EMirevaError(ArchiveNotReadMessage(outer));
}

}  // namespace

TArchivePlace OpenArchivePlace(TCliSettings& settings, TCliArchives& archives, const std::string& path)
{
    const TResolveContext context = settings.ResolveContext();
    const TPathInfo info = ResolvePath(path, context);
    std::string outer, levels, inner;
    if (!info.ArchivePath.empty()) {
        outer = info.ArchivePath;
        levels = ArchiveLevels(info);
        inner = info.FileName;
    } else {
        outer = PlainArchiveFile(path, info, context);
    }
    RequireReadableFile(outer);

    TArchivePlace place;
    place.Archiver = ResolveVirtualPath(archives.Env(), outer, levels, nullptr);
    if (!place.Archiver)
        ExplainLevelFailure(archives.Env(), path, outer, levels);
    while (!inner.empty() && inner.back() == PathDelim)
        inner.pop_back();
    if (inner.empty())
        return place;
    place.Member = place.Archiver->FindRecord(ExtractFilePath(inner), ExtractFileName(inner));
    if (place.Member)
        return place;
    const std::string folder = inner + PathDelim;
    if (place.Archiver->Folders().count(folder) == 0)
        NotFound(path);
    place.Folder = folder;
    return place;
}

int RunPlugins(TCliContext& context)
{
    context.Positional(0);
    TCliSettings settings(context);
    const TLoaderSetPtr loaders = settings.Loaders();
    auto line = [&](const TSPI& plugin, const TFileLoader& loader, const char* kind) {
        std::string patterns;
        for (const std::string& group : loader.Extensions)
            patterns += (patterns.empty() ? "" : ";") + group;
        context.Out << EscapeControls(plugin.LibraryName()) << '\t' << kind << '\t'
                    << (loader.Enabled ? "enabled" : "disabled") << '\t' << EscapeControls(patterns) << '\n';
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
    TCliSettings settings(context);
    TCliArchives archives(settings.Loaders());
    const TArchivePlace place = OpenArchivePlace(settings, archives, path);
    if (place.Member)
        throw ECliUsage("'" + path + "' is a member, not an archive or a folder");
    const TArchiver& archiver = *place.Archiver;
    for (size_t i = 0; i < archiver.MemberCount(); ++i) {
        const TArchiveFileInfo& record = *archiver.Items()[i];
        if (record.Path.compare(0, place.Folder.size(), place.Folder) != 0)
            continue;
        // Names come from whoever made the archive: one holding a tab or a
        // line break must not forge a field or a line of this list.
        context.Out << EscapeControls(record.Path + record.Name) << '\t' << record.Size << '\t'
                    << (record.Time == -1.0 ? std::string("-") : FormatDateTime(record.Time)) << '\n';
    }
    // What was read is listed; a script must still not take it for the whole.
    if (archiver.Incomplete()) {
        context.Err << "mireva-cli archive: " << ArchiveIncompleteMessage(archiver.FileName()) << '\n';
        return 1;
    }
    return 0;
}

int RunArchiveExtract(TCliContext& context, const std::string& path, const std::string& member,
                      const std::string& out)
{
    TCliSettings settings(context);
    TCliArchives archives(settings.Loaders());
    const TArchivePlace place = OpenArchivePlace(settings, archives, path);
    if (place.Member)
        throw ECliUsage("'" + path + "' is a member, not an archive");
    std::string wanted = member;
    while (!wanted.empty() && wanted.front() == PathDelim)
        wanted.erase(0, 1);
    wanted = place.Folder + wanted;
    const TArchiveFileInfo* record = place.Archiver->FindRecord(ExtractFilePath(wanted), ExtractFileName(wanted));
    if (!record || record->IsFolder())
        NotFound(path + "/" + member);
    const std::unique_ptr<TMemoryStream> stream = place.Archiver->ExtractToStream(*record);
    if (stream->Size() == 0 && record->Size != 0)
        throw EMirevaError(Tx(ExtractFailedMessage));
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

std::unique_ptr<TBitmap> LoadPictureInArchive(TCliSettings& settings, const std::string& path,
                                              TUserNotifier* notifier)
{
    TCliArchives archives(settings.Loaders());
    const TArchivePlace place = OpenArchivePlace(settings, archives, path);
    // A folder or an archive is no picture; it is named without the
    // separator a folder path may end in.
    if (!place.Member)
        throw EInvalidGraphic(NotReadMessage(ExcludeTrailingPathDelimiter(path)));
    return LoadArchivePicture(*settings.Loaders(), place.Archiver->FileName(), place.Member->Name,
                              *place.Archiver->Loader, notifier, place.Member->Position);
}
