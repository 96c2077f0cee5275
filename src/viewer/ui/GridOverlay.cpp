#include "viewer/ui/GridOverlay.h"

#include <QEvent>
#include <QPainter>

namespace {

QColor ToQColor(TColor color)
{
    return QColor(ColorRed(color), ColorGreen(color), ColorBlue(color));
}

}  // namespace

TGridOverlay::TGridOverlay(QWidget& area)
    : QWidget(&area)
    , fArea(area)
{
    setObjectName("pbxGrid");
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_NoSystemBackground);
    setFocusPolicy(Qt::NoFocus);
    hide();
    fArea.installEventFilter(this);
}

void TGridOverlay::SetOn(bool on)
{
    fOn = on;
    setGeometry(fArea.rect());
    setVisible(on);
    if (on)
        raise();
}

void TGridOverlay::SetOptions(const TViewGridOptions& options)
{
    fOptions = options;
    update();
}

bool TGridOverlay::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == &fArea) {
        if (event->type() == QEvent::Resize)
            setGeometry(fArea.rect());
        // The lines left out during a drag come back when it ends.
        else if (event->type() == QEvent::MouseButtonRelease && fOn)
            update();
    }
    return false;
}

void TGridOverlay::paintEvent(QPaintEvent*)
{
    if (!fOn || (fDragging && fDragging()))
        return;
    QPainter painter(this);
    const TGridLines lines = GridLines(width(), height(), fOptions.Interval);
    // Each line fills whole pixels of the layout, which a scaled screen
    // covers with whole device pixels: never smeared over a neighbour.
    const QColor color = ToQColor(fOptions.Color);
    for (int x : lines.Vertical)
        painter.fillRect(QRect(x, 0, 1, height()), color);
    for (int y : lines.Horizontal)
        painter.fillRect(QRect(0, y, width(), 1), color);
    // The centre line over the others: the joint of a spread.
    painter.fillRect(QRect(lines.Center, 0, 1, height()), ToQColor(fOptions.Center));
}
