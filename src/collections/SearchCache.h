#pragma once

// The search's directory cache: every entry of every directory a search read,
// kept so that later searches of the same places filter in memory instead of
// reading the disk again, and optionally kept across runs in "Search.lst" in
// the data folder.
//
// "Search.lst": the text "Mireva SearchCacheList", the version (256), the
// date-time the cache was made, the number of directories; per directory its
// key (the directory as searched, without a trailing '/'), the number of
// entries and per entry its full path, a folder byte, the attributes
// (32-bit), the size (64-bit) and the modified, created and accessed
// date-times. Integers are little-endian; texts are a 32-bit byte count and
// UTF-8 bytes. Files before version 256 carry no date.

#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "collections/FolderRecords.h"
#include "base/Stream.h"

inline constexpr char SearchCacheFileName[] = "Search.lst";
inline constexpr char SearchCacheSignature[] = "Mireva SearchCacheList";
inline constexpr int32_t SearchCacheVersion = 256;
// A link: the cache marks it so that a later search never descends into a
// folder reached through one.
inline constexpr int32_t faSymLink = 0x400;

using TCacheEntries = std::vector<TCtFileInfo>;

// Shared by the user-interface thread and the search thread, which adds the
// directories it reads and looks up those read before.
class TSearchCache {
public:
    // Any thread. The entries of a directory, or null when it was never read.
    std::shared_ptr<const TCacheEntries> Find(const std::string& directory) const;
    // Any thread. Keeps the entries unless the directory is cached already;
    // returns the entries kept for it.
    std::shared_ptr<const TCacheEntries> Add(const std::string& directory, TCacheEntries entries);
    // Any thread.
    void Clear();
    int Count() const;
    // When the cache was made (its first directory); 0 when empty or unknown.
    TDateTime Made() const;
    void SetMade(TDateTime made);
    // Any thread. Every directory and its entries, in no particular order.
    std::vector<std::pair<std::string, std::shared_ptr<const TCacheEntries>>> Snapshot() const;

private:
    // Guards fEntries and fMade. Taken alone: no other lock is held while it
    // is, and nothing is called out of the cache while it is held.
    mutable std::mutex fMutex;
    std::unordered_map<std::string, std::shared_ptr<const TCacheEntries>> fEntries;
    TDateTime fMade = 0;
};

// The cache file's content into a stream.
void WriteSearchCache(const TSearchCache& cache, TStream& stream);

// Limits a file must keep: a longer text or a larger count is damage.
inline constexpr int32_t MaxCachePathBytes = 4096;
inline constexpr int32_t MaxCacheDirectories = 10'000'000;
inline constexpr int32_t MaxCacheEntries = 10'000'000;

enum class TCacheReadStatus : uint8_t {
    crRead,          // read whole
    crForeign,       // another signature: not ours, nothing read
    crDamaged,       // stopped at damage; nothing kept
};
struct TCacheReadResult {
    TCacheReadStatus Status = TCacheReadStatus::crRead;
    int32_t Version = 0;
    std::string Error;
};
// Fills cache (cleared first) from a cache file. Damage leaves the cache
// empty. A failure of the system to read raises EFileError.
TCacheReadResult ReadSearchCache(TStream& stream, TSearchCache& cache);

// Loads and saves "Search.lst" of one data folder.
class TSearchCacheStore {
public:
    explicit TSearchCacheStore(std::string dataFolder);

    const std::string& FilePath() const { return fPath; }
    std::string SetAsidePath() const { return fPath + ".bak"; }

    struct TLoadResult {
        bool Found = false;
        bool SetAside = false;  // damaged or foreign: kept as ".bak", the cache starts empty
        bool Unreadable = false;  // could not be read (permission): left alone, never saved over
        bool HasDate = false;     // version 256 on
        std::string Error;
    };
    // Reads the file into cache. A file that is not a whole cache file of
    // ours is moved aside as "Search.lst.bak" (replacing an older one), never
    // deleted.
    TLoadResult Load(TSearchCache& cache);
    // Writes the cache through "$$" and a rename; the old file stays on
    // failure. Raises EFileError, also when the file could not be read at
    // load.
    void Save(const TSearchCache& cache);
    // Deletes the file (the cache was discarded or is no longer kept).
    void Remove();

private:
    std::string fPath;
    bool fUnreadable = false;
};
