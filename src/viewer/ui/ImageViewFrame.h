#pragma once

// The image view as a widget: the page area that shows the current page or
// spread of a TPageViewer, the image bar with the page label and the four
// direction buttons, and the seek bar. The frame only displays and forwards:
// sizes, wheel turns, drags, the seek bar and the scroll animation go to the
// viewer; keys and the mouse commands of wheel turns go to the window that
// owns the frame (its action table decides what they run). Pages are drawn
// from per-page scaled caches, so only what is visible is ever scaled, and a
// scroll scales only the strips it uncovers. User-interface thread.

#include <QWidget>
#include <functional>
#include <memory>

#include "viewer/Scroll.h"
#include "viewer/ScaledPage.h"
#include "viewer/ViewOptions.h"

class QAction;
class QHBoxLayout;
class QLabel;
class QLineEdit;
class QSlider;
class QTimer;
class QToolButton;
class TGridOverlay;
class TLoupeOverlay;
class TPageViewer;
class TImageViewFrame;

// The page area (the scroll box the pages are drawn in). It takes the focus;
// its events go to the frame.
class TImageArea : public QWidget {
public:
    explicit TImageArea(TImageViewFrame& frame);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    bool focusNextPrevChild(bool next) override;

private:
    TImageViewFrame& fFrame;
};

class TImageViewFrame : public QWidget {
public:
    // viewer must outlive the frame; scaler (not owned) scales the pages and
    // must outlive it as well.
    TImageViewFrame(TPageViewer& viewer, TPageScaler& scaler, QWidget* parent = nullptr);
    ~TImageViewFrame() override;

    // --- Set up by the window -------------------------------------------------

    // A key pressed in the page area; true when it ran a command.
    using TKeyHandler = std::function<bool(int key, Qt::KeyboardModifiers modifiers)>;
    void SetKeyHandler(TKeyHandler handler) { fKeyHandler = std::move(handler); }
    // A mouse operation at a point of the page area, with the buttons and
    // keys held at that moment: code 0 left click, 1 left double click, 2
    // and 3 the right button's, 4 and 5 the wheel button's, 6 to 9 the two
    // extension buttons', 10 wheel up, 11 wheel down. A click is reported
    // when its button comes up without a drag; the release that ends a
    // double click is not another click.
    using TMouseHandler =
        std::function<void(int code, Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers, TPoint point)>;
    void SetMouseHandler(TMouseHandler handler) { fMouseHandler = std::move(handler); }
    // What a left-button drag that begins at point does; without a handler
    // the mode of SetDragMode applies.
    using TDragModeHandler =
        std::function<TDragMode(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers, TPoint point)>;
    void SetDragModeHandler(TDragModeHandler handler) { fDragModeHandler = std::move(handler); }
    // One of the image bar's direction buttons was pressed.
    using TImageBarHandler = std::function<void(TImageBarButton button)>;
    void SetImageBarHandler(TImageBarHandler handler) { fImageBarHandler = std::move(handler); }
    // The seek bar asks for a picture (a list index).
    using TSeekHandler = std::function<void(int index)>;
    void SetSeekHandler(TSeekHandler handler) { fSeekHandler = std::move(handler); }
    // The view changed on its own (a resize laid the pages out again, an
    // animation ended): the window refreshes its caption.
    void SetChangedHandler(std::function<void()> handler) { fChanged = std::move(handler); }
    // Where a failure to scale a page is reported (posted, never from inside
    // a paint).
    void SetMessageHandler(std::function<void(const std::string&)> handler) { fMessage = std::move(handler); }

    // An action of the window shown as a button on the image bar.
    void AddImageBarAction(QAction* action);
    // What a left-button drag in the page area does.
    void SetDragMode(TDragMode mode) { fDragMode = mode; }

    // --- What the window tells the frame ------------------------------------------

