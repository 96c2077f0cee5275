#include "collections/Shelf.h"

#include <algorithm>
#include <variant>

#include "collections/CompareNames.h"
#include "collections/ListFile.h"
#include "collections/PathLine.h"
#include "common/AtomicSave.h"
#include "common/BfStream.h"
#include "base/Errors.h"
#include "base/PathUtils.h"
#include "common/Text.h"
#include "platform/FileStream.h"
#include "platform/FileSystem.h"
#include "base/Texts.h"

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
            const int32_t length = reader.ReadInt32("signature");
            const auto signatureLength = static_cast<int32_t>(sizeof(ShelfSignature) - 1);
            if (length == signatureLength && reader.Remaining() >= length) {
                const std::vector<uint8_t> bytes = reader.ReadBytes(length, "signature");
                signed_ = std::equal(bytes.begin(), bytes.end(), ShelfSignature);
            }
        }
        if (!signed_) {
            stream.SetPosition(start);
            reader = TListReader(stream);
            result.Version = 0;
        } else {
            result.Version = reader.ReadInt32("version");
        }
        const bool hasComments = signed_ && result.Version >= ShelfCommentVersion;
        const int32_t shelfCount = reader.ReadInt32("shelf count");
        if (shelfCount < 0)
            reader.Fail("shelf count");
        for (int32_t s = 0; s < shelfCount; ++s) {
            reader.Need(MinShelfRecord, "shelf");
            const std::string name = reader.ReadText("shelf name");
            const int32_t image = reader.ReadInt32("icon number");
            reader.ReadInt32("icon number");  // the icon number again
            const std::string comment = hasComments ? reader.ReadText("comment") : std::string();
            TGroupFolder* shelf = list.Group(list.Add(name, image, comment));
            const int32_t memberCount = reader.ReadCount(MinMemberRecord, "member count");
            std::vector<TGroupFolder::TNewItem> members;
            members.reserve(static_cast<size_t>(memberCount));
            try {
                for (int32_t m = 0; m < memberCount; ++m) {
                    const int32_t size = reader.ReadInt32("member size");
                    // Every identity ends with a two-byte terminator.
                    if (size < 2)
                        reader.Fail("member size");
                    TItemIdList item = TItemIdList::FromBytes(reader.ReadBytes(size, "member"));
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
    } catch (const EFileError&) {
        throw;
    } catch (const EMirevaError& e) {
        result.Complete = false;
        result.Error = e.what();
    }
    return result;
}

// ---- TShelfStore ----

TShelfStore::TShelfStore(std::string dataFolder)
    : fFile(IncludeTrailingPathDelimiter(dataFolder) + ShelfFileName,
            IncludeTrailingPathDelimiter(dataFolder) + ShelfBackupName)
{
}

TShelfLoadResult TShelfStore::Load(TGroupList& list)
{
    const auto outcome = [](const TShelfReadResult& read) { return TListReadOutcome{read.Complete, read.Error}; };
    return fFile.Load(
        [&](TStream& stream) {
            TGroupList scratch;
            return outcome(ReadShelfList(stream, scratch));
        },
        [&](TStream& stream) { return outcome(ReadShelfList(stream, list)); });
}

void TShelfStore::Save(const TGroupList& list)
{
    if (list.Count() == 0)
        fFile.Remove();
    else
        fFile.Save([&](TStream& stream) { WriteShelfList(list, stream); });
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

int ExportItems(const std::string& fileName, TGroupFolder& shelf)
{
    shelf.ResolveAll();
    std::vector<std::string> folders;
    std::vector<std::string> files;
    for (int i = 0; i < shelf.Count(); ++i) {
        const TGroupFileInfo* info = shelf.ItemInfo(i);
        // Identities of another system have no path to write.
        if (info->Path.empty())
            continue;
        (info->IsDirectory ? folders : files).push_back(info->Path);
    }
    std::stable_sort(folders.begin(), folders.end(), TNameLess());
    std::stable_sort(files.begin(), files.end(), TNameLess());
    std::string text;
    for (const auto* group : {&folders, &files}) {
        for (const std::string& path : *group) {
            text += EncodePathLine(path);
            text += '\n';
        }
    }
    SaveFileAtomically(fileName, text);
    return static_cast<int>(folders.size() + files.size());
}

namespace {

// The path a line of an import file stands for, or why it stands for none.
std::variant<std::string, TImportFault> ImportPath(std::string_view line)
{
    const TPathLine decoded = DecodePathLine(line);
    switch (decoded.Kind) {
    case TPathLineKind::plBlank:
        return std::string();
    case TPathLineKind::plNotAbsolute:
        return TImportFault::ifNotAbsolute;
    case TPathLineKind::plBadEscape:
        return TImportFault::ifBadEscape;
    case TPathLineKind::plPlain:
    case TPathLineKind::plEscaped:
        break;
    case TPathLineKind::plLegacy: {
        // Older exports wrote names as they were stored: the bytes themselves
        // or CP932. When both readings lead to an item they are two different
        // items, and taking either would be a guess.
        const std::string asBytes = MemberPath(decoded.Path);
        const std::string asCp932 = decoded.Cp932Path.empty() ? std::string() : MemberPath(decoded.Cp932Path);
        const bool bytesExist = Exists(asBytes);
        const bool cp932Exists = !asCp932.empty() && Exists(asCp932);
        if (bytesExist && cp932Exists)
            return TImportFault::ifAmbiguous;
        if (cp932Exists)
            return asCp932;
        break;
    }
    }
    const std::string path = MemberPath(decoded.Path);
    if (!Exists(path))
        return TImportFault::ifMissing;
    return path;
}

}  // namespace

TShelfImportResult ImportItems(const std::string& fileName, TGroupFolder& shelf)
{
    const std::string text = ReadWholeFile(fileName, MaxImportBytes);
    TShelfImportResult result;
    std::vector<TGroupFolder::TNewItem> items;
    size_t start = 0;
    // A byte-order mark some editors put first is no part of the first path.
    if (text.compare(0, 3, "\xEF\xBB\xBF") == 0)
        start = 3;
    for (int number = 1; start < text.size(); ++number) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        std::string_view line(text.data() + start, end - start);
        start = end + 1;
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        const auto fail = [&](TImportFault fault) {
            result.Failed.push_back({number, IsValidUtf8(line) ? std::string(line) : DecodeText(line), fault});
        };
        const std::variant<std::string, TImportFault> found = ImportPath(line);
        if (const auto* fault = std::get_if<TImportFault>(&found)) {
            fail(*fault);
            continue;
        }
        const std::string& path = std::get<std::string>(found);
        if (path.empty() || shelf.IndexOf(path) >= 0)
            continue;
        TItemIdList item = TItemIdList::FromPath(path);
        if (item.IsAbsent()) {
            fail(TImportFault::ifNoIdentity);
            continue;
        }
        items.push_back({path, std::move(item)});
    }
    result.Added = shelf.AddItems(std::move(items));
    return result;
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
        return Tx(EmptyNameText);
    if (CharCount(trimmed) > TGroupFolder::MaxNameLength)
        return Tx(LongNameText);
    if (!SameText(trimmed, originalName) && list.IndexOfName(trimmed) >= 0)
        return Tx(DuplicateNameText);
    return std::nullopt;
}

std::optional<std::string> CheckShelfComment(const std::string& comment)
{
    if (CharCount(Trim(comment)) > TGroupFolder::MaxCommentLength)
        return Tx(LongCommentText);
    return std::nullopt;
}
