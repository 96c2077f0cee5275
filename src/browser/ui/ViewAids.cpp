#include "browser/ui/ViewAids.h"

#include <QGuiApplication>
#include <QMainWindow>
#include <QMouseEvent>
#include <QScreen>
#include <QWindow>

namespace {

TWindowRect ToRect(const QRect& r)
{
    return TWindowRect{r.left(), r.top(), r.width(), r.height()};
}

QRect ToQRect(const TWindowRect& r)
{
    return QRect(r.Left, r.Top, r.Width, r.Height);
}

}  // namespace

TViewAids::TViewAids(QMainWindow& window, TLinks links)
    : QObject(&window), fWindow(window), fTarget(&window), fLinks(std::move(links))
{
    fTimer.setSingleShot(false);
    connect(&fTimer, &QTimer::timeout, this, [this] {
        fSlideShow.Tick();
        UpdateScreenSaver();
    });
    connect(qApp, &QGuiApplication::screenRemoved, this, [this](QScreen* screen) { ScreenRemoved(screen); });
    qApp->installEventFilter(this);
}

TViewAids::~TViewAids()
{
    qApp->removeEventFilter(this);
    fTimer.stop();
}

void TViewAids::SetOptions(const TSlideShowOptions& slide, const TFullScreenOptions& full)
{
    fSlideShow.SetCommand(slide.Command);
    fSlideShow.SetInterval(slide.Interval);
    fFullOptions = full;
    UpdateScreenSaver();
}

void TViewAids::Start(std::chrono::milliseconds interval)
{
    fTimer.start(static_cast<int>(interval.count()));
    UpdateScreenSaver();
}

void TViewAids::Stop()
{
    fTimer.stop();
    UpdateScreenSaver();
}

void TViewAids::UpdateScreenSaver()
{
    fScreenSaver.SetHeld(HoldScreenSaver(fSlideShow.Running(), fFullScreen.Active(), fFullOptions.NoScreenSave));
}

void TViewAids::WindowHidden(bool hidden)
{
    fSlideShow.SetPaused(hidden);
}

void TViewAids::ToggleFullScreen()
{
    if (fFullScreen.Active())
        LeaveFullScreen();
    else
        EnterFullScreen();
}

void TViewAids::EnterFullScreen()
{
    if (fFullScreen.Active())
        return;
    QMainWindow* chosen = fLinks.FullScreenWindow ? fLinks.FullScreenWindow() : nullptr;
    fTarget = chosen ? chosen : &fWindow;
    QMainWindow& window = *fTarget;
    const QRect normal = window.isMaximized() || window.isFullScreen() ? window.normalGeometry() : window.geometry();
    fFullScreen.Enter(TNormalWindow{ToRect(normal), window.isMaximized(),
                                    window.windowFlags().testFlag(Qt::WindowStaysOnTopHint)});
    fRevealed = seNone;
    // The screen that holds the window, not the primary one, is covered.
    if (QWindow* handle = window.windowHandle())
        if (QScreen* screen = window.screen())
            handle->setScreen(screen);
    window.showFullScreen();
    fLinks.LayoutPanes();
    UpdateScreenSaver();
}

void TViewAids::LeaveFullScreen()
{
    const std::optional<TNormalWindow> saved = fFullScreen.Leave();
    if (!saved)
        return;
    QMainWindow& window = *fTarget;
    fTarget = &fWindow;
    fRevealed = seNone;
    window.showNormal();
    QRect bounds = ToQRect(saved->Bounds);
    // A rectangle on a screen that has gone comes back on the primary one.
    bool onScreen = false;
    for (QScreen* screen : QGuiApplication::screens())
        onScreen = onScreen || screen->availableGeometry().intersects(bounds);
    if (!onScreen && QGuiApplication::primaryScreen())
        bounds.moveCenter(QGuiApplication::primaryScreen()->availableGeometry().center());
    window.setGeometry(bounds);
    if (saved->Maximized)
        window.showMaximized();
    fLinks.LayoutPanes();
    UpdateScreenSaver();
}

void TViewAids::ScreenRemoved(QScreen* screen)
{
    // The window would stay full screen on a screen nobody sees.
    if (fFullScreen.Active() && (fTarget->screen() == screen || !fTarget->screen()))
        LeaveFullScreen();
}

TPaneSet TViewAids::Panes(const TViewStates& states) const
{
    if (!fFullScreen.Active() || fTarget != &fWindow)
        return states.Normal;
    return FullScreenPanes(states);
}

TPaneSet TViewAids::FullScreenPanes(const TViewStates& states) const
{
    return ::FullScreenPanes(states.FullScreen, TFullScreenBars{fFullOptions.MouseMoveShow, fFullOptions.DisableShowBar},
                           fRevealed, LoupeOn());
}

void TViewAids::LoupeChanged()
{
    if (fFullScreen.Active() && fFullOptions.DisableShowBar && fRevealed != seNone) {
        fRevealed = seNone;
        fLinks.LayoutPanes();
    }
}

bool TViewAids::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::MouseMove || !fFullScreen.Active() || !fFullOptions.MouseMoveShow)
        return QObject::eventFilter(watched, event);
    const QPoint global = static_cast<QMouseEvent*>(event)->globalPosition().toPoint();
    const QScreen* screen = fTarget->screen();
    if (!screen)
        return false;
    const QRect view = fLinks.ViewRect();
    const uint8_t touched = EdgesTouched(global.x(), global.y(), ToRect(screen->geometry()),
                                         screen->geometry().bottom());
    // The brought bars lie beside the view: the pointer is over them while
    // it is outside the view on their side.
    uint8_t over = seNone;
    if (global.y() < view.top())
        over |= seTop;
    if (global.x() < view.left())
        over |= seLeft;
    if (global.y() > view.bottom())
        over |= seBottom;
    // With "DisableShowBar" the loupe keeps every bar away.
    const uint8_t revealed =
        fFullOptions.DisableShowBar && LoupeOn() ? uint8_t{seNone} : RevealedEdges(fRevealed, touched, over);
    if (revealed != fRevealed) {
        fRevealed = revealed;
        fLinks.LayoutPanes();
    }
    return false;
}