    // The background around the pages; a resolved colour (no system colour).
    void SetBackground(TColor color);
    // The scaling method changed: every page is scaled afresh.
    void InvalidatePages();
    // The viewer's pages, layout or scroll position changed: the pages are
    // brought up to date and painted with the next paint.
    void UpdateView();
    // Starts the scroll animation the viewer has begun, if any.
    void StartAnimation();
    // The page label ("3・4 / 20").
    void SetPageText(const std::string& text);
    // The seek bar: count pictures, index the lower page shown (-1 none).
    void UpdateSeekBar(int count, int index, bool bindRight, bool seekToRight);
    void ShowImageBar(bool on);
    void ShowSeekBar(bool on);
    bool ImageBarShown() const;
    bool SeekBarShown() const;

    // --- For the window, the snapshot and tests -----------------------------------

    TImageArea* Area() const { return fArea; }
    // The loupe and the grid over the page area; the window switches them
    // and hands them their options.
    TLoupeOverlay& Loupe() const { return *fLoupe; }
    TPageViewer& Viewer() const { return fViewer; }
    TGridOverlay& Grid() const { return *fGrid; }
    // A left-button drag is scrolling or drawing a band.
    bool Dragging() const { return fDragging; }
    // Brings the scaled caches up to date now (a paint does it as well).
    void Render();
    // True when the caches hold what the next paint shows.
    bool Rendered() const { return !fDirty; }
    // What rendering has cost since the last reset.
    const TRenderStats& Stats() const { return fStats; }
    void ResetStats() { fStats = TRenderStats{}; }
    const TScaledPage& Page(int page) const { return fPages[page == 1 ? 1 : 0]; }
    QString PageText() const;
    QSlider* SeekBar() const { return fSeekBar; }
    QLineEdit* SeekEdit() const { return fSeekEdit; }
    QToolButton* ImageBarButton(TImageBarButton button) const;

private:
    friend class TImageArea;

    void PaintArea(QPaintEvent* event);
    void AreaResized();
    bool AreaKey(QKeyEvent* event);
    void AreaWheel(QWheelEvent* event);
    void AreaPress(QMouseEvent* event);
    void AreaMove(QMouseEvent* event);
    void AreaRelease(QMouseEvent* event);
    void AreaDoubleClick(QMouseEvent* event);
    void ReportMouse(int code, const QMouseEvent& event);
    void AnimationTick();
    void Changed();
    void SeekValueChanged(int value);
    void SeekCommit();
    void SeekEntered();

    TPageViewer& fViewer;
    TPageScaler& fScaler;
    TImageArea* fArea = nullptr;
    TGridOverlay* fGrid = nullptr;
    TLoupeOverlay* fLoupe = nullptr;
    QWidget* fImageBar = nullptr;
    QHBoxLayout* fImageBarLayout = nullptr;
    QToolButton* fBarButtons[4] = {};
    QLabel* fPageLabel = nullptr;
    QWidget* fSeekPanel = nullptr;
    QSlider* fSeekBar = nullptr;
    QLineEdit* fSeekEdit = nullptr;
    QLabel* fSeekMax = nullptr;
    QTimer* fScrollTimer = nullptr;
    TColor fBackground = clBlack;
    TDragMode fDragMode = TDragMode::dmGrab;

    TScaledPage fPages[2];
    TRenderStats fStats;
    bool fDirty = true;
    double fRenderedRatio = 1.0;  // the device pixel ratio of the caches
    bool fSeekUpdating = false;
    int fSeekCount = 0;

    // A left-button drag in progress.
    bool fPressed = false;
    bool fDragging = false;
    TPoint fPressPoint;
    TPoint fLastPoint;
    TDragMode fDragNow = TDragMode::dmNone;  // the mode of the drag in progress
    // The button whose release is a click; none after a drag or a double
    // click.
    Qt::MouseButton fClickButton = Qt::NoButton;

    TKeyHandler fKeyHandler;
    TMouseHandler fMouseHandler;
    TDragModeHandler fDragModeHandler;
    TImageBarHandler fImageBarHandler;
    TSeekHandler fSeekHandler;
    std::function<void()> fChanged;
    std::function<void(const std::string&)> fMessage;
};
