#include "collections/MediaFiles.h"

#include <cerrno>
#include <cstring>

#include "base/Errors.h"
#include "base/PathUtils.h"
#include "common/BfStream.h"
#include "platform/FileSystem.h"
#include "base/Texts.h"

namespace {

// The smallest medium record: name, icon, comment, label, serial, drive
// type, file system, capacity, free space, date.
constexpr int64_t MinMediumRecord = 4 + 4 + 4 + 4 + 4 + 1 + 4 + 8 + 8 + 8;
// The smallest catalogue record of the oldest and of the current layout.
constexpr int64_t MinOldRecord = 4 + 4 + 1;
constexpr int64_t MinRecord = MinOldRecord + 4 + 8 + 8 + 8 + 8;
// Longest base name kept whole; file names may have 255 bytes, and the
// extension and a save's "$$" need room.
constexpr size_t MaxBaseBytes = 200;




void WriteBlock(TStream& stream, const std::vector<uint8_t>& bytes)
{
    WriteInt32(stream, static_cast<int32_t>(bytes.size()));
    stream.WriteBuffer(bytes.data(), static_cast<int64_t>(bytes.size()));
}

// Reads the signature; false (and the reader rewound) when it is not there.
bool ReadSignature(TListReader& reader, std::string_view signature)
{
    if (reader.Remaining() < 4 + static_cast<int64_t>(signature.size()))
        return false;
    const int32_t length = reader.ReadInt32("signature");
    if (length != static_cast<int32_t>(signature.size()))
        return false;
    const std::vector<uint8_t> bytes = reader.ReadBytes(length, "signature");
    return std::equal(bytes.begin(), bytes.end(), signature.begin());
}

uint32_t Fnv1a32(std::string_view text)
{
    uint32_t hash = 2166136261u;
    for (const char c : text) {
        hash ^= static_cast<uint8_t>(c);
        hash *= 16777619u;
    }
    return hash;
}

}  // namespace

std::string CatalogueBaseName(const std::string& mediumName)
{
    static constexpr char Hex[] = "0123456789ABCDEF";
    std::string base;
    for (size_t i = 0; i < mediumName.size(); ++i) {
        const auto c = static_cast<uint8_t>(mediumName[i]);
        // A leading '.' would hide the file or make "." and "..".
        const bool unsafe = c == '/' || c == '%' || c < 0x20 || c == 0x7F || (i == 0 && c == '.');
        if (unsafe) {
            base += '%';
            base += Hex[c >> 4];
            base += Hex[c & 15];
        } else {
            base += static_cast<char>(c);
        }
    }
    if (base.empty())
        return "%";
    if (base.size() > MaxBaseBytes) {
        size_t cut = MaxBaseBytes;
        // Never between the bytes of one character.
        while (cut > 0 && (static_cast<uint8_t>(base[cut]) & 0xC0) == 0x80)
            --cut;
        base.resize(cut);
        std::string hash(8, '0');
        uint32_t h = Fnv1a32(mediumName);
        for (int i = 7; i >= 0; --i, h >>= 4)
            hash[static_cast<size_t>(i)] = Hex[h & 15];
        base += "~" + hash;
    }
    return base;
}

TDriveType DriveTypeFromCode(uint8_t code, int32_t version)
{
    static constexpr uint8_t OldCodes[] = {0, 1, 4, 5, 6, 7, 8, 9};
    if (version <= MediaDetailsVersion)
        code = code < sizeof(OldCodes) ? OldCodes[code] : 0;
    return code <= static_cast<uint8_t>(TDriveType::dtOther) ? static_cast<TDriveType>(code) : TDriveType::dtUnknown;
}

// ---- the list file ----

void WriteMediaList(const TMediaList& list, TStream& stream)
{
    WriteString(MediaListSignature, stream);
    WriteInt32(stream, MediaVersion);
    WriteInt32(stream, list.Count());
    for (int i = 0; i < list.Count(); ++i) {
        const TMediaFolder& medium = *list.Medium(i);
        WriteString(medium.Name(), stream);
        WriteInt32(stream, medium.ImageIndex());
        WriteString(medium.Comment(), stream);
        WriteString(medium.VolumeLabel, stream);
        WriteInt32(stream, static_cast<int32_t>(medium.SerialNumber));
        WriteByte(stream, static_cast<uint8_t>(medium.DriveType));
        WriteString(medium.FileSystem, stream);
        WriteInt64(stream, medium.Capacity);
        WriteInt64(stream, medium.FreeSpace);
        WriteDouble(stream, medium.CatalogueDate);
    }
}

