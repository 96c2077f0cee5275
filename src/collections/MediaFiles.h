#pragma once

// Media catalogues on disk, in the folder "Media/" of the data folder:
// "Media.lst" lists the media with their identity and sizes, and each
// medium's records lie in a catalogue file of its own ("<base name>.mf"),
// read only when the medium is first opened, searched or exported. The
// viewer and mireva-cli read and write the same files.
//
// "Media.lst": the text "Mireva MediaList", the version (254), the number of
// media, then per medium its name, icon number, comment, volume label, serial
// number (int32), drive type (one byte), file system, capacity and free space
// (int64) and the catalogue date (a double). Files of version 253 and older
// store drive types in an older numbering.
//
// A catalogue file: the text "Mireva MediaFile", the version (254), the size
// and bytes of the root's stored identity, the record count, then per record
// the size and bytes of its identity, its path relative to the root, a
// directory flag byte, and from version 253 on its attributes (int32, -1 when
// unknown), size (int64) and modified, created and accessed times (doubles).
// Integers are little-endian; texts are a 32-bit byte count and UTF-8 bytes
// (CP932 in files of older versions).

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>

#include "base/Stream.h"
#include "collections/ListFile.h"
#include "collections/MediaFolder.h"

inline constexpr char MediaFolderName[] = "Media";
inline constexpr char MediaListFileName[] = "Media.lst";
inline constexpr char MediaBackupName[] = "Media.bak";
inline constexpr char MediaListSignature[] = "Mireva MediaList";
inline constexpr char MediaFileSignature[] = "Mireva MediaFile";
inline constexpr char CatalogueExtension[] = ".mf";
inline constexpr char MediaThumbnailExtension[] = ".mtf";
inline constexpr int32_t MediaVersion = 254;
// The first version whose records carry attributes, sizes and times; lists
// of this version and older number drive types the old way.
inline constexpr int32_t MediaDetailsVersion = 253;

// The base name of a medium's files. A medium's name is typed by the user or
// read from a list file, so it may hold '/', start with '.', be ".." or be
// too long for a file name; those bytes are written as "%XX" (and '%' itself
// as "%25"), so that every name gives its own safe base name and ordinary
// names stay as they are. A name longer than a file name allows is cut and
// given a hash of the whole name.
std::string CatalogueBaseName(const std::string& mediumName);

// The drive type a list of the given version stores as code.
TDriveType DriveTypeFromCode(uint8_t code, int32_t version);

struct TMediaReadResult {
    int32_t Version = 0;
    bool Signed = true;    // the file begins with its signature
    bool Complete = true;  // false when reading stopped at damage
    std::string Error;     // why it stopped
    int Skipped = 0;       // media listed without a catalogue file, not made
};

void WriteMediaList(const TMediaList& list, TStream& stream);
// Appends the media of a list file to list; a medium is made only when
// hasCatalogue says its catalogue file exists (an empty function takes all).
// Reading stops at the first damaged field and keeps the media read before
// it. A file without the signature adds nothing (Signed false).
TMediaReadResult ReadMediaList(TStream& stream, TMediaList& list,
                               const std::function<bool(const std::string& name)>& hasCatalogue);

void WriteCatalogue(const TMediaFolder& medium, TStream& stream);
// Replaces medium's catalogue by the file's records. Damage stops the reading
// but keeps the records read before it; the catalogue is completed either
// way. A file without the signature changes nothing (Signed false).
TMediaReadResult ReadCatalogue(TStream& stream, TMediaFolder& medium);

enum class TCatalogueLoadKind : uint8_t {
    clRead,     // the file was read (Damaged tells whether whole)
    clMissing,  // "メディア情報ファイルが見つかりません  "
    clForeign,  // "有効なメディア情報ファイルではありません  "
};

struct TCatalogueLoadResult {
    TCatalogueLoadKind Kind = TCatalogueLoadKind::clRead;
    bool Damaged = false;
    std::string Error;
};

// The media files of one data folder through one run: the list file follows
// the rules of TListFile (the first save of a run keeps "Media.bak", a damaged
// file is kept under a dated name before a save replaces it, a file that could
// not be read is never saved over); catalogue files the same, without backup.
// Every save raises EFileError when it fails, so a lost catalogue is never
// silent.
class TMediaStore {
public:
    static constexpr char MissingCatalogueText[] = "メディア情報ファイルが見つかりません  ";
    static constexpr char ForeignCatalogueText[] = "有効なメディア情報ファイルではありません  ";

    explicit TMediaStore(std::string dataFolder);
    ~TMediaStore();

    // "<data folder>/Media/", with its trailing '/'.
    const std::string& Folder() const { return fFolder; }
    std::string ListPath() const { return fList.Path(); }
    std::string CataloguePath(const std::string& mediumName) const;
    std::string ThumbnailPath(const std::string& mediumName) const;
    const std::string& DamagedCopy() const { return fDamagedCopy; }

    // Appends the stored media to list (those whose catalogue file exists);
    // catalogues stay unread. Nothing on disk changes.
    TListLoadResult LoadList(TMediaList& list, int* skipped = nullptr);
    // Writes the list; an empty list removes the file.
    void SaveList(const TMediaList& list);

    // Reads medium's catalogue file into it.
    TCatalogueLoadResult LoadCatalogue(TMediaFolder& medium);
    void SaveCatalogue(const TMediaFolder& medium);

    // A medium renamed: its catalogue and thumbnail files follow the name.
    void RenameFiles(const std::string& oldName, const std::string& newName);
    // A medium deleted: its catalogue and thumbnail files go too.
    void DeleteFiles(const std::string& name);

private:
    TListFile& CatalogueFile(const std::string& mediumName);

    std::string fFolder;
    TListFile fList;
    std::map<std::string, std::unique_ptr<TListFile>> fCatalogues;  // by base name
    std::string fDamagedCopy;
};
