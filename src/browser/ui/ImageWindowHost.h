#pragma once

// The browser window's side of the separate image window: which of the two
// arrangements is in force (the view in the browser's image pane, or in a
// window of its own), the window made when a picture is shown while the view
// is separate and none exists yet, the one view moved between the two
// places (never a second one), its kept rectangle, its menu bar, and the
// switch of the foreground between the two windows. The browser hands it
// what only the browser can do. User-interface thread.
//
// States: in the browser; separate without a window (nothing shown since the
// switch or since the window closed); separate with a window.

#include <QPointer>
#include <functional>
#include <string>

#include "browser/ImageWindowState.h"
#include "browser/ui/ImageWindowForm.h"

class QMainWindow;
class QSplitter;
class TImageViewFrame;

class TImageWindowHost {
public:
    struct TLinks {
        QMainWindow* Browser = nullptr;
        TImageViewFrame* Frame = nullptr;
        // The browser's image pane, which holds the view while it is not
        // separate (as its last widget).
        QSplitter* ImagePane = nullptr;
        std::function<QAction*(TActionId)> Action;
        std::function<bool(int key, Qt::KeyboardModifiers modifiers)> Key;
        std::function<bool(const QDropEvent& event)> AcceptsDrop;
        std::function<bool(const QDropEvent& event)> Drop;
        // The separate window closes while the view is separate: the shown
        // pair is forgotten and a running slideshow stops.
        std::function<void()> PictureClosing;
        // The window is about to go while it is full screen: full screen
        // ends first.
        std::function<void()> LeaveFullScreen;
        // Minimised (true) or back (false).
        std::function<void(bool minimised)> Minimised;
        // The settings file the kept rectangle lives in, and whether it is
        // written (runs that must leave the data folder alone say no).
        std::function<std::string()> SettingsPath;
        std::function<bool()> SavesState;
        std::function<void(const std::string&)> Message;
    };

    explicit TImageWindowHost(TLinks links);
    // The view goes back to the browser before the window goes.
    ~TImageWindowHost();

    bool Separate() const { return fSeparate; }
    TImageWindowForm* Window() const { return fWindow.data(); }

    // Switches the arrangement. On: the view leaves the image pane, and a
    // window is made at once when pictureShown. Off: a window is closed
    // (its rectangle kept) and the view comes back into the image pane.
    void SetSeparate(bool on, bool pictureShown, bool menuShown);
    // A picture was shown: while the view is separate a missing window is
    // made, a minimised one comes back (restore false: a slideshow step).
    void PictureShown(bool restore, bool menuShown);
    // The window's menu bar is shown or hidden, and the window stays on
    // top or not, as the browser's states say.
    void Apply(bool menuBar, bool stayOnTop);
    // Brings the other of the two windows to the front.
    void ActiveChange();
    // The program ends: the window is hidden and closed, its rectangle kept.
    void CloseForExit();

private:
    void MakeWindow(bool menuShown);
    void WindowClosing();
    void KeepGeometry();
    void ReturnFrame();

    TLinks fLinks;
    bool fSeparate = false;
    bool fStayOnTop = false;
    QPointer<TImageWindowForm> fWindow;
};
