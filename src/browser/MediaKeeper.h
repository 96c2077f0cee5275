#pragma once

// The window's media catalogues through one run: the list read at start and
// matched against the mounted discs, registering a disc (or any folder) as a
// new medium or updating an existing one from its disc on the loading thread,
// opening a catalogue on first use, the files that follow a rename or a
// deletion, and the mount table's changes. The window shows the progress and
// the messages; this class decides and keeps the files right.

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "base/Dispatcher.h"
#include "collections/Media.h"

class TShellListModel;
class TThumbnailList;

// What the keeper does around the media thumbnail store while it changes it.
struct TMediaThumbnailHooks {
    // Stops the thumbnails shown (none may be made while the store changes),
    // and starts them again.
    std::function<void()> Pause;
    std::function<void()> Resume;
};

class TMediaKeeper {
public:
    // list must outlive the keeper; dispatcher runs the loading thread's
    // reports on the window's thread.
    TMediaKeeper(TMediaList& list, std::string dataFolder, TDispatcher& dispatcher);
    ~TMediaKeeper();
    TMediaKeeper(const TMediaKeeper&) = delete;
    TMediaKeeper& operator=(const TMediaKeeper&) = delete;

    TMediaStore& Store() { return fStore; }

    // The thumbnail store that follows the media: a medium renamed moves its
    // thumbnails, one deleted takes them along, and one updated keeps only
    // those of items its new catalogue still lists. Null (the default)
    // leaves thumbnails alone. thumbnails must outlive the keeper.
    void SetThumbnails(TThumbnailList* thumbnails, TMediaThumbnailHooks hooks = {});

    // Reads "Media.lst" and finds which media are mounted now. Returns the
    // load's result for the window to report damage.
    TListLoadResult Load(const std::vector<TVolumeInfo>& volumes);
    // Saves the list; raises EFileError.
    void SaveList();

    // The medium a mounted volume would become: identity and sizes from the
    // volume, stored root at its mount, no owner yet. label and serial may be
    // given instead of the volume's (a folder catalogued as a medium).
    std::unique_ptr<TMediaFolder> Prepare(const TVolumeInfo& volume, const std::string& root) const;
    // The media whose identity equals the prepared one's (exact label,
    // serial, drive kind and file system): the chooser offers them for update.
    std::vector<int> SameMedia(const TMediaFolder& prepared) const;

    // Appends the prepared medium under name and comment and starts its
    // catalogue from root. When the load ends, the catalogue and the list are
    // saved; done hears the error (empty on success). A failed save is an
    // error too. A load that fails or is cancelled (Cancel) takes the new
    // medium away again.
    void AddMedium(std::unique_ptr<TMediaFolder> prepared, const std::string& name, int imageIndex,
                   const std::string& comment, const std::string& root,
                   std::function<void(int index, const std::string& error)> done);
    // Reads medium index again from root, keeping its catalogue until the new
    // one is in; saves both files when it ends.
    void Reload(int index, const std::string& root, std::function<void(int index, const std::string& error)> done);
    // Updates medium index from fresh, a catalogue just read from its disc
    // (kept as it is), instead of reading the disc again; saves and tells
    // done as Reload does.
    void UpdateFrom(int index, const TMediaFolder& fresh, std::function<void(int index, const std::string& error)> done);
    // Ends the load of medium index; a medium that was never loaded goes.
    void Cancel(int index);

    // Reads a medium's catalogue when it is not in memory yet; the window
    // shows the returned message (empty when read; a damaged file is read as
    // far as it goes).
    std::string EnsureCatalogue(TMediaFolder& medium);

    // The mount table changed.
    int MountsChanged(const std::vector<TVolumeInfo>& before, const std::vector<TVolumeInfo>& after);

private:
    void Finished(TMediaFolder& medium, const std::string& error, bool added,
                  std::function<void(int, const std::string&)> done);

    // Runs change on the thumbnail store between the pause and resume hooks.
    void ChangeThumbnails(const std::function<void(TThumbnailList&)>& change);

    TMediaList& fList;
    TMediaStore fStore;
    TDispatcher& fDispatcher;
    TThumbnailList* fThumbnails = nullptr;
    TMediaThumbnailHooks fThumbHooks;
};

// Takes from the media thumbnail store what medium's catalogue no longer
// lists (see TThumbnailList::CheckMedia). Returns what was removed; raises
// EFileError when the store's index cannot be written.
int PruneMediaThumbnails(TThumbnailList& thumbnails, const TMediaFolder& medium);

// The media chosen in the file list while it shows the list of media, as
// indices into list: the focused row first when it is selected, then the
// other selected rows in order. Empty when the list shows something else.
std::vector<int> ChosenMedia(const TShellListModel& fileList, const TMediaList& list);
