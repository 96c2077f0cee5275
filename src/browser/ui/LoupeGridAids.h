#pragma once

// The browser window's loupe and grid: runs their eight commands, shows the
// result on the view's overlays and keeps the changed values in the settings
// file at once. The window asks it which of the commands are enabled and
// checked. User-interface thread.

#include <functional>
#include <string>

#include "browser/LoupeGrid.h"

class TAppCore;
class TImageViewFrame;

class TLoupeGridAids {
public:
    // frame and core must outlive it; report shows a failure to write the
    // settings file.
    TLoupeGridAids(TImageViewFrame& frame, TAppCore& core, std::function<void(const std::string&)> report);

    static bool Runs(TActionId action) { return TLoupeGrid::Runs(action); }
    // Runs one of the commands; false for any other action.
    bool Run(TActionId action);
    // The LOUPE and GRID options changed (a dialog, another settings file):
    // a shown loupe is opened again, a shown grid drawn again.
    void ApplyOptions();
    void FillContext(TActionContext& context) const { fState.FillContext(context); }
    // The check mark of actLoupe and actGrid.
    bool Checked(TActionId action) const;
    const TLoupeGrid& State() const { return fState; }

private:
    void Show();

    TImageViewFrame& fFrame;
    TAppCore& fCore;
    std::function<void(const std::string&)> fReport;
    TLoupeGrid fState;
};
