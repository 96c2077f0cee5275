#include "app/PathInfo.h"

#include "base/PathUtils.h"
#include "platform/FileSystem.h"

namespace {

bool HasArchiveExtension(std::string_view name, const TResolveContext& context)
{
    const std::string ext = ExtractFileExt(name);
    return !ext.empty() && context.IsArchiveExtension && context.IsArchiveExtension(ext);
}

// The folder part of an archive member path for ARCHIVE Folder: all of it
// when it names no file (no extension), else everything before its last '/'.
std::string MemberFolderPart(const std::string& member)
{
    if (ExtractFileExt(member).empty())
        return member;
    const size_t slash = member.rfind(PathDelim);
    return slash == std::string::npos ? std::string() : member.substr(0, slash);
}

// Joins every nesting level by "//": an archive met on the way with more
// path below it is entered, so "x/b.zip/c.cbz" names c.cbz inside b.zip just
// as "x/b.zip//c.cbz" does, and the levels can be opened one by one.
std::string MarkNestingLevels(const std::string& inner, const TResolveContext& context)
{
    std::string marked;
    size_t start = 0;
    while (start < inner.size()) {
        const size_t slash = inner.find(PathDelim, start);
        if (slash == std::string::npos) {
            marked += inner.substr(start);
            break;
        }
        const std::string component = inner.substr(start, slash - start);
        size_t next = slash;
        while (next < inner.size() && inner[next] == PathDelim)
            ++next;
        marked += component;
        marked += next - slash > 1 || HasArchiveExtension(component, context) ? std::string(ArchiveDelim)
                                                                               : std::string(1, PathDelim);
        start = next;
    }
    return marked;
}

// Splits the path inside an archive into the innermost archive's folder (the
// nesting levels, ending with a nested archive) and the member below it.
void SplitInnerPath(std::string inner, const TResolveContext& context, TPathInfo& info)
{
    while (!inner.empty() && inner.front() == PathDelim)
        inner.erase(0, 1);
    std::string member;
    while (!inner.empty() && !HasArchiveExtension(inner, context)) {
        // The last component, whether it follows "/" or the "//" of a level.
        const size_t slash = inner.rfind(PathDelim);
        std::string component = slash == std::string::npos ? inner : inner.substr(slash + 1);
        size_t cut = slash == std::string::npos ? 0 : slash;
        while (cut > 0 && inner[cut - 1] == PathDelim)
            --cut;
        if (!component.empty())
            member = member.empty() ? component : component + PathDelim + member;
        inner.erase(cut);
    }
    info.Folder = MarkNestingLevels(inner, context);
    info.FileName = member;
    if (context.ArchiveFolder) {
        const std::string part = MemberFolderPart(member);
        if (!part.empty())
            info.Folder = info.Folder.empty() ? part : info.Folder + std::string(ArchiveDelim) + part;
    }
    // A folder gets its separator; a nested archive, which is a file, does
    // not. Telling them apart by the archive extension rather than by any
    // extension keeps a folder called "vol.1" a folder.
    if (!info.Folder.empty() && !HasArchiveExtension(info.Folder, context))
        info.Folder = IncludeTrailingPathDelimiter(info.Folder);
}

void SplitFile(const std::string& path, TPathInfo& info)
{
    info.Folder = ExtractFilePath(path);
    info.FileName = ExtractFileName(path);
}

// What an existing entry found while walking up a path means: a folder
// stops the walk there, a file that is no archive is selected in its folder,
// an archive is entered with the rest of the path. False when path does not
// exist.
bool ExamineExisting(const std::string& path, const std::string& inner, const TResolveContext& context,
                     TPathInfo& info)
{
    const TFileStatus status = QueryFile(path);
    switch (status.Kind) {
    case TFileKind::fkNone:
        return false;
    case TFileKind::fkFolder:
        info.Folder = IncludeTrailingPathDelimiter(path);
        return true;
    case TFileKind::fkFile:
    case TFileKind::fkOther:
        if (!HasArchiveExtension(path, context)) {
            SplitFile(path, info);
        } else {
            info.ArchivePath = path;
            SplitInnerPath(inner, context, info);
        }
        return true;
    }
    return false;
}

}  // namespace

std::string AbsoluteArgumentPath(std::string_view path, std::string_view base)
{
    if (path.empty())
        return {};
    std::string full = IsAbsolutePath(path) ? std::string(path) : JoinPath(base, path);
    // Leading separators all mean the root; only a "//" further on marks an
    // archive nesting level.
    size_t lead = 0;
    while (full.front() == PathDelim && lead + 1 < full.size() && full[lead + 1] == PathDelim)
        ++lead;
    full.erase(0, lead);
    const size_t nest = full.find(ArchiveDelim, 1);
    if (nest == std::string::npos)
        return NormalizePath(full);
    return ExcludeTrailingPathDelimiter(NormalizePath(full.substr(0, nest))) + full.substr(nest);
}

TPathInfo ResolvePath(std::string_view given, const TResolveContext& context)
{
    TPathInfo info;
    if (given.empty())
        return info;
    std::string path = ExcludeTrailingPathDelimiter(AbsoluteArgumentPath(given, context.WorkingFolder));

    // A plain folder or file, as given or (a relative name) in the data folder.
    const std::string plain = NormalizePath(path);
    const TFileStatus status = QueryFile(plain);
    if (status.Kind == TFileKind::fkFolder) {
        info.Folder = IncludeTrailingPathDelimiter(plain);
        return info;
    }
    if (status.Kind != TFileKind::fkNone) {
        SplitFile(plain, info);
        return info;
    }
    if (!IsAbsolutePath(given) && !context.DataFolder.empty()) {
        const std::string inData = ExcludeTrailingPathDelimiter(NormalizePath(JoinPath(context.DataFolder, given)));
        if (QueryFile(inData).Kind == TFileKind::fkFile) {
            SplitFile(inData, info);
            return info;
        }
    }

    // Into an archive, or to nothing. The part from a "//" on names nesting
    // levels below the archive that is found by walking up the path; the
    // part before it normally lies inside that archive, but a user may also
    // type the archive itself followed by "//".
    std::string nested;
    const size_t nest = path.find(ArchiveDelim, 1);
    if (nest != std::string::npos) {
        nested = path.substr(nest);
        path.erase(nest);
        if (ExamineExisting(path, nested, context, info))
            return info;
    }
    std::string collected;
    while (path != "/") {
        const size_t slash = path.rfind(PathDelim);
        if (slash == std::string::npos)
            return TPathInfo{};
        const std::string component = path.substr(slash + 1);
        collected = collected.empty() ? component : component + PathDelim + collected;
        // The root keeps its separator, as a drive root does.
        path.erase(slash == 0 ? 1 : slash);
        if (ExamineExisting(path, collected + nested, context, info))
            return info;
    }
    return TPathInfo{};
}

std::string ArchiveLevels(const TPathInfo& info)
{
    if (!HasTrailingDelimiter(info.Folder))
        return info.Folder;
    const size_t nest = info.Folder.rfind(ArchiveDelim);
    return nest == std::string::npos ? std::string() : info.Folder.substr(0, nest);
}
