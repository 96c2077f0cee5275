#include "viewer/ui/LoupeOverlay.h"

#include <QApplication>
#include <QCursor>
#include <QFocusEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QTimer>

#include "viewer/PageViewer.h"
#include "viewer/ui/BitmapImage.h"

namespace {

QColor ToQColor(TColor color)
{
    return QColor(ColorRed(color), ColorGreen(color), ColorBlue(color));
}

TPoint ToPoint(const QPoint& point)
{
    return TPoint{point.x(), point.y()};
}

}  // namespace

TLoupeOverlay::TLoupeOverlay(QWidget& area, const TPageViewer& viewer, TPageScaler& scaler)
    : QWidget(&area)
    , fArea(area)
    , fViewer(viewer)
    , fScaler(scaler)
{
    setObjectName("Loupe");
    // The loupe never takes a click: the pages under it do.
    setAttribute(Qt::WA_TransparentForMouseEvents);
    // Every pixel of the square is painted, so the area is not painted again
    // beneath it on each move.
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::NoFocus);
    hide();
    fArea.installEventFilter(this);
}

TLoupeOverlay::~TLoupeOverlay()
{
    WatchProgram(false);
}

void TLoupeOverlay::SetOn(bool on)
{
    if (fOn == on)
        return;
    fOn = on;
    fArea.setMouseTracking(on);
    fHeld = false;
    fOutside = false;
    fFocusLost = false;
    if (on && fArea.underMouse())
        fPointer = ToPoint(fArea.mapFromGlobal(QCursor::pos()));
    if (!on)
        Conceal();
    else
        Refresh();
}

void TLoupeOverlay::SetOptions(const TViewLoupeOptions& options)
{
    fOptions = options;
    fRenderer.Clear();
    if (fOn)
        Refresh();
}

void TLoupeOverlay::SetBackground(TColor color)
{
    fBackground = color;
    update();
}

void TLoupeOverlay::Invalidate()
{
    fRenderer.Clear();
    update();
}

void TLoupeOverlay::MoveTo(TPoint point)
{
    fPointer = point;
    fOutside = false;
    Refresh();
}

void TLoupeOverlay::Conceal()
{
    hide();
    fRenderer.Clear();
    fView = TLoupeView{};
    fArea.unsetCursor();
    WatchProgram(false);
}

void TLoupeOverlay::Refresh()
{
    if (!fOn || fHeld || fFocusLost || fOutside || !fPointer) {
        if (isVisible() || !fOn)
            Conceal();
        return;
    }
    fView = LoupeGeometry(fViewer.Layout(), *fPointer, fOptions);
    if (fView.Square.IsEmpty()) {
        Conceal();
        return;
    }
    setGeometry(fView.Square.Left, fView.Square.Top, fView.Square.Width(), fView.Square.Height());
    raise();
    show();
    update();
    UpdateCursor();
    WatchProgram(fOptions.Hook);
}

void TLoupeOverlay::UpdateCursor()
{
    const TPageLayout& layout = fViewer.Layout();
    bool overPage = false;
    for (int page = 0; page < 2; ++page)
        overPage = overPage || (layout.PageShown(page) && layout.PageRect(page).Contains(*fPointer));
    if (overPage)
        fArea.setCursor(Qt::BlankCursor);
    else
        fArea.unsetCursor();
}

void TLoupeOverlay::WatchProgram(bool on)
{
    // With "Hook" on, moves over the program's other widgets reach the loupe
    // as well (a desktop gives a program no moves outside its windows).
    if (on == fWatching)
        return;
    fWatching = on;
    if (on)
        qApp->installEventFilter(this);
    else
        qApp->removeEventFilter(this);
}

bool TLoupeOverlay::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != &fArea) {
        // Moves elsewhere in the program, with Hook on and no button held.
        if (event->type() == QEvent::MouseMove && fOn && fOptions.Hook && watched->isWidgetType()) {
            auto* move = static_cast<QMouseEvent*>(event);
            if (move->buttons() == Qt::NoButton) {
                const QPoint at = fArea.mapFromGlobal(move->globalPosition().toPoint());
                if (!fArea.rect().contains(at)) {
                    fPointer = ToPoint(at);
                    Refresh();
                }
            }
        }
        return false;
    }
    if (!fOn)
        return false;
    switch (event->type()) {
    case QEvent::MouseMove: {
        auto* move = static_cast<QMouseEvent*>(event);
        if (move->buttons() != Qt::NoButton)
            break;
        const QPoint at = move->position().toPoint();
        fPointer = ToPoint(at);
        fOutside = !fOptions.Hook && !fArea.rect().contains(at);
        Refresh();
        break;
    }
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
        fHeld = true;
        Refresh();
        break;
    case QEvent::MouseButtonRelease: {
        auto* release = static_cast<QMouseEvent*>(event);
        if (release->buttons() == Qt::NoButton) {
            fHeld = false;
            fPointer = ToPoint(release->position().toPoint());
            // After the frame has ended its drag and put its cursor back.
            QTimer::singleShot(0, this, [this] { Refresh(); });
        }
        break;
    }
    case QEvent::Leave:
        if (!fOptions.Hook) {
            fOutside = true;
            Refresh();
        }
        break;
    case QEvent::Enter: fOutside = false; break;
    case QEvent::FocusOut:
        // A menu or the window going inactive takes the focus only for a
        // while; the loupe comes back with it.
        fFocusLost = true;
        Refresh();
        break;
    case QEvent::FocusIn:
        fFocusLost = false;
        Refresh();
        break;
    case QEvent::Resize: Refresh(); break;
    default: break;
    }
    return false;
}

void TLoupeOverlay::paintEvent(QPaintEvent*)
{
    // Rendered at paint time, from the layout as it is now: a scroll or a
    // new page has repainted the area beneath, and the loupe follows.
    if (fPointer && fOn)
        fView = LoupeGeometry(fViewer.Layout(), *fPointer, fOptions);
    QPainter painter(this);
    const QRect whole = rect();
    painter.fillRect(whole, ToQColor(LoupeFrameColor));
    const QRect content = whole.adjusted(LoupeBorder, LoupeBorder, -LoupeBorder, -LoupeBorder);
    painter.fillRect(content, ToQColor(fBackground));
    if (fView.Square.IsEmpty())
        return;
    const std::array<TLoupeSource, 2> sources{
        TLoupeSource{fViewer.PageSlot(0).Bitmap, fViewer.PageSlot(0).Gray},
        TLoupeSource{fViewer.Layout().PageShown(1) ? fViewer.PageSlot(1).Bitmap : nullptr, fViewer.PageSlot(1).Gray}};
    // The magnified pages are made in device pixels, so on a scaled screen
    // the loupe samples the picture at the screen's own resolution.
    const double ratio = devicePixelRatio();
    try {
        fStats.Add(fRenderer.Render(fView, sources, fScaler, ratio));
    } catch (const std::exception&) {
        // A page that cannot be scaled shows as background in the loupe;
        // the view itself reports the failure.
        return;
    }
    painter.setClipRect(content);
    for (int page = 0; page < 2; ++page) {
        const TScaledPage& held = fRenderer.Page(page);
        const TRect at = held.HeldInView();
        if (at.IsEmpty())
            continue;
        QImage image = BitmapImage(held.Bitmap(), at.Width(), at.Height());
        if (image.isNull())
            continue;
        image.setDevicePixelRatio(held.Ratio());
        painter.drawImage(QPointF(content.left() + at.Left / held.Ratio(), content.top() + at.Top / held.Ratio()),
                          image);
    }
}
