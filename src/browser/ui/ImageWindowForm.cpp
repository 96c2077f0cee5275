#include "browser/ui/ImageWindowForm.h"

#include <QAction>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMenuBar>
#include <QWheelEvent>

#include "browser/MenuData.h"
#include "viewer/ui/ImageViewFrame.h"
#include "base/Texts.h"

namespace {

// Sub-menus are named after their caption's letters, as the browser names
// its own, so tests and accessibility tools find them.
QString MenuName(const char* caption)
{
    QString name = QString::fromUtf8(caption);
    name.remove('&');
    return name;
}

}  // namespace

TImageWindowForm::TImageWindowForm(TLinks links) : QMainWindow(nullptr), fLinks(std::move(links))
{
    setObjectName("ImageWindowForm");
    setWindowTitle(QStringLiteral("Mireva"));
    setAcceptDrops(true);
    // Designed at 695 x 528; the kept rectangle replaces it when there is one.
    resize(695, 528);
}

TImageWindowForm::~TImageWindowForm()
{
    // The view is the browser's: it must never go with this window.
    ReleaseFrame();
}

void TImageWindowForm::BuildMenus(std::span<const TMenuItem> items)
{
    for (const TMenuItem& item : items) {
        QMenu* menu = menuBar()->addMenu(QString::fromUtf8(Tx(ItemCaption(item))));
        menu->setObjectName(MenuName(ItemCaption(item)));
        BuildMenu(menu, item.Items);
    }
}

void TImageWindowForm::BuildMenu(QMenu* menu, std::span<const TMenuItem> items)
{
    for (const TMenuItem& item : items) {
        switch (item.Kind) {
        case TMenuItemKind::mkAction:
            if (QAction* action = fLinks.Action(*item.Action))
                menu->addAction(action);
            break;
        case TMenuItemKind::mkSeparator:
            menu->addSeparator();
            break;
        case TMenuItemKind::mkSubMenu: {
            QMenu* sub = menu->addMenu(QString::fromUtf8(Tx(ItemCaption(item))));
            sub->setObjectName(MenuName(ItemCaption(item)));
            BuildMenu(sub, item.Items);
            if (item.Action) {
                // The sub-menu follows its action's enabled state, as in the
                // browser's menu bar.
                if (QAction* holder = fLinks.Action(*item.Action)) {
                    connect(holder, &QAction::changed, sub, [sub, holder] { sub->setEnabled(holder->isEnabled()); });
                    sub->setEnabled(holder->isEnabled());
                }
            }
            break;
        }
        case TMenuItemKind::mkList:
        case TMenuItemKind::mkCommand:
            break;
        }
    }
}

void TImageWindowForm::TakeFrame(TImageViewFrame& frame)
{
    if (fFrame == &frame)
        return;
    ReleaseFrame();
    fFrame = &frame;
    setCentralWidget(&frame);
    frame.show();
}

TImageViewFrame* TImageWindowForm::ReleaseFrame()
{
    TImageViewFrame* frame = fFrame;
    if (!frame)
        return nullptr;
    fFrame = nullptr;
    // takeCentralWidget leaves the widget with this window as its parent;
    // it leaves without one, so that destroying the window cannot take it.
    takeCentralWidget();
    frame->hide();
    frame->setParent(nullptr);
    return frame;
}

void TImageWindowForm::CloseForExit()
{
    fClosingForExit = true;
    hide();
    close();
}

void TImageWindowForm::keyPressEvent(QKeyEvent* event)
{
    // Every key binding works while this window is active: the browser
    // window decides what the key runs.
    if (fLinks.Key && fLinks.Key(event->key(), event->modifiers())) {
        event->accept();
        return;
    }
    QMainWindow::keyPressEvent(event);
}

void TImageWindowForm::wheelEvent(QWheelEvent* event)
{
    // A turn anywhere in the window (over the menu bar, the image bar) turns
    // as over the page area. A turn the area itself passed on is not sent
    // back to it.
    event->accept();
    if (!fFrame || fForwardingWheel)
        return;
    QWidget* area = fFrame->Area();
    if (!area)
        return;
    const QPoint local = area->mapFromGlobal(event->globalPosition().toPoint());
    if (area->rect().contains(local))
        return;
    fForwardingWheel = true;
    QWheelEvent forwarded(QPointF(local), event->globalPosition(), event->pixelDelta(), event->angleDelta(),
                          event->buttons(), event->modifiers(), event->phase(), event->inverted());
    QCoreApplication::sendEvent(area, &forwarded);
    fForwardingWheel = false;
}

void TImageWindowForm::dragEnterEvent(QDragEnterEvent* event)
{
    // The browser window decides which drags it takes. The event itself
    // cannot be sent on: the desktop delivers a drop to the widget that took
    // the drag's entry, which would be this window again.
    if (fLinks.AcceptsDrop && fLinks.AcceptsDrop(*event))
        event->acceptProposedAction();
}

void TImageWindowForm::dragMoveEvent(QDragMoveEvent* event)
{
    if (fLinks.AcceptsDrop && fLinks.AcceptsDrop(*event))
        event->acceptProposedAction();
}

void TImageWindowForm::dropEvent(QDropEvent* event)
{
    if (!fLinks.Drop || !fLinks.Drop(*event))
        return;
    event->acceptProposedAction();
    // The picture shows here: this window stays in front.
    activateWindow();
}

void TImageWindowForm::closeEvent(QCloseEvent* event)
{
    if (!fClosed) {
        fClosed = true;
        if (fLinks.Closing)
            fLinks.Closing();
    }
    event->accept();
}

void TImageWindowForm::changeEvent(QEvent* event)
{
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange && fLinks.Minimised)
        fLinks.Minimised(isMinimized());
}
