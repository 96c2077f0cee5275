#include "browser/ui/FileCommandRunner.h"

#include <QApplication>
#include <QClipboard>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <QMimeData>
#include <QProgressDialog>
#include <QPushButton>
#include <QUrl>
#include <algorithm>

#include "app/AppCore.h"
#include "base/Errors.h"
#include "base/PathUtils.h"
#include "browser/BrowserModel.h"
#include "browser/ui/FilePane.h"
#include "browser/ui/PageChoice.h"
#include "browser/ui/SelectDirectoryDialog.h"
#include "browser/ui/TreePane.h"
#include "collections/FolderList.h"
#include "collections/GroupFolder.h"
#include "platform/FileSystem.h"
#include "shellviews/ui/FileListView.h"
#include "shellviews/ui/FolderTreeView.h"
#include "base/Texts.h"

namespace {

const char* const Caption = "Mireva";
const TTreeKind TreeKinds[] = {TTreeKind::tkFolder, TTreeKind::tkShelf, TTreeKind::tkMedia, TTreeKind::tkCategory};
const char* const UriListType = "text/uri-list";
const char* const GnomeFilesType = "x-special/gnome-copied-files";

QString Q(const std::string& text)
{
    return QString::fromStdString(text);
}

// Shows how far a long copy is, once it has taken more than a moment, and
// lets the user stop it after the current file.
class TProgressBox : public TTransferProgress {
public:
    explicit TProgressBox(QWidget& parent) : fParent(parent) {}
    bool Progress(int64_t done, int64_t total, const std::string& current) override
    {
        if (!fDialog) {
            fDialog = std::make_unique<QProgressDialog>(Q(current), QObject::tr(Tx("キャンセル")), 0, 1000, &fParent);
            fDialog->setWindowTitle(Caption);
            fDialog->setWindowModality(Qt::WindowModal);
            fDialog->setMinimumDuration(500);
        }
        fDialog->setLabelText(Q(current));
        fDialog->setValue(total > 0 ? static_cast<int>(std::min<int64_t>(1000, done * 1000 / total)) : 0);
        QApplication::processEvents();
        return !fDialog->wasCanceled();
    }
    void Done() { fDialog.reset(); }

private:
    QWidget& fParent;
    std::unique_ptr<QProgressDialog> fDialog;
};

}  // namespace

// The questions, messages and clipboard of the file commands, in boxes of
// the window, or answered in batch.
class TQtFileCommandHost : public TFileCommandHost {
public:
    explicit TQtFileCommandHost(QWidget& window) : fWindow(window), fProgress(window) {}

    std::function<void(const std::string&)> Report;
    bool AnswerYes = false;

