#pragma once

// The loupe as a widget: a square child of the page area that follows the
// pointer and shows the pages magnified under it. It watches the area's
// events itself (moves, buttons, leaving, focus, size), so the frame only
// creates it: while a button is held it hides and comes back on release;
// it hides when the area loses the focus and comes back with it; with
// "Hook" off it hides when the pointer leaves the area, with it on it
// follows the pointer over the program's other windows too. Every paint
// renders the content afresh from the viewer's current layout, so after a
// scroll, a new layout or another page it shows what now lies under the
// pointer. The pointer itself is hidden over the pages. User-interface
// thread.

#include <QWidget>
#include <optional>

#include "viewer/Loupe.h"

class TPageViewer;

class TLoupeOverlay : public QWidget {
public:
    // area is the page area it lies on; viewer and scaler (not owned) must
    // outlive it.
    TLoupeOverlay(QWidget& area, const TPageViewer& viewer, TPageScaler& scaler);
    ~TLoupeOverlay() override;

    // Switched on (actLoupe checked) or off.
    void SetOn(bool on);
    bool On() const { return fOn; }
    // New options: a shown loupe is closed and opened again.
    void SetOptions(const TViewLoupeOptions& options);
    const TViewLoupeOptions& Options() const { return fOptions; }
    void SetBackground(TColor color);
    // The scaling changed: everything held is scaled afresh.
    void Invalidate();
    // Puts the loupe at a point of the area as a pointer move there would.
    void MoveTo(TPoint point);

    // Shown now (on, over the view, no button held, the area focused).
    bool Showing() const { return isVisible(); }
    const TLoupeView& View() const { return fView; }
    const TRenderStats& Stats() const { return fStats; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void Refresh();
    void Conceal();
    void UpdateCursor();
    void WatchProgram(bool on);

    QWidget& fArea;
    const TPageViewer& fViewer;
    TPageScaler& fScaler;
    TViewLoupeOptions fOptions;
    TColor fBackground = 0;
    bool fOn = false;
    bool fHeld = false;       // a button is down
    bool fFocusLost = false;  // the area lost the keyboard focus
    bool fOutside = false;    // the pointer left the area (Hook off)
    bool fWatching = false;   // moves over the program's other widgets are followed
    std::optional<TPoint> fPointer;
    TLoupeView fView;
    TLoupeRenderer fRenderer;
    TRenderStats fStats;
};
