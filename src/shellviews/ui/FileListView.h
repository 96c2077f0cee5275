#pragma once

// The browser's file list widget (lvFile): a report-style list over a
// TFileListItemModel. A header click goes to the list's sort cycle and the
// header shows the list's sort order; the user's selection goes to the list
// and the list's own selection (kept across a re-sort or a refresh) comes
// back; a double click or Enter opens the current row through the list and
// hands the answer to the window; typed letters find a row by its name.
// User-interface thread.

#include <QTreeView>
#include <functional>

#include "shellviews/ui/DropFeedback.h"
#include "shellviews/ui/ViewDrops.h"

#include "shellviews/ShellList.h"

#include "shellviews/SortList.h"

class TFileListItemModel;

// What both lists look like: rows of columns without a tree, the whole row
// selected, several rows at a time, the header reporting clicks to the
// list's own sort and showing its order.
void SetUpReportView(QTreeView& view);
// Shows the list's sort order on the header: none for an unsorted list.
void ShowSortIndicator(QTreeView& view, const TSortOrder& order);

class TFileListView : public QTreeView {
public:
    explicit TFileListView(QWidget* parent = nullptr);

    // The model is not owned and must outlive its use here.
    void SetListModel(TFileListItemModel* model);
    TFileListItemModel* ListModel() const { return fModel; }

    // What opening a row means; the window does the rest.
    std::function<void(const TOpenResult&)> OnOpen;
    // A mouse operation over row (-1 for none), with the buttons and keys
    // held: code 0 left click, 1 left double click, 4 and 5 the wheel
    // button's, 6 to 9 the extension buttons'. The handler decides what the
    // operation does and answers true when it did something; while one is
    // set, a double click does only what it decides, and the wheel and
    // extension buttons no longer select on their own.
    std::function<bool(int code, Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers, int row)> OnMouse;
    // The current row before the last button press: the anchor a selection
    // click extends from.
    int PressAnchor() const { return fPressAnchor; }
    // Opens a row as a double click does without a handler.
    void OpenRow(int row);

    void keyboardSearch(const QString& search) override;

    // Dragging the selection out, and drops onto the rows.
    TViewDropHooks Drops;
    const TDropFeedback& DropFeedback() const { return fDropFeedback; }

protected:
    void startDrag(Qt::DropActions supportedActions) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dragLeaveEvent(QDragLeaveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void drawRow(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    int RowAt(const QMouseEvent& event) const;
    void ApplyColumns();
    void ShowSortOrder();
    // Shows the list's selection without telling the list.
    void FollowSelection();
    void SelectionChanged();

    void ShowDragOver(QDragMoveEvent& event);

    TFileListItemModel* fModel = nullptr;
    // The list's rows do not open: no resting handler.
    TDropFeedback fDropFeedback{*this, nullptr};
    // Above zero while the view follows the list, so that what Qt does
    // meanwhile is not taken for the user's doing.
    int fFollowing = 0;
    // Above zero while the view sets the widths itself.
    int fApplyingColumns = 0;
    int fPressAnchor = -1;
    // The button whose release is a click; none after a double click.
    Qt::MouseButton fClickButton = Qt::NoButton;
};
