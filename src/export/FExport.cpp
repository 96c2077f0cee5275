#include "export/FExport.h"

#include <algorithm>

#include "base/Errors.h"
#include "base/PathUtils.h"
#include "collections/CompareNames.h"
#include "collections/GroupFolder.h"
#include "collections/Media.h"
#include "collections/MediaFiles.h"
#include "collections/MediaFolder.h"
#include "collections/Search.h"
#include "collections/ShellInfo.h"
#include "common/AtomicSave.h"
#include "common/ByteSize.h"
#include "common/CsvFields.h"
#include "common/Text.h"
#include "platform/Mounts.h"
#include "platform/TreeWalk.h"
#include "platform/Volumes.h"

namespace {

constexpr const char* kCaptions[FixedColumnCount] = {
    "名前", "パス（絶対パス）", "パス（相対パス）", "親フォルダ", "種類", "サイズ", "作成日時", "更新日時", "本棚名",
    "メディア名", "コメント", "ボリュームラベル", "シリアル", "ファイルシステム", "使用領域", "空き領域", "容量",
};

// Lines are gathered and written in blocks of about this size.
constexpr size_t kFlushSize = 1 << 20;

std::string TwoDigits(int value)
{
    std::string out(2, '0');
    out[0] = static_cast<char>('0' + value / 10 % 10);
    out[1] = static_cast<char>('0' + value % 10);
    return out;
}

TDateTime ToDateTime(const TTreeWalkTime& time)
{
    if (time.Seconds == 0 && time.Nanoseconds == 0)
        return 0;
    return UnixToDateTime(time.Seconds, time.Nanoseconds);
}

// The folder part of a path, without its trailing '/' ("/" stays "/").
std::string DirectoryOf(const std::string& path)
{
    const size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return std::string();
    if (slash == 0)
        return "/";
    return path.substr(0, slash);
}

std::string LastComponent(const std::string& dir)
{
    if (dir == "/")
        return std::string();
    const size_t slash = dir.rfind('/');
    return slash == std::string::npos ? dir : dir.substr(slash + 1);
}

std::string NameOf(const std::string& path)
{
    const std::string trimmed = path.size() > 1 ? ExcludeTrailingPathDelimiter(path) : path;
    const size_t slash = trimmed.rfind('/');
    return slash == std::string::npos || trimmed == "/" ? trimmed : trimmed.substr(slash + 1);
}

// Folders first, then the program's name order.
bool EntryBefore(const TTreeWalkEntry& a, const TTreeWalkEntry& b)
{
    if (a.IsDirectory != b.IsDirectory)
        return a.IsDirectory;
    return CompareNames(a.RelativePath, b.RelativePath) < 0;
}

bool RecordBefore(const TCtFileInfo* a, const TCtFileInfo* b)
{
    if (a->IsDirectory != b->IsDirectory)
        return a->IsDirectory;
    return CompareText(a->Path, b->Path) < 0;
}

}  // namespace

// The facts of one line, gathered as far as its columns need them.
struct TFileExport::TItem {
    bool IsFolder = false;
    std::string Name;
    std::string Directory;
    std::string Relative;
    bool HasRelative = false;  // Relative is set; otherwise column 2 is rule R of Directory
    std::string Type;
    std::optional<int64_t> Size;
    std::optional<TDateTime> Created;
    std::optional<TDateTime> Modified;
    std::string Shelf;
    std::string Medium;
    std::string Comment;
    std::string Label;
    std::optional<uint32_t> Serial;
    std::string FileSystem;
    std::optional<int64_t> Used, Free, Capacity;
    std::string BasePath;
};

const char* ColumnCaption(int column)
{
    return column >= 0 && column < FixedColumnCount ? kCaptions[column] : "";
}

std::string FormatExportTime(TDateTime value)
{
    const TDateParts p = DecodeDateTime(value);
    std::string year = IntToStr(p.Year);
    while (year.size() < 4)
        year.insert(year.begin(), '0');
    return year + "/" + TwoDigits(p.Month) + "/" + TwoDigits(p.Day) + "  " + TwoDigits(p.Hour) + ":" +
           TwoDigits(p.Minute) + ":" + TwoDigits(p.Second);
}

