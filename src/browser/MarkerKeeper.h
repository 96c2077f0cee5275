#pragma once

// Keeps the recent files and the markers for the browser window: it follows
// the browser model (the picture shown is noted, and the markers of a listed
// place are found again), makes the recent entry when the window says the
// program is idle, sets and steps through markers, opens entries, and reads
// and writes both list files. It holds no widget; the window owns it next to
// the model, builds the recent-files menu and the dialog from its lists, and
// calls it at the moments named below. User-interface thread.

#include <string>
#include <vector>

#include "browser/BrowserModel.h"
#include "browser/MarkerList.h"
#include "browser/RecentFiles.h"

class TAppCore;

class TMarkerKeeper : public TBrowserObserver {
public:
    // Registers with the model; both must outlive the keeper.
    TMarkerKeeper(TBrowserModel& model, const TAppCore& core);
    ~TMarkerKeeper() override;
    TMarkerKeeper(const TMarkerKeeper&) = delete;
    TMarkerKeeper& operator=(const TMarkerKeeper&) = delete;

    // Reads "Recent.lst" and "Marker.lst" at start. The recent files an older
    // settings file held join the list, which is then written at once, for
    // the settings file no longer holds them. Returns what the user should
    // be told (a damaged or unreadable file); empty when all went well.
    std::vector<std::string> Load();

    TRecentFiles& Recent() { return fRecent; }
    TMarkerList& Markers() { return fMarkers; }

    // The program is idle (the window's queued update): the picture noted
    // becomes the recent entry and the list is cut to RECENT Count. True
    // when the list changed.
    bool Idle();
    // The picture is about to be closed: its entry is made now.
    void PictureClosing();
    // The window closes: the entry of the picture shown is made, and both
    // files are written. Returns the failures to tell the user.
    std::vector<std::string> Close();

    // Sets a marker on the picture shown; true when one was set.
    bool SetMark();
    // Shows the picture of the next marker of the place; true when it did.
    bool NextMarker();
    // Opens an entry of either list (the menu, the dialog).
    bool Open(const TMarkerPath& entry);
    // The dialog changed the markers: they are taken and written at once.
    // Returns a failure to tell the user, or empty.
    std::string ReplaceMarkers(std::vector<TMarkerPath> entries);

    // What the model opens after listing place (its remembered-picture hook).
    TRememberedPicture Remembered(const TShownPlace& place, bool sameArchive) const;

    // TBrowserObserver
    void BrowserChanged(TBrowserModel& model, const TBrowserChange& change) override;

private:
    // The picture shown as an entry would record it; false when none counts.
    bool ShownImage(TNotedImage& image) const;
    void RebuildJumps();
    std::string SaveMarkers();

    TBrowserModel& fModel;
    const TAppCore& fCore;
    TRecentFiles fRecent;
    TMarkerList fMarkers;
};
