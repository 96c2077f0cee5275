#include "viewer/PageLayout.h"

#include <algorithm>
#include <cmath>

void TPageLayout::SetClientSize(int width, int height)
{
    fCW = width;
    fCH = height;
}

void TPageLayout::SetPictureOptions(const TViewPictureOptions& options)
{
    SetMargin(options.Offset);
    fGap = std::clamp(options.Center, 0, 100);
    fAllSpread = options.AllSpread;
    fRatioChange = options.RatioChange;
}

void TPageLayout::SetMargin(int pixels)
{
    fMargin2 = 2 * std::clamp(pixels, 0, 100);
}

int TPageLayout::DisplaySide(int side, double ratio)
{
    if (side <= 0)
        return 0;
    const double scaled = static_cast<double>(side) * ratio;
    if (!(scaled < static_cast<double>(MaxDisplaySide)))  // also catches NaN
        return std::isnan(scaled) ? 1 : MaxDisplaySide;
    // A ratio made as a quotient (available width / picture width) can come
    // back a hair below the whole side it was made from: 700 x (490 / 700)
    // is 489.99999999999994 in doubles. A relative nudge far below any
    // real fraction of a pixel keeps such sides whole. A very thin picture
    // at a small ratio still shows one pixel.
    return std::max(1, Trunc(scaled * (1.0 + 1e-12)));
}

void TPageLayout::UpdateDisplaySize(int page)
{
    const TSize picture = fPicture[page];
    if (picture.IsEmpty()) {
        fPageSize[page] = TSize{};
        return;
    }
    fPageSize[page] = TSize{DisplaySide(picture.Width, fPageRatio[page]), DisplaySide(picture.Height, fPageRatio[page])};
}

void TPageLayout::SetPageRatio(int page, double ratio)
{
    fPageRatio[PageIndex(page)] = (ratio > 0.0 && std::isfinite(ratio)) ? ratio : 0.0;
}

void TPageLayout::ApplyRatioState()
{
    fFixedWidth = 0;
    fFixedHeight = 0;
    if (fState.DefSize) {
        fPageRatio[0] = fPageRatio[1] = 1.0;
        return;
    }
    switch (fState.ScaleMode) {
    case TScaleMode::smRatio: {
        double ratio = 1.0;
        if (fState.RatioItem == CustomRatioItem)
            ratio = fState.CustomRatio;
        else if (fState.RatioItem >= 0 && fState.RatioItem < RatioPresetCount)
            ratio = RatioPresets[fState.RatioItem];
        if (!(ratio > 0.0) || !std::isfinite(ratio))
            ratio = 1.0;
        fPageRatio[0] = fPageRatio[1] = ratio;
        break;
    }
    case TScaleMode::smSize: {
        const int size = std::clamp(fState.SetSize, 1, 5000);
        if (fState.SizeDir == TSizeDir::sdWidth)
            fFixedWidth = size;
        else
            fFixedHeight = size;
        break;
    }
    case TScaleMode::smFit:
        break;
    }
}

void TPageLayout::ClearView()
{
    for (int page = 0; page < 2; ++page) {
        fPicture[page] = TSize{};
        fPageRatio[page] = 0.0;
        fPageSize[page] = TSize{};
    }
    fSpread = false;
    fContent = TRect{};
    fZooming = false;
    fResizing = false;
    fStartAtOppositeSide = false;
    fStartAtBottom = false;
}

bool TPageLayout::PageOnLeft(int page) const
{
    if (!fSpread)
        return PageIndex(page) == 0;
    return (PageIndex(page) == 1) != (fState.BindRight() == fTravelBackward);
}

bool TPageLayout::PageShown(int page) const
{
    const int p = PageIndex(page);
    if (p == 1 && !fSpread)
        return false;
    return !fPageSize[p].IsEmpty();
}

TRect TPageLayout::PageRect(int page) const
{
    const int p = PageIndex(page);
    if (!PageShown(p))
        return TRect{};
    const TSize size = fPageSize[p];
    const int offset = Offset();
    int left;
    int top;
    if (fSpread) {
        left = PageOnLeft(p) ? fContent.Left + offset : fContent.Right - size.Width - offset;
        // Each page of a spread is centred on its own while the content fits
        // the height, so a shorter page does not hang at the top.
        top = fCH < fContent.Height() ? fContent.Top + offset : (fCH - size.Height) / 2;
    } else {
        left = fContent.Left + offset;
        top = fContent.Top + offset;
    }
    return TRect::FromSize(left, top, size.Width, size.Height);
}

TRect TPageLayout::VisiblePart(int page) const
{
    const TRect rect = PageRect(page);
    const TRect visible = rect.Intersect(TRect{0, 0, fCW, fCH});
    if (visible.IsEmpty())
        return TRect{};
    return visible.Offset(-rect.Left, -rect.Top);
}