std::string FormatExportSerial(uint32_t serial)
{
    const std::string hex = IntToHex(serial, 8);
    return hex.substr(0, 4) + "-" + hex.substr(4);
}

std::string RelativeExportPath(const std::string& base, const std::string& dir)
{
    if (base.empty())
        return dir;
    const std::string root = base == "/" ? base : ExcludeTrailingPathDelimiter(base);
    if (dir == root)
        return "./";
    const std::string prefix = IncludeTrailingPathDelimiter(root);
    if (dir.size() > prefix.size() && dir.compare(0, prefix.size(), prefix) == 0)
        return "./" + dir.substr(prefix.size());
    return dir;
}

TFileExport::TFileExport(TExportSettings settings, const std::string& outputPath, TShellInfo* typeNames)
    : fSettings(std::move(settings)), fTypeNames(typeNames), fFile(std::make_unique<TAtomicFile>(outputPath))
{
    for (const int column : fSettings.Columns) {
        if (column >= 5 && column <= 7)
            fNeedsFindData = true;
        if (column >= 11 && column <= 16)
            fNeedsVolumeInfo = true;
        if (column == 4)
            fNeedsType = true;
        if (column >= FixedColumnCount && fSettings.Options.NameDivide)
            fDividesName = true;
    }
    fBuffer.reserve(kFlushSize + 4096);
    if (fSettings.Options.Header)
        WriteHeader();
}

TFileExport::~TFileExport() = default;

void TFileExport::SetCollections(const TGroupList* shelves, TMediaList* media, TMediaStore* mediaStore)
{
    fShelves = shelves;
    fMedia = media;
    fMediaStore = mediaStore;
}

void TFileExport::WriteHeader()
{
    fFields.clear();
    for (const int column : fSettings.Columns) {
        if (column < FixedColumnCount) {
            std::string caption = ColumnCaption(column);
            if (column == SizeColumn && fSettings.Options.SizeKB)
                caption += "（KB）";
            fFields.push_back(std::move(caption));
        } else {
            const size_t rule = static_cast<size_t>(column - FixedColumnCount);
            fFields.push_back(rule < fSettings.Rules.size() ? fSettings.Rules[rule].Name : std::string());
        }
    }
    AppendCsvLine(fBuffer, fFields);
    fBuffer += "\r\n";
    ++fLines;
}

void TFileExport::WriteItem(TItem& item)
{
    if (item.IsFolder ? fSettings.Options.NoFolder : fSettings.Options.NoFile)
        return;
    TDividedName divided;
    if (fDividesName) {
        divided = DivideName(fSettings.Rules, item.Name);
        item.Name = divided.Rest;
    }
    const TExportOptions& options = fSettings.Options;
    auto volumeSize = [&](const std::optional<int64_t>& value) {
        if (!value)
            return std::string();
        return options.SizeGB ? FormatByteSize(*value) : IntToStr(*value);
    };
    fFields.clear();
    for (const int column : fSettings.Columns) {
        std::string field;
        switch (column) {
        case 0: field = item.Name; break;
        case 1: field = item.Directory; break;
        case 2: field = item.HasRelative ? item.Relative : RelativeExportPath(item.BasePath, item.Directory); break;
        case 3: field = LastComponent(item.Directory); break;
        case 4: field = item.Type; break;
        case 5:
            if (item.Size && !item.IsFolder)
                field = options.SizeKB ? FormatKBSize(*item.Size) : IntToStr(*item.Size);
            break;
        case 6: if (item.Created) field = FormatExportTime(*item.Created); break;
        case 7: if (item.Modified) field = FormatExportTime(*item.Modified); break;
        case 8: field = item.Shelf; break;
        case 9: field = item.Medium; break;
        case 10: field = item.Comment; break;
        case 11: field = item.Label; break;
        case 12: if (item.Serial) field = FormatExportSerial(*item.Serial); break;
        case 13: field = item.FileSystem; break;
        case 14: field = volumeSize(item.Used); break;
        case 15: field = volumeSize(item.Free); break;
        case 16: field = volumeSize(item.Capacity); break;
        default: {
            const size_t rule = static_cast<size_t>(column - FixedColumnCount);
            if (fDividesName && rule < divided.Parts.size())
                field = divided.Parts[rule];
        }
        }
        fFields.push_back(std::move(field));
    }
    AppendCsvLine(fBuffer, fFields);
    fBuffer += "\r\n";
    ++fLines;
    if (fBuffer.size() >= kFlushSize)
        Flush();
}

