#include "browser/MediaKeeper.h"

#include <algorithm>

#include "common/DateTime.h"
#include "platform/FileSystem.h"
#include "shellviews/ShellList.h"
#include "thumbnails/ThumbnailList.h"

TMediaKeeper::TMediaKeeper(TMediaList& list, std::string dataFolder, TDispatcher& dispatcher)
    : fList(list), fStore(std::move(dataFolder)), fDispatcher(dispatcher)
{
    // A renamed or deleted medium takes its files along, and the list is
    // saved at once so that the files and the list agree.
    fList.OnRenamed = [this](TCustomFolderList&, int index, const std::string& oldName) {
        const std::string newName = fList.Folder(index)->Name();
        fStore.RenameFiles(oldName, newName);
        SaveList();
        ChangeThumbnails([&](TThumbnailList& thumbnails) { thumbnails.RenameMediaPaths(oldName, newName); });
    };
    fList.OnDeleted = [this](TCustomFolderList&, int, const std::string& name) {
        fStore.DeleteFiles(name);
        SaveList();
        // A medium added later under the same name must not show these.
        ChangeThumbnails([&](TThumbnailList& thumbnails) { thumbnails.DeleteMediaPaths(name); });
    };
}

void TMediaKeeper::SetThumbnails(TThumbnailList* thumbnails, TMediaThumbnailHooks hooks)
{
    fThumbnails = thumbnails;
    fThumbHooks = std::move(hooks);
}

void TMediaKeeper::ChangeThumbnails(const std::function<void(TThumbnailList&)>& change)
{
    if (!fThumbnails)
        return;
    if (fThumbHooks.Pause)
        fThumbHooks.Pause();
    try {
        change(*fThumbnails);
    } catch (...) {
        if (fThumbHooks.Resume)
            fThumbHooks.Resume();
        throw;
    }
    if (fThumbHooks.Resume)
        fThumbHooks.Resume();
}

TMediaKeeper::~TMediaKeeper()
{
    fList.OnRenamed = nullptr;
    fList.OnDeleted = nullptr;
    for (int i = 0; i < fList.Count(); ++i)
        fList.Medium(i)->StopLoading();
}

TListLoadResult TMediaKeeper::Load(const std::vector<TVolumeInfo>& volumes)
{
    const TListLoadResult result = fStore.LoadList(fList);
    ScanMedia(fList, volumes);
    return result;
}

void TMediaKeeper::SaveList()
{
    fStore.SaveList(fList);
}

std::unique_ptr<TMediaFolder> TMediaKeeper::Prepare(const TVolumeInfo& volume, const std::string& root) const
{
    auto medium = std::make_unique<TMediaFolder>(nullptr, volume.Label);
    medium->VolumeLabel = volume.Label;
    medium->SerialNumber = volume.Serial;
    medium->DriveType = DriveTypeOfVolume(volume);
    medium->FileSystem = volume.FsType;
    medium->Capacity = volume.Capacity;
    medium->FreeSpace = volume.FreeSpace;
    medium->StoredRootId = TItemIdList::FromPath(root);
    medium->SetLivePath(volume.MountPath);
    return medium;
}

std::vector<int> TMediaKeeper::SameMedia(const TMediaFolder& prepared) const
{
    std::vector<int> same;
    for (int i = 0; i < fList.Count(); ++i) {
        const TMediaFolder& m = *fList.Medium(i);
        if (m.VolumeLabel == prepared.VolumeLabel && m.SerialNumber == prepared.SerialNumber &&
            m.DriveType == prepared.DriveType && m.FileSystem == prepared.FileSystem)
            same.push_back(i);
    }
    return same;
}

void TMediaKeeper::AddMedium(std::unique_ptr<TMediaFolder> prepared, const std::string& name, int imageIndex,
                             const std::string& comment, const std::string& root,
                             std::function<void(int, const std::string&)> done)
{
    const int index = fList.Add(name, imageIndex, comment);
    TMediaFolder& medium = *fList.Medium(index);
    medium.VolumeLabel = prepared->VolumeLabel;
    medium.SerialNumber = prepared->SerialNumber;
    medium.DriveType = prepared->DriveType;
    medium.FileSystem = prepared->FileSystem;
    medium.Capacity = prepared->Capacity;
    medium.FreeSpace = prepared->FreeSpace;
    medium.StoredRootId = prepared->StoredRootId;
    medium.SetLivePath(prepared->LivePath());
    medium.OnLoaded = [this, done](TMediaFolder& m, const std::string& error) { Finished(m, error, true, done); };
    StartLoading(medium, root, fDispatcher, false);
}

