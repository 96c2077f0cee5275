#include "browser/ui/SearchPane.h"

#include "base/PathUtils.h"
#include "browser/BrowserModel.h"
#include "collections/SearchSettings.h"
#include "collections/ui/SearchFrame.h"
#include "common/IniFile.h"
#include "shellviews/ShellList.h"

TSearchPane::TSearchPane(TBrowserModel& model, TDispatcher& dispatcher, TGroupList* shelves, std::string dataFolder,
                         QWidget* parent)
    : fModel(model),
      fDataFolder(std::move(dataFolder)),
      fFolder(dispatcher, shelves),
      fCacheStore(fDataFolder)
{
    fFrame = new TSearchFrame(fFolder, shelves, &fCacheStore, parent);
    fFrame->OnStarted = [this] { fModel.ShowSearch(fFolder); };
    fFolder.RegisterObserver(this);
}

TSearchPane::~TSearchPane()
{
    // The panel watches the folder: it goes first.
    delete fFrame;
    fFolder.UnregisterObserver(this);
    fFolder.StopSearch();
}

void TSearchPane::LoadHistory(int maxCount)
{
    TIniFile ini(IncludeTrailingPathDelimiter(fDataFolder) + InputListFileName);
    TSearchHistory history;
    history.Load(ini, maxCount);
    fFrame->SetHistory(history, maxCount);
}

void TSearchPane::SaveHistory() const
{
    TIniFile ini(IncludeTrailingPathDelimiter(fDataFolder) + InputListFileName);
    fFrame->History().Save(ini);
    ini.UpdateFile();
}

void TSearchPane::SearchChanged(TSearchFolder&, const TSearchChange& change)
{
    // Only while the list shows these results: after the user moved on,
    // they stay in the folder for the next visit.
    if (fModel.FileList().Content() != TListContent::lcoSearch)
        return;
    if (change.Kind == TSearchChangeKind::scFound)
        fModel.FileList().SearchResultsAdded(change.First, change.Count);
    // Cleared, or results of a deleted shelf removed: the list starts over.
    else if (change.Kind == TSearchChangeKind::scReset && change.Phase == TChangePhase::cpAfter)
        fModel.ShowSearch(fFolder);
}
