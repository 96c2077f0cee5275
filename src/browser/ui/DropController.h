#pragma once

// Drag and drop of the browser's lists. The file list drags its selected
// files (the archive list its selected members, written out of the archive
// only when the target reads the drag), and takes drops of the program's
// own drags: into the folder under the pointer or the listed folder (copy,
// move or link by the keys and devices, through the file commands and their
// questions), onto a shelf (the files become members), and in the list of
// shelves a drag of shelves reorders them. Drags from other programs are
// left to the window, which opens the first file. User-interface thread.

#include <Qt>

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "browser/DropRules.h"
#include "loading/AcvUnit.h"

class QDropEvent;
class QMimeData;
class QWidget;
class TArchiveListView;
class TBrowserModel;
class TFileCommands;
class TFileListView;
class TFolderTreeView;
class TGroupList;
class TThumbnailView;
class TTreeNode;

Qt::DropAction ToDropAction(TDropEffect effect);
TDropKeys DropKeysOf(Qt::KeyboardModifiers modifiers);

// What a drop of data into folder does: the effect by the rules, refused
// (none) when it cannot work. paths are the dropped files.
TDropEffect FolderDropEffect(const std::vector<std::string>& paths, const std::string& folder,
                             Qt::KeyboardModifiers modifiers, const TDropEffects& allowed, bool extracted);

// Does the drop: copies or moves through the file commands (with their
// conflict questions), or links; link failures go to tell. True when
// anything changed.
bool DropIntoFolder(TFileCommands& commands, TDropEffect effect, const std::vector<std::string>& paths,
                    const std::string& folder, const std::function<void(const std::string&)>& tell);

class TFileDragData;
struct TTreePlace;

// The drag of a tree node for a place inside an archive (a folder of it, an
// inner archive, a folder of an inner archive): one path, the node's content
// written out below the shared extraction folder, only when a target reads
// the drag (a failure leaves the data's message and no paths). shown, the
// archive the list shows, is reused where it lies on the way. Null for an
// archive's top, which drags as the file it is.
TFileDragData* NewArchiveNodeDrag(const TArchiveEnv& env, const TTreePlace& place, TArchiverPtr shown);

class TDropController {
public:
    // All must outlive the controller.
    TDropController(TBrowserModel& model, TFileCommands& commands, TGroupList& shelves, QWidget& window);

    // Sets the views' drag and drop hooks.
    void Attach(TFileListView& files, TArchiveListView& archive);
    // The thumbnail views of the same lists: their cells are the rows.
    void AttachThumbnails(TThumbnailView& files, TThumbnailView& archive);
    // A tree of the left pane: its folders drag out and take drops, its
    // shelves take files and are reordered by dragging them among
    // themselves.
    void AttachTree(TFolderTreeView& tree);

    // After files were copied, moved or linked into a folder.
    std::function<void()> OnFilesChanged;
    // After shelves got members or were reordered: they should be saved.
    std::function<void()> OnShelvesChanged;

    bool Dragging() const { return fDrag.has_value(); }

private:
    struct TDrag {
        TDropEffects Allowed;
        bool Extracted = false;
        // Rows of the file list being dragged (empty for the archive list).
        std::vector<int> Rows;
        // A reorder of the list of shelves, not a drag of files.
        bool Reorder = false;
        // The shelf index a reorder in a tree moves.
        int ShelfIndex = -1;
        // The view the drag started from.
        const QWidget* Source = nullptr;
    };

    void StartFileListDrag(QWidget& source);
    void StartArchiveDrag(QWidget& source);
    void Exec(QWidget& source, QMimeData* data, const TDrag& drag);
    Qt::DropAction FileListDrop(const QDropEvent& event, int row, bool drop);
    // A drop over row goes into that row's folder or shelf (as FileListDrop
    // decides), not into the listed place.
    bool FileListDropsIntoRow(int row) const;
    Qt::DropAction DropOnFolder(const QDropEvent& event, const std::string& folder, bool drop);
    Qt::DropAction DropOnShelf(const QDropEvent& event, int shelf, bool drop);
    Qt::DropAction ReorderShelves(int row, bool drop);
    void StartTreeDrag(TFolderTreeView& source, const TTreeNode& node);
    Qt::DropAction TreeDrop(const QDropEvent& event, const TTreeNode* node, bool drop);
    void Later(std::function<void()> work);
    void Tell(const std::string& text);

    TBrowserModel& fModel;
    TFileCommands& fCommands;
    TGroupList& fShelves;
    QWidget& fWindow;
    std::optional<TDrag> fDrag;
};
