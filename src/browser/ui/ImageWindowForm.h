#pragma once

// The separate image window: a top-level window of its own (its own task bar
// entry, no owner) that hosts the browser window's one image view while the
// image view is separate. It owns no commands: its menu bar is made of the
// browser window's own actions, and the keys, wheel turns and dropped files
// it receives go on to the browser window, which drives the view inside it
// exactly as it drives it in its own pane. Closing it hands the view back
// first. User-interface thread.

#include <QMainWindow>
#include <functional>
#include <span>

#include "browser/ActionTable.h"

class QAction;
class QDropEvent;
class QMenu;
class TImageViewFrame;
struct TMenuItem;

class TImageWindowForm : public QMainWindow {
public:
    // What only the browser window can do.
    struct TLinks {
        // The browser window's action behind a menu item.
        std::function<QAction*(TActionId)> Action;
        // The browser window's key routing for a key pressed here; true
        // when it ran a command.
        std::function<bool(int key, Qt::KeyboardModifiers modifiers)> Key;
        // The browser's drop handling: whether it takes a drag's data, and
        // taking it (true when it did).
        std::function<bool(const QDropEvent& event)> AcceptsDrop;
        std::function<bool(const QDropEvent& event)> Drop;
        // The window is closing (close box, or closed by the browser): the
        // browser takes its view back. Called once, from the close.
        std::function<void()> Closing;
        // Minimised (true) or back (false).
        std::function<void(bool minimised)> Minimised;
    };

    explicit TImageWindowForm(TLinks links);
    ~TImageWindowForm() override;

    // The menu bar, built from items bound to the browser's actions.
    void BuildMenus(std::span<const TMenuItem> items);

    // The view comes to fill the window; it stays the browser's.
    void TakeFrame(TImageViewFrame& frame);
    // Hands the view back, without a parent, hidden; null when none is held.
    TImageViewFrame* ReleaseFrame();
    TImageViewFrame* Frame() const { return fFrame; }

    // The browser closes the window as the program ends: it is hidden first,
    // and what closing does for a user is left out.
    void CloseForExit();
    bool ClosingForExit() const { return fClosingForExit; }

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void BuildMenu(QMenu* menu, std::span<const TMenuItem> items);

    TLinks fLinks;
    TImageViewFrame* fFrame = nullptr;
    bool fClosingForExit = false;
    bool fClosed = false;
    bool fForwardingWheel = false;
};
