#include "viewer/ScaledArea.h"

#include <algorithm>

TRenderPlan TScaledArea::Update(const TRect& pageRect, TSize client)
{
    TRenderPlan plan;
    const TRect onScreen = pageRect.Intersect(TRect{0, 0, client.Width, client.Height});
    if (pageRect.IsEmpty() || onScreen.IsEmpty()) {
        // Nothing of the page is visible: what the cache held is forgotten
        // as well, so that scrolling back never shows stale pixels.
        Clear();
        return plan;
    }
    const TRect visible = onScreen.Offset(-pageRect.Left, -pageRect.Top);
    plan.Visible = true;
    plan.Area = visible;
    fCacheSize = TSize{std::max(fCacheSize.Width, visible.Width()), std::max(fCacheSize.Height, visible.Height())};
    plan.CacheSize = fCacheSize;

    const TRect kept = fHeld.IsEmpty() ? TRect{} : fHeld.Intersect(visible);
    if (kept.IsEmpty()) {
        plan.Regions.push_back(visible);
    } else {
        plan.Keep = true;
        plan.KeepSource = kept.Offset(-fHeld.Left, -fHeld.Top);
        plan.KeepDest = TPoint{kept.Left - visible.Left, kept.Top - visible.Top};
        // The exposed parts: full-width strips above and below what is kept,
        // and side strips in the rows between them.
        if (kept.Top > visible.Top)
            plan.Regions.push_back(TRect{visible.Left, visible.Top, visible.Right, kept.Top});
        if (kept.Bottom < visible.Bottom)
            plan.Regions.push_back(TRect{visible.Left, kept.Bottom, visible.Right, visible.Bottom});
        if (kept.Left > visible.Left)
            plan.Regions.push_back(TRect{visible.Left, kept.Top, kept.Left, kept.Bottom});
        if (kept.Right < visible.Right)
            plan.Regions.push_back(TRect{kept.Right, kept.Top, visible.Right, kept.Bottom});
    }
    fHeld = visible;
    return plan;
}
