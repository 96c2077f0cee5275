#include "browser/ui/MediaCommands.h"

#include <algorithm>

#include <QEventLoop>
#include <QMessageBox>
#include <QProgressDialog>
#include <QPushButton>
#include <QWidget>

#include "base/Errors.h"
#include "base/PathUtils.h"
#include "browser/ui/MediaDiffDialog.h"
#include "collections/ui/IconChooser.h"
#include "collections/ui/MediumPropertyDialog.h"
#include "common/IniFile.h"
#include "platform/FileSystem.h"
#include "base/Texts.h"

namespace {

QString Q(const std::string& text)
{
    return QString::fromStdString(text);
}

// The mount holding path: the longest mount folder above it.
TMountPoint MountOf(const std::string& path, const std::vector<TMountPoint>& mounts)
{
    TMountPoint best{"/", "", ""};
    size_t length = 0;
    for (const TMountPoint& mount : mounts) {
        const bool above = mount.Path == "/" || path == mount.Path || path.rfind(mount.Path + "/", 0) == 0;
        if (above && mount.Path.size() >= length) {
            best = mount;
            length = mount.Path.size();
        }
    }
    return best;
}

}  // namespace

TMediaCommands::TMediaCommands(QWidget* window, TMediaList& list, const std::string& dataFolder,
                               TDispatcher& dispatcher)
    : QObject(window), fWindow(window), fList(list), fKeeper(list, dataFolder, dispatcher), fDispatcher(dispatcher)
{
}

TMediaCommands::~TMediaCommands()
{
    *fAlive = false;
}

void TMediaCommands::SetThumbnails(TThumbnailList& thumbnails, std::function<void()> stopShown,
                                   std::function<void()> startShown)
{
    TMediaThumbnailHooks hooks;
    hooks.Pause = [this, stopShown = std::move(stopShown)] {
        if (fProgress)
            fProgress->setLabelText(Q(Tx("サムネイルを更新しています･･･")));
        if (stopShown)
            stopShown();
    };
    hooks.Resume = std::move(startShown);
    fKeeper.SetThumbnails(&thumbnails, std::move(hooks));
}

bool TMediaCommands::IsMediaDrive(const std::string& folder)
{
    const std::string plain = ExcludeTrailingPathDelimiter(folder);
    for (const TMountPoint& mount : ReadMountPoints()) {
        if (mount.Path != plain)
            continue;
        const TDriveType type = DriveTypeOfMount(mount, IsRemovableDevice(mount.Device));
        return type == TDriveType::dtFloppy35 || type == TDriveType::dtFloppy525 ||
               type == TDriveType::dtRemovable || type == TDriveType::dtCdRom;
    }
    return false;
}

std::string TMediaCommands::Load()
{
    fVolumes = ReadVolumes(ReadMountPoints());
    const TListLoadResult result = fKeeper.Load(fVolumes);
    if (!fDrives) {
        fDrives = std::make_unique<TShellChangeNotifier>(fDispatcher);
        fDrives->AddHandler(this, [this](const TDriveEvent&) { MountsChanged(); });
    }
    return result.Damaged || result.Unreadable ? result.Error : std::string();
}

bool TMediaCommands::Run(TActionId action, const std::string& path, int medium)
{
    if (action == TActionId::actAddMedia)
        AddFrom(path);
    else if (action == TActionId::actUpdateMedia)
        Update(medium);
    else
        return false;
    return true;
}

void TMediaCommands::AddFrom(const std::string& path)
{
    const std::string root = ExcludeTrailingPathDelimiter(path).empty() ? "/" : ExcludeTrailingPathDelimiter(path);
    if (!DirectoryExists(root)) {
        QMessageBox::information(fWindow, "Mireva", Q(Tx("メディアが挿入されていません  ")));
        return;
    }
    const TVolumeInfo volume = ReadVolumeInfo(MountOf(RealPath(root).empty() ? root : RealPath(root), ReadMountPoints()));
    // The disc stays in while it is registered: its removal is refused.
    fList.LockedDrive = volume.MountPath;
    std::unique_ptr<TMediaFolder> prepared = fKeeper.Prepare(volume, root);
    const std::vector<int> same = fKeeper.SameMedia(*prepared);
    if (!same.empty()) {
        for (;;) {
            QMessageBox box(QMessageBox::Question, Tx("メディアの選択"),
                            Q(Tx("保存されたメディア情報：") + fList.Medium(same[0])->Name()), QMessageBox::Cancel, fWindow);
            QPushButton* add = box.addButton(Tx("追加(&A)"), QMessageBox::AcceptRole);
            QPushButton* update = box.addButton(Tx("更新(&U)"), QMessageBox::AcceptRole);
            QPushButton* differ = box.addButton(Tx("差分の表示(&D)..."), QMessageBox::ActionRole);
            box.exec();
            if (box.clickedButton() == differ) {
                ShowDifferences(*prepared, root, same[0]);
                continue;
            }
            if (box.clickedButton() == update) {
                if (prepared->Loaded && fList.Medium(same[0])) {
                    // The disc was read for the differences already.
                    fKeeper.UpdateFrom(same[0], *prepared,
                                       [this](int i, const std::string& error) { Finished(i, error); });
                    return;
                }
                fList.LockedDrive.clear();
                Update(same[0]);
                return;
            }
            if (box.clickedButton() != add) {
                fList.LockedDrive.clear();
                return;
            }
            break;
        }
        // A catalogue read for the differences is read again for the new
        // medium: the loading thread fills the medium it is given.
        prepared->ClearCatalogue();
    }
    TMediumPropertyDialog dialog(fWindow, Tx(TMediumPropertyDialog::AddCaption), fList, *prepared, std::string(),
                                 FolderIconSource(fList, fIcons));
    if (dialog.exec() != QDialog::Accepted) {
        fList.LockedDrive.clear();
        return;
    }
    fKeeper.AddMedium(std::move(prepared), dialog.Name(), dialog.ImageIndex(), dialog.Comment(), root,
                      [this](int index, const std::string& error) { Finished(index, error); });
    const int index = fList.Count() - 1;
    ShowProgress(*fList.Medium(index), index);
}

