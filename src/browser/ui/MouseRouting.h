#pragma once

// Hands the mouse operations of the image view and the file list to the
// mouse bindings of the browser model. The widgets report operations by
// code; here they become operations with what was held, the bindings choose
// the command, and the command runs through the view's own commands or the
// window's actions. User-interface thread.

#include <QPoint>
#include <Qt>
#include <functional>

#include "app/MusCstm.h"
#include "browser/ActionTable.h"
#include "browser/CommandTarget.h"

class TBrowserModel;
class TFileListView;
class TImageViewFrame;
struct TActionOutcome;

TMouseHeld MouseHeldFrom(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers);

struct TMouseRoutes {
    // Runs an action as its menu item would: updated first, only when
    // enabled; over the image view on the page given.
    std::function<void(TActionId, TTargetPage)> RunAction;
    // Carries out what a view command asks of the window.
    std::function<void(const TActionOutcome&)> Carry;
    // Shows the image view's context menu at a global position, for the
    // page under the pointer (tpAsk off the pages).
    std::function<void(QPoint, TTargetPage)> ImagePopup;
};

// Both stay in force for the life of the widgets; model must outlive them.
void RouteImageMouse(TImageViewFrame& frame, TBrowserModel& model, TMouseRoutes routes);
void RouteListMouse(TFileListView& view, TBrowserModel& model, TMouseRoutes routes);
