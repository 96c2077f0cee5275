#include "viewer/FullPicture.h"

#include <algorithm>

#include "viewer/PageLayout.h"

TSize FitDecodeBox(const TViewState& state, TSize client)
{
    if (!state.Fitting() || client.Width <= 0 || client.Height <= 0)
        return TSize{};
    constexpr int unbounded = TPageLayout::MaxDisplaySide;
    // Half sizes fit half a page into the view: the page shows twice as large.
    const int grow = state.HalfV || state.HalfH ? 2 : 1;
    TSize box{client.Width * grow, client.Height * grow};
    if (state.WindowFit == TWindowFit::wfWidth)
        box.Height = unbounded;
    else if (state.WindowFit == TWindowFit::wfHeight)
        box.Width = unbounded;
    const bool quarter = state.Rotation == TRotation::rtRight90 || state.Rotation == TRotation::rtLeft90;
    if (quarter && state.AutoRotate) {
        // Only portrait pictures are turned: the box serves either way round.
        const int side = std::max(box.Width, box.Height);
        box = TSize{side, side};
    } else if (quarter) {
        box = TSize{box.Height, box.Width};
    }
    return box;
}
