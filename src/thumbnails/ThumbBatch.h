#pragma once

// TThumbBatchLoad makes and stores the thumbnails of everything below a
// place: every folder, recursively, and afterwards, when the owner agrees,
// the archives found on the way. It runs one batch enumeration at a time,
// one folder after the other, and takes each next step in a task posted to
// the dispatcher, so that a thread is never stopped from inside its own
// report. The owner hears of progress, is asked about the archives and is
// told once when the run is over.
//
// User-interface thread (the thread that runs the dispatcher's tasks).

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "thumbnails/EnumThumbs.h"

class TThumbBatchObserver {
public:
    virtual ~TThumbBatchObserver() = default;
    // The item being worked on; the empty text once a folder or an archive
    // is done and being saved.
    virtual void BatchProgress(const std::string& text) = 0;
    // The folders are done and archives were found: true goes on with them.
    virtual bool BatchAskArchives(size_t archives) = 0;
    // The run is over (finished or aborted); the object may be destroyed
    // from inside this call.
    virtual void BatchFinished(const TThumbCounts& counts) = 0;
};

// What a batch runs over, as the window shows it: a folder, the members of a
// shelf or of search results, or a media catalogue whose disc is mounted.
struct TThumbBatchScope {
    std::string Folder;                // walked (ends with '/'); for a catalogue its mount
    std::vector<std::string> Members;  // each walked or queued (AddItem)
    std::string Medium;                // the catalogue's name; Folder is then where it is mounted
    bool Empty() const { return Folder.empty() && Members.empty(); }
};

class TThumbBatchLoad : public TThumbProgress, public TThumbReceiver {
public:
    // config gives the options, loaders and temporary folder every
    // enumeration of the run shares; its place is ignored. list,
    // dispatcher and observer outlive the object.
    TThumbBatchLoad(TThumbnailList& list, TEnumThumbsConfig config, TDispatcher& dispatcher,
                    TThumbBatchObserver& observer);
    ~TThumbBatchLoad() override;
    TThumbBatchLoad(const TThumbBatchLoad&) = delete;
    TThumbBatchLoad& operator=(const TThumbBatchLoad&) = delete;

    // Collecting: folder ends with '/'. A folder walked once is not walked
    // again; archives found in it (pictures' siblings whose extension is an
    // archive's) join the archive queue.
    void AddFolder(const std::string& folder);
    void AddArchive(const std::string& path);
    // A member of a shelf or of search results: a folder is walked, an
    // archive joins the archive queue, anything else is left out.
    void AddItem(const std::string& path);
    // Makes the run one over a media catalogue, before anything is added:
    // its items carry the medium's name and are stored in the media store
    // under keys below root (where the medium is mounted, ending with '/'),
    // and archives are not gathered.
    void SetMedium(const std::string& name, const std::string& root);
    // Over a medium, asked once more after collecting, just before the first
    // folder starts: false (the disc went while it was walked) ends the run
    // with nothing made. Unset counts as present.
    void SetPresenceCheck(std::function<bool()> present) { fPresent = std::move(present); }
    // Gathers what scope names, as the calls above would.
    void AddScope(const TThumbBatchScope& scope);
    size_t QueuedFolders() const { return fFolders.size(); }
    size_t QueuedArchives() const { return fArchives.size(); }

    // Sorts the queues and starts the first folder. With no folder queued
    // the run is over at once and BatchFinished is called before returning.
    void Start();
    // Drops what is queued; the running enumeration stops and saves what it
    // made so far, and the run ends.
    void Abort();
    bool Running() const { return fRunning; }
    const TThumbCounts& Counts() const { return fCounts; }

private:
    struct TQueuedFolder {
        std::string Folder;
        std::vector<TEnumImageInfo> Items;
    };

    void ThumbProgress(const std::string& text) override;
    void ThumbnailArrived(const TThumbnailResult&) override {}
    void Walk(const std::string& folder);
    void StopThread();
    void Next();
    void End();

    TThumbnailList& fList;
    TEnumThumbsConfig fConfig;
    TDispatcher& fDispatcher;
    TThumbBatchObserver& fObserver;
    std::vector<TQueuedFolder> fFolders;
    std::vector<std::string> fArchives;
    std::vector<std::string> fWalked;
    std::string fMedium;      // the medium of a run over a catalogue; empty for none
    std::string fMediumRoot;
    std::function<bool()> fPresent;
    std::unique_ptr<TEnumThumbsThread> fThread;
    TThumbCounts fCounts;
    bool fArchivePhase = false;
    bool fRunning = false;
    // Posted tasks hold this; they find it false once the object is gone.
    std::shared_ptr<bool> fAlive = std::make_shared<bool>(true);
};