// --- Measuring --------------------------------------------------------------

void TPageLayout::MeasurePage(int page, int width, int height)
{
    const int p = PageIndex(page);
    fPicture[p] = TSize{std::max(0, width), std::max(0, height)};
    const bool wasSpread = p != 1 || fSpread;

    bool pass = false;
    if (!fPicture[p].IsEmpty()) {
        switch (fState.ViewMode) {
        case TViewMode::vmAuto:
            pass = fPicture[p].Width <= fPicture[p].Height;  // a square counts as portrait
            break;
        case TViewMode::vmSpread:
            pass = true;
            break;
        case TViewMode::vmSingle:
            pass = false;
            break;
        }
    }
    // Both pictures must pass for a spread: measuring the partner never
    // revives a spread the primary ended.
    fSpread = p == 0 ? pass : (fSpread && pass);

    if (ClientEmpty())
        return;
    if (fState.Fitting())
        MeasureFit(p, wasSpread);
    else
        MeasureRatioOutsideFit(p, wasSpread);
}

void TPageLayout::MeasureRatioOutsideFit(int page, bool wasSpread)
{
    if (page == 0 || fSpread) {
        const TSize picture = fPicture[page];
        if (picture.IsEmpty()) {
            // Nothing to show: the ratio stays as it is, the size is 0.
            fPageSize[page] = TSize{};
        } else if (fFixedWidth != 0) {
            const double ratio = static_cast<double>(fFixedWidth) / picture.Width;
            fPageRatio[page] = ratio;
            fPageSize[page] = TSize{fFixedWidth, DisplaySide(picture.Height, ratio)};
        } else if (fFixedHeight != 0) {
            const double ratio = static_cast<double>(fFixedHeight) / picture.Height;
            fPageRatio[page] = ratio;
            fPageSize[page] = TSize{DisplaySide(picture.Width, ratio), fFixedHeight};
        } else {
            UpdateDisplaySize(page);
        }
        if (fState.ViewMode == TViewMode::vmAuto && !fAllSpread && fSpread) {
            if (page == 0)
                fSpread = fPageSize[0].Width < fCW - fMargin2;
            else
                fSpread = fCW - fMargin2 - fGap >= fPageSize[0].Width + fPageSize[1].Width;
        }
    }
    if ((page == 1 && wasSpread) || (page == 0 && !fSpread))
        PlaceContent();
}

void TPageLayout::MeasureFit(int page, bool wasSpread)
{
    if (page == 0) {
        // With a spread ahead the pair is computed when the partner is measured.
        if (!fSpread) {
            FitSinglePage();
            PlaceContent();
        }
        return;
    }
    if (fSpread) {
        FitPair();
        PlaceContent();
    } else if (wasSpread) {
        FitSinglePage();
        PlaceContent();
    }
}

double TPageLayout::FitRatio(int availWidth, int availHeight, int width, int height) const
{
    if (width <= 0 || height <= 0)
        return 1.0;
    // A view smaller than its margins still fits something.
    const double aw = std::max(1, availWidth);
    const double ah = std::max(1, availHeight);
    double r = aw / width;
    if (fState.WindowFit != TWindowFit::wfWidth) {
        const double rh = ah / height;
        if (fState.WindowFit == TWindowFit::wfHeight || rh < r)
            r = rh;
    }
    if (fState.NoEnlarge && r > 1.0)
        return 1.0;
    return r;
}

void TPageLayout::FitSinglePage()
{
    const TSize picture = fPicture[0];
    if (picture.IsEmpty()) {
        fPageSize[0] = TSize{};
        return;
    }
    int aw = fCW - fMargin2;
    int ah = fCH - fMargin2;
    // Half-size bases: the picture is fitted as if the view were twice as
    // wide (landscape) or tall (portrait), so half of it fills the view.
    if (fState.HalfH && picture.Height < picture.Width)
        aw += fCW;
    else if (fState.HalfV && picture.Width < picture.Height)
        ah += fCH;
    fPageRatio[0] = FitRatio(aw, ah, picture.Width, picture.Height);
    UpdateDisplaySize(0);
}

namespace {

// Pair widths can exceed the integer range for absurd shapes; they are
// handed to FitRatio saturated, where such a page simply gets a tiny ratio.
int SaturatedSide(double side)
{
    return SaturateToInt(std::min(side, static_cast<double>(1 << 30)));
}

}  // namespace