TMediaReadResult ReadMediaList(TStream& stream, TMediaList& list,
                               const std::function<bool(const std::string& name)>& hasCatalogue)
{
    TMediaReadResult result;
    TListReader reader(stream);
    try {
        if (!ReadSignature(reader, MediaListSignature)) {
            result.Signed = false;
            return result;
        }
        result.Version = reader.ReadInt32("version");
        const int32_t count = reader.ReadCount(MinMediumRecord, "medium count");
        for (int32_t m = 0; m < count; ++m) {
            reader.Need(MinMediumRecord, "medium");
            const std::string name = reader.ReadText("medium name");
            const int32_t image = reader.ReadInt32("icon number");
            const std::string comment = reader.ReadText("comment");
            const std::string label = reader.ReadText("volume label");
            const auto serial = static_cast<uint32_t>(reader.ReadInt32("serial number"));
            uint8_t code = 0;
            reader.ReadBytes(&code, 1, "drive type");
            const std::string fileSystem = reader.ReadText("file system");
            const int64_t capacity = reader.ReadInt64("capacity");
            const int64_t freeSpace = reader.ReadInt64("free space");
            const TDateTime date = reader.ReadDate("catalogue date");
            // A medium whose records are gone has nothing to show; it is
            // read past and dropped.
            if (hasCatalogue && !hasCatalogue(name)) {
                ++result.Skipped;
                continue;
            }
            TMediaFolder& medium = *list.Medium(list.Add(name, image, comment));
            medium.VolumeLabel = label;
            medium.SerialNumber = serial;
            medium.DriveType = DriveTypeFromCode(code, result.Version);
            medium.FileSystem = fileSystem;
            medium.Capacity = capacity;
            medium.FreeSpace = freeSpace;
            medium.CatalogueDate = date;
        }
    } catch (const EFileError&) {
        throw;
    } catch (const EMirevaError& e) {
        result.Complete = false;
        result.Error = e.what();
    }
    return result;
}

// ---- catalogue files ----

void WriteCatalogue(const TMediaFolder& medium, TStream& stream)
{
    WriteString(MediaFileSignature, stream);
    WriteInt32(stream, MediaVersion);
    const TItemIdList root = medium.StoredRootId.IsAbsent() ? TItemIdList::Root() : medium.StoredRootId;
    WriteBlock(stream, root.Bytes());
    WriteInt32(stream, medium.Count());
    for (int i = 0; i < medium.Count(); ++i) {
        const TCtFileInfo& record = *medium.Record(i);
        WriteBlock(stream, record.Item.Bytes());
        WriteString(record.Path, stream);
        WriteByte(stream, record.IsDirectory ? 1 : 0);
        WriteInt32(stream, record.Attributes);
        WriteInt64(stream, record.Size);
        WriteDouble(stream, record.Modified);
        WriteDouble(stream, record.Created);
        WriteDouble(stream, record.Accessed);
    }
}

TMediaReadResult ReadCatalogue(TStream& stream, TMediaFolder& medium)
{
    TMediaReadResult result;
    TListReader reader(stream);
    try {
        if (!ReadSignature(reader, MediaFileSignature)) {
            result.Signed = false;
            return result;
        }
    } catch (const EFileError&) {
        throw;
    } catch (const EMirevaError&) {
        result.Signed = false;
        return result;
    }
    medium.ClearCatalogue();
    try {
        result.Version = reader.ReadInt32("version");
        const bool details = result.Version >= MediaDetailsVersion;
        const int32_t rootSize = reader.ReadInt32("root size");
        if (rootSize < 0)
            reader.Fail("root size");
        medium.StoredRootId = TItemIdList::FromBytes(reader.ReadBytes(rootSize, "root"));
        const int32_t count = reader.ReadCount(details ? MinRecord : MinOldRecord, "record count");
        for (int32_t r = 0; r < count; ++r) {
            auto record = std::make_unique<TCtFileInfo>();
            const int32_t itemSize = reader.ReadInt32("item size");
            if (itemSize < 0)
                reader.Fail("item size");
            record->Item = TItemIdList::FromBytes(reader.ReadBytes(itemSize, "item"));
            record->Path = reader.ReadText("path");
            uint8_t directory = 0;
            reader.ReadBytes(&directory, 1, "is directory");
            record->IsDirectory = directory != 0;
            if (details) {
                record->Attributes = reader.ReadInt32("attributes");
                record->Size = reader.ReadInt64("size");
                record->Modified = reader.ReadDate("modified");
                record->Created = reader.ReadDate("created");
                record->Accessed = reader.ReadDate("accessed");
            } else {
                record->Attributes = -1;
            }
            medium.AddRecord(std::move(record));
        }
    } catch (const EFileError&) {
        medium.CompleteCatalogue();
        throw;
    } catch (const EMirevaError& e) {
        result.Complete = false;
        result.Error = e.what();
    }
    medium.CompleteCatalogue();
    return result;
}

// ---- TMediaStore ----

