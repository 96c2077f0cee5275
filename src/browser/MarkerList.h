#pragma once

// The markers: bookmarks the reader sets on pictures, kept in "Marker.lst" in
// the data folder ("Marker.bak" holds the file as it was before the first
// save of a run), and the jump list, the markers of the place the file list
// shows in picture order, that the next-marker command steps through.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "browser/Marker.h"
#include "browser/RecentFiles.h"

class TMarkerList {
public:
    explicit TMarkerList(const std::string& dataFolder);

    void RegisterObserver(TMarkerListObserver* observer) { fObservers.Register(observer); }
    void UnregisterObserver(TMarkerListObserver* observer) { fObservers.Unregister(observer); }

    // Reads "Marker.lst" in place of the list; the jump list empties.
    TListLoadResult Load();
    // Writes "Marker.lst". Raises EFileError.
    void Save();
    const TMarkerStore& Store() const { return fStore; }

    // All markers, in the order they were set.
    const std::vector<TMarkerPath>& Entries() const { return fEntries; }
    // The first marker of a place with a file name; null when there is none.
    const TMarkerPath* Find(std::string_view key) const;
    uint64_t Generation() const { return fGeneration; }

    // The markers of the place listed, found again among its pictures:
    // images are the place's pictures in list order, file paths in a folder
    // and member paths in an archive. A marker whose file is not listed gets
    // index -1 (it stays, and the next-marker command skips it).
    void RebuildJumps(const std::string& key, const std::vector<std::string>& images, bool inArchive);
    // The picture indices of the jump list, ascending.
    std::vector<int> JumpIndices() const;
    bool HasJumps() const { return !fJumps.empty(); }

    // Sets a marker on the picture: nothing when the place already has one
    // on that picture. True when a marker was set.
    bool SetMark(const TNotedImage& image, TDateTime now);
    // The picture the next-marker command shows after current (-1 when no
    // picture is shown): the first marker beyond it, else from the start
    // again; nothing when no marker of the place is listed.
    std::optional<int> NextMarker(int current) const;
    // The list as the dialog left it; the jump list follows.
    void Replace(std::vector<TMarkerPath> entries);

private:
    void Notify(TMarkerChangeKind kind, TChangePhase phase);
    void SortJumps();

    TMarkerStore fStore;
    std::vector<TMarkerPath> fEntries;
    // The jump list: positions in fEntries, by picture index ascending.
    std::vector<size_t> fJumps;
    std::string fJumpKey;
    std::vector<std::string> fJumpImages;
    bool fJumpArchive = false;
    uint64_t fGeneration = 0;
    TObserverList<TMarkerListObserver> fObservers;
};
