#include "loading/AcvUnit.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <unordered_set>

#include "base/Errors.h"
#include "base/PathUtils.h"
#include "common/Text.h"
#include "platform/FileStream.h"
#include "platform/FileSystem.h"
#include "platform/SafeFiles.h"
#include "base/Texts.h"

namespace {

// Where members are written when no private folder is asked for: a folder of
// its own, so that a member named "001" never meets an archiver's folder.
constexpr const char* SharedExtractFolder = "extract";

// The full-width stand-in for a ".." segment: the name still reads as "..",
// but it can never climb out of the folder it is written into.
constexpr const char* SafeDotDot = "．．";

std::vector<std::string> CleanSegments(const std::string& text, bool& trailingSeparator)
{
    std::vector<std::string> segments;
    std::string current;
    trailingSeparator = false;
    auto flush = [&] {
        if (current == "..")
            segments.emplace_back(SafeDotDot);
        else if (!current.empty() && current != ".")
            segments.push_back(current);
        current.clear();
    };
    for (char c : text) {
        if (c == '/' || c == '\\') {
            flush();
            trailingSeparator = true;
        } else {
            current += c;
            trailingSeparator = false;
        }
    }
    flush();
    return segments;
}

bool HasInnerSeparator(const std::string& folder)
{
    const std::string path = folder.empty() || folder.back() != '/' ? folder : folder.substr(0, folder.size() - 1);
    return path.find('/') != std::string::npos;
}

std::string FormatCounter(unsigned counter)
{
    char text[16];
    std::snprintf(text, sizeof text, "%.3u", counter);
    return text;
}

}  // namespace

bool TFolderKeyLess::operator()(const std::string& a, const std::string& b) const
{
    const int order = CompareText(a, b);
    return order != 0 ? order < 0 : a < b;
}

bool CleanMemberRecord(TArchiveFileInfo& record)
{
    bool pathTrailing = false, nameTrailing = false;
    std::vector<std::string> segments = CleanSegments(record.Path, pathTrailing);
    std::string name;
    if (!record.Name.empty()) {
        std::vector<std::string> nameSegments = CleanSegments(record.Name, nameTrailing);
        // A name ending in a separator names a folder.
        if (!nameSegments.empty() && !nameTrailing) {
            name = nameSegments.back();
            nameSegments.pop_back();
        }
        segments.insert(segments.end(), nameSegments.begin(), nameSegments.end());
    }
    std::string path;
    for (const std::string& segment : segments) {
        path += segment;
        path += '/';
    }
    // A drive-letter path such as "C:/pics/" reads as an ordinary folder.
    const size_t colon = path.find(':');
    if (colon != std::string::npos)
        path.replace(colon, 1, "：");
    record.Path = std::move(path);
    record.Name = std::move(name);
    return !record.Path.empty() || !record.Name.empty();
}

