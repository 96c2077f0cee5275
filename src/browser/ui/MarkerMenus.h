#pragma once

// The window's side of the recent files and markers: the recent-files
// sub-menu, made from the recent list each time it opens, and the marker and
// recent commands, which run through the keeper or open the dialog.

#include <functional>
#include <string>

#include "browser/ActionTable.h"

class QMenu;
class QWidget;
class TAppCore;
class TMarkerKeeper;

class TMarkerMenus {
public:
    // show tells the user something (the window's message box).
    TMarkerMenus(TMarkerKeeper& keeper, TAppCore& core, QWidget* window,
                 std::function<void(const std::string&)> show);

    // The commands carried out here.
    static bool Runs(TActionId action);
    // Runs one of them; false when it did nothing.
    bool Run(TActionId action);
    // The sub-menu that lists the recent files.
    void AttachRecentMenu(QMenu* menu);

private:
    void FillRecentMenu(QMenu* menu);
    // The dialog in marker mode (markers) or recent mode.
    void OpenDialog(bool markers);

    TMarkerKeeper& fKeeper;
    TAppCore& fCore;
    QWidget* fWindow;
    std::function<void(const std::string&)> fShow;
};
