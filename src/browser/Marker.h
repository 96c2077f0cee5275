#pragma once

// The entry of the recent files and of the markers (bookmarks into a book),
// the text list files both are kept in ("Recent.lst", "Marker.lst" in the
// data folder), and opening an entry again.
//
// A list file holds one entry per line: six fields, each in double quotes
// (a quote inside doubled) and separated by commas: archive, folder, file
// name, index, count, time as "yyyy/mm/dd hh:nn:ss". A field may hold a line
// break; it stays inside its quotes, so it never starts a new entry. Files
// are written in UTF-8; files of older versions (CP932, times in the form the
// user's locale printed them) are read as well. Reading stops at the first
// empty line.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "collections/ListFile.h"
#include "common/DateTime.h"
#include "common/ObserverList.h"

#include "app/OpenPath.h"

inline constexpr char RecentFileName[] = "Recent.lst";
inline constexpr char MarkerFileName[] = "Marker.lst";
inline constexpr char MarkerBackupName[] = "Marker.bak";

struct TMarkerPath {
    // The archive file when the picture lies in one, else empty.
    std::string Archive;
    // Without an archive the folder, ending in '/'. With one, the archive
    // inside it that holds the picture ("x/b.zip", levels joined by "//"),
    // empty when the picture lies in the archive itself: one entry stands for
    // a whole archive, whichever of its folders was shown.
    std::string Folder;
    // The picture's name; inside an archive its member path ("dir/p1.jpg").
    // Empty when only the place is remembered.
    std::string FileName;
    // The picture's position among the pictures of its place; -1 when unknown.
    int32_t Index = -1;
    // How many pictures the place held when the entry was made.
    int32_t Count = 0;
    TDateTime Time = 0;

    bool operator==(const TMarkerPath&) const = default;
};

// How the recent files and the markers announce their changes: the menus and
// the dialog follow them.
enum class TMarkerChangeKind : uint8_t {
    mcAdded,     // an entry was made
    mcRemoved,   // entries went (trimmed, or replaced by a newer one of the place)
    mcReplaced,  // the whole list was replaced (a load, the dialog)
    mcJumps,     // the markers of the place shown were found again
};

struct TMarkerChange {
    TMarkerChangeKind Kind = TMarkerChangeKind::mcReplaced;
    TChangePhase Phase = TChangePhase::cpAfter;
};

class TMarkerListObserver {
public:
    virtual ~TMarkerListObserver() = default;
    // Called synchronously on the user-interface thread.
    virtual void MarkerListChanged(const TMarkerChange& change) = 0;
};

// The key an entry is found by: the folder without an archive, the archive
// alone at its top, else archive + "//" + folder. Keys are paths, and paths on
// this system keep their case, so keys compare byte for byte.
std::string MarkerKey(std::string_view archive, std::string_view folder);
inline std::string MarkerKey(const TMarkerPath& entry) { return MarkerKey(entry.Archive, entry.Folder); }

// "yyyy/mm/dd hh:nn:ss" whatever the locale.
std::string FormatListTime(TDateTime time);
// The time of a list file: the form above, and the forms older files hold
// ("2009/3/7 9:05:01", "2009-03-07 09:05", a date alone). Nothing for text
// that is no valid date and time.
std::optional<TDateTime> ParseListTime(std::string_view text);

// The fields of one record of comma-separated text with '"' as the quote
// character, from pos to the end of the record (a line break outside
// quotes); pos moves past it. closed is false when a quote was left open.
std::vector<std::string> ReadListRecord(std::string_view text, size_t& pos, bool& closed);

// One entry from its fields; nothing when index, count or time is not
// readable or a field is missing.
std::optional<TMarkerPath> EntryFromFields(const std::vector<std::string>& fields);

struct TMarkerListText {
    std::vector<TMarkerPath> Entries;
    bool Complete = true;  // false when a line was skipped or cut short
    std::string Error;
};
// Reads the entries of a list file's bytes, at most maxCount of them (-1:
// all). A line that cannot be read is skipped, and the result says so.
TMarkerListText ReadMarkerList(std::string_view bytes, int maxCount = -1);
std::string WriteMarkerList(const std::vector<TMarkerPath>& entries);

// One list file of the data folder through one run of the program. Saves
// follow TListFile: written beside the file and renamed over it, a damaged
// file kept under a dated name before a save replaces it, a file that could
// not be read never saved over, an empty list removing the file. With a
// backup name, the first save of a run keeps the file as it was there.
class TMarkerStore {
public:
    TMarkerStore(const std::string& dataFolder, const char* fileName, const char* backupName = nullptr);

    const std::string& FilePath() const { return fFile.Path(); }
    const std::string& DamagedCopy() const { return fFile.DamagedCopy(); }
    bool BackupDone() const { return fFile.BackupDone(); }

    // Appends the stored entries (at most maxCount, -1: all) to entries.
    TListLoadResult Load(std::vector<TMarkerPath>& entries, int maxCount = -1);
    // Raises EFileError; the old file then stays.
    void Save(const std::vector<TMarkerPath>& entries);

private:
    TListFile fFile;
};

// The archive levels of an archive list's place ("x/b.zip//dir/" gives
// "x/b.zip", "dir/" gives "", a nested archive's top "x/b.zip" stays), and the
// folder shown inside the innermost archive ("dir/", "" at its top).
std::string ArchiveLevelsOf(std::string_view innerPlace);
std::string InnerFolderOf(std::string_view innerPlace);

// The picture to open after a place was listed, when the options say the
// last one viewed or the marked one: Select is the item to show (a file path
// in a folder, a member path in an archive). With EnterFolder set, the
// archive list first enters that place of the archive and selects the file
// there. Both empty: the first picture, as without an entry.
struct TRememberedPicture {
    std::string EnterFolder;
    std::string Select;

    bool operator==(const TRememberedPicture&) const = default;
};
// The key of a listed place: the folder, or the archive and its levels.
std::string PlaceKey(const TShownPlace& place);
// What entry (the one found by the place's key, or null) asks for at place.
// archiveFolder is the ARCHIVE Folder option; sameArchive says the archive
// was listed already (a move inside it), which remembers nothing.
TRememberedPicture FindRememberedPicture(const TMarkerPath* entry, const TShownPlace& place, bool archiveFolder,
                                         bool sameArchive);

// Opens an entry: the archive at its folder, or the folder, and shows its
// file there (the first picture when it has none). archiveFolder is the
// ARCHIVE Folder option: the archive list then shows folders, so a member
// path's folder part is entered too. False, and nothing done, when the
// archive or the folder (or the file in it) no longer exists.
bool OpenMarkerEntry(const TMarkerPath& entry, bool archiveFolder, TPlaceView& view);