TMediaStore::TMediaStore(std::string dataFolder)
    : fFolder(IncludeTrailingPathDelimiter(IncludeTrailingPathDelimiter(dataFolder) + MediaFolderName)),
      fList(fFolder + MediaListFileName, fFolder + MediaBackupName)
{
}

TMediaStore::~TMediaStore() = default;

std::string TMediaStore::CataloguePath(const std::string& mediumName) const
{
    return fFolder + CatalogueBaseName(mediumName) + CatalogueExtension;
}

std::string TMediaStore::ThumbnailPath(const std::string& mediumName) const
{
    return fFolder + CatalogueBaseName(mediumName) + MediaThumbnailExtension;
}

TListFile& TMediaStore::CatalogueFile(const std::string& mediumName)
{
    std::unique_ptr<TListFile>& file = fCatalogues[CatalogueBaseName(mediumName)];
    if (!file)
        file = std::make_unique<TListFile>(CataloguePath(mediumName), std::string());
    return *file;
}

TListLoadResult TMediaStore::LoadList(TMediaList& list, int* skipped)
{
    const auto hasCatalogue = [this](const std::string& name) { return PathExists(CataloguePath(name)); };
    int dropped = 0;
    TListLoadResult result = fList.Load(
        [&](TStream& stream) {
            TMediaList scratch;
            const TMediaReadResult read = ReadMediaList(stream, scratch, {});
            return TListReadOutcome{read.Complete && read.Signed, read.Error};
        },
        [&](TStream& stream) {
            const TMediaReadResult read = ReadMediaList(stream, list, hasCatalogue);
            dropped = read.Skipped;
            return TListReadOutcome{read.Complete, read.Signed ? read.Error : "no media list signature"};
        });
    if (skipped)
        *skipped = dropped;
    return result;
}

void TMediaStore::SaveList(const TMediaList& list)
{
    fDamagedCopy.clear();
    if (list.Count() == 0) {
        if (QueryFile(fList.Path(), false).Kind != TFileKind::fkNone)
            fList.Remove();
        return;
    }
    ForceDirectories(fFolder);
    fList.Save([&](TStream& stream) { WriteMediaList(list, stream); });
    fDamagedCopy = fList.DamagedCopy();
}

TCatalogueLoadResult TMediaStore::LoadCatalogue(TMediaFolder& medium)
{
    TCatalogueLoadResult result;
    TListFile& file = CatalogueFile(medium.Name());
    bool foreign = false;
    const TListLoadResult loaded = file.Load(
        [&](TStream& stream) {
            TMediaFolder scratch(nullptr, medium.Name());
            const TMediaReadResult read = ReadCatalogue(stream, scratch);
            return TListReadOutcome{read.Complete && read.Signed, read.Error};
        },
        [&](TStream& stream) {
            const TMediaReadResult read = ReadCatalogue(stream, medium);
            foreign = !read.Signed;
            return TListReadOutcome{read.Complete && read.Signed, read.Signed ? read.Error : Tx(ForeignCatalogueText)};
        });
    if (!loaded.Found && !loaded.Unreadable) {
        result.Kind = TCatalogueLoadKind::clMissing;
        result.Error = Tx(MissingCatalogueText);
    } else if (loaded.Unreadable) {
        result.Kind = TCatalogueLoadKind::clMissing;
        result.Error = loaded.Error;
    } else if (foreign) {
        result.Kind = TCatalogueLoadKind::clForeign;
        result.Error = Tx(ForeignCatalogueText);
    } else {
        result.Damaged = loaded.Damaged;
        result.Error = loaded.Error;
    }
    return result;
}

void TMediaStore::SaveCatalogue(const TMediaFolder& medium)
{
    fDamagedCopy.clear();
    ForceDirectories(fFolder);
    TListFile& file = CatalogueFile(medium.Name());
    file.Save([&](TStream& stream) { WriteCatalogue(medium, stream); });
    fDamagedCopy = file.DamagedCopy();
}

void TMediaStore::RenameFiles(const std::string& oldName, const std::string& newName)
{
    for (const char* ext : {CatalogueExtension, MediaThumbnailExtension}) {
        const std::string from = fFolder + CatalogueBaseName(oldName) + ext;
        const std::string to = fFolder + CatalogueBaseName(newName) + ext;
        if (from != to && PathExists(from))
            RenameFile(from, to);
    }
    fCatalogues.erase(CatalogueBaseName(oldName));
    fCatalogues.erase(CatalogueBaseName(newName));
}

void TMediaStore::DeleteFiles(const std::string& name)
{
    for (const char* ext : {CatalogueExtension, MediaThumbnailExtension}) {
        const std::string path = fFolder + CatalogueBaseName(name) + ext;
        if (PathExists(path) && !DeleteFile(path))
            throw EFileError(SystemErrorText(path, errno));
    }
    fCatalogues.erase(CatalogueBaseName(name));
}