void TFileExport::Flush()
{
    if (fBuffer.empty())
        return;
    if (fSettings.Encoding == TExportEncoding::eeCp932) {
        const std::string bytes = EncodeCp932(fBuffer);
        fFile->Stream().WriteBuffer(bytes.data(), static_cast<int64_t>(bytes.size()));
    } else {
        fFile->Stream().WriteBuffer(fBuffer.data(), static_cast<int64_t>(fBuffer.size()));
    }
    fBuffer.clear();
}

void TFileExport::Commit()
{
    Flush();
    fFile->Commit();
}

std::string TFileExport::TypeName(const std::string& path, bool isDirectory) const
{
    return fNeedsType && fTypeNames ? fTypeNames->TypeName(path, isDirectory) : std::string();
}

std::string TFileExport::ShelfName(int index) const
{
    if (!fShelves || index < 0 || index >= fShelves->Count())
        return std::string();
    return fShelves->Group(index)->Name();
}

void TFileExport::FillFromEntry(TItem& item, const TTreeWalkEntry& entry)
{
    if (!entry.Found || !fNeedsFindData)
        return;
    item.Size = entry.Size;
    item.Created = ToDateTime(entry.Created);
    item.Modified = ToDateTime(entry.Modified);
}

void TFileExport::WriteFolderItems(const std::string& basePath, const std::vector<std::string>& paths, int shelfIndex)
{
    for (const std::string& path : paths)
        WriteFolderPath(basePath, path, basePath.empty(), shelfIndex);
}

void TFileExport::WriteFolderPath(const std::string& basePath, const std::string& path, bool volumeRoots, int shelfIndex)
{
    const std::string clean = path.size() > 1 ? ExcludeTrailingPathDelimiter(path) : path;
    const TTreeWalkEntry entry = StatPath(clean);
    TItem item;
    item.IsFolder = entry.IsDirectory;
    item.BasePath = basePath;
    item.Shelf = ShelfName(shelfIndex);
    // In the top of the folder tree the mounts are what drives are elsewhere:
    // named by their folder, with the volume's facts and no path or times.
    std::optional<TMountPoint> mount;
    if (volumeRoots && entry.IsDirectory)
        for (const TMountPoint& m : ReadMountPoints())
            if (m.Path == clean)
                mount = m;
    if (mount) {
        item.Name = NameOf(clean);
        item.HasRelative = true;
        const TVolumeInfo volume = ReadVolumeInfo(*mount);
        item.Type = DriveTypeName(DriveTypeOfVolume(volume));
        if (fNeedsVolumeInfo) {
            item.Label = volume.Label;
            item.Serial = volume.Serial;
            item.FileSystem = volume.FsType;
            item.Capacity = volume.Capacity;
            item.Free = volume.FreeSpace;
            item.Used = volume.Capacity - volume.FreeSpace;
        }
    } else {
        item.Name = NameOf(clean);
        item.Directory = DirectoryOf(clean);
        item.Type = TypeName(clean, entry.IsDirectory);
        FillFromEntry(item, entry);
    }
    WriteItem(item);
    // A link to a folder is written but never entered: it may lead anywhere,
    // even back up the tree.
    if (fSettings.Options.SubFolder && entry.IsDirectory && !entry.IsLink &&
        fEntered.insert({entry.Device, entry.Inode}).second)
        DescendFolder(basePath, clean, shelfIndex);
}