void TMediaCommands::Update(int index)
{
    if (!fList.Medium(index) || !EnsureInserted(index))
        return;
    TMediaFolder& medium = *fList.Medium(index);
    fList.LockedDrive = medium.LivePath();
    fKeeper.Reload(index, medium.LivePath(), [this](int i, const std::string& error) { Finished(i, error); });
    ShowProgress(medium, index);
}

bool TMediaCommands::EnsureInserted(int index)
{
    if (!fList.Medium(index))
        return false;
    while (!ScanMedium(fList, index, ReadVolumes(ReadMountPoints()))) {
        const std::string question = Tx("メディア '") + fList.Medium(index)->Name() + Tx("' を挿入してください  ");
        if (QMessageBox::information(fWindow, "Mireva", Q(question), QMessageBox::Ok | QMessageBox::Cancel) !=
            QMessageBox::Ok)
            return false;
    }
    return true;
}

bool TMediaCommands::EditProperties(int index)
{
    TMediaFolder* medium = fList.Medium(index);
    if (!medium)
        return false;
    if (fReport) {
        fReport(Tx("プロパティ") + std::string(": ") + medium->Name());
        return false;
    }
    TMediumPropertyDialog dialog(fWindow, Tx(TMediumPropertyDialog::EditCaption), fList, *medium, medium->Name(),
                                 FolderIconSource(fList, fIcons));
    if (dialog.exec() != QDialog::Accepted)
        return false;
    // A new name moves the medium's files and saves the list; the icon and
    // comment are saved here.
    medium->SetProperties(dialog.Name(), dialog.ImageIndex(), dialog.Comment());
    fKeeper.SaveList();
    return true;
}

bool TMediaCommands::IsInserted(int index)
{
    return fList.Medium(index) && ScanMedium(fList, index, ReadVolumes(ReadMountPoints()));
}

void TMediaCommands::ShowProgress(TMediaFolder& medium, int index)
{
    fLoadingIndex = index;
    fProgress = new QProgressDialog(Q(Tx("情報を取得中･･･")), Tx("キャンセル"), 0, 0, fWindow);
    fProgress->setWindowTitle("Mireva");
    fProgress->setWindowModality(Qt::WindowModal);
    fProgress->setMinimumDuration(0);
    QProgressDialog* progress = fProgress;
    medium.OnLoadProgress = [progress](TMediaFolder&, const std::string& path, bool sorting) {
        progress->setLabelText(Q(sorting ? std::string(Tx("ソート中･･･")) : path + Tx(" を読込中･･･")));
    };
    connect(fProgress, &QProgressDialog::canceled, this, [this, index] {
        fKeeper.Cancel(index);
        Finished(index, std::string());
    });
    fProgress->show();
}

bool TMediaCommands::ReadTemporary(TMediaFolder& medium, const std::string& root)
{
    if (medium.Loaded)
        return true;
    QProgressDialog progress(Q(Tx("情報を取得中･･･")), Tx("キャンセル"), 0, 0, fWindow);
    progress.setWindowTitle("Mireva");
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(0);
    QEventLoop loop;
    bool ended = false;
    std::string error;
    medium.OnLoadProgress = [&progress](TMediaFolder&, const std::string& path, bool sorting) {
        progress.setLabelText(Q(sorting ? std::string(Tx("ソート中･･･")) : path + Tx(" を読込中･･･")));
    };
    medium.OnLoaded = [&](TMediaFolder&, const std::string& reason) {
        error = reason;
        ended = true;
        loop.quit();
    };
    connect(&progress, &QProgressDialog::canceled, &loop, [&] {
        medium.StopLoading();
        loop.quit();
    });
    progress.show();
    StartLoading(medium, root, fDispatcher, false);
    if (!ended && medium.Loading())
        loop.exec();
    medium.StopLoading();
    medium.OnLoadProgress = nullptr;
    medium.OnLoaded = nullptr;
    if (!error.empty())
        Warn(error);
    return ended && error.empty() && medium.Loaded;
}

