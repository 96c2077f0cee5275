#include "browser/ui/DropController.h"

#include <QApplication>
#include <QDrag>
#include <QDropEvent>
#include <QMessageBox>

#include <algorithm>

#include "base/PathUtils.h"
#include "browser/BrowserModel.h"
#include "browser/FileCommands.h"
#include "browser/ui/FileDragData.h"
#include "browser/ui/ThumbnailView.h"
#include "collections/GroupFolder.h"
#include "collections/Shelf.h"
#include "shellviews/ui/ArchiveListView.h"
#include "shellviews/ShellTree.h"
#include "shellviews/ui/FileListView.h"
#include "shellviews/ui/FolderTreeView.h"
#include "shellviews/ui/ShellTreeItemModel.h"

namespace {

// The rows of shelves being reordered travel inside the program only.
const QString ShelfOrderFormat = QStringLiteral("application/x-mireva-shelf-order");

Qt::DropActions ActionsOf(const TDropEffects& effects)
{
    Qt::DropActions actions;
    if (effects.Copy)
        actions |= Qt::CopyAction;
    if (effects.Move)
        actions |= Qt::MoveAction;
    if (effects.Link)
        actions |= Qt::LinkAction;
    return actions;
}

// A node shown on a shelf (a member or a folder below one).
bool OnShelf(const TTreeNode& node)
{
    for (const TTreeNode* up = &node; up; up = up->Parent())
        if (up->Kind() == TTreeNodeKind::nkShelf || up->Kind() == TTreeNodeKind::nkShelfMember)
            return true;
    return false;
}

std::vector<std::string> WithoutTrailingSlashes(std::vector<std::string> paths)
{
    for (std::string& path : paths)
        path = ExcludeTrailingPathDelimiter(path);
    return paths;
}

}  // namespace

Qt::DropAction ToDropAction(TDropEffect effect)
{
    switch (effect) {
    case TDropEffect::deCopy: return Qt::CopyAction;
    case TDropEffect::deMove: return Qt::MoveAction;
    case TDropEffect::deLink: return Qt::LinkAction;
    case TDropEffect::deNone: return Qt::IgnoreAction;
    }
    return Qt::IgnoreAction;
}

TDropKeys DropKeysOf(Qt::KeyboardModifiers modifiers)
{
    return {.Ctrl = modifiers.testFlag(Qt::ControlModifier),
            .Shift = modifiers.testFlag(Qt::ShiftModifier),
            .Alt = modifiers.testFlag(Qt::AltModifier)};
}

TDropEffect FolderDropEffect(const std::vector<std::string>& paths, const std::string& folder,
                             Qt::KeyboardModifiers modifiers, const TDropEffects& allowed, bool extracted)
{
    if (folder.empty())
        return TDropEffect::deNone;
    // Until a target reads the drag, extracted members have no paths yet:
    // they are copied whatever their device.
    const bool sameDevice = !paths.empty() && OnSameDevice(paths, folder);
    const TDropEffect effect = DropEffect({.Target = TDropTargetKind::dtFolder,
                                           .Keys = DropKeysOf(modifiers),
                                           .SameDevice = sameDevice,
                                           .Allowed = allowed,
                                           .Extracted = extracted});
    return DropIntoSelf(paths, folder, effect) ? TDropEffect::deNone : effect;
}

bool DropIntoFolder(TFileCommands& commands, TDropEffect effect, const std::vector<std::string>& paths,
                    const std::string& folder, const std::function<void(const std::string&)>& tell)
{
    if (paths.empty())
        return false;
    switch (effect) {
    case TDropEffect::deCopy: return commands.Transfer(TTransferMode::tmCopy, paths, folder);
    case TDropEffect::deMove: return commands.Transfer(TTransferMode::tmMove, paths, folder);
    case TDropEffect::deLink: {
        const std::vector<std::string> errors = LinkInto(paths, folder);
        for (const std::string& error : errors)
            tell(error);
        return errors.size() < paths.size();
    }
    case TDropEffect::deNone: return false;
    }
    return false;
}