void TPageLayout::FitPair()
{
    const int w0 = fPicture[0].Width;
    const int h0 = fPicture[0].Height;
    const int w1 = fPicture[1].Width;
    const int h1 = fPicture[1].Height;
    const int aw = fCW - fMargin2 - fGap;
    const int ah = fCH - fMargin2;
    const int halfAw = aw / 2;

    // The half-size adjustment for a pair of total width W and height H.
    auto adjusted = [&](double W, double H, int& awOut, int& ahOut) {
        awOut = aw;
        ahOut = ah;
        if (fState.HalfH && H < W)
            awOut = aw + fCW;
        else if (fState.HalfV && W < H)
            ahOut = ah + fCH;
    };

    double r0 = 1.0;
    double r1 = 1.0;
    if (fState.EqualHeight) {
        double H;
        double W0;
        double W1;
        if (h1 < h0) {
            r0 = 1.0;
            r1 = static_cast<double>(h0) / h1;
            H = h0;
            W0 = w0;
            W1 = std::round(w1 * r1);
        } else {
            r0 = static_cast<double>(h1) / h0;
            r1 = 1.0;
            H = h1;
            W0 = std::round(w0 * r0);
            W1 = w1;
        }
        double f;
        if (fState.Center) {
            f = FitRatio(halfAw, ah, SaturatedSide(std::max(W0, W1)), SaturatedSide(H));
        } else {
            int aw2;
            int ah2;
            adjusted(W0 + W1, H, aw2, ah2);
            f = FitRatio(aw2, ah2, SaturatedSide(W0 + W1), SaturatedSide(H));
        }
        r0 *= f;
        r1 *= f;
    } else if (fState.EqualRatio) {
        double r;
        if (fState.Center) {
            r = FitRatio(halfAw, ah, std::max(w0, w1), std::max(h0, h1));
        } else {
            const int W = w0 + w1;
            const int H = std::max(h0, h1);
            int aw2;
            int ah2;
            adjusted(W, H, aw2, ah2);
            r = FitRatio(aw2, ah2, W, H);
        }
        r0 = r1 = r;
    } else if (fState.Center) {
        // Each page is fitted into its own half of the view.
        r0 = FitRatio(halfAw, ah, w0, h0);
        r1 = FitRatio(halfAw, ah, w1, h1);
    } else {
        const double W = static_cast<double>(w0) + w1;
        const double H = std::max(h0, h1);
        int aw2;
        int ah2;
        adjusted(W, H, aw2, ah2);
        const double awf = std::max(1, aw2);
        const double ahf = std::max(1, ah2);
        auto limit = [&](double r) { return fState.NoEnlarge ? std::min(r, 1.0) : r; };
        r0 = limit(ahf / h0);  // each page fills the height on its own
        r1 = limit(ahf / h1);
        const double q = limit(awf / W);  // one ratio that fits both widths
        switch (fState.WindowFit) {
        case TWindowFit::wfWidth:
            r0 = r1 = q;
            break;
        case TWindowFit::wfAll:
            if (q >= r0 && q < r1) {
                // Page 0 keeps its height ratio; page 1 gets the width left.
                r1 = std::min(r1, limit(std::max(0.0, (awf - std::round(w0 * r0)) / w1)));
            } else if (q < r0 && q > r1) {
                r0 = std::min(r0, limit(std::max(0.0, (awf - std::round(w1 * r1)) / w0)));
            } else if (q < r0 && q <= r1) {
                r0 = r1 = q;
            }
            break;
        case TWindowFit::wfHeight:
            break;
        }
    }
    fPageRatio[0] = r0;
    fPageRatio[1] = r1;
    UpdateDisplaySize(0);
    UpdateDisplaySize(1);

    if (fState.ViewMode == TViewMode::vmAuto && !fAllSpread && fState.WindowFit == TWindowFit::wfHeight) {
        fSpread = fCW - fMargin2 >= fPageSize[0].Width + fPageSize[1].Width;
        // The pair does not fit: the primary is fitted alone.
        if (!fSpread)
            FitSinglePage();
    }
}

// --- Placement --------------------------------------------------------------