    bool Ask(const std::string& text) override
    {
        if (Report) {
            Report(text + (AnswerYes ? " -> yes (--yes)" : " -> no (asked in a snapshot run; --yes answers yes)"));
            return AnswerYes;
        }
        return QMessageBox::question(&fWindow, Caption, Q(text), QMessageBox::Ok | QMessageBox::Cancel) ==
               QMessageBox::Ok;
    }
    void Tell(const std::string& text, TMessageIcon icon) override
    {
        if (Report) {
            Report(text);
            return;
        }
        QMessageBox box(icon == TMessageIcon::miError ? QMessageBox::Critical : QMessageBox::Information, Caption,
                        Q(text), QMessageBox::Ok, &fWindow);
        box.exec();
    }
    TConflictAnswer AskConflict(const TConflict& conflict) override
    {
        const std::string text =
            FillText(conflict.TargetIsFolder ? Tx("同じ名前のフォルダが既に存在します  \n%1\n置き換えますか？")
                                             : Tx("同じ名前のファイルが既に存在します  \n%1\n置き換えますか？"),
                     {conflict.Target});
        if (Report) {
            Report(text + (AnswerYes ? " -> replace (--yes)" : " -> skip (asked in a snapshot run)"));
            return AnswerYes ? TConflictAnswer::caReplace : TConflictAnswer::caSkip;
        }
        QMessageBox box(QMessageBox::Question, Caption, Q(text), QMessageBox::NoButton, &fWindow);
        QPushButton* replace = box.addButton(QObject::tr(Tx("置き換え(&R)")), QMessageBox::YesRole);
        QPushButton* replaceAll = box.addButton(QObject::tr(Tx("すべて置き換え(&A)")), QMessageBox::YesRole);
        QPushButton* skip = box.addButton(QObject::tr(Tx("スキップ(&S)")), QMessageBox::NoRole);
        QPushButton* skipAll = box.addButton(QObject::tr(Tx("すべてスキップ(&K)")), QMessageBox::NoRole);
        box.addButton(QObject::tr(Tx("キャンセル")), QMessageBox::RejectRole);
        box.setDefaultButton(skip);
        box.exec();
        const QAbstractButton* clicked = box.clickedButton();
        if (clicked == replace)
            return TConflictAnswer::caReplace;
        if (clicked == replaceAll)
            return TConflictAnswer::caReplaceAll;
        if (clicked == skip)
            return TConflictAnswer::caSkip;
        if (clicked == skipAll)
            return TConflictAnswer::caSkipAll;
        return TConflictAnswer::caCancel;
    }
    void PutFiles(const TClipFiles& files) override
    {
        auto* data = new QMimeData;
        data->setData(UriListType, QByteArray::fromStdString(EncodeUriList(files.Paths)));
        data->setData(GnomeFilesType, QByteArray::fromStdString(EncodeGnomeCopiedFiles(files)));
        data->setText(Q(PathCopyText(files.Paths, false)));
        QApplication::clipboard()->setMimeData(data);
    }
    std::optional<TClipFiles> Files() override
    {
        const QMimeData* data = QApplication::clipboard()->mimeData();
        if (!data)
            return std::nullopt;
        TClipFiles files;
        if (data->hasFormat(GnomeFilesType) &&
            DecodeGnomeCopiedFiles(data->data(GnomeFilesType).toStdString(), files) && !files.Paths.empty())
            return files;
        if (!data->hasFormat(UriListType))
            return std::nullopt;
        files.Operation = TClipOperation::coCopy;
        files.Paths = DecodeUriList(data->data(UriListType).toStdString());
        if (files.Paths.empty())
            return std::nullopt;
        return files;
    }
    void ClearFiles() override { QApplication::clipboard()->clear(); }
    void PutText(const std::string& text) override { QApplication::clipboard()->setText(Q(text)); }
    TTransferProgress* Progress() override { return Report ? nullptr : &fProgress; }
    void TransferEnded() { fProgress.Done(); }

private:
    QWidget& fWindow;
    TProgressBox fProgress;
};

TFileCommandRunner::TFileCommandRunner(TAppCore& core, TBrowserModel& model, const TPanes& panes, QWidget& window)
    : fCore(core),
      fModel(model),
      fPanes(panes),
      fFiles(panes.Files),
      fWindow(window),
      fTrash(TTrash::ForCurrentUser()),
      fHost(std::make_unique<TQtFileCommandHost>(window)),
      fCommands(std::make_unique<TFileCommands>(fTrash, *fHost)),
      fCollections(std::make_unique<TCollectionCommands>(
          TCollectionCommands::TLists{panes.Shelves, panes.Media, panes.Categories}, *fHost))
{
    // Asking the clipboard may wait for the program that owns it: asked
    // once per change, not at every refresh of the menus.
    const auto readClipboard = [this] {
        const QMimeData* data = QApplication::clipboard()->mimeData();
        fClipboardHasFiles = data && (data->hasFormat(UriListType) || data->hasFormat(GnomeFilesType));
    };
    readClipboard();
    fClipboardWatch = QObject::connect(QApplication::clipboard(), &QClipboard::dataChanged, &window, readClipboard);
    // The list's own in-place rename is undone like the dialog's; a shelf
    // member renamed with its folder is written with the new path.
    fModel.FileList().OnRenamed = [this](const std::string& from, const std::string& to) {
        fCommands->RenamedElsewhere(from, to);
        SaveIfMember(to);
    };
    // So is a rename of a folder or archive in any of the trees.
    for (const TTreeKind kind : TreeKinds)
        fPanes.Trees.Tree(kind).OnRenamed = [this](const std::string& from, const std::string& to) {
            fCommands->RenamedElsewhere(from, to);
            SaveIfMember(to);
        };
    // A shelf member renamed with its folder goes back with it on undo, so
    // the shelf does not lose it.
    fCommands->OnRenamedBack = [this](const std::string& from, const std::string& to) {
        bool changed = false;
        for (int i = 0; i < fPanes.Shelves.Count(); ++i)
            if (auto* shelf = dynamic_cast<TGroupFolder*>(fPanes.Shelves.Folder(i)))
                changed = shelf->ChangeItemPath(from, to) || changed;
        if (changed && fCollections->OnShelvesChanged)
            fCollections->OnShelvesChanged();
    };
}

