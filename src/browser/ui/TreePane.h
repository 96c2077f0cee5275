#pragma once

// The browser window's tree pane: a caption over the four trees (folders,
// shelves, media catalogues, categories), one shown at a time as the tree
// kind says. Each tree is the shared tree logic with its own item model and
// view; the pane builds them from the window's sources and hands a selected
// node's place to the window through one hook. User-interface thread.

#include <QWidget>
#include <array>
#include <functional>
#include <memory>

#include "browser/ViewStates.h"
#include "shellviews/ShellTree.h"

class QLabel;
class QStackedWidget;
class QToolBar;
class TFolderTreeView;
class TQtShellInfo;
class TShellTreeItemModel;

// The buttons of the category tree's own tool bar.
enum class TCategoryButton : uint8_t {
    cbNew,      // a new category, made in the category dialog
    cbUpdate,   // the selected category gathered and sorted anew
    cbDelete,   // the selected category deleted, after the question
};

class TTreePane : public QWidget {
public:
    // sources and icons must outlive the pane.
    TTreePane(const TShellTreeSources& sources, TQtShellInfo* icons, QWidget* parent = nullptr);
    ~TTreePane() override;

    // Shows the tree of kind (the search panel shows the folder tree until
    // searching comes).
    void SetKind(TTreeKind kind);
    TTreeKind Kind() const { return fKind; }

    TShellTreeModel& Tree(TTreeKind kind);
    TShellTreeModel& ActiveTree() { return Tree(fKind); }
    TFolderTreeView* View(TTreeKind kind) const;
    TFolderTreeView* ActiveView() const { return View(fKind); }
    // True while one of the trees has the keyboard focus.
    bool HasFocusInside() const;

    // Loaders and the temporary folder for archive nodes.
    void SetArchiveEnv(const TArchiveEnv& env);
    void SetOptions(const TShellTreeOptions& options);

    // A tree's node was chosen: the window shows its place; false refuses.
    std::function<bool(const TTreePlace&)> OnNavigate;
    // A tree's key asked for a window command.
    std::function<void(TTreeKind, int request)> OnRequest;
    // A button of the category tool bar (under the caption while the
    // category tree is shown) was pressed.
    std::function<void(TCategoryButton)> OnCategoryButton;
    QToolBar* CategoryToolBar() const { return fCategoryBar; }

private:
    struct TTree {
        std::unique_ptr<TShellTreeModel> Logic;
        std::unique_ptr<TShellTreeItemModel> Items;
        TFolderTreeView* View = nullptr;
    };
    static size_t Slot(TTreeKind kind);

    TTreeKind fKind = TTreeKind::tkFolder;
    QLabel* fCaption = nullptr;
    QToolBar* fCategoryBar = nullptr;
    QStackedWidget* fStack = nullptr;
    std::array<TTree, 4> fTrees;
};