void TMediaCommands::ShowDifferences(TMediaFolder& prepared, const std::string& root, int index)
{
    if (!ReadTemporary(prepared, root))
        return;
    TMediaFolder* stored = fList.Medium(index);
    if (!stored)
        return;
    EnsureCatalogue(*stored);
    const std::string settingsPath = SettingsPath ? SettingsPath() : std::string();
    TDifferOptions options;
    try {
        if (!settingsPath.empty())
            options = ReadDifferOptions(TIniFile(settingsPath));
    } catch (const std::exception& e) {
        Warn(e.what());
    }
    TMediaDiffDialog dialog(fWindow, prepared, root, *stored, stored->StoredRootId.Path(), options);
    dialog.exec();
    if (settingsPath.empty())
        return;
    // Read again just before writing: the settings may have changed meanwhile.
    try {
        TIniFile ini(settingsPath);
        WriteDifferOptions(ini, dialog.Options());
        ini.UpdateFile();
    } catch (const std::exception& e) {
        Warn(e.what());
    }
}

void TMediaCommands::Finished(int index, const std::string& error)
{
    fList.LockedDrive.clear();
    fLoadingIndex = -1;
    if (TMediaFolder* medium = fList.Medium(index))
        medium->OnLoadProgress = nullptr;
    if (fProgress) {
        fProgress->deleteLater();
        fProgress = nullptr;
    }
    if (!error.empty())
        Warn(error);
    fWindow->setEnabled(true);
    fWindow->activateWindow();
}

void TMediaCommands::MountsChanged()
{
    std::vector<TVolumeInfo> now = ReadVolumes(ReadMountPoints());
    fKeeper.MountsChanged(fVolumes, now);
    fVolumes = std::move(now);
    // A disc taken out while it was read ends its load: the progress window
    // closes as after a cancel.
    const TMediaFolder* loading = fList.Medium(fLoadingIndex);
    if (fProgress && loading && !loading->Loading()) {
        const int index = fLoadingIndex;
        fKeeper.Cancel(index);
        Finished(index, std::string());
    }
}

void TMediaCommands::EnsureCatalogue(TMediaFolder& medium)
{
    const bool wasLoaded = medium.Loaded;
    const std::string error = fKeeper.EnsureCatalogue(medium);
    if (!error.empty())
        Warn(error);
    // Where a folder catalogued below its mount lies is in its catalogue, not
    // in the list: with the catalogue read, its disc is looked for again.
    // Not from inside the listing that asked for the catalogue: a medium
    // that moves makes the views list it again.
    if (!wasLoaded && medium.Loaded && medium.Inserted() && !medium.StoredRootId.Path().empty())
        fDispatcher.Post([this, alive = fAlive, name = medium.Name()] {
            const int index = *alive ? fList.IndexOfName(name) : -1;
            if (index >= 0)
                ScanMedium(fList, index, fVolumes);
        });
}

void TMediaCommands::Warn(const std::string& text)
{
    QMessageBox::warning(fWindow, "Mireva", Q(text));
}

bool TMediaCommands::Ask(const std::string& question)
{
    if (fReport) {
        fReport(question + (fAnswerYes ? " -> yes (--yes)" : " -> no (asked in a snapshot run; --yes answers yes)"));
        return fAnswerYes;
    }
    return QMessageBox::question(fWindow, "Mireva", Q(question), QMessageBox::Ok | QMessageBox::Cancel) ==
           QMessageBox::Ok;
}

void TMediaCommands::SetBatch(std::function<void(const std::string&)> report, bool answerYes)
{
    fReport = std::move(report);
    fAnswerYes = answerYes;
}

bool TMediaCommands::Delete(std::vector<int> indices, bool ask)
{
    if (indices.empty() || (ask && !Ask(Tx("選択されたメディアを削除してもよろしいですか？  "))))
        return false;
    // From the last one, so that the indices still to go stay valid.
    std::sort(indices.begin(), indices.end());
    indices.erase(std::unique(indices.begin(), indices.end()), indices.end());
    bool deleted = false;
    try {
        for (auto it = indices.rbegin(); it != indices.rend(); ++it) {
            TMediaFolder* medium = fList.Medium(*it);
            if (!medium)
                continue;
            // The loading thread must not hand records to a medium that is
            // gone; stopping a first load takes the medium away by itself.
            const int count = fList.Count();
            if (medium->Loading())
                fKeeper.Cancel(*it);
            if (fList.Count() == count)
                fList.Delete(*it);
            deleted = true;
        }
    } catch (const EMirevaError& e) {
        // The media are gone; only writing the list failed.
        if (fReport)
            fReport(e.what());
        else
            Warn(e.what());
    }
    return deleted;
}
