#pragma once

// The tree widget of the browser's left pane (tvFolder, tvShelf, tvMedia,
// tvCategory: the window names them). It shows a TShellTreeItemModel, hands
// the user's selections and expansions to the tree's logic, follows the
// selections and expansions the logic makes itself, and reports the keys of
// the window's commands as requests. User-interface thread.

#include <QTreeView>
#include <cstdint>
#include <functional>

#include "shellviews/ui/DropFeedback.h"

class QDropEvent;

class TShellTreeItemModel;
class TTreeNode;

// What a key asks of the window.
enum class TTreeRequest : uint8_t {
    trParent,      // Backspace: select the parent
    trRename,      // F2
    trRefresh,     // F5
    trDelete,      // Delete
    trProperties,  // Alt+Enter
};

class TFolderTreeView : public QTreeView {
public:
    explicit TFolderTreeView(QWidget* parent = nullptr);

    // The model is not owned and must outlive its use here.
    void SetTreeModel(TShellTreeItemModel* model);
    TShellTreeItemModel* TreeModel() const { return fModel; }
    const TTreeNode* CurrentNode() const;
    // Starts editing the current node's name; false when it may not be
    // renamed.
    bool StartRename();

    // The window answers the requests; without a handler Backspace, F2 and
    // F5 do their work here and the others do nothing.
    std::function<void(TTreeRequest)> OnRequest;
    // The tree took a node the user selected (the file list shows it).
    std::function<void(const TTreeNode*)> OnSelected;
    // The pointer left the current node far enough with a button held.
    std::function<void(const TTreeNode*)> OnStartDrag;
    // A drag over node (null below the last node): the action a drop would
    // take, Qt::IgnoreAction to refuse; with drop true it happens now.
    std::function<Qt::DropAction(const QDropEvent& event, const TTreeNode* node, bool drop)> OnDrop;
    // True for a drag that reorders the tree's own nodes: it shows an
    // insertion marker between the nodes instead of a highlight, and opens
    // nothing it rests on.
    std::function<bool(const QDropEvent& event)> IsReorder;
    // The marker's height in the viewport while a reorder drag may drop:
    // the top edge of the node it goes before, or the bottom edge of the
    // last node when it goes to the end; -1 without one.
    int ReorderMarker() const { return fMarker; }
    // A drag over the tree highlights the node that would take it; a
    // closed node it rests on opens.
    const TDropFeedback& DropFeedback() const { return fDropFeedback; }
    TDropFeedback& DropFeedback() { return fDropFeedback; }

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void startDrag(Qt::DropActions supportedActions) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dragLeaveEvent(QDragLeaveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void drawRow(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    void paintEvent(QPaintEvent* event) override;

private:
    void SetMarker(int y);
    void CurrentChanged(const QModelIndex& current);
    // Shows the tree's own selection without telling the tree.
    void Follow(const QModelIndex& index);
    void FollowSelection();
    void Request(TTreeRequest request);
    Qt::DropAction AnswerDrag(const QDropEvent& event, bool drop);
    void OpenRested(const QModelIndex& index);

    TShellTreeItemModel* fModel = nullptr;
    // Above zero while the view follows the tree (or the model moves rows),
    // so that what Qt does meanwhile is not taken for the user's doing.
    int fFollowing = 0;
    int fMarker = -1;
    TDropFeedback fDropFeedback{*this, [this](const QModelIndex& index) { OpenRested(index); }};
};
