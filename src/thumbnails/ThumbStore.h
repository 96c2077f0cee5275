#pragma once

// TThumbStore is one thumbnail store on disk as the program holds it: the
// folder, its index ("Thumbs.px") read into memory, the table of data file
// numbers in use, and the reading and writing of the numbered data files. The
// program keeps two of them (pictures seen on disk, and media catalogues);
// TThumbnailList owns both. Every file is replaced atomically (written beside
// itself as "<name>$$", synced, renamed over), so a store interrupted at any
// point holds the old file or the new one.
//
// Not thread-safe: the enumeration thread and the user-interface thread take
// turns on a store through the thumbnail list's lock.

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "thumbnails/ThumbFiles.h"

inline constexpr std::string_view ThumbIndexFileName = "Thumbs.px";

// Where an index entry stands between the reading and the writing of its
// data file.
enum class TIndexState : uint8_t {
    isUnchanged = 0,
    isInUse = 1,    // read from its data file or just written
    isNew = 2,      // no number yet
    isChanged = 4,  // the data file must be written again
    isDeleted = 5,  // the data file goes at the next save
};

struct TThumbIndexEntry {
    int32_t Number = -1;  // -1 while isNew
    int32_t DataSize = 0;
    int32_t Count = 0;
    TDateTime LastUsed = 0;
    TIndexState State = TIndexState::isUnchanged;
};

// The thumbnails of one folder or archive while it is worked on, by name.
struct TFolderThumbs {
    std::string Key;
    std::map<std::string, TThumbnailRecord> Records;
};

// A key of a folder ends with '/'; an archive's key is its path.
inline bool IsArchiveKey(std::string_view key)
{
    return key.empty() || key.back() != '/';
}

// Whether key is path or lies below it, by whole path components: "/a/b"
// covers "/a/b/", "/a/b/c/" and "/a/b//inner.zip", never "/a/bc/". A path
// given with a trailing '/' covers the same keys.
bool KeyIsWithin(std::string_view key, std::string_view path);

// Writes one store file the way every store file is written: write fills a
// buffered stream over "<path>$$", which is checked, synced and renamed over
// path. Raises EFileError for any failure, write's own included; path then
// stays as it was and no "$$" is left.
void SaveStoreFile(const std::string& path, const std::function<void(TStream&)>& write);

class TThumbStore {
public:
    // folder ends with '/'.
    explicit TThumbStore(std::string folder);

    const std::string& Folder() const { return fFolder; }
    std::string IndexPath() const { return fFolder + std::string(ThumbIndexFileName); }
    std::string DataFilePath(int32_t number) const { return fFolder + ThumbDataFileName(number); }

    // Replaces the index in memory by the index file's. A missing file is
    // an empty index; a foreign or damaged one gives what could be read. A
    // file that exists but cannot be read raises EFileError, for saving over
    // it would lose every folder it lists.
    TThumbReadOutcome ReadIndex();
    // Writes the index file atomically in key order, leaving out entries to
    // be deleted and new ones without thumbnails. Raises EFileError; the old
    // file then stays. An index that could not be read is never saved over.
    void WriteIndex();
    bool Unreadable() const { return !fReadError.empty(); }

    const std::map<std::string, TThumbIndexEntry>& Entries() const { return fEntries; }
    TThumbIndexEntry* Find(const std::string& key);
    const TThumbIndexEntry* Find(const std::string& key) const;
    // The entry of key, a new one (isNew, no number) when there is none.
    TThumbIndexEntry& Add(const std::string& key);
    // Takes the entry out of the index, frees its number and deletes its
    // data file. False when there was no such entry.
    bool Remove(const std::string& key);
    // Every key within oldPath (KeyIsWithin) gets newPath in its place. An
    // entry already under a new key stands for a folder that is gone (the
    // renamed one took its name), so it is removed. Returns the keys renamed.
    int RenamePath(const std::string& oldPath, const std::string& newPath);
    // Removes every entry within path; returns how many.
    int RemovePath(const std::string& path);
    // After an enumeration: new entries with thumbnails and every other
    // state become unchanged; new ones without thumbnails and deleted ones
    // leave the index and free their numbers.
    void Settle();

    // The first free number at or after counter, which moves past it; the
    // number is taken for key. Raises EFileError when none is left.
    int32_t AllocateNumber(int32_t& counter, const std::string& key);
    bool NumberInUse(int32_t number) const { return fNumbers.contains(number); }

    // Reads the data file of key's entry. checkFiles keeps only thumbnails
    // whose file still exists in the folder (folders on disk, not archives or
    // media). A missing data file marks the entry deleted; a foreign or
    // damaged one, or one whose count changed, marks it changed.
    TFolderThumbs ReadFolder(const std::string& key, bool checkFiles);

    // Writes the data file of folder's entry (the entry must exist) with the
    // records save accepts, taking the bytes of records copied from another
    // store from otherStore. Updates the entry and the records. Returns false
    // when writing failed: the old file and the entry's state then stay.
    bool WriteFolder(TFolderThumbs& folder, int32_t& counter,
                     const std::function<bool(const TThumbnailRecord&)>& save = {},
                     const TThumbBytesSource& otherStore = {});

    // The JPEG bytes of a record of this store, read from its data file.
    std::optional<std::vector<uint8_t>> ReadBytes(const TThumbnailRecord& record) const;

private:
    void DropEntry(std::map<std::string, TThumbIndexEntry>::iterator it, bool deleteFile);

    std::string fFolder;
    std::string fReadError;  // why the index file could not be read; empty when it could
    std::map<std::string, TThumbIndexEntry> fEntries;
    std::map<int32_t, std::string> fNumbers;  // number -> key of the entry that holds it
};