void TMediaKeeper::Reload(int index, const std::string& root, std::function<void(int, const std::string&)> done)
{
    TMediaFolder* medium = fList.Medium(index);
    if (!medium)
        return;
    medium->OnLoaded = [this, done](TMediaFolder& m, const std::string& error) { Finished(m, error, false, done); };
    StartLoading(*medium, root, fDispatcher, true);
}

void TMediaKeeper::UpdateFrom(int index, const TMediaFolder& fresh, std::function<void(int, const std::string&)> done)
{
    TMediaFolder* medium = fList.Medium(index);
    if (!medium)
        return;
    medium->StopLoading();
    medium->CopyCatalogueFrom(fresh);
    Finished(*medium, std::string(), false, std::move(done));
}

void TMediaKeeper::Cancel(int index)
{
    TMediaFolder* medium = fList.Medium(index);
    if (!medium)
        return;
    medium->StopLoading();
    // A medium whose catalogue was never read holds nothing worth keeping;
    // its files were never written, so the list alone forgets it.
    if (!medium->Loaded && !PathExists(fStore.CataloguePath(medium->Name())))
        fList.Delete(index);
}

void TMediaKeeper::Finished(TMediaFolder& medium, const std::string& error, bool added,
                            std::function<void(int, const std::string&)> done)
{
    // done is a copy: deleting a medium whose load failed frees the handler
    // that called this.
    const int index = medium.Index();
    std::string failure = error;
    if (failure.empty()) {
        medium.CatalogueDate = Now();
        try {
            // The catalogue first: a list never names a medium whose records
            // are not on disk.
            fStore.SaveCatalogue(medium);
            fStore.SaveList(fList);
            // An update keeps only the thumbnails of what is still there.
            if (!added)
                ChangeThumbnails([&](TThumbnailList& thumbnails) { PruneMediaThumbnails(thumbnails, medium); });
        } catch (const EMirevaError& e) {
            failure = e.what();
        }
    } else if (added) {
        fList.Delete(index);
    }
    if (done)
        done(added && !error.empty() ? -1 : index, failure);
}

std::string TMediaKeeper::EnsureCatalogue(TMediaFolder& medium)
{
    if (medium.Loaded || medium.Loading())
        return {};
    const TCatalogueLoadResult result = fStore.LoadCatalogue(medium);
    return result.Kind == TCatalogueLoadKind::clRead ? std::string() : result.Error;
}

int TMediaKeeper::MountsChanged(const std::vector<TVolumeInfo>& before, const std::vector<TVolumeInfo>& after)
{
    return ApplyMountChanges(fList, before, after);
}

int PruneMediaThumbnails(TThumbnailList& thumbnails, const TMediaFolder& medium)
{
    if (!medium.Loaded)
        return 0;
    return thumbnails.CheckMedia(medium.Name(), [&medium](const std::string& path, bool folder) {
        return folder ? medium.DirectoryOf(path) >= 0 : medium.IndexOf(path) >= 0;
    });
}

std::vector<int> ChosenMedia(const TShellListModel& fileList, const TMediaList& list)
{
    std::vector<int> chosen;
    if (fileList.Content() != TListContent::lcoMedia)
        return chosen;
    const TListSelection& selection = fileList.Selection();
    std::vector<int> rows;
    if (std::find(selection.Selected.begin(), selection.Selected.end(), selection.Focused) != selection.Selected.end())
        rows.push_back(selection.Focused);
    for (const int row : selection.Selected)
        if (row != selection.Focused)
            rows.push_back(row);
    for (const int row : rows) {
        const int index = list.IndexOf(fileList.CollectionAt(row));
        if (index >= 0)
            chosen.push_back(index);
    }
    return chosen;
}