TFileDragData* NewArchiveNodeDrag(const TArchiveEnv& env, const TTreePlace& place, TArchiverPtr shown)
{
    if (place.Kind != TTreePlaceKind::tpArchive || place.Path.empty() || place.ArchiveFolder.empty())
        return nullptr;
    // "a/b.zip//c/" is the folder "c/" of the inner archive "a/b.zip";
    // "a/b.zip" the member "a/b.zip" of the outer archive.
    std::string archivePart;
    std::string member;
    SplitVirtualPath(place.ArchiveFolder, archivePart, member);
    auto prepare = [env, archive = place.Path, archivePart, member, shown](std::vector<std::string>& paths) {
        paths.clear();
        QApplication::setOverrideCursor(Qt::WaitCursor);
        std::string error;
        try {
            const TArchiverPtr archiver = ResolveVirtualPath(env, archive, archivePart, shown);
            if (!archiver || !archiver->Loader)
                error = ArchiveNotReadMessage(ExtractFileName(archive));
            else
                error = ExtractDragged(*archiver, {member}, paths);
        } catch (const std::exception& failure) {
            error = failure.what();
        }
        QApplication::restoreOverrideCursor();
        return error;
    };
    return new TFileDragData({}, std::move(prepare));
}

TDropController::TDropController(TBrowserModel& model, TFileCommands& commands, TGroupList& shelves,
                                 QWidget& window)
    : fModel(model), fCommands(commands), fShelves(shelves), fWindow(window)
{
}

void TDropController::Attach(TFileListView& files, TArchiveListView& archive)
{
    files.Drops.OnStartDrag = [this, &files] { StartFileListDrag(files); };
    files.Drops.OnDrop = [this](const QDropEvent& event, int row, bool drop) { return FileListDrop(event, row, drop); };
    files.Drops.DropsIntoRow = [this](int row) { return FileListDropsIntoRow(row); };
    archive.Drops.OnStartDrag = [this, &archive] { StartArchiveDrag(archive); };
    // Nothing is dropped into an archive.
    archive.Drops.OnDrop = [](const QDropEvent&, int, bool) { return Qt::IgnoreAction; };
}

void TDropController::AttachThumbnails(TThumbnailView& files, TThumbnailView& archive)
{
    files.OnStartDrag = [this, &files] { StartFileListDrag(files); };
    files.OnDrop = [this](const QDropEvent& event, int cell, bool drop) { return FileListDrop(event, cell, drop); };
    files.DropsIntoCell = [this](int cell) { return FileListDropsIntoRow(cell); };
    archive.OnStartDrag = [this, &archive] { StartArchiveDrag(archive); };
}

void TDropController::AttachTree(TFolderTreeView& tree)
{
    tree.OnStartDrag = [this, &tree](const TTreeNode* node) {
        if (node)
            StartTreeDrag(tree, *node);
    };
    tree.OnDrop = [this](const QDropEvent& event, const TTreeNode* node, bool drop) {
        return TreeDrop(event, node, drop);
    };
    // Shelves dragged within the tree show where they will go.
    tree.IsReorder = [this](const QDropEvent& event) {
        return fDrag && fDrag->Reorder && fDrag->ShelfIndex >= 0 && event.source();
    };
}

void TDropController::StartTreeDrag(TFolderTreeView& source, const TTreeNode& node)
{
    if (fDrag)
        return;
    TDrag drag;
    switch (node.Kind()) {
    case TTreeNodeKind::nkShelf:
        drag.Reorder = true;
        drag.ShelfIndex = fShelves.IndexOf(node.Collection());
        if (drag.ShelfIndex < 0)
            return;
        {
            auto* data = new QMimeData;
            data->setData(ShelfOrderFormat, QByteArray());
            Exec(source, data, drag);
        }
        return;
    case TTreeNodeKind::nkShellFolder:
    case TTreeNodeKind::nkShelfMember: {
        const TShellFolder* folder = node.Folder();
        const std::string path = folder ? ExcludeTrailingPathDelimiter(folder->GetPath()) : std::string();
        // The virtual root and "/" are no folder one could move or copy.
        if (path.empty() || path == "/" || path[0] != '/')
            return;
        // A folder shown on a shelf is the shelf's reference; moving it
        // would leave the shelf pointing at nothing.
        drag.Allowed = DragEffects(OnShelf(node) ? TDragSourceKind::dsShelfMembers : TDragSourceKind::dsFolder);
        Exec(source, new TFileDragData({path}), drag);
        return;
    }
    case TTreeNodeKind::nkArchive:
    case TTreeNodeKind::nkArchiveFolder:
    case TTreeNodeKind::nkInnerArchive: {
        if (!source.TreeModel())
            return;
        const TShellTreeModel& tree = source.TreeModel()->Tree();
        const TTreePlace place = tree.PlaceOf(&node);
        if (place.Kind != TTreePlaceKind::tpArchive || place.Path.empty())
            return;
        if (place.ArchiveFolder.empty()) {
            // The archive file itself.
            drag.Allowed = DragEffects(OnShelf(node) ? TDragSourceKind::dsShelfMembers : TDragSourceKind::dsFolder);
            Exec(source, new TFileDragData({ExcludeTrailingPathDelimiter(place.Path)}), drag);
            return;
        }
        // What lies inside is written out when the target reads the drag.
        drag.Allowed = DragEffects(TDragSourceKind::dsArchive);
        drag.Extracted = true;
        Exec(source, NewArchiveNodeDrag(tree.ArchiveEnv(), place, fModel.Archive()), drag);
        return;
    }
    default: return;  // catalogued discs and categories have no folder to hand out
    }
}

