#pragma once

// Hides the mouse pointer over the image view when the mouse options ask
// for it: at once, or after it has rested for the motionless time; only in
// full screen, or only over a page, when those options say so. A move shows
// it again, except a move the desktop repeats at the place where it was
// hidden; a button press shows it too. While the loupe is on the loupe owns
// the pointer and this stays out of the way. A held button (a drag) keeps
// the pointer shown. User-interface thread.

#include <QObject>
#include <QTimer>
#include <functional>

#include "app/Init.h"
#include "viewer/Geometry.h"
#include "browser/FullScreen.h"

class QWidget;

class TPointerHider : public QObject, public TPointerTimer {
public:
    struct TLinks {
        std::function<bool(TPoint)> OverPage;  // a point of the area lies on a shown page
        std::function<bool()> FullScreen;      // the view is in full screen now
        std::function<bool()> LoupeOn;         // the loupe is switched on
    };

    // area is the view's page area; it must outlive the hider.
    TPointerHider(QWidget& area, TLinks links);
    ~TPointerHider() override;

    // The MOUSE options in force; turning hiding off shows the pointer.
    void SetOptions(const TMouseOptions& options);
    // The pointer is hidden over the area now.
    bool Hidden() const { return fBlank; }

    // TPointerTimer
    void Start(std::chrono::milliseconds delay) override;
    void Stop() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Apply();

    QWidget& fArea;
    TLinks fLinks;
    QTimer fTimer;
    TPointerHiding fHiding{*this};
    bool fOn = false;     // HideCursor is on: moves are watched
    bool fBlank = false;  // this hider set the blank pointer on the area
};
