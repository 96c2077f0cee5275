#pragma once

// What the last file operations did, kept so that "元に戻す" can take them
// back one at a time, newest first: a trashing is undone by restoring from
// the trash, a copy by removing the copies (only those still unchanged), a
// move by moving back, a rename by renaming back, a new folder by removing
// it while it is empty. Undo never replaces anything that exists now; what
// cannot be taken back is reported and left as it is.

#include <cstdint>
#include <string>
#include <vector>

#include "fileops/FileTransfer.h"
#include "fileops/Trash.h"

enum class TUndoKind : uint8_t { ukTrash, ukCopy, ukMove, ukRename, ukNewFolder };

struct TUndoStep {
    TUndoKind Kind = TUndoKind::ukTrash;
    std::vector<TTrashedItem> Trashed;   // ukTrash
    std::vector<TTransferStep> Steps;    // ukCopy, ukMove
    std::string From, To;                // ukRename (old and new path); ukNewFolder (To)
};

struct TUndoResult {
    std::vector<std::string> Restored;  // the paths that are back as they were
    std::vector<std::string> Errors;
};

class TFileUndo {
public:
    // Steps beyond the limit are forgotten, oldest first.
    explicit TFileUndo(size_t limit = 20) : fLimit(limit) {}

    void Push(TUndoStep step);
    bool CanUndo() const { return !fSteps.empty(); }
    TUndoKind LastKind() const { return fSteps.back().Kind; }
    // The newest step; only while CanUndo.
    const TUndoStep& Last() const { return fSteps.back(); }
    // Takes back the newest step and forgets it (even when part of it could
    // not be taken back: the rest would fail again the same way).
    TUndoResult Undo(TTrash& trash);
    void Clear() { fSteps.clear(); }

private:
    size_t fLimit;
    std::vector<TUndoStep> fSteps;
};
