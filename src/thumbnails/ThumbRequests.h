#pragma once

// What a thumbnail view asks of the thread that finds and makes thumbnails,
// and what it hears back. The view hands over its items once per list, then
// the ids it wants next (the visible ones, the focused one first); each
// result comes back on the user-interface thread through the receiver.
//
// The view owns neither the thread nor the store; it holds a TThumbRequests
// while a list is shown as thumbnails and drops every picture reference it
// got when the requests stop.

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "common/Bitmap.h"
#include "common/DateTime.h"

// One item of the view, in view order.
struct TEnumImageInfo {
    int32_t Id = 0;         // the item's index in the view
    std::string Folder;     // ends with '/'
    std::string Name;       // empty for a folder item (Folder is the folder itself)
    std::string Medium;     // the medium's name for items of a media catalogue, else empty
    bool Online = true;     // the medium is present, so its files can be read
    std::string MediumRoot; // media items: where the medium is mounted (ends with '/'); Folder lies below it
    int64_t Size = 0;       // 0 for a folder
    TDateTime Time = 0;     // last modification
    // The list had not read the size and time yet: the thread reads them
    // from the disk, so a thumbnail is never checked or stored against
    // facts that are not the file's.
    bool FactsKnown = true;
};

// What became of one item. Without a picture the item had none to make
// (FolderFlag is then true and the facts are 0), and it is not asked for
// again.
struct TThumbnailResult {
    int32_t Id = 0;
    std::shared_ptr<const TBitmap> Picture;  // shared with the thread; read-only
    int32_t Bits = 0;          // of the source picture
    int32_t SourceWidth = 0;
    int32_t SourceHeight = 0;
    bool FolderFlag = false;   // stands for a folder or an archive
};

class TThumbReceiver {
public:
    virtual ~TThumbReceiver() = default;
    // User-interface thread, once per item asked for.
    virtual void ThumbnailArrived(const TThumbnailResult& result) = 0;
};

class TThumbRequests {
public:
    virtual ~TThumbRequests() = default;
    // Replaces the items; what was queued for the old ones is dropped.
    virtual void SetItems(std::vector<TEnumImageInfo> items) = 0;
    // The ids wanted next, in order; nothing clears the queue and returns
    // only when the item being worked on is finished.
    virtual void SetQueue(std::optional<std::vector<int32_t>> ids) = 0;
    // The id to do before any other (the focused item).
    virtual void SetPriority(int32_t id) = 0;
    // Nothing is queued and nothing is being worked on (results may still
    // be on their way to the receiver).
    virtual bool Idle() const = 0;
    // Writes what was found so far to the store at once, whatever the save
    // rule says; false when nothing could be written.
    virtual bool SaveNow() { return false; }
};

// The place whose items are shown as thumbnails: a folder (Folder ends with
// '/'), an archive (Folder holds it, ArchiveName is its name), a media
// catalogue or search results with media items (Media), or an archive
// inside an archive, whose thumbnails are never stored (UseStore false).
struct TThumbPlace {
    std::string Folder;
    std::string ArchiveName;
    bool Media = false;
    bool UseStore = true;
};

// Starts finding thumbnails for a place; results go to receiver until the
// returned requests are destroyed, which stops the work and waits for it.
using TThumbStarter = std::function<std::unique_ptr<TThumbRequests>(const TThumbPlace& place, TThumbReceiver& receiver)>;
