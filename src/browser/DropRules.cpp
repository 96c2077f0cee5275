#include "browser/DropRules.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "base/Errors.h"
#include "base/PathUtils.h"
#include "loading/AcvUnit.h"

bool TDropEffects::Allows(TDropEffect effect) const
{
    switch (effect) {
    case TDropEffect::deCopy: return Copy;
    case TDropEffect::deMove: return Move;
    case TDropEffect::deLink: return Link;
    case TDropEffect::deNone: return false;
    }
    return false;
}

TDropEffects DragEffects(TDragSourceKind source)
{
    switch (source) {
    case TDragSourceKind::dsFolder:
    case TDragSourceKind::dsSearchResults: return {};
    case TDragSourceKind::dsShelfMembers: return {.Copy = true, .Move = false, .Link = true};
    case TDragSourceKind::dsArchive: return {.Copy = true, .Move = false, .Link = false};
    }
    return {};
}

TDropEffect DropEffect(const TDropQuery& query)
{
    if (!query.Allowed.Any())
        return TDropEffect::deNone;
    if (query.Target == TDropTargetKind::dtShelf)
        return query.Extracted ? TDropEffect::deNone : TDropEffect::deCopy;
    if (query.Target != TDropTargetKind::dtFolder)
        return TDropEffect::deNone;
    const TDropKeys& keys = query.Keys;
    TDropEffect wanted;
    if ((keys.Ctrl && keys.Shift) || keys.Alt)
        wanted = TDropEffect::deLink;
    else if (keys.Ctrl)
        wanted = TDropEffect::deCopy;
    else if (keys.Shift)
        wanted = TDropEffect::deMove;
    else
        wanted = query.SameDevice ? TDropEffect::deMove : TDropEffect::deCopy;
    if (query.Allowed.Allows(wanted))
        return wanted;
    if (query.Allowed.Copy)
        return TDropEffect::deCopy;
    return query.Allowed.Move ? TDropEffect::deMove : TDropEffect::deLink;
}

bool DropIntoSelf(const std::vector<std::string>& paths, const std::string& folder, TDropEffect effect)
{
    const std::string target = IncludeTrailingPathDelimiter(folder);
    for (const std::string& path : paths) {
        const std::string source = IncludeTrailingPathDelimiter(path);
        // The folder itself or anything below it.
        if (target.starts_with(source))
            return true;
    }
    if (effect != TDropEffect::deMove || paths.empty())
        return false;
    for (const std::string& path : paths)
        if (IncludeTrailingPathDelimiter(ExtractFilePath(ExcludeTrailingPathDelimiter(path))) != target)
            return false;
    return true;
}

bool OnSameDevice(const std::vector<std::string>& paths, const std::string& folder)
{
    struct stat target{};
    if (::stat(folder.c_str(), &target) != 0)
        return false;
    for (const std::string& path : paths) {
        struct stat source{};
        // The link itself is what moves, not what it points at.
        if (::lstat(path.c_str(), &source) != 0 || source.st_dev != target.st_dev)
            return false;
    }
    return true;
}

std::vector<std::string> LinkInto(const std::vector<std::string>& paths, const std::string& folder)
{
    std::vector<std::string> errors;
    const std::string target = IncludeTrailingPathDelimiter(folder);
    for (const std::string& path : paths) {
        const std::string source = ExcludeTrailingPathDelimiter(path);
        const std::string name = target + ExtractFileName(source);
        // symlink never replaces: an existing name fails with EEXIST.
        if (::symlink(source.c_str(), name.c_str()) != 0)
            errors.push_back(name + ": " + std::strerror(errno));
    }
    return errors;
}

std::string ExtractDragged(TArchiver& archive, const std::vector<std::string>& members,
                           std::vector<std::string>& paths)
{
    paths.clear();
    try {
        for (const std::string& member : members) {
            if (member.ends_with('/')) {
                std::vector<TArchiveFileInfo*> below;
                archive.List(member, false, below);
                for (const TArchiveFileInfo* file : below)
                    archive.ExtractToFile(*file, false);
                paths.push_back(ExcludeTrailingPathDelimiter(archive.Extract(member, "", false)));
            } else if (const TArchiveFileInfo* record =
                           archive.FindRecord(ExtractFilePath(member), ExtractFileName(member))) {
                paths.push_back(archive.ExtractToFile(*record, false));
            }
        }
    } catch (const EMirevaError& error) {
        paths.clear();
        return error.what();
    }
    return {};
}

int ReorderDestination(int from, int target, int count)
{
    if (from < 0 || from >= count || target >= count || target == from)
        return -1;
    const int to = target < 0 ? count - 1 : (target > from ? target - 1 : target);
    return to == from ? -1 : to;
}