void TFileExport::DescendFolder(const std::string& basePath, const std::string& folder, int shelfIndex)
{
    std::vector<TTreeWalkEntry> entries;
    try {
        entries = ListFolderEntries(folder);
    } catch (const EFileError&) {
        return;  // a folder that cannot be read is passed over
    }
    std::sort(entries.begin(), entries.end(), EntryBefore);
    const std::string prefix = folder == "/" ? folder : folder + "/";
    const std::string shelf = ShelfName(shelfIndex);
    for (const TTreeWalkEntry& entry : entries) {
        const std::string path = prefix + entry.RelativePath;
        TItem item;
        item.IsFolder = entry.IsDirectory;
        item.BasePath = basePath;
        item.Shelf = shelf;
        item.Name = entry.RelativePath;
        item.Directory = folder;
        item.Type = TypeName(path, entry.IsDirectory);
        FillFromEntry(item, entry);
        WriteItem(item);
        if (entry.IsDirectory && !entry.IsLink && fEntered.insert({entry.Device, entry.Inode}).second)
            DescendFolder(basePath, path, shelfIndex);
    }
}

void TFileExport::WriteShelfList(const std::vector<int>& shelfIndices)
{
    if (!fShelves)
        return;
    for (const int index : shelfIndices) {
        if (index < 0 || index >= fShelves->Count())
            continue;
        TGroupFolder* shelf = fShelves->Group(index);
        TItem item;
        item.IsFolder = true;
        item.Name = shelf->Name();
        item.Comment = shelf->CommentLine();
        item.HasRelative = true;
        WriteItem(item);
        if (!fSettings.Options.SubFolder)
            continue;
        shelf->ResolveAll();
        std::vector<const TGroupFileInfo*> members;
        for (int i = 0; i < shelf->Count(); ++i)
            members.push_back(shelf->ItemInfo(i));
        WriteShelfItems(index, members);
    }
}

void TFileExport::WriteShelfItems(int shelfIndex, const std::vector<const TGroupFileInfo*>& members)
{
    const std::string shelf = ShelfName(shelfIndex);
    for (const TGroupFileInfo* member : members) {
        const std::string path = member->Path.size() > 1 ? ExcludeTrailingPathDelimiter(member->Path) : member->Path;
        const TTreeWalkEntry entry = StatPath(path);
        TItem item;
        item.IsFolder = entry.Found ? entry.IsDirectory : member->IsDirectory;
        item.Name = NameOf(path);
        item.Directory = DirectoryOf(path);
        item.Relative = item.Directory;
        item.HasRelative = true;
        item.Type = TypeName(path, item.IsFolder);
        item.Shelf = shelf;
        FillFromEntry(item, entry);
        WriteItem(item);
        if (fSettings.Options.SubFolder && entry.IsDirectory && !entry.IsLink &&
            fEntered.insert({entry.Device, entry.Inode}).second)
            DescendFolder(item.Directory, path, shelfIndex);
    }
}

void TFileExport::WriteMediaList(const std::vector<int>& mediumIndices)
{
    if (!fMedia)
        return;
    for (const int index : mediumIndices) {
        if (index < 0 || index >= fMedia->Count())
            continue;
        TMediaFolder* medium = fMedia->Medium(index);
        TItem item;
        item.IsFolder = true;
        item.Name = medium->Name();
        item.HasRelative = true;
        item.Type = DriveTypeName(medium->DriveType);
        item.Modified = medium->CatalogueDate;
        item.Comment = medium->CommentLine();
        item.Label = medium->VolumeLabel;
        item.Serial = medium->SerialNumber;
        item.FileSystem = medium->FileSystem;
        item.Used = medium->UsedSpace();
        item.Free = medium->FreeSpace;
        item.Capacity = medium->Capacity;
        WriteItem(item);
        if (!fSettings.Options.SubFolder)
            continue;
        if (!medium->Loaded) {
            if (!fMediaStore)
                continue;
            try {
                fMediaStore->LoadCatalogue(*medium);
            } catch (const EMirevaError&) {
                continue;  // a catalogue that cannot be read is passed over
            }
            if (!medium->Loaded)
                continue;
        }
        std::vector<const TCtFileInfo*> records = medium->ItemsOf("");
        std::sort(records.begin(), records.end(), RecordBefore);
        for (const TCtFileInfo* record : records)
            WriteCatalogueRecord(*medium, "/", *record);
    }
}

