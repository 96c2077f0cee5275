#pragma once

// What the numbers of the mouse catalogues run in this window: a move or a
// scroll of the image view (never exchanged for left-bound books, as a
// mouse has no left and right of its own), an action of one of the two
// action lists, or for the file list the opening of the item and the
// selection clicks. TImageMouseCommands carries an image-view operation out
// as far as the view alone can (moves, scrolls, zooming about the pointer)
// and hands every other action back to the window, which updates it and runs
// it only when enabled. User-interface thread.

#include <functional>
#include <optional>
#include <string_view>
#include <variant>

#include "app/MusCstm.h"
#include "browser/CommandTarget.h"
#include "browser/ViewActions.h"
#include "shellviews/ShellList.h"

// What an image-view command number runs; nothing for 0 and numbers outside
// the catalogue.
using TImageMouseTarget = std::variant<TMoveCommand, TScrollCommand, TActionId>;
std::optional<TImageMouseTarget> ImageMouseTarget(int command);
// The general action a file-list command 2..63 runs; nothing for the others.
std::optional<TActionId> ListMouseAction(int command);
// How a left-button drag moves the content for a drag command.
TDragMode DragModeOf(int command);

// What a mouse operation on a file-list item does.
enum class TListMouseKind : uint8_t {
    lmNone,             // nothing bound: the list handles the click as usual
    lmOpen,             // the item is opened (a folder or archive entered, a picture shown)
    lmProperties,       // a double click with Alt held
    lmAction,           // a general action
    lmShiftSelect,      // the click selects as if Shift were held
    lmCtrlSelect,       // ... Ctrl
    lmShiftCtrlSelect,  // ... both
};

struct TListMouseResult {
    TListMouseKind Kind = TListMouseKind::lmNone;
    TActionId Action{};  // lmAction
};

// The kind of item a row of the file list holds, from what opening it would
// do: a folder (also a shelf, medium or category and a link to a folder),
// an archive, a picture by its extension, any other file; miNone for no row.
TMouseItem MouseItemOf(const TOpenResult& opened, bool isRow, const std::function<bool(std::string_view ext)>& isImage);

// The command an operation on an item of that kind runs. The item becomes
// the only selected and focused one before any command but the selection
// clicks runs; that is the view's part.
TListMouseResult ListMouseCommand(const TMouseBindings& bindings, TMouseOperation op, const TMouseHeld& held, bool alt,
                                  TMouseItem kind);

// The outcome of an image-view operation.
struct TImageMouseResult {
    // The view carried the command out.
    std::optional<TActionOutcome> Outcome;
    // The window runs this action (updated first, only when enabled), on
    // the page under the pointer for the commands that act on one page.
    std::optional<TActionId> Action;
    TTargetPage Page = TTargetPage::tpAsk;
    // A right click shows the view's context menu instead of a command,
    // for the page under the pointer (tpAsk off the pages).
    bool Popup = false;
    TTargetPage PopupPage = TTargetPage::tpAsk;
};

class TImageMouseCommands {
public:
    TImageMouseCommands(TViewActions& actions, TPageViewer& viewer);

    // op happened at point of a client area width x height with held down.
    // Drags are not run here: the view asks DragMode when one begins. The
    // file and edit commands run only with the pointer over a page.
    TImageMouseResult Run(const TMouseBindings& bindings, TMouseOperation op, const TMouseHeld& held, TPoint point,
                          int width, int height);
    // How a left-button drag begun at point moves the content.
    static TDragMode DragMode(const TMouseBindings& bindings, const TMouseHeld& held, TPoint point, int width,
                              int height);

private:
    TViewActions& fActions;
    TPageViewer& fViewer;
};
