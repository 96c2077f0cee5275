#include "shellviews/ui/ArchiveListView.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <algorithm>

#include "shellviews/ui/ArchiveListItemModel.h"
#include "shellviews/ui/FileListView.h"

TArchiveListView::TArchiveListView(QWidget* parent) : QTreeView(parent)
{
    SetUpReportView(*this);
    // The drag itself is the window's; the view only arms it and accepts
    // what the window says it would take.
    setDragEnabled(true);
    setAcceptDrops(true);
    // Drags arrive at the rows' widget, which must take them itself.
    viewport()->setAcceptDrops(true);
    setDragDropMode(QAbstractItemView::DragDrop);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    connect(header(), &QHeaderView::sectionClicked, this, [this](int section) {
        if (fModel)
            fModel->List().ClickColumn(section);
        ShowSortIndicator();
    });
    connect(header(), &QHeaderView::sectionResized, this, [this](int, int, int) {
        if (!fModel || fFollowing)
            return;
        std::vector<int> widths;
        for (int i = 0; i < header()->count(); ++i)
            widths.push_back(header()->isSectionHidden(i) ? 0 : header()->sectionSize(i));
        fModel->List().SetColumnWidths(std::move(widths));
    });
    connect(this, &QAbstractItemView::doubleClicked, this, [this](const QModelIndex& index) {
        if (index.isValid())
            Open();
    });
}

void TArchiveListView::SetListModel(TArchiveListItemModel* model)
{
    if (fModel) {
        disconnect(fModel, nullptr, this, nullptr);
        fModel->OnSelectionChanged = nullptr;
    }
    fModel = model;
    setModel(model);
    if (!model)
        return;
    model->OnSelectionChanged = [this] { FollowSelection(); };
    // While rows go Qt clears the selection itself; the logic has its own
    // and hands it over once the reset is done.
    connect(model, &QAbstractItemModel::modelAboutToBeReset, this, [this] { ++fFollowing; });
    connect(model, &QAbstractItemModel::modelReset, this, [this] { --fFollowing; });
    connect(selectionModel(), &QItemSelectionModel::selectionChanged, this,
            [this](const QItemSelection&, const QItemSelection&) { HandOverSelection(); });
    connect(selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex&, const QModelIndex&) { HandOverSelection(); });
    ApplyColumns();
    FollowSelection();
}

void TArchiveListView::ApplyColumns()
{
    ++fFollowing;
    const std::vector<TArchiverListColumnInfo> columns = fModel->List().Columns();
    for (int i = 0; i < static_cast<int>(columns.size()); ++i) {
        const int width = columns[static_cast<size_t>(i)].Width;
        header()->setSectionHidden(i, width == 0);
        if (width > 0)
            header()->resizeSection(i, width);
    }
    --fFollowing;
}

void TArchiveListView::ShowSortIndicator()
{
    if (fModel)
        ::ShowSortIndicator(*this, fModel->List().SortOrder());
}

void TArchiveListView::FollowSelection()
{
    if (!fModel || !selectionModel())
        return;
    ++fFollowing;
    const TListSelection& selection = fModel->List().Selection();
    QItemSelection rows;
    for (int row : selection.Selected)
        rows.select(fModel->index(row, 0), fModel->index(row, fModel->columnCount() - 1));
    selectionModel()->select(rows, QItemSelectionModel::ClearAndSelect);
    const QModelIndex current = selection.Focused >= 0 ? fModel->index(selection.Focused, 0) : QModelIndex();
    selectionModel()->setCurrentIndex(current, QItemSelectionModel::NoUpdate);
    if (current.isValid())
        scrollTo(current);
    ShowSortIndicator();
    --fFollowing;
}

void TArchiveListView::HandOverSelection()
{
    if (!fModel || fFollowing)
        return;
    TListSelection selection;
    for (const QModelIndex& index : selectionModel()->selectedRows())
        selection.Selected.push_back(index.row());
    const QModelIndex current = selectionModel()->currentIndex();
    selection.Focused = current.isValid() ? current.row() : -1;
    fModel->List().Select(std::move(selection), fModel);
}

void TArchiveListView::Open()
{
    if (!fModel || (OnCanOpen && !OnCanOpen()))
        return;
    fModel->List().OpenSelected();
}

void TArchiveListView::keyPressEvent(QKeyEvent* event)
{
    if (fModel && event->modifiers() == Qt::NoModifier) {
        switch (event->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
            Open();
            return;
        case Qt::Key_Backspace:
            fModel->List().GoUp();
            return;
        default:
            break;
        }
    }
    QTreeView::keyPressEvent(event);
}

void TArchiveListView::keyboardSearch(const QString& search)
{
    if (!fModel || search.isEmpty())
        return;
    // Qt gathers the typed letters and restarts after a pause; the logic
    // finds the first row from the current one whose name begins with them.
    const int start = std::max(0, currentIndex().row());
    const int row = fModel->List().FindByPrefix(search.toStdString(), start, true);
    if (row < 0)
        return;
    fModel->List().Select({row, {row}});
}

void TArchiveListView::startDrag(Qt::DropActions supportedActions)
{
    (void)supportedActions;
    if (Drops.OnStartDrag)
        Drops.OnStartDrag();
}

void TArchiveListView::dragEnterEvent(QDragEnterEvent* event)
{
    AnswerDragOver(Drops, *this, *event);
}

void TArchiveListView::dragMoveEvent(QDragMoveEvent* event)
{
    // The base scrolls near the edges; the window's answer decides the rest.
    QTreeView::dragMoveEvent(event);
    AnswerDragOver(Drops, *this, *event);
}

void TArchiveListView::dropEvent(QDropEvent* event)
{
    stopAutoScroll();
    setState(QAbstractItemView::NoState);
    AnswerDrop(Drops, *this, *event);
    viewport()->update();
}