void TFileExport::WriteCatalogueItems(int mediumIndex, const std::string& basePath,
                                      const std::vector<const TCtFileInfo*>& records)
{
    if (!fMedia || mediumIndex < 0 || mediumIndex >= fMedia->Count())
        return;
    const TMediaFolder& medium = *fMedia->Medium(mediumIndex);
    for (const TCtFileInfo* record : records)
        WriteCatalogueRecord(medium, basePath, *record);
}

void TFileExport::WriteCatalogueRecord(const TMediaFolder& medium, const std::string& basePath, const TCtFileInfo& record)
{
    const std::string key = CatalogueKey(record.Path);
    TItem item;
    item.IsFolder = record.IsDirectory;
    item.Name = NameOf(key);
    const std::string folder = CatalogueFolderOf(key);
    item.Directory = "/" + folder;
    item.BasePath = basePath;
    if (basePath == "/") {
        item.Relative = folder.empty() ? "./" : "./" + folder;
        item.HasRelative = true;
    }
    item.Type = TypeName(key, record.IsDirectory);
    item.Medium = medium.Name();
    if (fNeedsFindData && record.Attributes != -1) {
        item.Size = record.Size;
        item.Created = record.Created;
        item.Modified = record.Modified;
    }
    WriteItem(item);
    if (fSettings.Options.SubFolder && record.IsDirectory) {
        std::vector<const TCtFileInfo*> inside = medium.ItemsOf(key);
        std::sort(inside.begin(), inside.end(), RecordBefore);
        for (const TCtFileInfo* child : inside)
            if (child != &record)
                WriteCatalogueRecord(medium, basePath, *child);
    }
}

void TFileExport::WriteSearchResults(const TSearchFolder& search, const std::vector<const TGroupFileInfo*>& records)
{
    for (const TGroupFileInfo* record : records) {
        const TSearchTarget* target = search.TargetAt(record->TargetIndex);
        const bool onMedium = target && target->Kind == TSearchTargetKind::tkMedium;
        const bool inShelf = target && target->Kind == TSearchTargetKind::tkShelf;
        const std::string path = record->Path.size() > 1 ? ExcludeTrailingPathDelimiter(record->Path) : record->Path;
        TItem item;
        item.IsFolder = record->IsDirectory;
        item.Name = NameOf(path);
        item.Directory = DirectoryOf(path);
        item.Relative = item.Directory;
        item.HasRelative = true;
        item.Type = TypeName(path, record->IsDirectory);
        if (inShelf)
            item.Shelf = target->Name;
        if (onMedium)
            item.Medium = target->Name;
        TTreeWalkEntry entry;
        if (onMedium) {
            if (fNeedsFindData && record->Attributes != -1) {
                item.Size = record->Size;
                item.Created = record->Created;
                item.Modified = record->Modified;
            }
        } else {
            entry = StatPath(path);
            FillFromEntry(item, entry);
        }
        WriteItem(item);
        if (!fSettings.Options.SubFolder || !record->IsDirectory)
            continue;
        if (onMedium) {
            if (!fMedia || target->Index < 0 || target->Index >= fMedia->Count())
                continue;
            const TMediaFolder& medium = *fMedia->Medium(target->Index);
            std::vector<const TCtFileInfo*> inside = medium.ItemsOf(CatalogueKey(record->Path));
            std::sort(inside.begin(), inside.end(), RecordBefore);
            for (const TCtFileInfo* child : inside)
                WriteCatalogueRecord(medium, std::string(), *child);
        } else if (entry.IsDirectory && !entry.IsLink && fEntered.insert({entry.Device, entry.Inode}).second) {
            DescendFolder(item.Directory, path, inShelf ? target->Index : -1);
        }
    }
}
