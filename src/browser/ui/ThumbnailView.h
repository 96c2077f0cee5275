#pragma once

// The thumbnail view of the browser's file view (sbxThumbnail): the items of
// the list the plain list shows, drawn as a grid of pictures with captions
// or as one picture per row with its details beside it. Selection, focus and
// order are the list's; pictures come from a TThumbRequester, icons from the
// list's item model. The view paints only the cells that meet the exposed
// area, asks for the visible items after each scroll or resize, moves the
// focus by keys and mouse as the plain list would, and hands opening,
// renaming and commands to the window through hooks. The hint is a plain
// tool tip. User-interface thread.

#include <QAbstractScrollArea>
#include <QColor>
#include <QPoint>
#include <QTimer>
#include <functional>
#include <optional>

#include "app/Init.h"
#include "browser/ActionTable.h"
#include "shellviews/DropHover.h"
#include "shellviews/ThumbLayout.h"
#include "shellviews/ThumbRequester.h"
#include "shellviews/ThumbSource.h"

class QAbstractItemModel;
class QDropEvent;

class TThumbnailView : public QAbstractScrollArea, public TThumbObserver {
public:
    explicit TThumbnailView(QWidget* parent = nullptr);
    ~TThumbnailView() override;

    // Nothing is owned; all must outlive their use here (null detaches).
    // icons gives each row's icon (column 0, decoration role).
    void SetSource(TThumbSource* source, QAbstractItemModel* icons, TThumbRequester* requester);
    TThumbSource* Source() const { return fSource; }
    void SetOptions(const TThumbnailOptions& options, TSizeUnit unit, bool clickRename);
    void SetDetail(bool detail);
    bool Detail() const { return fDetail; }
    const TThumbArrangement& Arrangement() const { return fArrangement; }
    // A cell's rectangle in viewport coordinates.
    QRect CellRect(int index) const;

    // The text colour of a row; none: the palette's.
    std::function<std::optional<QColor>(int row)> TextColor;
    // Whether a row is a picture shown in the viewer, and the colour of the
    // frame that marks it (none: no frame).
    std::function<bool(int row)> IsShown;
    std::optional<QColor> ShownColor;

    std::function<void(int row)> OnOpen;
    std::function<void()> OnGoUp;
    std::function<void(TActionId action)> OnAction;
    std::function<void(int row)> OnRename;
    // Keys the view has no use for (type-ahead search).
    std::function<void(QKeyEvent* event)> OnOtherKey;
    // A mouse gesture as the file list reports it: code 0 left click, 1 left
    // double click, 4 and 5 the wheel button's, 6 to 9 the extension
    // buttons'. True when the handler did something.
    std::function<bool(int code, Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers, int row)> OnMouse;
    // The pointer left a selected cell far enough with the left or right
    // button held: the window drags the selection.
    std::function<void()> OnStartDrag;
    // A drag over cell (-1 for empty space): the action a drop would take,
    // Qt::IgnoreAction to refuse; with drop true it happens now.
    std::function<Qt::DropAction(const QDropEvent& event, int cell, bool drop)> OnDrop;
    // Does a drop over cell go into that cell's folder or shelf? Such a cell
    // is highlighted while a drag it would take is over it.
    std::function<bool(int cell)> DropsIntoCell;
    // The cell highlighted for a drop, if any.
    std::optional<int> DropHighlighted() const { return fDropHover.Highlighted(); }
    // While a drag rests near the top or bottom edge the view scrolls one
    // row per tick; DragScrollTick does what a tick does (tests call it).
    const QTimer& DragScrollTimer() const { return fDragScrollTimer; }
    void DragScrollTick();

    // Lays the cells out again (items, box, captions, font or size changed).
    void Relayout();

    void ThumbsChanged(TThumbRequester& requester, const TThumbChange& change) override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    bool viewportEvent(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dragLeaveEvent(QDragLeaveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void SourceChanged(TThumbSourceChange change);
    int CellAtViewport(QPoint point) const;
    void PostRequestVisible();
    void RequestVisible();
    void ScrollToFocused();
    void MoveFocus(int target, Qt::KeyboardModifiers modifiers);
    void SelectRange(int from, int to, bool keep);
    void SetSelection(std::vector<int> selected, int focused);
    bool IsSelected(int row) const;
    void PaintCell(QPainter& painter, int index, const QRect& cell);
    TThumbItemFacts FactsOf(int row) const;

    TThumbSource* fSource = nullptr;
    QAbstractItemModel* fIcons = nullptr;
    TThumbRequester* fRequester = nullptr;
    TThumbnailOptions fOptions;
    TSizeUnit fSizeUnit = TSizeUnit::suKiloBytes;
    bool fClickRename = true;
    bool fDetail = false;
    TThumbArrangement fArrangement;
    bool fRequestPosted = false;
    int fLastFocused = -1;

    QTimer fRenameTimer;
    bool fRenameArmed = false;
    bool fHadFocus = false;
    bool fDeactivated = false;
    int fPressCell = -1;
    // The cells never open; only the highlight is used.
    TDropHover<int> fDropHover;
    QTimer fDragScrollTimer;
    int fDragScroll = 0;  // the way the resting drag scrolls: -1, 0 or 1
    QPoint fPressPoint;
    Qt::MouseButton fPressButton = Qt::NoButton;
    Qt::KeyboardModifiers fPressModifiers;
};