std::string ParentFolderPath(const std::string& folder)
{
    if (folder.empty())
        return {};
    const std::string path = folder.back() == '/' ? folder.substr(0, folder.size() - 1) : folder;
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

size_t BuildFolderIndex(TArchiveFileList& items, TFolderIndex& folders)
{
    folders.clear();
    folders[""];
    std::set<std::string, TFolderKeyLess> pending;  // folders that still need a record
    std::set<std::string> reported;                 // folders the loader gave a record for

    auto addAncestors = [&](std::string path) {
        while (HasInnerSeparator(path)) {
            path = ParentFolderPath(path);
            if (folders.find(path) == folders.end()) {
                folders[path];
                pending.insert(path);
            }
        }
    };

    TArchiveFileList kept;
    kept.reserve(items.size());
    for (auto& item : items) {
        if (!CleanMemberRecord(*item))
            continue;
        TArchiveFileInfo* record = item.get();
        if (!record->IsFolder()) {
            if (folders.find(record->Path) == folders.end()) {
                folders[record->Path];
                if (!record->Path.empty())
                    pending.insert(record->Path);
            }
            folders[record->Path].push_back(record);
            addAncestors(record->Path);
        } else {
            // The same folder reported twice would show twice.
            if (!reported.insert(record->Path).second)
                continue;
            folders[record->Path];
            pending.erase(record->Path);
            const std::string parent = ParentFolderPath(record->Path);
            if (folders.find(parent) == folders.end()) {
                folders[parent];
                pending.insert(parent);
            }
            folders[parent].push_back(record);
            addAncestors(parent);
        }
        kept.push_back(std::move(item));
    }
    items = std::move(kept);
    const size_t members = items.size();

    for (const std::string& path : pending) {
        auto record = std::make_unique<TArchiveFileInfo>();
        record->Position = 0;
        record->Path = path;
        record->Size = 0;
        record->Time = -1.0;
        folders[ParentFolderPath(path)].push_back(record.get());
        items.push_back(std::move(record));
    }
    return members;
}

// ---------------------------------------------------------------------------

std::string ArchiveNotReadMessage(const std::string& fileName)
{
    return "'" + ExtractFileName(fileName) + Tx("'は読み込めませんでした  ");
}

std::string ArchiveNotListedMessage(const std::string& fileName)
{
    return "'" + ExtractFileName(fileName) + Tx("'は展開できませんでした  ");
}

std::string ArchiveIncompleteMessage(const std::string& fileName)
{
    return "'" + ExtractFileName(fileName) + Tx("'は途中までしか読み込めませんでした  ");
}

TArchiver::TArchiver(const TArchiveEnv& env, TArchiveLoader* loader, bool privateFolder, int64_t offset,
                     const std::string& fileName)
    : Loader(loader), Offset(offset), fEnv(env), fFileName(fileName)
{
    if (!Loader)
        throw EMirevaError(ArchiveNotReadMessage(fileName));
    ListMembers();
    if (privateFolder)
        MakePrivateFolder();
}

TArchiver::~TArchiver()
{
    fLockStream.reset();
    if (!fTempFolder.empty())
        RemoveTree(fTempFolder);
    fFolders.clear();
    fItems.clear();
    if (fParent)
        fParent->Unlock();
}

void TArchiver::ListMembers()
{
    fFolders.clear();
    fItems.clear();
    fMemberCount = 0;
    fIncomplete = false;
    try {
        try {
            Loader->GetArchiveInfo(fFileName, Offset, fItems);
        } catch (const EArchiveIncomplete&) {
            // The members before the damage are kept; Incomplete says that
            // more may have followed.
            fIncomplete = true;
        }
        fMemberCount = BuildFolderIndex(fItems, fFolders);
    } catch (const std::exception&) {
        fFolders.clear();
        fItems.clear();
        fMemberCount = 0;
        throw EMirevaError(ArchiveNotListedMessage(fFileName));
    }
}

bool TArchiver::Reload()
{
    if (!Loader)
        throw EMirevaError(ArchiveNotListedMessage(fFileName));
    ListMembers();
    return true;
}

void TArchiver::MakePrivateFolder()
{
    const std::string base = IncludeTrailingPathDelimiter(fEnv.TempBase);
    if (!DirectoryExists(base))
        ForceDirectories(base, 0700);
    // mkdir is the atomic test: a name taken by anything (another archiver,
    // a stray file) is skipped.
    for (unsigned counter = 1;; ++counter) {
        const std::string name = FormatCounter(counter);
        if (CreateDirectory(base + name, 0700)) {
            fPrivateName = name;
            fTempFolder = base + name + "/";
            return;
        }
        if (counter > 1000000)
            throw EFileError(SystemErrorText(base, EEXIST));
    }
}

std::string TArchiver::ExtractRoot(bool privateFolder)
{
    const std::string base = IncludeTrailingPathDelimiter(fEnv.TempBase);
    if (!DirectoryExists(base))
        ForceDirectories(base, 0700);
    if (privateFolder && !fPrivateName.empty())
        return CreateFoldersBelow(base, fPrivateName);
    return CreateFoldersBelow(base, SharedExtractFolder);
}

void TArchiver::List(const std::string& folder, bool directOnly, std::vector<TArchiveFileInfo*>& result) const
{
    const auto found = fFolders.find(folder);
    if (found == fFolders.end())
        return;
    result = found->second;
    if (directOnly)
        return;
    std::unordered_set<TArchiveFileInfo*> seen(result.begin(), result.end());
    // Keys are sorted by name without case, so every key below the folder
    // follows it; the exact prefix test on whole segments keeps "bb/" out of
    // the files of "b/".
    for (auto it = std::next(found); it != fFolders.end(); ++it) {
        if (!folder.empty() && !StartsText(folder, it->first))
            break;
        if (it->first.compare(0, folder.size(), folder) != 0)
            continue;
        for (TArchiveFileInfo* record : it->second) {
            if (seen.insert(record).second)
                result.push_back(record);
        }
    }
    result.erase(std::remove_if(result.begin(), result.end(), [](const TArchiveFileInfo* r) { return r->IsFolder(); }),
                 result.end());
}

void TArchiver::ListFolder(const std::string& folder, const TArchiveObjectTypes& types,
                           std::vector<TArchiveFileInfo*>& result) const
{
    const bool folders = types.count(TArchiveObjectType::atFolders) > 0;
    const bool supported = types.count(TArchiveObjectType::atSupported) > 0;
    const bool other = types.count(TArchiveObjectType::atNonSupported) > 0;
    std::vector<TArchiveFileInfo*> listed;
    List(folder, folders, listed);
    result.clear();
    for (TArchiveFileInfo* record : listed) {
        bool keep;
        if (record->IsFolder()) {
            keep = folders;
        } else {
            const std::string ext = ExtractFileExt(record->Name);
            const bool known = fEnv.Loaders &&
                               (fEnv.Loaders->IsImageExtension(ext) || fEnv.Loaders->IsArchiveExtension(ext));
            keep = known ? supported : other;
        }
        if (keep)
            result.push_back(record);
    }
}

TArchiveFileInfo* TArchiver::FindRecord(const std::string& folder, const std::string& name) const
{
    const std::string lookIn = name.empty() ? ParentFolderPath(folder) : folder;
    const auto found = fFolders.find(lookIn);
    if (found == fFolders.end())
        return nullptr;
    const std::string wanted = folder + name;
    TArchiveFileInfo* withoutCase = nullptr;
    for (TArchiveFileInfo* record : found->second) {
        if (name.empty() != record->IsFolder())
            continue;
        const std::string full = record->Path + record->Name;
        if (full == wanted)
            return record;
        if (!withoutCase && SameText(full, wanted))
            withoutCase = record;
    }
    return withoutCase;
}

std::unique_ptr<TMemoryStream> TArchiver::ExtractToStream(const TArchiveFileInfo& record)
{
    auto stream = std::make_unique<TMemoryStream>();
    if (!Loader)
        throw EMirevaError(Tx(ExtractFailedMessage));
    try {
        Loader->ExtractToStream(fFileName, record.Position, *stream);
    } catch (const std::exception&) {
        throw EMirevaError(Tx(ExtractFailedMessage));
    }
    stream->SetPosition(0);
    return stream;
}

std::string TArchiver::ExtractToFile(const TArchiveFileInfo& record, bool privateFolder)
{
    const std::string root = ExtractRoot(privateFolder);
    // Records are cleaned when listed; CreateFoldersBelow still refuses
    // anything that would climb out or pass through a link.
    const std::string folder = CreateFoldersBelow(root, Trim(record.Path));
    if (!IsWithinFolder(root, folder))
        throw EFileError(SystemErrorText(folder, EPERM));
    if (Trim(record.Name).empty())
        return folder;
    if (record.Name.find('/') != std::string::npos || record.Name == "." || record.Name == "..")
        throw EFileError(SystemErrorText(record.Path + record.Name, EINVAL));
    // A member that says it is too big is refused before a byte is written;
    // the plug-in stops one that only turns out too big on the way.
    const uint64_t limit = fEnv.MaxMemberBytes;
    if (record.Size > limit)
        throw EFileError(SystemErrorText(record.Name, EFBIG));
    const std::string target = folder + record.Name;
    const TFileStatus existing = QueryFile(target, false);
    if (existing.Kind == TFileKind::fkFolder)
        throw EFileError(SystemErrorText(target, EISDIR));
    if (existing.Kind != TFileKind::fkNone && !DeleteFile(target))
        throw EFileError(SystemErrorText(target, errno));
    if (!Loader)
        throw EMirevaError(Tx(ExtractFailedMessage));

    bool written = Loader->ExtractToFolder(fFileName, record.Position, folder);
    // A plug-in may report success without writing the file (or under
    // another name); only a plain file where we expect it counts.
    if (written) {
        const TFileStatus status = QueryFile(target, false);
        if (status.Kind != TFileKind::fkFile) {
            written = false;
            if (status.Kind == TFileKind::fkOther)
                DeleteFile(target);
        } else if (static_cast<uint64_t>(status.Size) > limit) {
            // Another plug-in may know no limit; what it wrote does not stay.
            DeleteFile(target);
            throw EFileError(SystemErrorText(record.Name, EFBIG));
        }
    }
    if (!written) {
        TMemoryStream stream;
        try {
            Loader->ExtractToStream(fFileName, record.Position, stream);
        } catch (const std::exception&) {
            throw EMirevaError(Tx(ExtractFailedMessage));
        }
        // No bytes: a quiet failure cannot be told from an empty member, and
        // an empty file would pass for the member's content.
        if (stream.Size() == 0)
            throw EMirevaError(Tx(ExtractFailedMessage));
        if (static_cast<uint64_t>(stream.Size()) > limit)
            throw EFileError(SystemErrorText(record.Name, EFBIG));
        try {
            TFileStream file(target, TFileMode::fmCreateNew, true, 0600);
            file.WriteBuffer(stream.Memory(), stream.Size());
            file.Close();
        } catch (const std::exception&) {
            // A full disk leaves no half-written member behind.
            DeleteFile(target);
            throw;
        }
    }
    // A time that cannot be set leaves the bytes right; nothing to report.
    if (record.Time != -1.0)
        SetFileModifiedTime(target, DateTimeToUnix(record.Time));
    return target;
}

std::string TArchiver::Extract(const std::string& folder, const std::string& memberName, bool privateFolder)
{
    const TArchiveFileInfo* record = FindRecord(folder, memberName);
    if (!record)
        return {};
    return ExtractToFile(*record, privateFolder);
}

void TArchiver::DeleteExtracted(const std::string& relative, bool privateFolder)
{
    // A path that would lead outside names nothing of ours: left alone.
    if (IsAbsolutePath(relative))
        return;
    for (const std::string& segment : SplitString(relative, '/')) {
        if (segment == "..")
            return;
    }
    const std::string root = ExtractRoot(privateFolder);
    const std::string path = ExcludeTrailingPathDelimiter(JoinPath(root, relative));
    if (!IsWithinFolder(root, path))
        return;
    if (QueryFile(path, false).Kind != TFileKind::fkFolder)
        return;
    int error = 0;
    if (IncludeTrailingPathDelimiter(path) == root) {
        // The private folder itself stays: its number is taken until the
        // archiver goes.
        for (const TDirEntry& entry : ListDirectory(root)) {
            if (!RemoveTree(root + entry.Name, &error))
                throw EFileError(SystemErrorText(root + entry.Name, error));
        }
        return;
    }
    if (!RemoveTree(path, &error))
        throw EFileError(SystemErrorText(path, error));
}

void TArchiver::Lock()
{
    if (!fLockStream) {
        fLockStream = std::make_unique<TFileStream>(fFileName, TFileMode::fmOpenRead);
        fLockCount = 1;
    } else if (fLockCount > 0) {
        ++fLockCount;
    }
}

void TArchiver::Unlock()
{
    if (fLockCount > 0 && --fLockCount == 0)
        fLockStream.reset();
}

bool TArchiver::SetFileName(const std::string& fileName)
{
    if (fLockStream)
        return false;
    fFileName = fileName;
    return true;
}

void TArchiver::SetParent(std::shared_ptr<TArchiver> parent)
{
    if (parent == fParent)
        return;
    if (parent)
        parent->Lock();
    if (fParent)
        fParent->Unlock();
    fParent = std::move(parent);
    if (fParent) {
        fRoot = fParent->fRoot ? fParent->fRoot : fParent.get();
        const std::string name = ExtractFileName(fFileName);
        fVirtualPath = fParent->fVirtualPath.empty() ? name : fParent->fVirtualPath + std::string(ArchiveDelim) + name;
    } else {
        fRoot = nullptr;
        fParentFolder.clear();
        fVirtualPath.clear();
    }
}

void TArchiver::SetParentFolder(const std::string& folder)
{
    fParentFolder = folder;
    const std::string name = ExtractFileName(fFileName);
    if (fParent && !fParent->fVirtualPath.empty())
        fVirtualPath = fParent->fVirtualPath + std::string(ArchiveDelim) + folder + name;
    else
        fVirtualPath = folder + name;
}

std::string TArchiver::OuterFileName() const
{
    return fRoot ? fRoot->fFileName : fFileName;
}

bool TArchiver::IsDescendantOf(const TArchiver* other) const
{
    for (const TArchiver* p = fParent.get(); p; p = p->fParent.get()) {
        if (p == other)
            return true;
    }
    return false;
}

// ---------------------------------------------------------------------------

TArchiverPtr OpenArchive(const TArchiveEnv& env, const std::string& fileName)
{
    if (!env.Loaders || !FileExists(fileName))
        return nullptr;
    int64_t offset = 0;
    TArchiveLoader* loader = env.Loaders->FindArchiveLoaderFor(fileName, &offset);
    if (!loader)
        return nullptr;
    // A file that a loader claims but cannot list would otherwise open as an
    // empty book without a word: its listing error goes to the caller.
    return std::make_shared<TArchiver>(env, loader, true, offset, fileName);
}

TArchiverPtr OpenInnerArchive(const TArchiverPtr& parent, const std::string& folder, const std::string& name)
{
    if (!parent)
        return nullptr;
    const std::string extracted = parent->Extract(folder, name, true);
    if (extracted.empty())
        return nullptr;
    TArchiverPtr archiver = OpenArchive(parent->Env(), extracted);
    if (!archiver)
        return nullptr;
    // Raises when the parent's file cannot be held open.
    archiver->SetParent(parent);
    archiver->SetParentFolder(folder);
    return archiver;
}

void SplitVirtualPath(const std::string& innerPath, std::string& head, std::string& tail)
{
    for (size_t i = innerPath.size(); i-- > 1;) {
        if (innerPath[i] == '/' && innerPath[i - 1] == '/') {
            head = innerPath.substr(0, i - 1);
            tail = innerPath.substr(i + 1);
            return;
        }
    }
    head.clear();
    tail = innerPath;
}

TArchiverPtr ResolveVirtualPath(const TArchiveEnv& env, const std::string& outerPath, const std::string& innerPath,
                                const TArchiverPtr& current, bool keepPartial)
{
    if (innerPath.empty())
        return OpenArchive(env, outerPath);
    std::string head, tail;
    SplitVirtualPath(innerPath, head, tail);

    TArchiverPtr found;
    if (current) {
        TArchiver* outer = current->Root() ? current->Root() : current.get();
        if (outer->FileName() == outerPath) {
            if (head.empty()) {
                found = outer->shared_from_this();
            } else {
                for (TArchiverPtr level = current; level; level = level->Parent()) {
                    if (level->VirtualPath() == head) {
                        found = level;
                        break;
                    }
                }
            }
        }
    }
    if (!found)
        found = ResolveVirtualPath(env, outerPath, head, current, keepPartial);
    if (!found)
        return nullptr;
    TArchiverPtr result;
    try {
        result = OpenInnerArchive(found, ExtractFilePath(tail), ExtractFileName(tail));
    } catch (const std::exception&) {
        if (!keepPartial)
            throw;
    }
    if (result)
        return result;
    return keepPartial ? found : nullptr;
}
