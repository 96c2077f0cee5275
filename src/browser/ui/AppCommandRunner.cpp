#include "browser/ui/AppCommandRunner.h"

#include <QDialog>
#include <QMessageBox>

#include <algorithm>

#include "app/AppCore.h"
#include "base/PathUtils.h"
#include "browser/BrowserModel.h"
#include "browser/ui/DesktopLauncher.h"
#include "browser/ui/DropWindow.h"
#include "browser/ui/PageChoice.h"
#include "browser/ui/RegisterApplicationDialog.h"
#include "browser/ui/TreePane.h"
#include "common/IniFile.h"
#include "shellviews/ShellTree.h"
#include "base/Texts.h"

namespace {

using enum TActionId;

QString Q(const std::string& text)
{
    return QString::fromStdString(text);
}

// The selected items in the order a program gets them: the focused one
// first, then the others in list order.
std::vector<int> FocusedFirst(const std::vector<int>& selection, int focused)
{
    std::vector<int> order = selection;
    const auto at = std::find(order.begin(), order.end(), focused);
    if (at != order.end())
        std::rotate(order.begin(), at, at + 1);
    return order;
}

}  // namespace

TAppCommandRunner::TAppCommandRunner(TAppCore& core, TBrowserModel& model, TTreePane& trees, QWidget& window)
    : fCore(core),
      fModel(model),
      fTrees(trees),
      fWindow(window),
      fLauncher(std::make_unique<TDesktopLauncher>(&window)),
      fCommands(std::make_unique<TAppCommands>(model.Applications(), *fLauncher))
{
    fModel.Applications().RegisterObserver(this);
}

TAppCommandRunner::~TAppCommandRunner()
{
    fModel.Applications().UnregisterObserver(this);
}

bool TAppCommandRunner::Runs(TActionId action)
{
    return action == actExecute || action == actExplorer || action == actRegister || action == actSelApplication ||
           action == actDropFile || RegAppIndex(action) >= 0 || UseAppIndex(action) >= 0;
}

void TAppCommandRunner::FillContext(TActionContext& context) const
{
    const TApplicationLists& lists = fModel.Applications();
    context.RegisteredApps.reset();
    for (size_t i = 0; i < lists.Registered().size(); ++i)
        context.RegisteredApps.set(i);
    context.UsedApps = static_cast<int>(lists.Recent().size());
}

std::optional<QString> TAppCommandRunner::Caption(TActionId action) const
{
    const TApplicationLists& lists = fModel.Applications();
    if (const int index = RegAppIndex(action); index >= 0 && index < static_cast<int>(lists.Registered().size()))
        return Q(RegisteredCaption(lists, index));
    if (const int index = UseAppIndex(action); index >= 0 && index < static_cast<int>(lists.Recent().size()))
        return Q(RecentCaption(lists, index));
    return std::nullopt;
}

void TAppCommandRunner::AppListChanged(TApplicationLists&, TAppListChangeKind, TChangePhase phase)
{
    if (phase == TChangePhase::cpAfter && fChanged)
        fChanged();
}

std::vector<TTargetEntry> TAppCommandRunner::Entries(TCommandTarget target, TTargetPage page, bool& cancelled) const
{
    cancelled = false;
    std::vector<TTargetEntry> entries;
    const TShownPlace place = fModel.ShownPlace();
    const std::vector<TBrowserItem>& items = fModel.Items();
    const auto shownPath = [&](const TImageSlot& slot) -> std::string {
        const int item = slot.HasBitmap() ? fModel.ItemOfImage(slot.Index) : -1;
        if (item < 0)
            return {};
        const std::string& path = items[static_cast<size_t>(item)].Path;
        return place.Kind == TPlaceKind::pkArchive ? place.ArchivePath + std::string(ArchiveDelim) + path : path;
    };
    switch (target) {
    case TCommandTarget::ctFileList:
        // While an archive is shown the model's items are its members; the
        // file list then holds only the archive's folder.
        if (place.Kind == TPlaceKind::pkArchive)
            break;
        // Items without a path (a category below the shown one) are no files.
        for (const int index : FocusedFirst(fModel.Selection(), fModel.FocusedItem()))
            if (const std::string& path = items[static_cast<size_t>(index)].Path; !path.empty())
                entries.push_back({path, {}, {}});
        break;
    case TCommandTarget::ctArchiveList:
        if (place.Kind != TPlaceKind::pkArchive)
            break;
        for (const int index : FocusedFirst(fModel.Selection(), fModel.FocusedItem()))
            entries.push_back(
                EntryOfShownPath(place.ArchivePath + std::string(ArchiveDelim) + items[static_cast<size_t>(index)].Path));
        break;
    case TCommandTarget::ctTree: {
        TShellTreeModel& tree = fTrees.ActiveTree();
        const TTreeNode* node = tree.Selected();
        if (!node)
            break;
        const TTreePlace where = tree.PlaceOf(node);
        if (where.Path.empty() || where.Kind == TTreePlaceKind::tpNone)
            break;
        if (where.Kind == TTreePlaceKind::tpArchive && !where.ArchiveFolder.empty())
            entries.push_back(EntryOfShownPath(where.Path + std::string(ArchiveDelim) + where.ArchiveFolder));
        else
            entries.push_back(EntryOfShownPath(where.Path));
        break;
    }
    case TCommandTarget::ctImage: {
        const std::string primary = shownPath(fModel.Viewer().Primary());
        const std::string partner = shownPath(fModel.Viewer().Partner());
        std::vector<std::string> pages;
        if (page == TTargetPage::tpPrimary)
            pages = {primary};
        else if (page == TTargetPage::tpPartner)
            pages = {partner};
        else if (primary.empty() || partner.empty())
            pages = {primary};
        else if (const std::optional<std::vector<TTargetPage>> chosen = AskSpreadPages(&fWindow, fModel))
            for (const TTargetPage one : *chosen)
                pages.push_back(one == TTargetPage::tpPrimary ? primary : partner);
        else
            cancelled = true;
        entries = PageEntries(pages);
        break;
    }
    default: break;
    }
    return entries;
}