Qt::DropAction TDropController::TreeDrop(const QDropEvent& event, const TTreeNode* node, bool drop)
{
    if (!fDrag || !event.source())
        return Qt::IgnoreAction;
    if (fDrag->Reorder) {
        if (fDrag->ShelfIndex < 0)
            return Qt::IgnoreAction;  // shelves dragged from the list move there
        const int from = fDrag->ShelfIndex;
        int target = -1;  // below the last node: to the end
        if (node) {
            if (node->Kind() != TTreeNodeKind::nkShelf)
                return Qt::IgnoreAction;
            target = fShelves.IndexOf(node->Collection());
            if (target < 0)
                return Qt::IgnoreAction;
        }
        const int to = ReorderDestination(from, target, fShelves.Count());
        if (to < 0)
            return Qt::IgnoreAction;
        if (drop)
            Later([this, from, to] {
                fShelves.Move(from, to);
                if (OnShelvesChanged)
                    OnShelvesChanged();
            });
        return Qt::MoveAction;
    }
    if (!node)
        return Qt::IgnoreAction;
    switch (node->Kind()) {
    case TTreeNodeKind::nkShelf: return DropOnShelf(event, fShelves.IndexOf(node->Collection()), drop);
    case TTreeNodeKind::nkShellFolder:
    case TTreeNodeKind::nkShelfMember: {
        const TShellFolder* folder = node->Folder();
        const std::string path = folder ? folder->GetPath() : std::string();
        if (path.empty() || path[0] != '/')
            return Qt::IgnoreAction;
        return DropOnFolder(event, path, drop);
    }
    default: return Qt::IgnoreAction;
    }
}

void TDropController::StartFileListDrag(QWidget& source)
{
    if (fDrag || fModel.Selection().empty())
        return;
    if (fModel.ShownPlace().Kind == TPlaceKind::pkArchive) {
        StartArchiveDrag(source);
        return;
    }
    const TListKind kind = fModel.ListKind();
    TDrag drag;
    drag.Rows = fModel.Selection();
    if (kind == TListKind::lkShelves) {
        drag.Reorder = true;
        auto* data = new QMimeData;
        data->setData(ShelfOrderFormat, QByteArray());
        Exec(source, data, drag);
        return;
    }
    TDragSourceKind sourceKind;
    switch (kind) {
    case TListKind::lkFolder: sourceKind = TDragSourceKind::dsFolder; break;
    case TListKind::lkSearch: sourceKind = TDragSourceKind::dsSearchResults; break;
    case TListKind::lkShelf:
    case TListKind::lkCategory: sourceKind = TDragSourceKind::dsShelfMembers; break;
    default: return;  // catalogued discs and collection lists hold no files to hand out
    }
    const std::vector<TBrowserItem>& items = fModel.Items();
    std::vector<std::string> paths;
    // The focused item leads, as the target shows the first name.
    // A category below the shown one has no path and is not handed out.
    const int focused = fModel.FocusedItem();
    if (std::ranges::find(drag.Rows, focused) != drag.Rows.end() && !items[static_cast<size_t>(focused)].Path.empty())
        paths.push_back(items[static_cast<size_t>(focused)].Path);
    for (const int row : drag.Rows)
        if (row != focused && !items[static_cast<size_t>(row)].Path.empty())
            paths.push_back(items[static_cast<size_t>(row)].Path);
    if (paths.empty())
        return;
    drag.Allowed = DragEffects(sourceKind);
    Exec(source, new TFileDragData(WithoutTrailingSlashes(std::move(paths))), drag);
}

