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
    painter.setPen(QPen(ToQColor(fOptions.Color), 1));
    for (int x : lines.Vertical)
        painter.drawLine(x, 0, x, height() - 1);
    for (int y : lines.Horizontal)
        painter.drawLine(0, y, width() - 1, y);
    // The centre line over the others: the joint of a spread.
    painter.setPen(QPen(ToQColor(fOptions.Center), 1));
    painter.drawLine(lines.Center, 0, lines.Center, height() - 1);
}