void TFileCommandRunner::SaveIfMember(const std::string& path)
{
    // Told before the shelf follows the rename: the check waits for that.
    QMetaObject::invokeMethod(
        &fWindow,
        [this, key = ExcludeTrailingPathDelimiter(path)] {
            for (int i = 0; i < fPanes.Shelves.Count(); ++i)
                if (const TCustomFolder* shelf = fPanes.Shelves.Folder(i); shelf && shelf->IndexOf(key) >= 0) {
                    if (fCollections->OnShelvesChanged)
                        fCollections->OnShelvesChanged();
                    return;
                }
        },
        Qt::QueuedConnection);
}

TFileCommandRunner::~TFileCommandRunner()
{
    QObject::disconnect(fClipboardWatch);
    fModel.FileList().OnRenamed = nullptr;
    for (const TTreeKind kind : TreeKinds)
        fPanes.Trees.Tree(kind).OnRenamed = nullptr;
}

void TFileCommandRunner::SetBatch(std::function<void(const std::string&)> report, bool answerYes)
{
    fHost->Report = std::move(report);
    fHost->AnswerYes = answerYes;
}

bool TFileCommandRunner::Runs(TActionId action)
{
    using enum TActionId;
    switch (action) {
    case actDelete:
    case actParentDelete:
    case actRename:
    case actNewFolder:
    case actUndo:
    case actCut:
    case actCopy:
    case actPaste:
    case actCopyToFolder:
    case actMoveToFolder:
    case actPathCopy:
    case actParentPathCopy: return true;
    default: return false;
    }
}

