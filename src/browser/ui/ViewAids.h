#pragma once

// The slideshow and full screen of the browser window: the slideshow's
// timer, the window's side of each step, entering and leaving full screen
// on the screen that holds the window, the bars brought from the screen
// edges and the screen saver held off. The window hands it what only it can
// do (run a step, lay its panes out) and asks it which panes show.

#include <QObject>
#include <QTimer>
#include <functional>

#include "app/Init.h"
#include "browser/FullScreen.h"
#include "browser/SlideShow.h"
#include "platform/qt/ScreenSaverHold.h"

class QMainWindow;
class QScreen;

class TViewAids : public QObject, public TSlideTimer, public TSlideShowHost {
public:
    // What only the window can do.
    struct TLinks {
        std::function<bool()> EnsurePicture;  // runs actFirst when nothing is shown
        std::function<bool()> CanStep;        // enabled and a picture shown
        std::function<TSlideStepResult(const TSlideStep&)> RunStep;
        std::function<void()> LayoutPanes;    // the panes to show changed
        // The view's rectangle in global coordinates, for the bottom edge
        // and for telling the bars beside it from the view.
        std::function<QRect()> ViewRect;
        // The window full screen covers the screen with: the browser window
        // (when null or when it gives null), or the separate image window.
        std::function<QMainWindow*()> FullScreenWindow;
        // The loupe is switched on: with "DisableShowBar" no bar comes from
        // an edge meanwhile.
        std::function<bool()> LoupeOn;
    };

    TViewAids(QMainWindow& window, TLinks links);
    ~TViewAids() override;

    TSlideShow& SlideShow() { return fSlideShow; }
    // The options in force (slideshow step and interval, full-screen bars,
    // the screen saver).
    void SetOptions(const TSlideShowOptions& slide, const TFullScreenOptions& full);

    bool FullScreen() const { return fFullScreen.Active(); }
    void ToggleFullScreen();
    void EnterFullScreen();
    void LeaveFullScreen();
    // The panes the browser window shows now: the normal set, or in full
    // screen the part of the full-screen set the pointer has brought. While
    // another window is full screen the browser keeps its normal set.
    TPaneSet Panes(const TViewStates& states) const;
    // The part of the full-screen set the pointer has brought, whichever
    // window is full screen.
    TPaneSet FullScreenPanes(const TViewStates& states) const;
    // The window that is full screen now; null when none is.
    QMainWindow* FullScreenWindow() const { return fFullScreen.Active() ? fTarget : nullptr; }

    // The window was minimised or hidden (true), or came back.
    void WindowHidden(bool hidden);
    // The loupe was switched on or off: in full screen the bars brought
    // from the edges may have to go or come back.
    void LoupeChanged();

    // TSlideTimer
    void Start(std::chrono::milliseconds interval) override;
    void Stop() override;
    // TSlideShowHost
    bool EnsurePicture() override { return fLinks.EnsurePicture(); }
    bool CanStep() const override { return fLinks.CanStep(); }
    TSlideStepResult RunStep(const TSlideStep& step) override { return fLinks.RunStep(step); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void ScreenRemoved(QScreen* screen);
    void UpdateScreenSaver();
    bool LoupeOn() const { return fLinks.LoupeOn && fLinks.LoupeOn(); }

    QMainWindow& fWindow;
    // The window full screen was entered with; left with the same one.
    QMainWindow* fTarget = nullptr;
    TLinks fLinks;
    QTimer fTimer;
    TSlideShow fSlideShow{*this, *this};
    TFullScreenState fFullScreen;
    TFullScreenOptions fFullOptions;
    uint8_t fRevealed = seNone;
    TScreenSaverHold fScreenSaver;
};
