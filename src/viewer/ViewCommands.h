#pragma once

// The small decisions behind the view's menu commands: which ratio preset
// the "next ratio" commands choose, how the fit and view-mode commands cycle,
// and the zoom step. The browser window applies the result to the view state
// and lays the pages out again.

#include "viewer/ViewOptions.h"

// The first of the nine presets strictly greater than ratio; the first
// preset (25 %) when none is.
int NextRatioPresetItem(double ratio);
// The last preset strictly smaller than ratio; the last (800 %) when none is.
int PriorRatioPresetItem(double ratio);

// Not fitting → whole; whole → width; width → height; height → whole.
TWindowFit NextWindowFit(bool fitting, TWindowFit fit);
// Automatic → single → spread → automatic.
TViewMode NextViewMode(TViewMode mode);

// The amount a zoom command adds to the ratio: ± ScalingRatio / 100.
double ZoomStep(int scalingRatio, bool enlarge);

// The percentage the ratio dialog starts with, 1..800.
int CustomRatioPercent(double customRatio);