void TFileCommandRunner::FillContext(TActionContext& context) const
{
    const TShownPlace place = fModel.ShownPlace();
    const bool inFolder = place.Kind == TPlaceKind::pkFolder;
    const TListKind kind = fModel.ListKind();
    // Items of a listed folder are real files: every one can be deleted,
    // moved, copied and renamed as far as this program is concerned (the
    // system refuses what it must, and the refusal is shown). Search results
    // are files too. A shelf's and a category's members are copied and their
    // paths taken, but deleting a shelf member takes it off the shelf, and
    // moving it away would leave the shelf pointing at nothing.
    context.Selection.Deletable = inFolder || kind == TListKind::lkSearch;
    context.Selection.Movable = inFolder || kind == TListKind::lkSearch;
    context.Selection.Copyable = ListsFiles();
    context.Selection.Renamable = inFolder || kind == TListKind::lkShelf;
    const std::vector<int>& selection = fModel.Selection();
    if (ListsFiles() && context.Selection.Folder && !selection.empty()) {
        const int focused = fModel.FocusedItem();
        const int item = std::find(selection.begin(), selection.end(), focused) != selection.end()
                             ? focused
                             : selection.front();
        context.Selection.OnDisk = DirectoryExists(fModel.Items()[static_cast<size_t>(item)].Path);
    }
    context.PlaceDeletable = inFolder && place.Folder != "/";
    if (place.Kind == TPlaceKind::pkArchive) {
        const std::vector<int>& chosen = fModel.Selection();
        context.ArchiveSelection = static_cast<int>(chosen.size());
        context.ArchiveItemIsFile = !chosen.empty() && fModel.Items()[static_cast<size_t>(chosen.front())].Kind !=
                                                           TItemKind::ikFolder;
    }
    if (const TTreeNode* node = fPanes.Trees.ActiveTree().Selected()) {
        TNodeFacts& facts = context.Node;
        const TTreeNodeKind kind = node->Kind();
        facts.Shelf = facts.Shelf || kind == TTreeNodeKind::nkShelf;
        facts.MediaCatalogue = facts.MediaCatalogue || kind == TTreeNodeKind::nkMedium;
        facts.Category = facts.Category || kind == TTreeNodeKind::nkCategory;
        const std::vector<std::string> paths = TargetPaths(TCommandTarget::ctTree);
        if (!paths.empty()) {
            const bool folder = DirectoryExists(paths.front());
            facts.FileSystem = true;
            facts.OnDisk = folder || FileExists(paths.front());
            facts.Folder = folder && kind != TTreeNodeKind::nkArchive;
            facts.Archive = facts.Archive || kind == TTreeNodeKind::nkArchive;
            facts.Deletable = facts.OnDisk;
            facts.Movable = facts.OnDisk && kind != TTreeNodeKind::nkShelfMember;
            facts.Copyable = facts.OnDisk;
        }
    }
    context.UndoAvailable = fCommands->CanUndo();
    context.ClipboardHasFiles = fClipboardHasFiles;
}

std::vector<std::string> TFileCommandRunner::TargetPaths(TCommandTarget target, TTargetPage page) const
{
    std::vector<std::string> paths;
    const TShownPlace place = fModel.ShownPlace();
    if (target == TCommandTarget::ctImage) {
        const std::string shown = fModel.PageFile(page == TTargetPage::tpPartner ? 1 : 0);
        if (place.Kind == TPlaceKind::pkFolder && !shown.empty() && shown.find(ArchiveDelim) == std::string::npos)
            paths.push_back(shown);
        return paths;
    }
    if (target == TCommandTarget::ctTree) {
        TShellTreeModel& tree = fPanes.Trees.ActiveTree();
        const TTreeNode* node = tree.Selected();
        if (!node)
            return paths;
        const TTreePlace where = tree.PlaceOf(node);
        // Folders and archive files on disk; the virtual root and "/"
        // are no files to act on.
        if ((where.Kind == TTreePlaceKind::tpFolder || where.Kind == TTreePlaceKind::tpShelfMember ||
             where.Kind == TTreePlaceKind::tpShelfFolder ||
             (where.Kind == TTreePlaceKind::tpArchive && where.ArchiveFolder.empty() &&
              where.Path.find(ArchiveDelim) == std::string::npos)) &&
            !where.Path.empty() && where.Path != "/")
            paths.push_back(where.Path);
        return paths;
    }
    if (target != TCommandTarget::ctFileList || !ListsFiles())
        return paths;
    const std::vector<TBrowserItem>& items = fModel.Items();
    // A category below the shown one has no path: it is no file to act on.
    for (const int index : fModel.Selection())
        if (const std::string& path = items[static_cast<size_t>(index)].Path; !path.empty())
            paths.push_back(path);
    return paths;
}

std::vector<std::string> TFileCommandRunner::PagePaths(TCommandTarget target, TTargetPage page)
{
    if (target != TCommandTarget::ctImage || page != TTargetPage::tpAsk)
        return TargetPaths(target, page);
    std::vector<std::string> primary = TargetPaths(target, TTargetPage::tpPrimary);
    std::vector<std::string> partner = TargetPaths(target, TTargetPage::tpPartner);
    // One page, or pages that are no files of their own: nothing to choose.
    // A snapshot run, where nobody can choose, takes the primary page.
    if (primary.empty() || partner.empty() || fHost->Report)
        return primary;
    const std::optional<std::vector<TTargetPage>> chosen = AskSpreadPages(&fWindow, fModel);
    if (!chosen)
        return {};
    std::vector<std::string> paths;
    for (const TTargetPage one : *chosen)
        paths.push_back(one == TTargetPage::tpPrimary ? primary.front() : partner.front());
    return paths;
}

