#include "browser/ui/PointerHider.h"

#include <QEvent>
#include <QMouseEvent>
#include <QWidget>

TPointerHider::TPointerHider(QWidget& area, TLinks links) : QObject(&area), fArea(area), fLinks(std::move(links))
{
    fTimer.setSingleShot(true);
    connect(&fTimer, &QTimer::timeout, this, [this] {
        fHiding.TimerFired();
        Apply();
    });
    fArea.installEventFilter(this);
}

TPointerHider::~TPointerHider()
{
    fArea.removeEventFilter(this);
}

void TPointerHider::SetOptions(const TMouseOptions& options)
{
    fHiding.SetOptions(TPointerHideOptions{options.HideCursor, options.HideImage, options.HideFullScreen,
                                           options.HideMotionless, options.MotionlessTime});
    fOn = options.HideCursor;
    // Hiding needs every move over the area, not only those with a button
    // held.
    if (fOn)
        fArea.setMouseTracking(true);
    Apply();
}

void TPointerHider::Start(std::chrono::milliseconds delay)
{
    fTimer.start(static_cast<int>(delay.count()));
}

void TPointerHider::Stop()
{
    fTimer.stop();
}

void TPointerHider::Apply()
{
    // The loupe hides the pointer over the pages itself.
    const bool hide = fHiding.Hidden() && !(fLinks.LoupeOn && fLinks.LoupeOn());
    if (hide && !fBlank) {
        fArea.setCursor(Qt::BlankCursor);
        fBlank = true;
    } else if (!hide && fBlank) {
        // Only the blank pointer set here is taken back; a drag's hand or
        // the loupe's own choice stays.
        if (fArea.cursor().shape() == Qt::BlankCursor && !(fLinks.LoupeOn && fLinks.LoupeOn()))
            fArea.unsetCursor();
        fBlank = false;
    }
}

bool TPointerHider::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != &fArea || !fOn)
        return QObject::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::MouseTrackingChange:
        // The loupe stops tracking when it is switched off; hiding still
        // needs the moves.
        if (!fArea.hasMouseTracking())
            fArea.setMouseTracking(true);
        break;
    case QEvent::MouseMove: {
        const auto* move = static_cast<QMouseEvent*>(event);
        if (fLinks.LoupeOn && fLinks.LoupeOn()) {
            fTimer.stop();
            fBlank = false;  // the loupe has set the pointer its own way
            break;
        }
        if (move->buttons() != Qt::NoButton) {
            // A drag shows the pointer and its hand.
            fHiding.Pressed();
            fTimer.stop();
            Apply();
            break;
        }
        const QPoint global = move->globalPosition().toPoint();
        const QPoint local = move->position().toPoint();
        const bool overPage = fLinks.OverPage && fLinks.OverPage(TPoint{local.x(), local.y()});
        fHiding.Moved(global.x(), global.y(), overPage, fLinks.FullScreen && fLinks.FullScreen());
        Apply();
        break;
    }
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
        fHiding.Pressed();
        Apply();
        break;
    case QEvent::Leave:
        // Off the view the timer has nothing to hide.
        fTimer.stop();
        break;
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}