void TDropController::StartArchiveDrag(QWidget& source)
{
    const TArchiverPtr archive = fModel.Archive();
    if (fDrag || !archive || fModel.ShownPlace().Kind != TPlaceKind::pkArchive || fModel.Selection().empty())
        return;
    // The members named now; they are written out (below the temporary
    // folder, whose member paths the archive cleaned when it was listed)
    // only when the target reads the drag.
    std::vector<std::string> members;
    for (const int row : fModel.Selection())
        members.push_back(fModel.Items()[static_cast<size_t>(row)].Path);
    auto prepare = [archive, members](std::vector<std::string>& paths) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        std::string error = ExtractDragged(*archive, members, paths);
        QApplication::restoreOverrideCursor();
        return error;
    };
    TDrag drag;
    drag.Allowed = DragEffects(TDragSourceKind::dsArchive);
    drag.Extracted = true;
    Exec(source, new TFileDragData({}, std::move(prepare)), drag);
}

void TDropController::Exec(QWidget& source, QMimeData* data, const TDrag& drag)
{
    auto* qdrag = new QDrag(&source);
    qdrag->setMimeData(data);
    fDrag = drag;
    fDrag->Source = &source;
    const Qt::DropActions actions = drag.Reorder ? Qt::MoveAction : ActionsOf(drag.Allowed);
    qdrag->exec(actions, drag.Allowed.Copy ? Qt::CopyAction : Qt::MoveAction);
    // A failed extraction gave the target nothing; the user learns why.
    if (const auto* files = dynamic_cast<const TFileDragData*>(data); files && !files->Error().empty())
        Tell(files->Error());
    fDrag.reset();
    qdrag->deleteLater();
}

Qt::DropAction TDropController::FileListDrop(const QDropEvent& event, int row, bool drop)
{
    // Only the program's own drags are taken here; files from elsewhere
    // are opened by the window.
    if (!fDrag || !event.source() || fModel.ShownPlace().Kind == TPlaceKind::pkArchive)
        return Qt::IgnoreAction;
    const TListKind kind = fModel.ListKind();
    if (fDrag->Reorder)
        // A shelf dragged in the tree is reordered there only.
        return kind == TListKind::lkShelves && fDrag->ShelfIndex < 0 ? ReorderShelves(row, drop) : Qt::IgnoreAction;
    // A row being dragged takes nothing: it cannot receive itself.
    if (event.source() == fDrag->Source && std::ranges::find(fDrag->Rows, row) != fDrag->Rows.end())
        return Qt::IgnoreAction;
    const std::vector<TBrowserItem>& items = fModel.Items();
    const bool onItem = row >= 0 && row < static_cast<int>(items.size());
    const TBrowserItem* item = onItem ? &items[static_cast<size_t>(row)] : nullptr;
    switch (kind) {
    case TListKind::lkFolder:
        if (item && item->Kind == TItemKind::ikFolder)
            return DropOnFolder(event, item->Path, drop);
        return DropOnFolder(event, fModel.ShownPlace().Folder, drop);
    case TListKind::lkShelves: {
        const TCustomFolder* shelf = row >= 0 ? fModel.FileList().CollectionAt(row) : nullptr;
        return shelf ? DropOnShelf(event, fShelves.IndexOf(shelf), drop) : Qt::IgnoreAction;
    }
    case TListKind::lkShelf:
        if (item && item->Kind == TItemKind::ikFolder)
            return DropOnFolder(event, item->Path, drop);
        return DropOnShelf(event, fShelves.IndexOf(fModel.FileList().ShownCollection()), drop);
    case TListKind::lkSearch:
        if (item && item->Kind == TItemKind::ikFolder)
            return DropOnFolder(event, item->Path, drop);
        return Qt::IgnoreAction;
    default: return Qt::IgnoreAction;
    }
}

bool TDropController::FileListDropsIntoRow(int row) const
{
    const std::vector<TBrowserItem>& items = fModel.Items();
    if (row < 0 || row >= static_cast<int>(items.size()))
        return false;
    switch (fModel.ListKind()) {
    case TListKind::lkFolder:
    case TListKind::lkShelf:
    case TListKind::lkSearch: return items[static_cast<size_t>(row)].Kind == TItemKind::ikFolder;
    case TListKind::lkShelves: return fModel.FileList().CollectionAt(row) != nullptr;
    default: return false;
    }
}

