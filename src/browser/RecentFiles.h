#pragma once

// The recent files: per folder or archive the picture last viewed there,
// newest first, kept in "Recent.lst" in the data folder. The window notes the
// picture shown, and the entry is made later (when the program is idle, when
// the picture is closed, when the window closes), so that paging through a
// book makes one entry and not one per page.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "browser/Marker.h"

// The picture shown, as the window notes it.
struct TNotedImage {
    std::string Archive;
    std::string Folder;
    std::string FileName;
    int32_t Index = -1;
    int32_t Count = 0;
    // The picture, or the other page of its spread, is the last of its
    // place, and the viewer is in no state that keeps the file name anyway.
    bool AtEnd = false;

    bool operator==(const TNotedImage&) const = default;
};

class TRecentFiles {
public:
    explicit TRecentFiles(const std::string& dataFolder);

    void RegisterObserver(TMarkerListObserver* observer) { fObservers.Register(observer); }
    void UnregisterObserver(TMarkerListObserver* observer) { fObservers.Unregister(observer); }

    // Reads "Recent.lst", at most count entries, in place of the list.
    TListLoadResult Load(int count);
    // Writes "Recent.lst" (no backup; an empty list removes it). Raises
    // EFileError.
    void Save();
    const TMarkerStore& Store() const { return fStore; }

    const std::vector<TMarkerPath>& Entries() const { return fEntries; }
    // The entry of a place by its key (MarkerKey); null when there is none.
    const TMarkerPath* Find(std::string_view key) const;
    // Counts every change, so that the menu knows when to rebuild.
    uint64_t Generation() const { return fGeneration; }

    void Note(const TNotedImage& image) { fNoted = image; }
    void ClearNote() { fNoted.reset(); }
    const std::optional<TNotedImage>& Noted() const { return fNoted; }
    // Makes the entry of the noted picture, if one is noted, and forgets the
    // note. With exceptLast, a picture at the end of its place leaves the
    // file name empty, so that the place opens at its start next time. True
    // when an entry was made.
    bool RecordNoted(bool exceptLast, TDateTime now);
    // Puts entry at the top; every older entry of the same archive and folder
    // goes, whatever its file name.
    void Add(TMarkerPath entry);
    // Removes the entries beyond count; true when any went.
    bool Trim(int count);
    // The list as the dialog left it.
    void Replace(std::vector<TMarkerPath> entries);
    // The recent files of older settings files (the values of their
    // numbered RECENT keys, newest first) go behind the entries there are,
    // unless a place has an entry already; at most count are kept. Returns
    // how many were taken.
    int AddOldEntries(const std::vector<std::string>& values, int count);

private:
    void Notify(TMarkerChangeKind kind, TChangePhase phase);

    TMarkerStore fStore;
    std::vector<TMarkerPath> fEntries;
    std::optional<TNotedImage> fNoted;
    uint64_t fGeneration = 0;
    TObserverList<TMarkerListObserver> fObservers;
};

// The caption of an item of the recent-files menu: "1: " and the entry,
// shortened to names unless fullPath. Paths are joined with "/".
std::string RecentCaption(int number, const TMarkerPath& entry, bool fullPath);
// The captions of the menu: the first view entries.
std::vector<std::string> RecentMenuCaptions(const std::vector<TMarkerPath>& entries, int view, bool fullPath);
