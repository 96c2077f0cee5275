#pragma once

// The archive list widget of the browser (lvArchive): a report-style list
// over a TArchiveListItemModel. A header click is a column click of the
// logic (its sort cycle), the sort indicator follows the logic's order, the
// user's selection goes to the logic and the logic's comes back, a double
// click or Enter opens the selected row, Backspace goes up, and typed letters
// find a row by its name. What the window must do next comes back through
// the logic's hooks. User-interface thread.

#include <QTreeView>
#include <functional>

#include "shellviews/ui/ViewDrops.h"

class TArchiveListItemModel;

class TArchiveListView : public QTreeView {
public:
    explicit TArchiveListView(QWidget* parent = nullptr);

    // The model is not owned and must outlive its use here.
    void SetListModel(TArchiveListItemModel* model);
    TArchiveListItemModel* ListModel() const { return fModel; }

    // Shows the logic's selection and sort order (also after a new model).
    void FollowSelection();

    // Before Enter or a double click opens a row; false keeps it closed (a
    // catalogued disc that is not inserted).
    std::function<bool()> OnCanOpen;

    // Typed letters: the logic finds the row.
    void keyboardSearch(const QString& search) override;

    // Dragging the selection out, and drops onto the rows.
    TViewDropHooks Drops;

protected:
    void startDrag(Qt::DropActions supportedActions) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void ApplyColumns();
    void ShowSortIndicator();
    void HandOverSelection();
    void Open();

    TArchiveListItemModel* fModel = nullptr;
    // Above zero while the view shows the logic's state, so that what Qt
    // reports meanwhile is not taken for the user's doing.
    int fFollowing = 0;
};
