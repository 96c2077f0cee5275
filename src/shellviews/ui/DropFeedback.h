#pragma once

// The drop feedback of an item view: while a drag is over it, the row a
// drop would go into is highlighted, and the row the drag rests on for
// DropExpandDelayMs is handed to a handler (the tree opens it). The view
// calls Over and Leave from its drag events and paints with DrawRow.
// User-interface thread.

#include <QPersistentModelIndex>
#include <QTimer>

#include <functional>

#include "shellviews/DropHover.h"

class QAbstractItemView;
class QPainter;
class QRect;

class TDropFeedback {
public:
    // view must outlive the feedback; rested may be empty (rows never open).
    TDropFeedback(QAbstractItemView& view, std::function<void(const QModelIndex&)> rested);

    // The drag is over index (invalid over empty space); target: a drop
    // there goes into that row.
    void Over(const QModelIndex& index, bool target);
    void Leave();
    // Paints the highlight over a row the view has just drawn.
    void DrawRow(QPainter& painter, const QRect& rect, const QModelIndex& index) const;
    bool Highlighted(const QModelIndex& index) const;

    // The resting time: running while the drag is over a row. Rest does
    // what its timeout does (tests call it instead of waiting).
    const QTimer& Timer() const { return fTimer; }
    void Rest();

private:
    void Apply(const TDropHover<QPersistentModelIndex>::TChange& change);

    QAbstractItemView& fView;
    std::function<void(const QModelIndex&)> fRested;
    TDropHover<QPersistentModelIndex> fHover;
    QTimer fTimer;
};