bool TFileCommandRunner::ListsFiles() const
{
    if (fModel.ShownPlace().Kind == TPlaceKind::pkFolder)
        return true;
    const TListKind kind = fModel.ListKind();
    return fModel.ShownPlace().Kind == TPlaceKind::pkCollection &&
           (kind == TListKind::lkShelf || kind == TListKind::lkCategory || kind == TListKind::lkSearch);
}

std::string TFileCommandRunner::PasteFolder(TCommandTarget target) const
{
    const TShownPlace place = fModel.ShownPlace();
    if (target == TCommandTarget::ctTree) {
        const std::vector<std::string> paths = TargetPaths(target);
        return paths.empty() || !DirectoryExists(paths.front()) ? std::string() : paths.front();
    }
    if (target != TCommandTarget::ctFileList || !ListsFiles())
        return {};
    // Into the selected folder, else into the listed one.
    const std::vector<int>& selection = fModel.Selection();
    const int focused = fModel.FocusedItem();
    if (!selection.empty()) {
        const int item = std::find(selection.begin(), selection.end(), focused) != selection.end()
                             ? focused
                             : selection.front();
        const TBrowserItem& chosen = fModel.Items()[static_cast<size_t>(item)];
        if (chosen.Kind == TItemKind::ikFolder)
            return chosen.Path;
    }
    return place.Kind == TPlaceKind::pkFolder ? place.Folder : std::string();
}

void TFileCommandRunner::ReadAgainSelecting(const std::vector<std::string>& paths)
{
    fModel.Refresh();
    if (paths.empty())
        return;
    std::vector<int> indices;
    const std::vector<TBrowserItem>& items = fModel.Items();
    for (size_t i = 0; i < items.size(); ++i)
        for (const std::string& path : paths)
            if (ExcludeTrailingPathDelimiter(items[i].Path) == ExcludeTrailingPathDelimiter(path))
                indices.push_back(static_cast<int>(i));
    if (!indices.empty())
        fModel.Select(indices, indices.front());
}

bool TFileCommandRunner::Run(TActionId action, TCommandTarget target, TTargetPage page)
{
    using enum TActionId;
    const TListOptions& list = fCore.Options().List;
    switch (action) {
    case actDelete: {
        if (target == TCommandTarget::ctTree && fPanes.Trees.ActiveTree().Selected() &&
            DeleteCollectionNode(*fPanes.Trees.ActiveTree().Selected()))
            return true;
        if (target == TCommandTarget::ctFileList && DeleteCollectionRows())
            return true;
        const std::vector<std::string> paths = PagePaths(target, page);
        if (paths.empty())
            return false;
        // The item after the last deleted one takes the selection, as the
        // list's own delete does.
        const int next = fModel.Selection().empty() ? -1 : fModel.Selection().back() + 1 -
                                                                static_cast<int>(fModel.Selection().size());
        if (fCommands->Delete(paths, {list.DelNoDialog, list.UndoDelete})) {
            fModel.Refresh();
            const int count = static_cast<int>(fModel.Items().size());
            if (target == TCommandTarget::ctFileList && next >= 0 && count > 0)
                fModel.Select({std::min(next, count - 1)}, std::min(next, count - 1));
        }
        return true;
    }
    case actParentDelete: return DeleteParent();
    case actRename: Rename(target); return true;
    case actNewFolder: NewFolder(target); return true;
    case actUndo:
        if (fCommands->Undo())
            fModel.Refresh();
        return true;
    case actCut:
    case actCopy: {
        const std::vector<std::string> paths =
            target == TCommandTarget::ctArchiveList ? ExtractSelectedMembers() : PagePaths(target, page);
        if (paths.empty())
            return false;
        fCommands->PutOnClipboard(paths, action == actCut ? TClipOperation::coCut : TClipOperation::coCopy);
        return true;
    }
    case actPaste: {
        const std::string folder = PasteFolder(target);
        if (folder.empty())
            return false;
        if (fCommands->Paste(folder))
            fModel.Refresh();
        fHost->TransferEnded();
        return true;
    }
    case actCopyToFolder:
    case actMoveToFolder:
        CopyOrMoveTo(action == actCopyToFolder ? TTransferMode::tmCopy : TTransferMode::tmMove, target, page);
        return true;
    case actPathCopy:
    case actParentPathCopy: {
        const std::vector<std::string> paths = PagePaths(target, page);
        if (paths.empty())
            return false;
        fCommands->CopyPaths(paths, action == actParentPathCopy);
        return true;
    }
    default: return false;
    }
}

