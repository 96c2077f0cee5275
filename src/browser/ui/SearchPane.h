#pragma once

// The window's search: the search folder that holds the results, the file
// that keeps its directory cache, and the search panel, tied to the browser
// model so that a search shows its results in the file list (list kind 10)
// and each batch appears as it arrives. User-interface thread.

#include <memory>
#include <string>

#include "collections/Search.h"
#include "common/DateTime.h"
#include "collections/SearchCache.h"

class QWidget;
class TBrowserModel;
class TCustomFolderList;
class TDispatcher;
class TGroupList;
class TIniFile;
class TSearchFrame;
class TSearchProgressWindow;

class TSearchPane : private TSearchObserver {
public:
    // Everything given must outlive the pane; the panel widget is made as a
    // child of parent.
    TSearchPane(TBrowserModel& model, TDispatcher& dispatcher, TGroupList* shelves, const TCustomFolderList* media,
                std::string dataFolder, QWidget* parent);
    ~TSearchPane() override;

    TSearchFrame* Frame() const { return fFrame; }
    // The window shown while a search runs.
    TSearchProgressWindow* Progress() const { return fProgress; }
    TSearchFolder& Folder() { return fFolder; }
    // The panel opens: without fixed targets, the place the file list shows
    // becomes the one target (a folder, a shelf or every shelf, a medium or
    // every medium).
    void Opening();
    // The panel gives way to another tree: unless "検索結果を破棄しない(&J)"
    // is on, a running search stops and the results are discarded; with it
    // they stay for the next visit.
    void Leaving();
    // The names searched for, from and to "Input.lst".
    void LoadHistory(int maxCount);
    void SaveHistory() const;
    // The panel's settings from and to the section "SEARCH" of a settings
    // file; loading also brings back a cache kept across runs. Load returns
    // true when keys of an older layout were removed and the file should be
    // written back.
    bool LoadSettings(TIniFile& ini, TDateTime now);
    void SaveSettings(TIniFile& ini) const;

private:
    void SearchChanged(TSearchFolder& folder, const TSearchChange& change) override;

    TBrowserModel& fModel;
    TGroupList* fShelves;
    const TCustomFolderList* fMedia;
    std::string fDataFolder;
    TSearchFolder fFolder;
    TSearchCacheStore fCacheStore;
    TSearchFrame* fFrame = nullptr;
    TSearchProgressWindow* fProgress = nullptr;
};
