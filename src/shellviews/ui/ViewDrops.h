#pragma once

// The drag and drop hooks of the browser's item views. A view only notices
// that a drag of its selection should start, and asks what a drag over one
// of its rows would do; the window decides and does the work, so the views
// know nothing of files, shelves or the file commands. User-interface
// thread.

#include <QAbstractItemView>
#include <QDropEvent>

#include <functional>

struct TViewDropHooks {
    // The pointer moved far enough with a button held on a selected row.
    std::function<void()> OnStartDrag;
    // A drag over row (-1 for empty space): the action it would take, or
    // Qt::IgnoreAction to refuse. With drop true the drop happens now.
    std::function<Qt::DropAction(const QDropEvent& event, int row, bool drop)> OnDrop;
    // Does a drop over row go into that row's item (a folder, a shelf)
    // rather than into what the list shows? Such a row is highlighted while
    // a drag it would take is over it.
    std::function<bool(int row)> DropsIntoRow;
};

// Answers a drag-enter or drag-move event through the hook; without one the
// event is ignored and goes on to the window (files from other programs are
// opened there). Answers the action.
inline Qt::DropAction AnswerDragOver(const TViewDropHooks& hooks, QAbstractItemView& view, QDragMoveEvent& event)
{
    const int row = view.indexAt(event.position().toPoint()).row();
    const Qt::DropAction action = hooks.OnDrop ? hooks.OnDrop(event, row, false) : Qt::IgnoreAction;
    if (action == Qt::IgnoreAction) {
        event.ignore();
        return action;
    }
    event.setDropAction(action);
    event.accept();
    return action;
}

// Is the row under the pointer the one a drop with action would go into?
inline bool DropGoesIntoRow(const TViewDropHooks& hooks, const QModelIndex& index, Qt::DropAction action)
{
    return action != Qt::IgnoreAction && index.isValid() && hooks.DropsIntoRow && hooks.DropsIntoRow(index.row());
}

inline void AnswerDrop(const TViewDropHooks& hooks, QAbstractItemView& view, QDropEvent& event)
{
    const int row = view.indexAt(event.position().toPoint()).row();
    const Qt::DropAction action = hooks.OnDrop ? hooks.OnDrop(event, row, true) : Qt::IgnoreAction;
    if (action == Qt::IgnoreAction) {
        event.ignore();
        return;
    }
    event.setDropAction(action);
    event.accept();
}
