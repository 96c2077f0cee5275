#pragma once

// The CSV export of what the file list shows: one line per item with the
// columns the user chose, written by the writer of the list's kind (a folder,
// the shelves, a shelf, the media, a catalogue, search results). Folders,
// shelves and media may be followed by their contents. Names can be cut into
// name-part columns by name-division rules. The file is written as every file
// of the program is: into "<name>$$", renamed over the old file only when
// complete, so a failed export leaves no partial file and the old one stays.

#include <cstdint>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "collections/FolderRecords.h"
#include "collections/NameDivide.h"
#include "common/DateTime.h"

class TAtomicFile;
class TGroupList;
class TMediaFolder;
class TMediaList;
class TMediaStore;
class TSearchFolder;
class TShellInfo;

// Columns 0 to 16 are fixed; column 17 + k is the name part of rule k.
inline constexpr int FixedColumnCount = 17;
inline constexpr int SizeColumn = 5;
// The caption of a fixed column, the header's text for it; empty outside 0 to 16.
const char* ColumnCaption(int column);

struct TExportOptions {
    bool Header = true;       // a first line of the columns' captions
    bool SizeKB = false;      // sizes in whole kilobytes; the header says so
    bool SizeGB = false;      // volume sizes in the best unit
    bool NoFolder = false;    // no line for folders (their contents still follow)
    bool NoFile = false;      // no line for files
    bool Selected = false;    // only the list's selection (the caller builds the items)
    bool SubFolder = false;   // the contents of folders, shelves and media follow their line
    bool NameDivide = false;  // the rules cut names into name-part columns

    bool operator==(const TExportOptions&) const = default;
};

enum class TExportEncoding : uint8_t { eeUtf8, eeCp932 };

struct TExportSettings {
    std::vector<int> Columns;  // the output columns in order
    TNameDivideRules Rules;
    TExportOptions Options;
    TExportEncoding Encoding = TExportEncoding::eeUtf8;
};

// "yyyy/mm/dd  hh:nn:ss" (two blanks), as the export writes every time.
std::string FormatExportTime(TDateTime value);
// "1234-ABCD".
std::string FormatExportSerial(uint32_t serial);
// Column 2: dir relative to base, "./" when it is base itself, "./SUB" below
// it, dir unchanged elsewhere. Whole components only: base "/a/b" does not
// hold "/a/bc".
std::string RelativeExportPath(const std::string& base, const std::string& dir);

class TFileExport {
public:
    // typeNames gives column 4 and may be null (column 4 then stays empty).
    // Nothing is written to outputPath until Commit.
    TFileExport(TExportSettings settings, const std::string& outputPath, TShellInfo* typeNames);
    ~TFileExport();
    TFileExport(const TFileExport&) = delete;
    TFileExport& operator=(const TFileExport&) = delete;

    // The collections the writers name and descend into; any may be null.
    void SetCollections(const TGroupList* shelves, TMediaList* media, TMediaStore* mediaStore);

    // The writers, one per list kind. A folder's items are absolute paths
    // listed in basePath (empty for the top of the folder tree, whose mounts
    // are volume roots).
    void WriteFolderItems(const std::string& basePath, const std::vector<std::string>& paths, int shelfIndex = -1);
    void WriteShelfList(const std::vector<int>& shelfIndices);
    void WriteShelfItems(int shelfIndex, const std::vector<const TGroupFileInfo*>& members);
    void WriteMediaList(const std::vector<int>& mediumIndices);
    // Records of a catalogue listed at basePath (the medium's root is "/").
    void WriteCatalogueItems(int mediumIndex, const std::string& basePath, const std::vector<const TCtFileInfo*>& records);
    void WriteSearchResults(const TSearchFolder& search, const std::vector<const TGroupFileInfo*>& records);

    // Writes what is left and renames the file into place; raises EFileError
    // (the old file stays, no partial file is left).
    void Commit();
    int64_t LinesWritten() const { return fLines; }

private:
    struct TItem;

    void WriteHeader();
    void WriteItem(TItem& item);
    void Flush();
    void FillFromEntry(TItem& item, const struct TTreeWalkEntry& entry);
    void WriteFolderPath(const std::string& basePath, const std::string& path, bool volumeRoots, int shelfIndex);
    void DescendFolder(const std::string& basePath, const std::string& folder, int shelfIndex);
    void WriteCatalogueRecord(const TMediaFolder& medium, const std::string& basePath, const TCtFileInfo& record);
    std::string TypeName(const std::string& path, bool isDirectory) const;
    std::string ShelfName(int index) const;

    TExportSettings fSettings;
    TShellInfo* fTypeNames;
    std::unique_ptr<TAtomicFile> fFile;
    std::string fBuffer;
    std::vector<std::string> fFields;
    int64_t fLines = 0;
    bool fNeedsFindData = false;
    bool fNeedsVolumeInfo = false;
    bool fNeedsType = false;
    bool fDividesName = false;
    const TGroupList* fShelves = nullptr;
    TMediaList* fMedia = nullptr;
    TMediaStore* fMediaStore = nullptr;
    // Folders entered by this export, so that none is written twice however
    // bind mounts and hard links tie the tree together.
    std::set<std::pair<uint64_t, uint64_t>> fEntered;
};
