#include "viewer/ViewCommands.h"

#include <algorithm>

#include "viewer/Geometry.h"

int NextRatioPresetItem(double ratio)
{
    for (int i = 0; i < RatioPresetCount; ++i)
        if (RatioPresets[i] > ratio)
            return i;
    return 0;
}

int PriorRatioPresetItem(double ratio)
{
    for (int i = RatioPresetCount - 1; i >= 0; --i)
        if (RatioPresets[i] < ratio)
            return i;
    return RatioPresetCount - 1;
}

TWindowFit NextWindowFit(bool fitting, TWindowFit fit)
{
    if (!fitting)
        return TWindowFit::wfAll;
    switch (fit) {
    case TWindowFit::wfAll:
        return TWindowFit::wfWidth;
    case TWindowFit::wfWidth:
        return TWindowFit::wfHeight;
    case TWindowFit::wfHeight:
        break;
    }
    return TWindowFit::wfAll;
}

TViewMode NextViewMode(TViewMode mode)
{
    switch (mode) {
    case TViewMode::vmAuto:
        return TViewMode::vmSingle;
    case TViewMode::vmSingle:
        return TViewMode::vmSpread;
    case TViewMode::vmSpread:
        break;
    }
    return TViewMode::vmAuto;
}

double ZoomStep(int scalingRatio, bool enlarge)
{
    const double step = std::clamp(scalingRatio, 1, 100) / 100.0;
    return enlarge ? step : -step;
}

int CustomRatioPercent(double customRatio)
{
    return std::clamp(RoundHalfAway(customRatio * 100.0), 1, 800);
}
