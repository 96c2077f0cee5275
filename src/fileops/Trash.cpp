#include "fileops/Trash.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <ctime>
#include <fstream>
#include <sstream>

#include "base/Errors.h"
#include "base/PathUtils.h"
#include "platform/FileSystem.h"
#include "platform/Mounts.h"
#include "platform/SafeFiles.h"

namespace {

constexpr const char* InfoExt = ".trashinfo";

std::string Parent(const std::string& path)
{
    return ExtractFilePath(ExcludeTrailingPathDelimiter(path));
}

// A path part that would climb or stand still: an info file naming one is
// not ours to follow.
bool HasDotParts(const std::string& path)
{
    size_t start = 0;
    while (start <= path.size()) {
        size_t end = path.find('/', start);
        if (end == std::string::npos)
            end = path.size();
        const std::string part = path.substr(start, end - start);
        if (part == "." || part == "..")
            return true;
        start = end + 1;
    }
    return false;
}

std::string LocalDateText()
{
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%S", &local);
    return text;
}

// A folder of the trash: created private when missing, and refused when it
// is a link or something else, or belongs to someone else.
void EnsurePrivateFolder(const std::string& folder, uint32_t uid)
{
    const std::string path = ExcludeTrailingPathDelimiter(folder);
    if (::mkdir(path.c_str(), 0700) != 0 && errno != EEXIST)
        throw EFileError(SystemErrorText(path, errno));
    const TFileStatus status = QueryFile(path, false);
    if (status.IsLink || status.Kind != TFileKind::fkFolder || status.Owner != uid)
        throw EFileError("'" + path + "' : not a trash folder of this user");
}

// The name "files/" gives the n-th try: "a.jpg", "a.2.jpg", "a.3.jpg", ...
// A folder name or a name with no extension gets the number at its end.
std::string NumberedName(const std::string& name, int n)
{
    if (n == 1)
        return name;
    const size_t dot = name.rfind('.');
    if (dot == std::string::npos || dot == 0)
        return name + "." + std::to_string(n);
    return name.substr(0, dot) + "." + std::to_string(n) + name.substr(dot);
}

void WriteAll(int fd, const std::string& text, const std::string& path)
{
    size_t done = 0;
    while (done < text.size()) {
        const ssize_t n = ::write(fd, text.data() + done, text.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            throw EFileError(SystemErrorText(path, n < 0 ? errno : ENOSPC));
        done += static_cast<size_t>(n);
    }
}

}  // namespace

std::string PercentEncodePath(const std::string& path)
{
    static constexpr char Hex[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(path.size());
    for (const char ch : path) {
        const auto byte = static_cast<unsigned char>(ch);
        if ((byte >= 'a' && byte <= 'z') || (byte >= 'A' && byte <= 'Z') || (byte >= '0' && byte <= '9') ||
            byte == '-' || byte == '.' || byte == '_' || byte == '~' || byte == '/') {
            out += ch;
        } else {
            out += '%';
            out += Hex[byte >> 4];
            out += Hex[byte & 15];
        }
    }
    return out;
}

bool PercentDecode(const std::string& text, std::string& decoded)
{
    auto hexValue = [](char c) -> int {
        if (c >= '0' && c <= '9')
            return c - '0';
        if (c >= 'a' && c <= 'f')
            return c - 'a' + 10;
        if (c >= 'A' && c <= 'F')
            return c - 'A' + 10;
        return -1;
    };
    decoded.clear();
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '%') {
            decoded += text[i];
            continue;
        }
        if (i + 2 >= text.size())
            return false;
        const int high = hexValue(text[i + 1]);
        const int low = hexValue(text[i + 2]);
        if (high < 0 || low < 0)
            return false;
        decoded += static_cast<char>(high * 16 + low);
        i += 2;
    }
    // A NUL would cut the path short where the system reads it.
    return decoded.find('\0') == std::string::npos;
}

std::string TrashInfoText(const std::string& pathField, const std::string& deletionDate)
{
    return "[Trash Info]\nPath=" + PercentEncodePath(pathField) + "\nDeletionDate=" + deletionDate + "\n";
}