std::vector<std::string> TFileCommandRunner::ExtractSelectedMembers()
{
    std::vector<std::string> paths;
    const TArchiverPtr& archive = fModel.Archive();
    if (!archive || fModel.ShownPlace().Kind != TPlaceKind::pkArchive)
        return paths;
    // Other programs read files, not members: the selected files are
    // extracted into the temporary folder (removed at exit) and those
    // copies go on the clipboard.
    const std::vector<TBrowserItem>& items = fModel.Items();
    try {
        for (const int index : fModel.Selection()) {
            const TBrowserItem& item = items[static_cast<size_t>(index)];
            if (item.Kind == TItemKind::ikFolder)
                continue;
            TArchiveFileInfo* record = archive->FindRecord(ExtractFilePath(item.Path), ExtractFileName(item.Path));
            if (record)
                paths.push_back(archive->ExtractToFile(*record, false));
        }
    } catch (const EMirevaError& error) {
        fHost->Tell(error.what(), TMessageIcon::miError);
        return {};
    }
    return paths;
}

bool TFileCommandRunner::DeleteCollectionNode(const TTreeNode& node)
{
    const bool noQuestion = fCore.Options().List.DelNoDialog;
    switch (node.Kind()) {
    case TTreeNodeKind::nkShelf:
        fCollections->DeleteCollections(TCollectionKind::ckShelf, {node.Collection()}, noQuestion);
        return true;
    case TTreeNodeKind::nkMedium:
        fCollections->DeleteCollections(TCollectionKind::ckMedium, {node.Collection()}, noQuestion);
        return true;
    case TTreeNodeKind::nkCategory:
        fCollections->DeleteCollections(TCollectionKind::ckCategory, {node.Collection()}, noQuestion);
        return true;
    case TTreeNodeKind::nkShelfMember: {
        // A member is taken off its shelf; the folder or archive stays.
        const TTreeNode* shelfNode = node.Parent();
        auto* shelf = shelfNode ? dynamic_cast<TGroupFolder*>(shelfNode->Collection()) : nullptr;
        if (shelf)
            fCollections->RemoveMembers(*shelf, {node.Key()},
                                        DirectoryExists(node.Key())
                                            ? Tx("選択されたフォルダを本棚から削除してもよろしいですか？  ")
                                            : Tx("選択された書庫を本棚から削除してもよろしいですか？  "),
                                        noQuestion);
        return true;
    }
    default: return false;
    }
}