Qt::DropAction TDropController::DropOnFolder(const QDropEvent& event, const std::string& folder, bool drop)
{
    const QMimeData* data = event.mimeData();
    if (!data || !data->hasFormat(QStringLiteral("text/uri-list")))
        return Qt::IgnoreAction;
    // While the pointer moves only the known names are looked at; reading
    // the data would extract archive members before the drop.
    std::vector<std::string> paths;
    if (const auto* own = dynamic_cast<const TFileDragData*>(data); own && !drop)
        paths = own->Paths();
    else
        paths = DroppedPaths(*data);
    const TDropEffect effect =
        FolderDropEffect(paths, ExcludeTrailingPathDelimiter(folder), event.modifiers(), fDrag->Allowed,
                         fDrag->Extracted);
    if (drop && effect != TDropEffect::deNone)
        Later([this, effect, paths, target = ExcludeTrailingPathDelimiter(folder)] {
            if (DropIntoFolder(fCommands, effect, paths, target, [this](const std::string& text) { Tell(text); }) &&
                OnFilesChanged)
                OnFilesChanged();
        });
    return ToDropAction(effect);
}

Qt::DropAction TDropController::DropOnShelf(const QDropEvent& event, int shelf, bool drop)
{
    auto* folder = shelf >= 0 ? dynamic_cast<TGroupFolder*>(fShelves.Folder(shelf)) : nullptr;
    const QMimeData* data = event.mimeData();
    if (!folder || !data || !data->hasFormat(QStringLiteral("text/uri-list")))
        return Qt::IgnoreAction;
    const TDropEffect effect = DropEffect({.Target = TDropTargetKind::dtShelf,
                                           .Keys = DropKeysOf(event.modifiers()),
                                           .Allowed = fDrag->Allowed,
                                           .Extracted = fDrag->Extracted});
    if (drop && effect != TDropEffect::deNone) {
        Later([this, shelf, paths = DroppedPaths(*data)] {
            // The shelf is looked up again: the list may have changed meanwhile.
            auto* target = dynamic_cast<TGroupFolder*>(fShelves.Folder(shelf));
            if (!target)
                return;
            const TLoaderSetPtr loaders = fModel.Loaders();
            const int added = AddDroppedPaths(*target, paths, [&loaders](const std::string& path) {
                const std::string ext = ExtractFileExt(path);
                return loaders && (loaders->IsImageExtension(ext) || loaders->IsArchiveExtension(ext));
            });
            if (added > 0 && OnShelvesChanged)
                OnShelvesChanged();
        });
    }
    return ToDropAction(effect);
}

Qt::DropAction TDropController::ReorderShelves(int row, bool drop)
{
    if (row >= 0 && std::ranges::find(fDrag->Rows, row) != fDrag->Rows.end())
        return Qt::IgnoreAction;
    if (drop) {
        // The rows may be sorted: each is mapped to its shelf. Below the
        // last row the shelves go to the end.
        std::vector<int32_t> indices;
        for (const int dragged : fDrag->Rows)
            if (const int index = fShelves.IndexOf(fModel.FileList().CollectionAt(dragged)); index >= 0)
                indices.push_back(index);
        std::ranges::sort(indices);
        const int destination =
            row >= 0 ? fShelves.IndexOf(fModel.FileList().CollectionAt(row)) : fShelves.Count() - 1;
        if (indices.empty() || destination < 0)
            return Qt::IgnoreAction;
        Later([this, indices, destination] {
            fShelves.MoveItems(indices, destination);
            if (OnShelvesChanged)
                OnShelvesChanged();
        });
    }
    return Qt::MoveAction;
}

void TDropController::Later(std::function<void()> work)
{
    // The drop's work (questions, copies, a list read again) runs once the
    // drag loop has ended, not inside the target's drop handler while the
    // source still holds its rows.
    QMetaObject::invokeMethod(&fWindow, std::move(work), Qt::QueuedConnection);
}

void TDropController::Tell(const std::string& text)
{
    QMessageBox::warning(&fWindow, QStringLiteral("Mireva"), QString::fromStdString(text));
}