std::vector<std::string> TAppCommandRunner::TargetPaths(TCommandTarget target, TTargetPage page,
                                                        const TPassFlags& flags)
{
    bool cancelled = false;
    std::vector<TTargetEntry> entries = Entries(target, page, cancelled);
    if (cancelled || entries.empty())
        return {};
    // Members are written out by the archive shown; one of another archive
    // (a tree node elsewhere) has no reader here and is left out.
    const TArchiverPtr& archive = fModel.Archive();
    const TShownPlace place = fModel.ShownPlace();
    const auto archiveOf = [](const TTargetEntry& entry) {
        return entry.Inner.empty() ? entry.Path : entry.Path + std::string(ArchiveDelim) + entry.Inner;
    };
    const bool archiveShown = archive && place.Kind == TPlaceKind::pkArchive;
    if (!flags.Parent && !flags.ArchivePath)
        std::erase_if(entries, [&](const TTargetEntry& entry) {
            return entry.InArchive() && (!archiveShown || archiveOf(entry) != place.ArchivePath);
        });
    std::unique_ptr<TArchiverExtractor> extractor;
    if (archiveShown)
        extractor = std::make_unique<TArchiverExtractor>(*archive);
    const TTargetPaths result = BuildTargetPaths(entries, flags, extractor.get(), target == TCommandTarget::ctImage);
    if (!result.Error.empty())
        QMessageBox::warning(&fWindow, "Mireva", Q(result.Error));
    return result.Paths;
}

bool TAppCommandRunner::Run(TActionId action, TCommandTarget target, TTargetPage page)
{
    if (action == actRegister) {
        Register();
        return true;
    }
    if (action == actDropFile && !DropWindowAvailable()) {
        QMessageBox::information(&fWindow, "Mireva",
                                 Tx("このデスクトップでは他のアプリケーションのウィンドウを選べません  "));
        return false;
    }
    TPassFlags flags;
    if (const int index = RegAppIndex(action); index >= 0)
        flags = fCommands->RegisteredFlags(index);
    const std::vector<std::string> paths = TargetPaths(target, page, flags);
    if (paths.empty())
        return false;
    if (action == actExecute) {
        fCommands->Execute(paths);
        return true;
    }
    if (action == actExplorer) {
        fCommands->Explore(paths);
        return true;
    }
    if (const int index = RegAppIndex(action); index >= 0)
        return fCommands->RunRegistered(index, paths);
    if (const int index = UseAppIndex(action); index >= 0)
        return fCommands->RunRecent(index, paths);
    if (action == actSelApplication) {
        const std::string program = ChooseProgram(&fWindow, fLauncher->LastFolder());
        if (program.empty())
            return false;
        fLauncher->SetLastFolder(ExtractFilePath(program));
        return fCommands->RunChosen(program, paths);
    }
    if (action == actDropFile) {
        DropFiles(paths);
        return true;
    }
    return false;
}

void TAppCommandRunner::Register()
{
    TRegisterApplicationDialog dialog(fModel.Applications().Registered(), &fWindow);
    dialog.SetLastFolder(fLauncher->LastFolder());
    const bool accepted = dialog.exec() == QDialog::Accepted;
    fLauncher->SetLastFolder(dialog.LastFolder());
    if (accepted)
        fModel.ChangeRegisteredApplications(dialog.Records());
}

void TAppCommandRunner::DropFiles(const std::vector<std::string>& paths)
{
    const std::string program = fCore.ProgramSettingsPath();
    TDropWindow window(paths, ReadDropWindowSettings(TIniFile(program)), &fWindow);
    window.exec();
    try {
        TIniFile ini(program);
        WriteDropWindowSettings(ini, window.Settings());
        ini.UpdateFile();
    } catch (const std::exception& e) {
        QMessageBox::warning(&fWindow, "Mireva", Q(e.what()));
    }
}
