#include "browser/ui/ImageWindowHost.h"

#include <QGuiApplication>
#include <QMainWindow>
#include <QMenuBar>
#include <QScreen>
#include <QSplitter>

#include "browser/MenuData.h"
#include "common/IniFile.h"
#include "viewer/ui/ImageViewFrame.h"

namespace {

TWindowRect ToRect(const QRect& r)
{
    return TWindowRect{r.x(), r.y(), r.width(), r.height()};
}

// The desktop as the window finds it now: the primary screen's work area,
// which positions are kept against, and every screen's.
TScreenInfo Screens()
{
    TScreenInfo info;
    const QScreen* primary = QGuiApplication::primaryScreen();
    if (!primary)
        return info;
    info.WorkArea = ToRect(primary->availableGeometry());
    info.Scale = primary->logicalDotsPerInch() > 0 ? primary->logicalDotsPerInch() / 96.0 : 1.0;
    for (const QScreen* screen : QGuiApplication::screens())
        info.Screens.push_back(ToRect(screen->availableGeometry()));
    return info;
}

}  // namespace

TImageWindowHost::TImageWindowHost(TLinks links) : fLinks(std::move(links)) {}

TImageWindowHost::~TImageWindowHost()
{
    if (TImageWindowForm* window = fWindow.data()) {
        fWindow = nullptr;
        if (TImageViewFrame* frame = window->ReleaseFrame())
            frame->setParent(fLinks.Browser);
        delete window;
    }
}

void TImageWindowHost::SetSeparate(bool on, bool pictureShown, bool menuShown)
{
    if (on == fSeparate)
        return;
    fSeparate = on;
    if (on) {
        // The view leaves the image pane and waits, hidden, for a window.
        fLinks.Frame->hide();
        fLinks.Frame->setParent(fLinks.Browser);
        if (pictureShown)
            MakeWindow(menuShown);
        return;
    }
    if (TImageWindowForm* window = fWindow.data()) {
        if (fLinks.LeaveFullScreen)
            fLinks.LeaveFullScreen();
        KeepGeometry();
        fWindow = nullptr;
        window->hide();
        window->ReleaseFrame();
        // Going from a queued call: the switch may come from the window's
        // own menu, whose handler is still running.
        window->deleteLater();
    }
    ReturnFrame();
}

void TImageWindowHost::PictureShown(bool restore, bool menuShown)
{
    if (!fSeparate)
        return;
    if (!fWindow) {
        MakeWindow(menuShown);
        return;
    }
    if (restore && fWindow->isMinimized())
        fWindow->showNormal();
}

void TImageWindowHost::Apply(bool menuBar, bool stayOnTop)
{
    fStayOnTop = stayOnTop;
    TImageWindowForm* window = fWindow.data();
    if (!window)
        return;
    window->menuBar()->setVisible(menuBar);
    if (window->windowFlags().testFlag(Qt::WindowStaysOnTopHint) != stayOnTop) {
        const bool shown = window->isVisible();
        window->setWindowFlag(Qt::WindowStaysOnTopHint, stayOnTop);
        if (shown)
            window->show();
    }
}

void TImageWindowHost::ActiveChange()
{
    TImageWindowForm* window = fWindow.data();
    if (!window)
        return;
    QWidget* next = window->isActiveWindow() ? static_cast<QWidget*>(fLinks.Browser) : window;
    if (next->isMinimized())
        next->showNormal();
    next->raise();
    next->activateWindow();
}

void TImageWindowHost::CloseForExit()
{
    if (TImageWindowForm* window = fWindow.data())
        window->CloseForExit();
}

void TImageWindowHost::MakeWindow(bool menuShown)
{
    TImageWindowForm::TLinks links;
    links.Action = fLinks.Action;
    links.Key = fLinks.Key;
    links.AcceptsDrop = fLinks.AcceptsDrop;
    links.Drop = fLinks.Drop;
    links.Closing = [this] { WindowClosing(); };
    links.Minimised = fLinks.Minimised;
    auto* window = new TImageWindowForm(std::move(links));
    fWindow = window;
    window->BuildMenus(ImageWindowMenu());
    window->menuBar()->setVisible(menuShown);
    window->setWindowFlag(Qt::WindowStaysOnTopHint, fStayOnTop);

    TImageWindowState state;
    try {
        state = ReadImageWindowSection(TIniFile(fLinks.SettingsPath()));
    } catch (const std::exception&) {
        // An unreadable settings file gives the default window.
    }
    const TScreenInfo screens = Screens();
    const QScreen* browserScreen = fLinks.Browser->screen();
    const TWindowRect browserWork = browserScreen ? ToRect(browserScreen->availableGeometry()) : screens.WorkArea;
    const TWindowRect bounds = ImageWindowBounds(state, screens, browserWork);
    window->setGeometry(bounds.Left, bounds.Top, bounds.Width, bounds.Height);
    window->TakeFrame(*fLinks.Frame);
    if (state.Max)
        window->showMaximized();
    else
        window->show();
    window->raise();
    window->activateWindow();
    fLinks.Frame->Area()->setFocus();
}

void TImageWindowHost::WindowClosing()
{
    TImageWindowForm* window = fWindow.data();
    if (!window)
        return;
    const bool forExit = window->ClosingForExit();
    if (fLinks.LeaveFullScreen)
        fLinks.LeaveFullScreen();
    // The program's end keeps the picture shown: it is the last image of
    // the place. A user's close forgets it.
    if (fSeparate && !forExit && fLinks.PictureClosing)
        fLinks.PictureClosing();
    KeepGeometry();
    fWindow = nullptr;
    if (TImageViewFrame* frame = window->ReleaseFrame())
        frame->setParent(fLinks.Browser);
    window->deleteLater();
    if (!forExit && fLinks.Browser->isMinimized())
        fLinks.Browser->showNormal();
}

void TImageWindowHost::KeepGeometry()
{
    TImageWindowForm* window = fWindow.data();
    if (!window || (fLinks.SavesState && !fLinks.SavesState()))
        return;
    const bool maximised = window->isMaximized();
    const QRect normal = maximised || window->isFullScreen() ? window->normalGeometry() : window->geometry();
    if (!normal.isValid())
        return;
    try {
        TIniFile ini(fLinks.SettingsPath());
        TImageWindowState state;
        StoreImageWindowBounds(state, ToRect(normal), maximised, Screens());
        WriteImageWindowSection(ini, state);
        ini.UpdateFile();
    } catch (const std::exception& e) {
        if (fLinks.Message)
            fLinks.Message(e.what());
    }
}

void TImageWindowHost::ReturnFrame()
{
    TImageViewFrame* frame = fLinks.Frame;
    fLinks.ImagePane->addWidget(frame);
    frame->show();
    frame->Area()->setFocus();
}