void TPageLayout::PlaceContent()
{
    if (ClientEmpty())
        return;
    const int offset = Offset();
    const int CW = fCW;
    const int CH = fCH;
    const int TW = fPageSize[0].Width + (fSpread ? fGap + fPageSize[1].Width : 0) + fMargin2;
    const int TH = std::max(fPageSize[0].Height, fSpread ? fPageSize[1].Height : 0) + fMargin2;
    const bool bindRight = fState.BindRight();
    int L;
    int T;

    if (TW > CW) {
        if (fResizing) {
            const int s = fResizeAnchor.X;
            if (bindRight) {
                // s is how far the content's right edge stood beyond the view.
                if (s <= 0 || TW - s >= CW)
                    L = s < 0 ? CW - TW : CW + s - TW;
                else
                    L = 0;
            } else {
                // s is the content's left edge.
                if (s < 0 && TW + s < CW)
                    L = CW - TW;
                else
                    L = std::min(s, 0);
            }
        } else if (fZooming) {
            const int ap = fZoomAnchorPage;
            if (PageOnLeft(ap))
                L = CW / 2 - offset - fZoomAnchor.X;
            else
                L = CW / 2 + fPageSize[ap].Width + offset - fZoomAnchor.X - TW;
            L = std::min(L, 0);
            if (TW + L < CW)
                L = CW - TW;
        } else {
            // A right-bound book opens at the right edge, a left-bound one at
            // the left; a page entered backwards at the other edge.
            L = bindRight != fStartAtOppositeSide ? CW - TW : 0;
        }
    } else if (fSpread && fState.Center) {
        // The joint between the pages sits at the centre while both fit.
        const int leftPage = PageOnLeft(0) ? 0 : 1;
        L = CW / 2 - fPageSize[leftPage].Width - offset - fGap / 2;
        if (L < 0)
            L = 0;
        else if (TW + L > CW)
            L = CW - TW;
    } else {
        L = (CW - TW) / 2;
    }

    if (TH <= CH) {
        T = (CH - TH) / 2;
    } else if (fResizing) {
        if (fContent.Top < 0 && TH + fContent.Top < CH)
            T = CH - TH;
        else
            T = std::min(fContent.Top, 0);
    } else if (fZooming) {
        T = CH / 2 - offset - fZoomAnchor.Y;
        T = std::min(T, 0);
        if (TH + T < CH)
            T = CH - TH;
    } else if (fStartAtBottom) {
        T = CH - TH;
    } else {
        T = 0;
    }

    fContent = TRect{L, T, L + TW, T + TH};
    SaveResizeAnchor();
    fStartAtOppositeSide = false;
    fStartAtBottom = false;
}

void TPageLayout::SaveResizeAnchor()
{
    // A right-bound book keeps how far its right edge stands beyond the
    // view, a left-bound one its left edge: each keeps the reading start
    // side in place when the window is resized. The form depends on the
    // binding alone, as PlaceContent reads it.
    if (fState.BindRight())
        fResizeAnchor = TPoint{fContent.Right - fCW, fContent.Top};
    else
        fResizeAnchor = TPoint{fContent.Left, fContent.Top};
}

void TPageLayout::ScrollBy(int dx, int dy)
{
    fContent = fContent.Offset(dx, dy);
    SaveResizeAnchor();
}

// --- Zoom ---------------------------------------------------------------------

void TPageLayout::ZoomBy(bool multiply, bool anchorGiven, double amount)
{
    if (ClientEmpty())
        return;
    if (!anchorGiven)
        fZoomAnchor = TPoint{fCW / 2 - fContent.Left, fCH / 2 - fContent.Top};

    int ap = 0;
    if (fSpread) {
        if (!PageOnLeft(1)) {
            if (fContent.Width() - fPageSize[1].Width < fZoomAnchor.X)
                ap = 1;
        } else if (fZoomAnchor.X < fPageSize[1].Width) {
            ap = 1;
        }
    }
    const int other = 1 - ap;
    const double old = fPageRatio[ap];
    // Nothing is shown at a ratio of 0 (no picture): there is nothing to zoom
    // and the anchor could not be scaled.
    if (!(old > 0.0))
        return;
    fZoomAnchorPage = ap;
    fZooming = true;

    if (amount != 0.0) {
        if (multiply) {
            fPageRatio[0] *= amount;
            fPageRatio[1] *= amount;
        } else if (!fRatioChange) {
            // Both pages grow in proportion, so a spread keeps its shape.
            fPageRatio[other] += amount * (fPageRatio[other] / old);
            fPageRatio[ap] += amount;
        } else {
            fPageRatio[ap] += amount;
            fPageRatio[other] = fPageRatio[ap];
        }
        for (double& r : fPageRatio) {
            if (!(r >= MinPageRatio))
                r = MinPageRatio;
            else if (r > MaxPageRatio)
                r = MaxPageRatio;
        }
    } else {
        fPageRatio[0] = fPageRatio[1] = 1.0;
    }

    const int offset = Offset();
    const double ratio = fPageRatio[ap];
    const int relX = PageOnLeft(ap) ? fZoomAnchor.X - offset
                                    : fZoomAnchor.X + fContent.Left + fPageSize[ap].Width + offset - fContent.Right;
    const int relY = fZoomAnchor.Y - offset;
    fZoomAnchor.X = RoundHalfAway(std::round(relX / old) * ratio);
    fZoomAnchor.Y = RoundHalfAway(std::round(relY / old) * ratio);

    UpdateDisplaySize(0);
    if (fSpread)
        UpdateDisplaySize(1);
    PlaceContent();
    fZooming = false;
}