bool ParseTrashInfo(const std::string& text, std::string& path, std::string& deletionDate)
{
    std::istringstream lines(text);
    std::string line;
    bool inGroup = false;
    bool seenHeader = false;
    bool hasPath = false;
    deletionDate.clear();
    while (std::getline(lines, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (line.empty() || line[0] == '#')
            continue;
        if (line[0] == '[') {
            inGroup = line == "[Trash Info]";
            if (!seenHeader && !inGroup)
                return false;
            seenHeader = true;
            continue;
        }
        if (!inGroup)
            continue;
        if (line.rfind("Path=", 0) == 0 && !hasPath) {
            if (!PercentDecode(line.substr(5), path))
                return false;
            hasPath = true;
        } else if (line.rfind("DeletionDate=", 0) == 0 && deletionDate.empty()) {
            deletionDate = line.substr(13);
        }
    }
    return seenHeader && hasPath && !path.empty() && !HasDotParts(path);
}

std::string VolumeTopDir(const std::string& path)
{
    std::string current = ExcludeTrailingPathDelimiter(path);
    // The item itself may be a link or gone: start at the nearest existing
    // folder above it.
    TFileStatus status = QueryFile(current, false);
    while (status.Kind == TFileKind::fkNone && current != "/") {
        current = ExcludeTrailingPathDelimiter(Parent(current));
        status = QueryFile(current, false);
    }
    const uint64_t device = status.Device;
    while (current != "/") {
        const std::string up = ExcludeTrailingPathDelimiter(Parent(current));
        if (QueryFile(up, true).Device != device)
            break;
        current = up;
    }
    return IncludeTrailingPathDelimiter(current);
}

std::vector<std::string> MountedTopDirs()
{
    std::vector<std::string> dirs;
    for (const TMountPoint& mount : ReadMountPoints())
        dirs.push_back(IncludeTrailingPathDelimiter(mount.Path));
    return dirs;
}

TTrash::TTrash(TTrashSetup setup) : fSetup(std::move(setup))
{
    fSetup.HomeTrash = IncludeTrailingPathDelimiter(fSetup.HomeTrash);
}

TTrash TTrash::ForCurrentUser()
{
    std::string data = GetEnv("XDG_DATA_HOME");
    if (data.empty() || data[0] != '/')
        data = HomeDirectory() + ".local/share";
    TTrashSetup setup;
    setup.HomeTrash = IncludeTrailingPathDelimiter(data) + "Trash/";
    setup.Uid = static_cast<uint32_t>(::getuid());
    const std::string homeTop = VolumeTopDir(setup.HomeTrash);
    setup.TopDirOf = [homeTop](const std::string& path) {
        const std::string top = VolumeTopDir(path);
        return top == homeTop ? std::string() : top;
    };
    return TTrash(std::move(setup));
}

std::string TTrash::VolumeTrash(const std::string& topDir)
{
    // A shared ".Trash" counts only when it cannot have been planted by
    // another user: a real folder, no link, with the sticky bit.
    const std::string shared = topDir + ".Trash";
    const TFileStatus status = QueryFile(shared, false);
    if (!status.IsLink && status.Kind == TFileKind::fkFolder && (status.Mode & S_ISVTX)) {
        const std::string own = shared + "/" + std::to_string(fSetup.Uid) + "/";
        try {
            EnsurePrivateFolder(own, fSetup.Uid);
            return own;
        } catch (const EFileError&) {
            // Not usable (read-only, someone else's): the private one below.
        }
    }
    const std::string own = topDir + ".Trash-" + std::to_string(fSetup.Uid) + "/";
    EnsurePrivateFolder(own, fSetup.Uid);
    return own;
}

std::string TTrash::TrashFolderFor(const std::string& path)
{
    const std::string topDir = fSetup.TopDirOf ? fSetup.TopDirOf(path) : std::string();
    std::string trash;
    if (topDir.empty()) {
        ForceDirectories(Parent(fSetup.HomeTrash), 0700);
        EnsurePrivateFolder(fSetup.HomeTrash, fSetup.Uid);
        trash = fSetup.HomeTrash;
    } else {
        trash = VolumeTrash(topDir);
    }
    EnsurePrivateFolder(trash + "files/", fSetup.Uid);
    EnsurePrivateFolder(trash + "info/", fSetup.Uid);
    return trash;
}

TTrashedItem TTrash::Trash(const std::string& given)
{
    const std::string path = ExcludeTrailingPathDelimiter(given);
    if (path.empty() || path[0] != '/' || path == "/" || HasDotParts(path))
        throw EFileError("'" + given + "' : not a path that can be moved to the trash");
    if (QueryFile(path, false).Kind == TFileKind::fkNone)
        throw EFileError(SystemErrorText(path, ENOENT));
    const std::string topDir = fSetup.TopDirOf ? fSetup.TopDirOf(path) : std::string();
    const std::string trash = TrashFolderFor(path);
    // The trash itself, or a folder holding it, cannot go into it.
    if (IsWithinFolder(IncludeTrailingPathDelimiter(path), trash))
        throw EFileError("'" + path + "' : holds the trash");
    return TrashInto(trash, topDir, path);
}

TTrashedItem TTrash::TrashInto(const std::string& trash, const std::string& topDir, const std::string& path)
{
    std::string field = path;
    if (!topDir.empty()) {
        if (!IsWithinFolder(topDir, path))
            throw EFileError("'" + path + "' : not on the volume of " + topDir);
        field = path.substr(topDir.size());
    }
    TTrashedItem item;
    item.OriginalPath = path;
    item.DeletionDate = LocalDateText();
    const std::string text = TrashInfoText(field, item.DeletionDate);
    const std::string name = ExtractFileName(path);
    for (int n = 1;; ++n) {
        if (n > 100000)
            throw EFileError("'" + path + "' : no free name in the trash");
        const std::string candidate = NumberedName(name, n);
        const std::string info = trash + "info/" + candidate + InfoExt;
        // The info file claims the name: O_EXCL makes two programs trashing
        // at once pick different names.
        const int fd = ::open(info.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
        if (fd < 0) {
            if (errno == EEXIST)
                continue;
            throw EFileError(SystemErrorText(info, errno));
        }
        const std::string target = trash + "files/" + candidate;
        try {
            WriteAll(fd, text, info);
        } catch (...) {
            ::close(fd);
            ::unlink(info.c_str());
            throw;
        }
        if (::close(fd) != 0) {
            const int error = errno;
            ::unlink(info.c_str());
            throw EFileError(SystemErrorText(info, error));
        }
        bool moved = false;
        try {
            moved = RenameNoReplace(path, target);
        } catch (...) {
            ::unlink(info.c_str());
            throw;
        }
        if (!moved) {
            // A stray item in "files/" without its info file: leave it and
            // take the next name.
            ::unlink(info.c_str());
            continue;
        }
        // No sync here: the rename itself never loses the item, and a
        // crash can at worst leave it in files/ without its info (still
        // there for the user); syncing every item made deleting a large
        // selection take seconds.
        item.TrashedPath = target;
        item.InfoPath = info;
        return item;
    }
}

void TTrash::Restore(const TTrashedItem& item)
{
    const std::string& target = item.OriginalPath;
    if (target.empty() || target[0] != '/' || HasDotParts(target))
        throw EFileError("'" + target + "' : not a path to restore to");
    if (QueryFile(item.TrashedPath, false).Kind == TFileKind::fkNone)
        throw EFileError(SystemErrorText(item.TrashedPath, ENOENT));
    if (PathExists(target))
        throw EFileError("'" + target + "' : exists already; the trashed item stays in the trash");
    ForceDirectories(Parent(target));
    if (!RenameNoReplace(item.TrashedPath, target))
        throw EFileError("'" + target + "' : exists already; the trashed item stays in the trash");
    ::unlink(item.InfoPath.c_str());
}

void TTrash::ReadTrash(const std::string& trash, const std::string& topDir, std::vector<TTrashedItem>& items) const
{
    std::vector<TDirEntry> entries;
    try {
        entries = ListDirectory(trash + "info/", TListDetail::ldKinds);
    } catch (const EFileError&) {
        return;
    }
    for (const TDirEntry& entry : entries) {
        const std::string& name = entry.Name;
        const size_t extSize = std::char_traits<char>::length(InfoExt);
        if (entry.Status.Kind != TFileKind::fkFile || name.size() <= extSize ||
            name.compare(name.size() - extSize, extSize, InfoExt) != 0)
            continue;
        std::ifstream in(trash + "info/" + name, std::ios::binary);
        std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        if (!in.good() && !in.eof())
            continue;
        TTrashedItem item;
        std::string path;
        if (text.size() > 65536 || !ParseTrashInfo(text, path, item.DeletionDate))
            continue;
        if (path[0] != '/') {
            if (topDir.empty())
                continue;
            path = topDir + path;
        }
        item.OriginalPath = ExcludeTrailingPathDelimiter(path);
        item.TrashedPath = trash + "files/" + name.substr(0, name.size() - extSize);
        item.InfoPath = trash + "info/" + name;
        items.push_back(std::move(item));
    }
}

std::vector<TTrashedItem> TTrash::List(const std::vector<std::string>& topDirs) const
{
    std::vector<TTrashedItem> items;
    ReadTrash(fSetup.HomeTrash, "", items);
    const std::string uid = std::to_string(fSetup.Uid);
    for (const std::string& given : topDirs) {
        const std::string top = IncludeTrailingPathDelimiter(given);
        ReadTrash(top + ".Trash/" + uid + "/", top, items);
        ReadTrash(top + ".Trash-" + uid + "/", top, items);
    }
    std::stable_sort(items.begin(), items.end(), [](const TTrashedItem& a, const TTrashedItem& b) {
        return a.DeletionDate < b.DeletionDate;
    });
    return items;
}
