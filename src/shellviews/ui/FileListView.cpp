#include "shellviews/ui/FileListView.h"

#include <QHeaderView>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QMouseEvent>

#include "shellviews/ui/FileListItemModel.h"

void SetUpReportView(QTreeView& view)
{
    view.setRootIsDecorated(false);
    view.setItemsExpandable(false);
    view.setUniformRowHeights(true);
    view.setAllColumnsShowFocus(true);
    view.setSelectionMode(QAbstractItemView::ExtendedSelection);
    view.setSelectionBehavior(QAbstractItemView::SelectRows);
    // The logic sorts; the header only reports clicks and shows the order.
    view.setSortingEnabled(false);
    view.header()->setSectionsClickable(true);
    view.header()->setSortIndicatorShown(true);
    view.header()->setStretchLastSection(false);
}

TFileListView::TFileListView(QWidget* parent) : QTreeView(parent)
{
    SetUpReportView(*this);
    // The drag itself is the window's; the view only arms it and accepts
    // what the window says it would take.
    setDragEnabled(true);
    setAcceptDrops(true);
    // Drags arrive at the rows' widget, which must take them itself.
    viewport()->setAcceptDrops(true);
    setDragDropMode(QAbstractItemView::DragDrop);
    // A drag near an edge scrolls the rows.
    setAutoScrollMargin(2 * fontMetrics().height());
    setEditTriggers(QAbstractItemView::EditKeyPressed | QAbstractItemView::SelectedClicked);
    connect(header(), &QHeaderView::sectionClicked, this, [this](int section) {
        if (fModel)
            fModel->List().ColumnClick(section);
        // Qt moves the indicator on its own; the list's order decides.
        ShowSortOrder();
    });
    // Widths the user drags are kept by the list for the kind of content
    // shown, so each kind comes back as it was left, also in the next run.
    connect(header(), &QHeaderView::sectionResized, this, [this](int, int, int) {
        if (!fModel || fApplyingColumns > 0)
            return;
        TShellListModel& list = fModel->List();
        if (header()->count() != static_cast<int>(list.Columns().size()))
            return;
        std::vector<int> widths;
        for (int i = 0; i < header()->count(); ++i)
            widths.push_back(header()->isSectionHidden(i) ? 0 : header()->sectionSize(i));
        list.SetColumnWidths(ListGroupOf(list.Content()), std::move(widths));
    });
    connect(this, &QAbstractItemView::doubleClicked, this, [this](const QModelIndex& index) {
        if (index.isValid())
            OpenRow(index.row());
    });
}

void TFileListView::SetListModel(TFileListItemModel* model)
{
    if (fModel) {
        fModel->OnSelection = nullptr;
        fModel->OnSortOrder = nullptr;
        disconnect(fModel, nullptr, this, nullptr);
    }
    fModel = model;
    setModel(model);
    if (!model)
        return;
    model->OnSelection = [this] { FollowSelection(); };
    model->OnSortOrder = [this] { ShowSortOrder(); };
    // While a new listing comes the header gives its sections sizes of its
    // own; those are not the user's and are not kept.
    connect(model, &QAbstractItemModel::modelAboutToBeReset, this, [this] { ++fApplyingColumns; });
    connect(model, &QAbstractItemModel::modelReset, this, [this] {
        --fApplyingColumns;
        ApplyColumns();
    });
    connect(selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] { SelectionChanged(); });
    connect(selectionModel(), &QItemSelectionModel::currentChanged, this, [this] { SelectionChanged(); });
    ApplyColumns();
    FollowSelection();
}

void TFileListView::ApplyColumns()
{
    if (!fModel)
        return;
    // Widths in "X" units of the list's font, unless the window saved
    // widths for this content's group (0 hides a column).
    TShellListModel& list = fModel->List();
    ++fApplyingColumns;
    const std::vector<int> saved = list.ColumnWidths(ListGroupOf(list.Content()));
    const int x = fontMetrics().horizontalAdvance(QLatin1Char('X'));
    const auto& columns = list.Columns();
    for (size_t i = 0; i < columns.size(); ++i) {
        const int column = static_cast<int>(i);
        const int width = i < saved.size() ? saved[i] : columns[i].Width * x;
        setColumnHidden(column, width == 0);
        if (width > 0)
            setColumnWidth(column, width);
    }
    --fApplyingColumns;
    ShowSortOrder();
}

void ShowSortIndicator(QTreeView& view, const TSortOrder& order)
{
    if (order.Index < 0 || order.Dir == TSortDir::sdNone)
        view.header()->setSortIndicator(-1, Qt::AscendingOrder);
    else
        view.header()->setSortIndicator(order.Index,
                                        order.Dir == TSortDir::sdDesc ? Qt::DescendingOrder : Qt::AscendingOrder);
}

void TFileListView::ShowSortOrder()
{
    if (fModel)
        ShowSortIndicator(*this, fModel->List().SortOrder());
}

