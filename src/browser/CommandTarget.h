#pragma once

// Which pane a command acts on: the image view, the file list, the archive
// list or the active tree. "削除" in the file list deletes the selected
// files, in the tree the selected folder, over the image the shown picture;
// the target decides, and it follows the focus. The window reports focus
// facts; the rule is worked out once after each focus change and kept until
// the next (the focus leaving every pane keeps the last target, so a command
// from the menu bar still acts on the pane the user was in).

#include <cstdint>

enum class TCommandTarget : int8_t {
    ctNone = -1,        // nothing had the focus yet
    ctFileList = 0,     // the file list (or the thumbnail view of a folder)
    ctArchiveList = 1,  // the archive list (or the thumbnail view of an archive)
    ctTree = 2,         // the active tree
    ctImage = 3,        // the image view, or the separate image window
};

// Which shown page a command of the image view acts on. The view's context
// menu gives the page it was opened over; the menu bar, the tool bar and the
// keys give none.
enum class TTargetPage : int8_t {
    tpAsk = -1,     // no page given: the user chooses while a spread is shown
    tpPrimary = 0,  // the primary page
    tpPartner = 1,  // the partner page
};

// Where the focus is, as the window sees it.
struct TFocusFacts {
    bool ImageWindowActive = false;  // the separate image window is the active window
    bool ImageViewFocused = false;   // the image view's scroll area has the focus
    bool FileListFocused = false;
    bool ThumbnailFocused = false;
    bool ArchiveShown = false;       // the list shows an archive
    bool ArchiveListFocused = false;
    bool TreeFocused = false;        // the active tree has the focus
};

// The target for these facts; last when no pane has the focus.
TCommandTarget CommandTargetOf(const TFocusFacts& focus, TCommandTarget last);

// Keeps the target from one focus change to the next.
class TCommandTargetTracker {
public:
    // The focus moved (a pane was entered or left, the window activated):
    // the next Target works the rule out again.
    void FocusChanged() { fStale = true; }
    // A pane was chosen without the focus moving there (a selection made by
    // the command line of a snapshot run, in a window that is not active):
    // it is the target until the focus moves.
    void Choose(TCommandTarget target)
    {
        fTarget = target;
        fStale = false;
    }
    // The target, worked out from focus when the focus changed since.
    TCommandTarget Target(const TFocusFacts& focus);

private:
    TCommandTarget fTarget = TCommandTarget::ctNone;
    bool fStale = true;
};