bool TFileCommandRunner::DeleteCollectionRows()
{
    const TListKind kind = fModel.ListKind();
    const bool noQuestion = fCore.Options().List.DelNoDialog;
    const std::vector<int>& selection = fModel.Selection();
    if (const std::optional<TCollectionKind> listed = TCollectionCommands::ListedKind(kind)) {
        std::vector<TCustomFolder*> folders;
        for (const int row : selection)
            if (TCustomFolder* folder = fModel.FileList().CollectionAt(row))
                folders.push_back(folder);
        fCollections->DeleteCollections(*listed, folders, noQuestion);
        return true;
    }
    if (kind != TListKind::lkShelf)
        return false;
    // A shelf's members are taken off the shelf; their files stay.
    auto* shelf = dynamic_cast<TGroupFolder*>(fModel.FileList().ShownCollection());
    if (!shelf)
        return true;
    std::vector<std::string> paths;
    for (const int row : selection)
        paths.push_back(fModel.Items()[static_cast<size_t>(row)].Path);
    fCollections->RemoveMembers(*shelf, paths, Tx("選択されたオブジェクトを本棚から削除してもよろしいですか？  "),
                                noQuestion);
    return true;
}

bool TFileCommandRunner::DeleteParent()
{
    const TShownPlace place = fModel.ShownPlace();
    std::string former;
    std::string holder;
    if (place.Kind == TPlaceKind::pkArchive && place.ArchivePath.find(ArchiveDelim) == std::string::npos) {
        former = place.ArchivePath;
    } else if (place.Kind == TPlaceKind::pkFolder && place.Folder != "/") {
        former = ExcludeTrailingPathDelimiter(place.Folder);
    } else {
        return false;
    }
    holder = ExtractFilePath(former);
    const TFileStatus before = QueryFile(former, false);
    // Leave the place first: the archive reader lets go of the file, and
    // the list no longer shows what is about to go.
    fModel.SetPendingSelection({former, {}});
    if (!fModel.ShowFolder(holder))
        return false;
    const TShownPlace now = fModel.ShownPlace();
    const TFileStatus after = QueryFile(former, false);
    // Only the very folder or archive whose files were shown: not one that
    // took its name meanwhile, and never while an archive is still open.
    if (now.Kind != TPlaceKind::pkFolder || now.Folder != holder || fModel.Archive() ||
        after.Kind == TFileKind::fkNone || after.Device != before.Device || after.Inode != before.Inode) {
        fHost->Tell("'" + former + "' : is not the folder or archive that was shown; nothing was deleted",
                    TMessageIcon::miError);
        return true;
    }
    const std::vector<TBrowserItem>& items = fModel.Items();
    int at = -1;
    for (size_t i = 0; i < items.size(); ++i)
        if (ExcludeTrailingPathDelimiter(items[i].Path) == former)
            at = static_cast<int>(i);
    if (at >= 0)
        fModel.Select({at}, at);
    const TListOptions& list = fCore.Options().List;
    if (fCommands->Delete({former}, {list.DelNoDialog, list.UndoDelete}) && !PathExists(former)) {
        fModel.Refresh();
        const int count = static_cast<int>(fModel.Items().size());
        if (count > 0 && at >= 0)
            fModel.Select({std::min(at, count - 1)}, std::min(at, count - 1));
    }
    return true;
}

void TFileCommandRunner::Rename(TCommandTarget target)
{
    // The tree edits its node in place: folders, shelves and catalogues by
    // the tree's own rules.
    if (target == TCommandTarget::ctTree) {
        TFolderTreeView* view = fPanes.Trees.ActiveView();
        if (view && view->currentIndex().isValid() && !fHost->Report)
            view->edit(view->currentIndex());
        return;
    }
    if (target == TCommandTarget::ctFileList && RenameCollectionRow())
        return;
    const std::vector<std::string> paths = TargetPaths(target);
    if (paths.empty())
        return;
    // The file list edits the name in place, with the list's own rules.
    if (target == TCommandTarget::ctFileList && !fHost->Report) {
        TFileListView* view = fFiles.FileView();
        const int focused = fModel.FocusedItem() >= 0 ? fModel.FocusedItem() : fModel.Selection().front();
        if (view && view->model()) {
            const QModelIndex index = view->model()->index(focused, 0);
            view->setCurrentIndex(index);
            view->edit(index);
            return;
        }
    }
    const std::string path = paths.front();
    const bool folder = HasTrailingDelimiter(path) || DirectoryExists(path);
    const std::string name = ExtractFileName(ExcludeTrailingPathDelimiter(path));
    const TListOptions& list = fCore.Options().List;
    if (fHost->Report) {
        fHost->Report(Tx("名前の変更 needs a name typed in; nothing was renamed"));
        return;
    }
    bool ok = false;
    const QString typed = QInputDialog::getText(&fWindow, QObject::tr(Tx("名前の変更")), QObject::tr(Tx("新しい名前(&N)")),
                                                QLineEdit::Normal, Q(ProposedRenameText(name, folder, list.NoChangeExt)),
                                                &ok)
                              .trimmed();
    if (!ok || typed.isEmpty())
        return;
    const std::string newName =
        folder ? typed.toStdString() : RenamedFileName(name, typed.toStdString(), list.NoChangeExt, list.AddExt);
    const std::string renamed = fCommands->Rename(path, newName);
    if (!renamed.empty())
        ReadAgainSelecting({renamed});
}

