#pragma once

// Shelves on disk and the rules around them: the file "Shelf.lst" in the data
// folder (read and written by the viewer and by mireva-cli alike), its backup
// "Shelf.bak" holding the file as it was before the first save of a run, the
// text export and import of a shelf's members, and the names the shelf dialog
// proposes and accepts.
//
// "Shelf.lst": the text "Mireva ShelfList", the version (197), the number of
// shelves, then per shelf its name, icon number (written twice), comment,
// member count and per member the byte size and bytes of its stored identity.
// Integers are 32-bit little-endian; texts are a 32-bit byte count and UTF-8
// bytes (CP932 in files of older versions). Files before version 197 have no
// comments; the oldest files have no signature and no version at all.

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "collections/GroupFolder.h"
#include "collections/ListFile.h"
#include "base/Stream.h"

inline constexpr char ShelfFileName[] = "Shelf.lst";
inline constexpr char ShelfBackupName[] = "Shelf.bak";
inline constexpr char ShelfSignature[] = "Mireva ShelfList";
inline constexpr int32_t ShelfVersion = 197;
// The first version whose shelves carry a comment.
inline constexpr int32_t ShelfCommentVersion = 197;

// The shelf file's content into a stream, in the current layout.
void WriteShelfList(const TGroupList& list, TStream& stream);

struct TShelfReadResult {
    int32_t Version = 0;     // 0 for the oldest layout without signature
    bool Complete = true;    // false when reading stopped at damage
    std::string Error;       // why it stopped
};
// Appends the shelves of a shelf file to list. Reading stops at the first
// damaged field and keeps everything read before it (a shelf cut short keeps
// the members read so far). A failure of the system to read is no damage: it
// raises EFileError.
TShelfReadResult ReadShelfList(TStream& stream, TGroupList& list);

using TShelfLoadResult = TListLoadResult;

// Loads and saves the shelves of one data folder, following the rules of
// TListFile: the first save of a run keeps the old file as "Shelf.bak", a
// damaged file is kept as "Shelf.damaged-<date>" before a save replaces it,
// and a file that could not be read is never saved over.
class TShelfStore {
public:
    explicit TShelfStore(std::string dataFolder);

    std::string FilePath() const { return fFile.Path(); }
    std::string BackupPath() const { return fFile.BackupPath(); }
    bool BackupDone() const { return fFile.BackupDone(); }
    // Where a save kept the damaged file it replaced; empty when none.
    const std::string& DamagedCopy() const { return fFile.DamagedCopy(); }

    // Appends the stored shelves to list. A missing file gives nothing and no
    // error, unless a killed save left its "$$": then the shelves are read
    // from it or from the backup (RecoveredFrom says which). A damaged file
    // gives what could be read. Nothing on disk changes.
    TShelfLoadResult Load(TGroupList& list);
    // Writes the list (an empty list removes the file, keeping the backup
    // rule). Raises EFileError when it fails or when the file could not be
    // read at load; the old file then stays.
    void Save(const TGroupList& list);

private:
    TListFile fFile;
};

// Members from paths, as the add-to-shelf commands take them: made absolute
// and normalised, skipped when already members or when no identity can be
// made. Returns the number added.
int AddPaths(TGroupFolder& shelf, const std::vector<std::string>& paths);
// Dropped paths: a folder is taken when it exists, a file only when
// isLoadable accepts it (a picture or an archive the program reads).
int AddDroppedPaths(TGroupFolder& shelf, const std::vector<std::string>& paths,
                    const std::function<bool(const std::string&)>& isLoadable);
// Removes the members whose file or folder no longer exists; returns how many.
int DeleteMissingItems(TGroupFolder& shelf);

// Writes one member path per line (LF): folders first, then files, each in
// name order; a path that is not UTF-8 or holds a line break is written
// escaped (PathLine.h). Raises EFileError; an old file of that name stays on
// failure. Returns the number of lines written.
int ExportItems(const std::string& fileName, TGroupFolder& shelf);

// Why a line of an import file added nothing.
enum class TImportFault {
    ifNotAbsolute,  // not a path from "/" (nor an escaped one)
    ifBadEscape,    // an escaped path that is malformed or on another host
    ifMissing,      // nothing exists at that path
    ifAmbiguous,    // a line that is not UTF-8 names one item by its bytes and another read as CP932
    ifNoIdentity,   // no stored identity can be made for the path
};

struct TImportFailure {
    int Line = 0;      // from 1
    std::string Text;  // the line as UTF-8 (read as CP932 when it is not)
    TImportFault Fault = TImportFault::ifMissing;
};

struct TShelfImportResult {
    int Added = 0;
    std::vector<TImportFailure> Failed;
};

// Adds the paths listed in a text file, one per line, in file order: lines
// are read one by one (UTF-8, an escaped path, or for lines of older exports
// CP932). Lines naming members already there, and blank lines, add nothing
// and are no failure. Raises EFileError when the file cannot be read.
TShelfImportResult ImportItems(const std::string& fileName, TGroupFolder& shelf);

// "新しい本棚" with the smallest number from 1 on that no shelf has.
std::string ProposeShelfName(const TGroupList& list);
// The message refusing a name typed into the shelf dialog or given to
// mireva-cli, or nothing when it is accepted: an empty name, one longer than
// TGroupFolder::MaxNameLength characters (trimmed), or the name of another
// shelf (without case). originalName is the name the dialog opened with
// (empty for a new shelf).
std::optional<std::string> CheckShelfName(const TGroupList& list, const std::string& name,
                                          const std::string& originalName);
// The message refusing a comment longer than TGroupFolder::MaxCommentLength
// characters (trimmed, as it is stored), or nothing when it is accepted. Every
// place that takes a comment from the user checks it; comments read from a
// shelf file are kept whatever their length.
std::optional<std::string> CheckShelfComment(const std::string& comment);
