#pragma once

// The page layout of the image view: from the view's client size, the view
// state, the settings and the sizes of the shown pictures it decides whether
// one page or a two-page spread is shown, the display ratio and size of each
// page, where the content (pages, gap and margins) lies in the view, and how
// zooming, resizing and entering a page keep the reader's place. It is plain
// arithmetic with no painting: the view widget forwards its size and events
// here and paints the page rectangles this class computes.
//
// Coordinates: view coordinates have (0, 0) at the top left of the client
// area; ContentRect() is in view coordinates and has a negative left or top
// when the content is scrolled. "Content coordinates" are relative to the
// content's top-left corner.

#include "viewer/Geometry.h"
#include "viewer/ViewOptions.h"

class TPageLayout {
public:
    // A display side never exceeds this, so that sums of sides, gaps and
    // margins stay far inside the integer range for any picture shape.
    static constexpr int MaxDisplaySide = 1 << 24;

    TPageLayout() = default;

    // --- Inputs -----------------------------------------------------------

    // The view's client size. While either side is 0 or less nothing is laid
    // out (the view is hidden or being created).
    void SetClientSize(int width, int height);
    TSize ClientSize() const { return TSize{fCW, fCH}; }
    bool ClientEmpty() const { return fCW <= 0 || fCH <= 0; }

    void SetPictureOptions(const TViewPictureOptions& options);
    void SetViewState(const TViewState& state) { fState = state; }
    const TViewState& ViewState() const { return fState; }
    // True after a backward move: the partner lies below the primary page.
    void SetTravelBackward(bool backward) { fTravelBackward = backward; }
    bool TravelBackward() const { return fTravelBackward; }

    // Margin around the pages: Margin2 is twice the "Offset" setting.
    void SetMargin(int pixels);
    int Margin2() const { return fMargin2; }
    int Offset() const { return fMargin2 / 2; }

    // Placement marks for the next PlaceContent: a layout caused by a resize
    // keeps the scroll position; a page entered backwards opens at its far
    // side or bottom. The two start marks are cleared by PlaceContent.
    void SetResizing(bool on) { fResizing = on; }
    void SetStartAtOppositeSide(bool on) { fStartAtOppositeSide = on; }
    void SetStartAtBottom(bool on) { fStartAtBottom = on; }
    bool StartAtOppositeSide() const { return fStartAtOppositeSide; }
    bool StartAtBottom() const { return fStartAtBottom; }

    // --- Operations -------------------------------------------------------

    // Sets the page ratios (or the fixed size) from the view state: actual
    // size 1.0, a fixed ratio, a fixed width or height; fitting leaves them to
    // MeasurePage.
    void ApplyRatioState();
    // Measures page 0 (the primary picture) or page 1 (the partner): decides
    // the spread, computes ratios and display sizes, and places the content
    // once the layout is complete. A picture that could not be loaded is
    // measured as 0 x 0.
    void MeasurePage(int page, int width, int height);
    // Computes ContentRect from the display sizes and the placement marks.
    void PlaceContent();
    // Zooms both pages, keeping the content point under the view's centre
    // (or the anchor given with SetZoomAnchor) in place. multiply: the ratios
    // are multiplied by amount; otherwise amount is added (a step); amount 0
    // sets both ratios to 1.0.
    void ZoomBy(bool multiply, bool anchorGiven, double amount);
    // The zoom anchor in content coordinates, for a zoom at the mouse or at
    // the centre of a rubber band.
    void SetZoomAnchor(TPoint contentPoint) { fZoomAnchor = contentPoint; }
    TPoint ZoomAnchor() const { return fZoomAnchor; }
    int ZoomAnchorPage() const { return fZoomAnchorPage; }
    // Moves the content by (dx, dy) as scrolling does and remembers the new
    // position for resizes.
    void ScrollBy(int dx, int dy);
    void SetPageRatio(int page, double ratio);
    double GetPageRatio(int page) const { return fPageRatio[PageIndex(page)]; }
    // Forgets the pictures: ratios, sizes and the spread are reset.
    void ClearView();

    // --- Results ----------------------------------------------------------

    bool SpreadActive() const { return fSpread; }
    double PageRatio(int page) const { return fPageRatio[PageIndex(page)]; }
    TSize PageSize(int page) const { return fPageSize[PageIndex(page)]; }
    TSize PictureSize(int page) const { return fPicture[PageIndex(page)]; }
    TRect ContentRect() const { return fContent; }
    TPoint ResizeAnchor() const { return fResizeAnchor; }
    int FixedWidth() const { return fFixedWidth; }
    int FixedHeight() const { return fFixedHeight; }
    // True when the page is drawn on the left of the spread. A single page
    // counts as drawn on the left (it is placed from the content's left).
    bool PageOnLeft(int page) const;
    // Whether the page is shown at all: page 1 only in a spread, and a page
    // only with a picture.
    bool PageShown(int page) const;
    // The page's rectangle in view coordinates; empty when it is not shown.
    TRect PageRect(int page) const;
    // The part of the page inside the client area, in the page's own display
    // coordinates; empty when nothing of it is visible.
    TRect VisiblePart(int page) const;
    // True when the page is shown at exactly its loaded size, so that it is
    // copied rather than resampled.
    bool PageExact(int page) const { return fPageRatio[PageIndex(page)] == 1.0; }

private:
    static int PageIndex(int page) { return page == 1 ? 1 : 0; }
    static int DisplaySide(int side, double ratio);
    double FitRatio(int availWidth, int availHeight, int width, int height) const;
    void UpdateDisplaySize(int page);
    void MeasureRatioOutsideFit(int page, bool wasSpread);
    void MeasureFit(int page, bool wasSpread);
    void FitSinglePage();
    void FitPair();
    void SaveResizeAnchor();

    // Inputs.
    int fCW = 0;
    int fCH = 0;
    TViewState fState;
    bool fTravelBackward = false;
    int fMargin2 = 10;
    int fGap = 0;
    bool fAllSpread = false;
    bool fRatioChange = false;

    // Layout state.
    TSize fPicture[2];
    double fPageRatio[2] = {0.0, 0.0};
    TSize fPageSize[2];
    TRect fContent;
    bool fSpread = false;
    int fFixedWidth = 0;
    int fFixedHeight = 0;
    TPoint fZoomAnchor;
    int fZoomAnchorPage = 0;
    TPoint fResizeAnchor;
    bool fResizing = false;
    bool fZooming = false;
    bool fStartAtOppositeSide = false;
    bool fStartAtBottom = false;
};