bool TFileCommandRunner::RenameCollectionRow()
{
    const std::optional<TCollectionKind> listed = TCollectionCommands::ListedKind(fModel.ListKind());
    if (!listed)
        return false;
    const std::vector<int>& selection = fModel.Selection();
    if (selection.empty())
        return true;
    const int row = fModel.FocusedItem() >= 0 ? fModel.FocusedItem() : selection.front();
    TCustomFolder* folder = fModel.FileList().CollectionAt(row);
    if (!folder)
        return true;
    if (fHost->Report) {
        fHost->Report(Tx("名前の変更 needs a name typed in; nothing was renamed"));
        return true;
    }
    // The list view edits the name in place with the same checks.
    if (TFileListView* view = fFiles.FileView(); view && view->isVisible() && view->model()) {
        const QModelIndex index = view->model()->index(row, 0);
        view->setCurrentIndex(index);
        view->edit(index);
        return true;
    }
    bool ok = false;
    const QString typed = QInputDialog::getText(&fWindow, QObject::tr(Tx("名前の変更")), QObject::tr(Tx("新しい名前(&N)")),
                                                QLineEdit::Normal, Q(folder->Name()), &ok);
    if (ok)
        fCollections->Rename(*listed, *folder, typed.toStdString());
    return true;
}

void TFileCommandRunner::NewFolder(TCommandTarget target)
{
    const TShownPlace place = fModel.ShownPlace();
    std::string folder = place.Kind == TPlaceKind::pkFolder ? place.Folder : std::string();
    if (target == TCommandTarget::ctTree)
        folder = PasteFolder(target);
    if (folder.empty())
        return;
    const std::string made = fCommands->NewFolder(folder);
    if (made.empty()) {
        fModel.Select({}, -1);
        return;
    }
    ReadAgainSelecting({made});
    if (fHost->Report)
        return;
    TFileListView* view = fFiles.FileView();
    if (view && view->model() && fModel.FocusedItem() >= 0) {
        const QModelIndex index = view->model()->index(fModel.FocusedItem(), 0);
        view->setCurrentIndex(index);
        view->edit(index);
    }
}

void TFileCommandRunner::CopyOrMoveTo(TTransferMode mode, TCommandTarget target, TTargetPage page)
{
    const std::vector<std::string> paths = PagePaths(target, page);
    if (paths.empty())
        return;
    if (fHost->Report) {
        fHost->Report("the folder to copy or move to is chosen in a dialog; nothing was done");
        return;
    }
    const QString caption = mode == TTransferMode::tmCopy ? QObject::tr(Tx("フォルダへコピー")) : QObject::tr(Tx("フォルダへ移動"));
    TSelectDirectoryDialog dialog(caption, fCore.Folders().DataFolder, fCore.Options().Recent.SelectDir,
                                  fModel.ShownPlace().Folder, &fWindow);
    if (dialog.exec() != QDialog::Accepted)
        return;
    if (fCommands->Transfer(mode, paths, dialog.Folder()))
        fModel.Refresh();
    fHost->TransferEnded();
}
