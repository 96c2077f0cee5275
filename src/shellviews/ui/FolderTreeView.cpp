#include "shellviews/ui/FolderTreeView.h"

#include <QDropEvent>
#include <QKeyEvent>
#include <QPainter>
#include <QPen>

#include "shellviews/ui/ShellTreeItemModel.h"

TFolderTreeView::TFolderTreeView(QWidget* parent) : QTreeView(parent)
{
    setHeaderHidden(true);
    setUniformRowHeights(true);
    // Renaming starts through the window's command (F2 by default).
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setDragEnabled(true);
    setAcceptDrops(true);
    // Drags arrive at the rows' widget, which must take them itself.
    viewport()->setAcceptDrops(true);
    setDragDropMode(QAbstractItemView::DragDrop);
    // The drop feedback opens the nodes a drag rests on; a drag near an
    // edge scrolls.
    setAutoExpandDelay(-1);
    setAutoScrollMargin(2 * fontMetrics().height());
}

void TFolderTreeView::SetTreeModel(TShellTreeItemModel* model)
{
    if (fModel) {
        disconnect(fModel, nullptr, this, nullptr);
        fModel->OnSelect = nullptr;
        fModel->OnExpand = nullptr;
    }
    fModel = model;
    if (!model) {
        setModel(nullptr);
        return;
    }
    // Connected before the selection model exists: while rows go, Qt moves
    // the current index itself, and the tree has moved its selection already.
    const auto hold = [this] { ++fFollowing; };
    const auto release = [this] {
        --fFollowing;
        FollowSelection();
    };
    connect(model, &QAbstractItemModel::rowsAboutToBeRemoved, this, hold);
    connect(model, &QAbstractItemModel::rowsRemoved, this, release);
    connect(model, &QAbstractItemModel::modelAboutToBeReset, this, hold);
    connect(model, &QAbstractItemModel::modelReset, this, release);
    connect(model, &QAbstractItemModel::layoutAboutToBeChanged, this, hold);
    connect(model, &QAbstractItemModel::layoutChanged, this, release);
    setModel(model);

    model->OnSelect = [this](const QModelIndex& index) { Follow(index); };
    model->OnExpand = [this](const QModelIndex& index, bool expand) {
        ++fFollowing;
        setExpanded(index, expand);
        --fFollowing;
    };
    connect(selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex& current, const QModelIndex&) { CurrentChanged(current); });
    connect(this, &QTreeView::expanded, this, [this](const QModelIndex& index) {
        if (!fFollowing)
            fModel->Tree().SetExpanded(fModel->NodeAt(index), true);
    });
    connect(this, &QTreeView::collapsed, this, [this](const QModelIndex& index) {
        if (!fFollowing)
            fModel->Tree().SetExpanded(fModel->NodeAt(index), false);
    });

    // What the tree built before the view came.
    for (int row = 0; row < model->rowCount(); ++row) {
        const QModelIndex top = model->index(row, 0);
        if (const TTreeNode* node = model->NodeAt(top); node && node->Expanded()) {
            ++fFollowing;
            expand(top);
            --fFollowing;
        }
    }
    FollowSelection();
}

const TTreeNode* TFolderTreeView::CurrentNode() const
{
    return fModel ? fModel->NodeAt(currentIndex()) : nullptr;
}

bool TFolderTreeView::StartRename()
{
    const QModelIndex current = currentIndex();
    if (!fModel || !fModel->Tree().CanRename(fModel->NodeAt(current)))
        return false;
    edit(current);
    return true;
}

void TFolderTreeView::Follow(const QModelIndex& index)
{
    ++fFollowing;
    if (!index.isValid()) {
        selectionModel()->clear();
    } else if (index != currentIndex() || !selectionModel()->isSelected(index)) {
        // Only a move of the selection scrolls: changes elsewhere in the
        // tree leave the user's scrolling alone.
        selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect);
        scrollTo(index);
    }
    --fFollowing;
}

void TFolderTreeView::FollowSelection()
{
    if (fModel && fFollowing == 0)
        Follow(fModel->IndexOf(fModel->Tree().Selected()));
}

void TFolderTreeView::CurrentChanged(const QModelIndex& current)
{
    if (fFollowing || !fModel)
        return;
    const TTreeNode* node = fModel->NodeAt(current);
    if (!node)
        return;
    // A refusal makes the tree select its previous node again, which the
    // view follows.
    if (fModel->Tree().Select(node) && OnSelected)
        OnSelected(node);
}

void TFolderTreeView::Request(TTreeRequest request)
{
    if (OnRequest) {
        OnRequest(request);
        return;
    }
    if (!fModel)
        return;
    switch (request) {
    case TTreeRequest::trParent:
        fModel->Tree().SelectParent();
        break;
    case TTreeRequest::trRename:
        StartRename();
        break;
    case TTreeRequest::trRefresh:
        fModel->Tree().Refresh(CurrentNode());
        break;
    default:
        break;
    }
}

