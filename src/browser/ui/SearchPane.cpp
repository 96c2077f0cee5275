#include "browser/ui/SearchPane.h"

#include <QWidget>

#include "base/PathUtils.h"
#include "browser/BrowserModel.h"
#include "browser/ui/SearchProgressWindow.h"
#include "collections/FolderList.h"
#include "collections/SearchSettings.h"
#include "collections/ui/SearchFrame.h"
#include "common/IniFile.h"
#include "shellviews/ShellList.h"

TSearchPane::TSearchPane(TBrowserModel& model, TDispatcher& dispatcher, TGroupList* shelves,
                         const TCustomFolderList* media, std::string dataFolder, QWidget* parent)
    : fModel(model),
      fShelves(shelves),
      fMedia(media),
      fDataFolder(std::move(dataFolder)),
      fFolder(dispatcher, shelves),
      fCacheStore(fDataFolder)
{
    fFrame = new TSearchFrame(fFolder, shelves, &fCacheStore, parent);
    fFrame->OnStarted = [this] { fModel.ShowSearch(fFolder); };
    fFolder.RegisterObserver(this);
    fProgress = new TSearchProgressWindow(fFolder, parent ? parent->window() : nullptr);
}

TSearchPane::~TSearchPane()
{
    // The panel watches the folder: it goes first.
    fModel.ForgetSearch();
    delete fProgress;
    delete fFrame;
    fFolder.UnregisterObserver(this);
    fFolder.StopSearch();
}

void TSearchPane::Opening()
{
    if (fFrame->Settings().Fix)
        return;
    const TShellListModel& list = fModel.FileList();
    TSearchTargetSpec target;
    switch (list.Content()) {
    case TListContent::lcoFolder:
        if (!list.Folder() || list.Folder()->IsRoot())
            return;
        target = {TSearchTargetKind::tkFolder, ExcludeTrailingPathDelimiter(list.Folder()->GetPath()), true};
        break;
    case TListContent::lcoShelves:
        target = {TSearchTargetKind::tkShelf, "", true};
        break;
    case TListContent::lcoShelf: {
        const TCustomFolder* shelf = fShelves ? fShelves->Folder(list.ListIndex()) : nullptr;
        if (!shelf)
            return;
        target = {TSearchTargetKind::tkShelf, shelf->Name(), true};
        break;
    }
    case TListContent::lcoMedia:
        target = {TSearchTargetKind::tkMedium, "", true};
        break;
    case TListContent::lcoMediumRoot:
    case TListContent::lcoMediumFolder: {
        const TCustomFolder* medium = fMedia ? fMedia->Folder(list.ListIndex()) : nullptr;
        if (!medium)
            return;
        target = {TSearchTargetKind::tkMedium, medium->Name(), true};
        break;
    }
    default:
        return;
    }
    if (target.Kind == TSearchTargetKind::tkFolder && target.Name.empty())
        target.Name = "/";
    fFrame->SetTargets({target});
}

void TSearchPane::Leaving()
{
    if (fFrame->KeepResults())
        return;
    // Clearing stops the search first; a list that still shows the results
    // is told and shows none.
    fFolder.Clear();
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

bool TSearchPane::LoadSettings(TIniFile& ini, TDateTime now)
{
    bool oldKeysRemoved = false;
    fFrame->SetSettings(LoadSearchSettings(ini, now, &oldKeysRemoved));
    fFrame->RestoreCache();
    return oldKeysRemoved;
}

void TSearchPane::SaveSettings(TIniFile& ini) const
{
    SaveSearchSettings(ini, fFrame->Settings());
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
