#include "shellviews/ui/DropFeedback.h"

#include <QAbstractItemView>
#include <QPainter>

namespace {

// Rows are highlighted whole, whichever column the pointer is over.
std::optional<QPersistentModelIndex> RowOf(const QModelIndex& index)
{
    if (!index.isValid())
        return std::nullopt;
    return QPersistentModelIndex(index.siblingAtColumn(0));
}

}  // namespace

TDropFeedback::TDropFeedback(QAbstractItemView& view, std::function<void(const QModelIndex&)> rested)
    : fView(view), fRested(std::move(rested))
{
    fTimer.setInterval(DropExpandDelayMs);
    QObject::connect(&fTimer, &QTimer::timeout, &view, [this] { Rest(); });
}

void TDropFeedback::Over(const QModelIndex& index, bool target)
{
    Apply(fHover.Over(RowOf(index), target));
}

void TDropFeedback::Leave()
{
    Apply(fHover.Leave());
}

void TDropFeedback::Apply(const TDropHover<QPersistentModelIndex>::TChange& change)
{
    if (change.StopTimer)
        fTimer.stop();
    if (change.RestartTimer && fRested)
        fTimer.start();
    if (change.Repaint)
        fView.viewport()->update();
}

void TDropFeedback::Rest()
{
    // A row removed meanwhile (the folder went) leaves an invalid index.
    const std::optional<QPersistentModelIndex>& rested = fHover.Rested();
    if (rested && rested->isValid() && fRested)
        fRested(*rested);
}

bool TDropFeedback::Highlighted(const QModelIndex& index) const
{
    const std::optional<QPersistentModelIndex>& row = fHover.Highlighted();
    return row && row->isValid() && index.isValid() && *row == index.siblingAtColumn(0);
}

void TDropFeedback::DrawRow(QPainter& painter, const QRect& rect, const QModelIndex& index) const
{
    if (!Highlighted(index))
        return;
    const QColor highlight = fView.palette().color(QPalette::Highlight);
    QColor fill = highlight;
    fill.setAlpha(80);
    painter.save();
    painter.fillRect(rect, fill);
    painter.setPen(highlight);
    painter.drawRect(rect.adjusted(0, 0, -1, -1));
    painter.restore();
}
