#pragma once

// TThumbWorkingSet is what one enumeration holds of the thumbnail stores
// while it runs: the data files of the folders and archives it touched, read
// into memory on first use, the records it found invalid or made, and the
// saving of all of it when the enumeration ends. Several workers look records
// up and insert new ones at once; the set's one lock guards the stores and
// the working entries, and it is held only for those look-ups and insertions,
// never while a picture is decoded or scaled.
//
// Every method may run on any thread unless it says otherwise.

#include <cstdint>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "app/Init.h"
#include "thumbnails/ThumbStore.h"

class TThumbnailList;

enum class TThumbStoreKind : uint8_t { skNormal, skMedia };

// How the thumbnails made in one enumeration are kept when it ends.
struct TThumbSaveRules {
    TThumbnailSave Save = TThumbnailSave::tvAll;
    bool Batch = false;  // saving or loading all thumbnails of a place: everything is kept
};

class TThumbWorkingSet {
public:
    // The list must outlive the set; the media store is read on first use.
    // boxWidth x boxHeight is the thumbnail box records are checked against.
    TThumbWorkingSet(TThumbnailList& list, int32_t boxWidth, int32_t boxHeight);

    // The record of key and name when the store holds one that still stands
    // for a source of that size and time. An invalid record is removed, and
    // one made for another box that fits the same is kept for this box; with
    // borrowOnly nothing is changed or removed and no entry is created.
    std::optional<TThumbnailRecord> FindValid(TThumbStoreKind kind, const std::string& key, const std::string& name,
                                              int64_t size, TDateTime time, bool borrowOnly = false);
    // The JPEG bytes of a record found here.
    std::optional<std::vector<uint8_t>> Bytes(TThumbStoreKind kind, const TThumbnailRecord& record) const;
    // Takes out a record whose bytes turned out damaged, so that it is made
    // again and the data file is written without it.
    void Remove(TThumbStoreKind kind, const std::string& key, const std::string& name);
    // Stores a record (Origin toMade with its bytes, or toCopied) under key
    // and name; the key's entry is created when it has none.
    void Insert(TThumbStoreKind kind, const std::string& key, TThumbnailRecord record);

    // Every key within oldPath, in the stores and in the working entries,
    // moves under newPath; the index is written when the set saves.
    void Rename(const std::string& oldPath, const std::string& newPath);

    // Writes the changed data files as the rules allow and the indexes that
    // changed. No other method may run meanwhile (the workers are stopped or
    // waiting). Returns false when a file could not be written; what could be
    // written is, and the old files of the rest stay.
    bool Save(const TThumbSaveRules& rules);

    bool Changed() const;

private:
    struct TStoreWork {
        std::map<std::string, TFolderThumbs> Folders;
        bool IndexChanged = false;
    };
    TThumbStore& StoreOf(TThumbStoreKind kind) const;
    TStoreWork& WorkOf(TThumbStoreKind kind) { return kind == TThumbStoreKind::skMedia ? fMediaWork : fNormalWork; }
    // The working entry of key, its data file read on first use; nullptr
    // when the store has no entry for key and create is false. Store lock held.
    TFolderThumbs* Working(TThumbStoreKind kind, const std::string& key, bool create);
    void MarkChanged(TThumbIndexEntry& entry);
    bool SaveStore(TThumbStoreKind kind, const std::function<bool(const TThumbnailRecord&)>& save);

    TThumbnailList& fList;
    const int32_t fBoxWidth;
    const int32_t fBoxHeight;
    // Guards both stores of fList, the working entries and fThumbnailsChanged.
    mutable std::mutex fMutex;
    TStoreWork fNormalWork;
    TStoreWork fMediaWork;
    bool fThumbnailsChanged = false;
};