void TFolderTreeView::keyPressEvent(QKeyEvent* event)
{
    // While a name is edited the editor has the keys.
    if (state() == QAbstractItemView::EditingState) {
        QTreeView::keyPressEvent(event);
        return;
    }
    const Qt::KeyboardModifiers modifiers = event->modifiers() & ~Qt::KeypadModifier;
    const int key = event->key();
    if (modifiers == Qt::NoModifier && key == Qt::Key_Backspace)
        Request(TTreeRequest::trParent);
    else if (modifiers == Qt::NoModifier && key == Qt::Key_F2)
        Request(TTreeRequest::trRename);
    else if (modifiers == Qt::NoModifier && key == Qt::Key_F5)
        Request(TTreeRequest::trRefresh);
    else if (modifiers == Qt::NoModifier && key == Qt::Key_Delete)
        Request(TTreeRequest::trDelete);
    else if (modifiers == Qt::AltModifier && (key == Qt::Key_Return || key == Qt::Key_Enter))
        Request(TTreeRequest::trProperties);
    else {
        QTreeView::keyPressEvent(event);
        return;
    }
    event->accept();
}

void TFolderTreeView::startDrag(Qt::DropActions supportedActions)
{
    (void)supportedActions;
    if (OnStartDrag && CurrentNode())
        OnStartDrag(CurrentNode());
}

Qt::DropAction TFolderTreeView::AnswerDrag(const QDropEvent& event, bool drop)
{
    if (!OnDrop || !fModel)
        return Qt::IgnoreAction;
    const QModelIndex index = indexAt(event.position().toPoint());
    return OnDrop(event, index.isValid() ? fModel->NodeAt(index) : nullptr, drop);
}

void TFolderTreeView::dragEnterEvent(QDragEnterEvent* event)
{
    QTreeView::dragEnterEvent(event);
    dragMoveEvent(event);
    // A drag the tree refuses on entering goes on to the window: the tree
    // hears no more of it, not even its leaving.
    if (!event->isAccepted())
        fDropFeedback.Leave();
}

void TFolderTreeView::dragMoveEvent(QDragMoveEvent* event)
{
    // The base scrolls near the edges.
    QTreeView::dragMoveEvent(event);
    const Qt::DropAction action = AnswerDrag(*event, false);
    const QModelIndex index = indexAt(event->position().toPoint());
    if (IsReorder && IsReorder(*event)) {
        fDropFeedback.Leave();
        int y = -1;
        if (action != Qt::IgnoreAction) {
            if (index.isValid())
                y = visualRect(index).top();
            else {
                // Below the last node: under the last one shown.
                QModelIndex last = model()->index(model()->rowCount() - 1, 0);
                while (last.isValid() && isExpanded(last) && model()->rowCount(last) > 0)
                    last = model()->index(model()->rowCount(last) - 1, 0, last);
                y = last.isValid() ? visualRect(last).bottom() + 1 : -1;
            }
        }
        SetMarker(y);
    } else {
        SetMarker(-1);
        // A node that takes the drop takes it itself.
        fDropFeedback.Over(index, action != Qt::IgnoreAction && index.isValid());
    }
    if (action == Qt::IgnoreAction) {
        event->ignore();
        return;
    }
    event->setDropAction(action);
    event->accept();
}

void TFolderTreeView::dragLeaveEvent(QDragLeaveEvent* event)
{
    QTreeView::dragLeaveEvent(event);
    SetMarker(-1);
    fDropFeedback.Leave();
}

void TFolderTreeView::OpenRested(const QModelIndex& index)
{
    if (isExpanded(index))
        return;
    if (model()->canFetchMore(index))
        model()->fetchMore(index);
    if (model()->hasChildren(index))
        expand(index);
}

void TFolderTreeView::drawRow(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    QTreeView::drawRow(painter, option, index);
    fDropFeedback.DrawRow(*painter, option.rect, index);
}

void TFolderTreeView::SetMarker(int y)
{
    if (y == fMarker)
        return;
    fMarker = y;
    viewport()->update();
}

void TFolderTreeView::paintEvent(QPaintEvent* event)
{
    QTreeView::paintEvent(event);
    if (fMarker < 0)
        return;
    // The insertion marker: a line across the rows with a short tick at
    // each end, inverting what lies under it so it shows on any colours.
    QPainter painter(viewport());
    painter.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
    painter.setPen(QPen(Qt::white, 2));
    const int left = 0;
    const int right = viewport()->width();
    painter.drawLine(left + 6, fMarker, right - 7, fMarker);
    painter.drawLine(left + 5, fMarker - 3, left + 5, fMarker + 3);
    painter.drawLine(right - 5, fMarker - 3, right - 5, fMarker + 3);
}

void TFolderTreeView::dropEvent(QDropEvent* event)
{
    stopAutoScroll();
    setState(QAbstractItemView::NoState);
    SetMarker(-1);
    fDropFeedback.Leave();
    const Qt::DropAction action = AnswerDrag(*event, true);
    if (action == Qt::IgnoreAction)
        event->ignore();
    else {
        event->setDropAction(action);
        event->accept();
    }
    viewport()->update();
}