void TFileListView::FollowSelection()
{
    // Not while the view itself hands its selection to the list.
    if (!fModel || !selectionModel() || fFollowing > 0)
        return;
    ++fFollowing;
    const TListSelection& selection = fModel->List().Selection();
    QItemSelection items;
    const int last = fModel->columnCount() - 1;
    for (int row : selection.Selected)
        items.select(fModel->index(row, 0), fModel->index(row, std::max(last, 0)));
    selectionModel()->select(items, QItemSelectionModel::ClearAndSelect);
    const QModelIndex focus = selection.Focused >= 0 ? fModel->index(selection.Focused, 0) : QModelIndex();
    selectionModel()->setCurrentIndex(focus, QItemSelectionModel::NoUpdate);
    if (focus.isValid())
        scrollTo(focus);
    --fFollowing;
}

void TFileListView::SelectionChanged()
{
    if (!fModel || fFollowing > 0)
        return;
    TListSelection selection;
    selection.Focused = currentIndex().isValid() ? currentIndex().row() : -1;
    for (const QModelIndex& index : selectionModel()->selectedRows())
        selection.Selected.push_back(index.row());
    ++fFollowing;
    fModel->List().Select(selection);
    --fFollowing;
}

void TFileListView::OpenRow(int row)
{
    if (!fModel)
        return;
    const TOpenResult result = fModel->List().Open(row);
    if (OnOpen && result.Kind != TOpenKind::okNothing)
        OnOpen(result);
}

namespace {

// The operation code of a button's click; its double click is one more. -1
// for the buttons the list binds nothing to (the right button opens the
// context menu).
int ListClickCode(Qt::MouseButton button)
{
    switch (button) {
    case Qt::LeftButton: return 0;
    case Qt::MiddleButton: return 4;
    case Qt::XButton1: return 6;
    case Qt::XButton2: return 8;
    default: return -1;
    }
}

}  // namespace

int TFileListView::RowAt(const QMouseEvent& event) const
{
    const QModelIndex index = indexAt(event.position().toPoint());
    return index.isValid() ? index.row() : -1;
}

void TFileListView::mousePressEvent(QMouseEvent* event)
{
    fPressAnchor = currentIndex().isValid() ? currentIndex().row() : -1;
    fClickButton = event->buttons() == event->button() ? event->button() : Qt::NoButton;
    const bool bound = event->button() != Qt::LeftButton && ListClickCode(event->button()) >= 0;
    if (OnMouse && bound) {
        setFocus(Qt::MouseFocusReason);
        event->accept();
        return;
    }
    QTreeView::mousePressEvent(event);
}

void TFileListView::mouseReleaseEvent(QMouseEvent* event)
{
    QTreeView::mouseReleaseEvent(event);
    if (event->button() != fClickButton)
        return;
    fClickButton = Qt::NoButton;
    const int code = ListClickCode(event->button());
    if (OnMouse && code >= 0 && state() != EditingState)
        OnMouse(code, event->buttons(), event->modifiers(), RowAt(*event));
}

void TFileListView::mouseDoubleClickEvent(QMouseEvent* event)
{
    const int code = ListClickCode(event->button());
    if (!OnMouse || code < 0) {
        QTreeView::mouseDoubleClickEvent(event);
        return;
    }
    fClickButton = Qt::NoButton;
    event->accept();
    OnMouse(code + 1, event->buttons(), event->modifiers(), RowAt(*event));
}

void TFileListView::keyPressEvent(QKeyEvent* event)
{
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && state() != EditingState &&
        event->modifiers() == Qt::NoModifier) {
        if (currentIndex().isValid())
            OpenRow(currentIndex().row());
        return;
    }
    QTreeView::keyPressEvent(event);
}

void TFileListView::keyboardSearch(const QString& search)
{
    if (!fModel || search.isEmpty())
        return;
    const int start = currentIndex().isValid() ? currentIndex().row() : 0;
    const int row = fModel->List().Find(search.toStdString(), start);
    if (row >= 0)
        setCurrentIndex(fModel->index(row, 0));
}

void TFileListView::startDrag(Qt::DropActions supportedActions)
{
    (void)supportedActions;
    if (Drops.OnStartDrag)
        Drops.OnStartDrag();
}

void TFileListView::ShowDragOver(QDragMoveEvent& event)
{
    const Qt::DropAction action = AnswerDragOver(Drops, *this, event);
    const QModelIndex index = indexAt(event.position().toPoint());
    fDropFeedback.Over(index, DropGoesIntoRow(Drops, index, action));
}

void TFileListView::dragEnterEvent(QDragEnterEvent* event)
{
    ShowDragOver(*event);
    // Refused on entering, the drag goes on to the window and the list
    // hears no more of it.
    if (!event->isAccepted())
        fDropFeedback.Leave();
}

void TFileListView::dragMoveEvent(QDragMoveEvent* event)
{
    // The base scrolls near the edges; the window's answer decides the rest.
    QTreeView::dragMoveEvent(event);
    ShowDragOver(*event);
}

void TFileListView::dragLeaveEvent(QDragLeaveEvent* event)
{
    QTreeView::dragLeaveEvent(event);
    fDropFeedback.Leave();
}

void TFileListView::dropEvent(QDropEvent* event)
{
    stopAutoScroll();
    setState(QAbstractItemView::NoState);
    fDropFeedback.Leave();
    AnswerDrop(Drops, *this, *event);
    viewport()->update();
}

void TFileListView::drawRow(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    QTreeView::drawRow(painter, option, index);
    fDropFeedback.DrawRow(*painter, option.rect, index);
}
