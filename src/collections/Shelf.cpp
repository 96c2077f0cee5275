#include "collections/Shelf.h"

#include <algorithm>

#include "collections/CompareNames.h"
#include "collections/ListFile.h"
#include "common/AtomicSave.h"
#include "common/BfStream.h"
#include "base/Errors.h"
#include "base/PathUtils.h"
#include "common/Text.h"
#include "platform/FileStream.h"
#include "platform/FileSystem.h"

namespace {

constexpr char ProposedNameBase[] = "新しい本棚";
constexpr char EmptyNameText[] = "名前を入力してください  ";
constexpr char DuplicateNameText[] = "同名の本棚が存在します  ";
constexpr char LongNameText[] = "名前は 50 文字以内で入力してください  ";
constexpr char LongCommentText[] = "コメントは 100 文字以内で入力してください  ";

// The smallest shelf record: name count, two icon numbers, member count.
constexpr int64_t MinShelfRecord = 4 * 4;
// The smallest member: its size field and the two-byte terminator.
constexpr int64_t MinMemberRecord = 4 + 2;
// An import file larger than this is not a list of paths.
constexpr int64_t MaxImportBytes = int64_t(256) << 20;

void WriteText(TStream& stream, const std::string& text)
{
    WriteString(text, stream);
}

// A member path as the shelf keeps it: absolute, normalised, without a
// trailing separator (except "/").
std::string MemberPath(const std::string& path)
{
    if (path.empty())
        return {};
    const std::string absolute = IsAbsolutePath(path) ? NormalizePath(path) : ExpandFileName(path, CurrentDirectory());
    return ExcludeTrailingPathDelimiter(absolute);
}

bool Exists(const std::string& path)
{
    return FileExists(path) || DirectoryExists(path);
}

}  // namespace

void WriteShelfList(const TGroupList& list, TStream& stream)
{
    WriteText(stream, ShelfSignature);
    WriteInt32(stream, ShelfVersion);
    WriteInt32(stream, list.Count());
    for (int i = 0; i < list.Count(); ++i) {
        const TGroupFolder* shelf = list.Group(i);
        WriteText(stream, shelf->Name());
        WriteInt32(stream, shelf->ImageIndex());
        WriteInt32(stream, shelf->ImageIndex());
        WriteText(stream, shelf->Comment());
        WriteInt32(stream, shelf->Count());
        for (int m = 0; m < shelf->Count(); ++m) {
            const std::vector<uint8_t>& bytes = shelf->ItemInfo(m)->Item.Bytes();
            WriteInt32(stream, static_cast<int32_t>(bytes.size()));
            stream.WriteBuffer(bytes.data(), static_cast<int64_t>(bytes.size()));
        }
    }
}

TShelfReadResult ReadShelfList(TStream& stream, TGroupList& list)
{
    TShelfReadResult result;
    const int64_t start = stream.Position();
    TListReader reader(stream);
    try {
        // A file that does not start with the signature is of the oldest
        // layout: the shelf count comes first.
        bool signed_ = false;
        if (reader.Remaining() >= 4) {
            const int32_t length = reader.ReadInt32();
            const auto signatureLength = static_cast<int32_t>(sizeof(ShelfSignature) - 1);
            if (length == signatureLength && reader.Remaining() >= length) {
                const std::vector<uint8_t> bytes = reader.ReadBytes(length);
                signed_ = std::equal(bytes.begin(), bytes.end(), ShelfSignature);
            }
        }
        if (!signed_) {
            stream.SetPosition(start);
            reader = TListReader(stream);
            result.Version = 0;
        } else {
            result.Version = reader.ReadInt32();
        }
        const bool hasComments = signed_ && result.Version >= ShelfCommentVersion;
        const int32_t shelfCount = reader.ReadInt32();
        if (shelfCount < 0)
            throw EFormatError("リストファイルが壊れています");
        for (int32_t s = 0; s < shelfCount; ++s) {
            if (reader.Remaining() < MinShelfRecord)
                throw EFormatError("リストファイルが壊れています");
            const std::string name = reader.ReadText();
            const int32_t image = reader.ReadInt32();
            reader.ReadInt32();  // the icon number again
            const std::string comment = hasComments ? reader.ReadText() : std::string();
            TGroupFolder* shelf = list.Group(list.Add(name, image, comment));
            const int32_t memberCount = reader.ReadCount(MinMemberRecord);
            std::vector<TGroupFolder::TNewItem> members;
            members.reserve(static_cast<size_t>(memberCount));
            try {
                for (int32_t m = 0; m < memberCount; ++m) {
                    const int32_t size = reader.ReadInt32();
                    // Every identity ends with a two-byte terminator.
                    if (size < 2)
                        throw EFormatError("リストファイルが壊れています");
                    TItemIdList item = TItemIdList::FromBytes(reader.ReadBytes(size));
                    // Identities of the oldest files are rebuilt from their path.
                    if (result.Version == 0 && item.HasPath())
                        item = TItemIdList::FromPath(item.Path());
                    std::string path = item.Path();
                    members.push_back({std::move(path), std::move(item)});
                }
            } catch (const EMirevaError&) {
                shelf->AddItems(std::move(members));
                throw;
            }
            shelf->AddItems(std::move(members));
        }
    } catch (const EMirevaError& e) {
        result.Complete = false;
        result.Error = e.what();
    }
    return result;
}

// ---- TShelfStore ----

TShelfStore::TShelfStore(std::string dataFolder) : fDataFolder(IncludeTrailingPathDelimiter(std::move(dataFolder)))
{
}

std::string TShelfStore::FilePath() const
{
    return fDataFolder + ShelfFileName;
}

std::string TShelfStore::BackupPath() const
{
    return fDataFolder + ShelfBackupName;
}

