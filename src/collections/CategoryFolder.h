#pragma once

// Categories: virtual folders that gather files from search targets (folders,
// shelves, media) and sort them into a tree of sub-categories by date, by
// parts of their names or by conditions. A TCategoryFolder is a search whose
// end starts a TCategorizeThread; the thread sorts a snapshot of the results
// and hands the finished tree to the user-interface thread, which swaps it in
// whole, so no tree a view is showing is ever changed under it. TCategoryList
// is the program's one list of categories.

#include <atomic>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "base/QueueDispatcher.h"
#include "collections/Categorize.h"
#include "collections/Search.h"

class TCategoryFolder;

// Sorts one snapshot of a category's results on a worker thread and posts
// the finished tree to the dispatcher's thread. The owner joins it (Stop)
// before it lets go of the folder; a tree finished after Stop is dropped.
class TCategorizeThread {
public:
    using TDone = std::function<void(TCategoryTree tree)>;

    // done runs on the dispatcher's thread, and only while alive can be
    // locked: the folder resets it when it goes.
    TCategorizeThread(TDispatcher& dispatcher, TCategorySettings settings, std::vector<TCategoryInput> files,
                      TDateTime now, std::weak_ptr<void> alive, TDone done);
    ~TCategorizeThread();
    TCategorizeThread(const TCategorizeThread&) = delete;
    TCategorizeThread& operator=(const TCategorizeThread&) = delete;

    // Asks the worker to give up and waits for it; its tree is dropped.
    void Stop();

private:
    struct TShared;
    std::shared_ptr<TShared> fShared;
    std::thread fThread;
};

class TCategoryFolder : public TSearchFolder, private TSearchObserver {
public:
    // owner must be a TCategoryList, else EMirevaError "Ownerが正しくありません";
    // the folder searches through the list's dispatcher and shelves.
    TCategoryFolder(TCustomFolderList* owner, std::string name);
    // A category of no list (the command line, tests).
    TCategoryFolder(TDispatcher& dispatcher, TGroupList* shelves, std::string name);
    ~TCategoryFolder() override;

    const TCategorySettings& Settings() const { return fSettings; }
    // Takes effect at the next Load.
    void SetSettings(TCategorySettings settings) { fSettings = std::move(settings); }
    TCategoryKind CategoryKind() const { return fSettings.Kind; }

    // The list shows the files of the sub-categories too.
    bool ShowSubContents = false;
    // The next end of the search does not start categorising.
    bool SkipCategorize = false;
    // Raised when the search has ended, before categorising starts.
    std::function<void(TCategoryFolder&)> OnSearchDone;

    // Copies name, icon and comment, targets, search conditions, the
    // category settings and ShowSubContents; the members are not copied.
    void AssignFrom(const TCategoryFolder& other);

    // Gathers the files of the targets and sorts them: false when no target
    // leads anywhere. Loaded is set, the list told (lcUpdate) and observers
    // told scFinished when the tree is in place.
    bool Load();
    // Sorts the results held now anew (settings changed, or results added
    // without a search).
    void StartCategorize();
    void StopCategorize();
    bool Categorizing() const { return fThread != nullptr; }
    bool Busy() const { return Searching() || Categorizing(); }

    // The tree of the last run; empty while none has finished.
    const TCategoryTree& CategoryTree() const { return fTree; }
    int CategoryCount() const { return fTree.CategoryCount(); }
    // The member indices of the category at path, and with subContents of
    // every category below it, in the program's name order of their paths.
    std::vector<int> MembersOf(std::string_view path, bool subContents) const;

    // Stops searching and categorising and frees the tree and the results.
    void Clear() override;

protected:
    void SearchDone() override;

private:
    void SearchChanged(TSearchFolder& folder, const TSearchChange& change) override;
    void TreeDone(TCategoryTree tree);

    TCategorySettings fSettings;
    TCategoryTree fTree;
    std::unique_ptr<TCategorizeThread> fThread;
    // Tasks of the thread find out through it whether the folder still
    // exists; reset by the destructor on the user-interface thread.
    std::shared_ptr<TCategoryFolder*> fAlive;
    bool fInClear = false;
};

class TCategoryList : public TGroupList {
public:
    // A list without the window's dispatcher queues the tasks of its
    // categories' threads for the owner to run (Tasks).
    TCategoryList();
    TCategoryList(TDispatcher& dispatcher, TGroupList* shelves);

    TCategoryFolder* Category(int index) const { return static_cast<TCategoryFolder*>(Folder(index)); }

    TDispatcher& Dispatcher() const { return *fDispatcher; }
    TGroupList* Shelves() const { return fShelves; }
    TQueueDispatcher& Tasks() { return fTasks; }
    // Given to every category before it searches media.
    TMediaSourceFunc MediaSource;

protected:
    std::unique_ptr<TCustomFolder> CreateFolder(const std::string& name) override;
    // A category has its members only once it has searched and sorted.
    bool LoadedOnCreation() const override { return false; }

private:
    TQueueDispatcher fTasks;
    TDispatcher* fDispatcher;
    TGroupList* fShelves;
};
