#pragma once

// The keys the file list, the archive list and the trees handle themselves,
// besides the user's key bindings: Backspace, Enter, Esc, Delete, F2 and F5,
// and whether typed characters search the list incrementally. The widgets
// ask here and carry out the command they get, so the rules of which pane
// does what, and when, hold the same for every list and tree.

#include <cstdint>

#include "app/Init.h"
#include "browser/KeyBindings.h"
#include "browser/ListKind.h"

enum class TListPane : uint8_t {
    lpFileList,
    lpArchiveList,
    lpTree,
};

enum class TListKeyCommand : uint8_t {
    kcNone,          // the key is not the pane's: the key bindings may have it
    kcGoUp,          // the lists: one level up (the archive list inside the archive)
    kcSelectParent,  // a tree: select the parent node, the place change marked as Backspace's
    kcOpen,          // open the selection as a double click does
    kcProperties,    // actProperties
    kcLeaveSearch,   // leave the search results one level up
    kcDelete,        // actDelete
    kcRename,        // rename the focused item or the selected node in place
    kcRefresh,       // actRefresh
};

struct TListKeyState {
    TListPane Pane = TListPane::lpFileList;
    TListKind Kind = TListKind::lkFolder;
    // A name is being edited in place: the editor has the keys.
    bool Editing = false;
    // The list has selected items, or the tree a selected node.
    bool HasSelection = false;
    // The file list has a focused item.
    bool HasFocused = false;
};

// key: the key with its modifiers, as the key bindings code them. Only the
// plain keys (and Alt+Enter) are the pane's; Ctrl and Alt combinations stay
// free for the bindings. Shift passes, as deleting with Shift held is still a
// deletion.
TListKeyCommand ListKeyCommand(TShortCut key, const TListKeyState& state);

// Whether a typed character searches the list incrementally (LIST IncSearch).
bool IncSearchAllowed(TIncSearchMode mode, bool shift);