TShelfLoadResult TShelfStore::Load(TGroupList& list)
{
    TShelfLoadResult result;
    const std::string path = FilePath();
    if (QueryFile(path, false).Kind == TFileKind::fkNone)
        return result;
    result.Found = true;
    try {
        TFileStream file(path, TFileMode::fmOpenRead);
        TBufferStream buffer(file, TBufferStream::ListBufferSize);
        const TShelfReadResult read = ReadShelfList(buffer, list);
        if (!read.Complete) {
            result.Damaged = true;
            result.Error = read.Error;
        }
    } catch (const EMirevaError& e) {
        result.Damaged = true;
        result.Error = e.what();
    }
    // Only a file is moved aside; something else of that name (a folder) is
    // not ours to move.
    if (result.Damaged && QueryFile(path, false).Kind == TFileKind::fkFile) {
        // Keep the damaged file for the user to look at, and out of the way of
        // the next save. It is the run's backup from now on.
        try {
            RenameFile(path, BackupPath());
            fBackupDone = true;
        } catch (const EMirevaError& e) {
            result.Error += " / " + std::string(e.what());
        }
    }
    return result;
}

void TShelfStore::Save(const TGroupList& list)
{
    if (list.Count() == 0) {
        RemoveListFile(FilePath(), BackupPath(), fBackupDone);
        return;
    }
    SaveListFile(FilePath(), BackupPath(), fBackupDone, [&](TStream& stream) { WriteShelfList(list, stream); });
}

// ---- members ----

int AddPaths(TGroupFolder& shelf, const std::vector<std::string>& paths)
{
    std::vector<TGroupFolder::TNewItem> items;
    for (const std::string& given : paths) {
        const std::string path = MemberPath(given);
        if (path.empty() || shelf.IndexOf(path) >= 0)
            continue;
        TItemIdList item = TItemIdList::FromPath(path);
        if (item.IsAbsent())
            continue;
        items.push_back({path, std::move(item)});
    }
    return shelf.AddItems(std::move(items));
}

int AddDroppedPaths(TGroupFolder& shelf, const std::vector<std::string>& paths,
                    const std::function<bool(const std::string&)>& isLoadable)
{
    std::vector<std::string> accepted;
    for (const std::string& given : paths) {
        const std::string path = MemberPath(given);
        if (DirectoryExists(path) || (FileExists(path) && isLoadable && isLoadable(path)))
            accepted.push_back(path);
    }
    return AddPaths(shelf, accepted);
}

int DeleteMissingItems(TGroupFolder& shelf)
{
    shelf.ResolveAll();
    int removed = 0;
    for (int i = shelf.Count() - 1; i >= 0; --i) {
        const TGroupFileInfo* info = shelf.ItemInfo(i);
        if (info->Item.IsRoot())
            continue;
        const bool present = info->IsDirectory ? DirectoryExists(info->Path) : FileExists(info->Path);
        if (!present) {
            shelf.DeleteItem(i);
            ++removed;
        }
    }
    return removed;
}

TShelfExportResult ExportItems(const std::string& fileName, TGroupFolder& shelf)
{
    shelf.ResolveAll();
    std::vector<std::string> folders;
    std::vector<std::string> files;
    TShelfExportResult result;
    for (int i = 0; i < shelf.Count(); ++i) {
        const TGroupFileInfo* info = shelf.ItemInfo(i);
        if (info->Path.empty())
            continue;
        // One path per line: a name holding a line break cannot be written.
        if (info->Path.find_first_of("\r\n") != std::string::npos) {
            ++result.Skipped;
            continue;
        }
        (info->IsDirectory ? folders : files).push_back(info->Path);
    }
    std::stable_sort(folders.begin(), folders.end(), TNameLess());
    std::stable_sort(files.begin(), files.end(), TNameLess());
    std::string text;
    for (const auto* group : {&folders, &files}) {
        for (const std::string& path : *group) {
            text += path;
            text += '\n';
        }
    }
    try {
        SaveFileAtomically(fileName, text);
    } catch (const std::exception& e) {
        throw EFileError(e.what());
    }
    result.Written = static_cast<int>(folders.size() + files.size());
    return result;
}

int ImportItems(const std::string& fileName, TGroupFolder& shelf)
{
    const std::string text = DecodeText(ReadWholeFile(fileName, MaxImportBytes));
    std::vector<std::string> accepted;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        std::string line = text.substr(start, end - start);
        start = end + 1;
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        // Only absolute paths: a relative one would depend on where the
        // program happens to run.
        if (!IsAbsolutePath(line))
            continue;
        const std::string path = MemberPath(line);
        if (!Exists(path) || shelf.IndexOf(path) >= 0)
            continue;
        accepted.push_back(path);
    }
    return AddPaths(shelf, accepted);
}

std::string ProposeShelfName(const TGroupList& list)
{
    for (int n = 1;; ++n) {
        std::string name = std::string(ProposedNameBase) + std::to_string(n);
        if (list.IndexOfName(name) < 0)
            return name;
    }
}

std::optional<std::string> CheckShelfName(const TGroupList& list, const std::string& name,
                                          const std::string& originalName)
{
    const std::string trimmed = Trim(name);
    if (trimmed.empty())
        return std::string(EmptyNameText);
    if (CharCount(trimmed) > TGroupFolder::MaxNameLength)
        return std::string(LongNameText);
    if (!SameText(trimmed, originalName) && list.IndexOfName(trimmed) >= 0)
        return std::string(DuplicateNameText);
    return std::nullopt;
}

std::optional<std::string> CheckShelfComment(const std::string& comment)
{
    if (CharCount(Trim(comment)) > TGroupFolder::MaxCommentLength)
        return std::string(LongCommentText);
    return std::nullopt;
}
