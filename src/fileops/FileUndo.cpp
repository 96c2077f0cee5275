#include "fileops/FileUndo.h"

#include <sys/stat.h>
#include <unistd.h>

#include "base/Errors.h"
#include "platform/FileSystem.h"

void TFileUndo::Push(TUndoStep step)
{
    fSteps.push_back(std::move(step));
    if (fSteps.size() > fLimit)
        fSteps.erase(fSteps.begin());
}

namespace {

// A made item is removed only while it is still the same file the
// operation made: anything the user put there since stays.
bool StillMade(const TMadeItem& item)
{
    return IsStillMade(item);
}

void RestoreReplaced(TTrash& trash, const TTransferStep& step, TUndoResult& result)
{
    for (const TTrashedItem& item : step.Replaced) {
        try {
            trash.Restore(item);
            result.Restored.push_back(item.OriginalPath);
        } catch (const EFileError& error) {
            result.Errors.push_back(error.what());
        }
    }
}

}  // namespace

TUndoResult TFileUndo::Undo(TTrash& trash)
{
    TUndoResult result;
    if (fSteps.empty())
        return result;
    const TUndoStep step = std::move(fSteps.back());
    fSteps.pop_back();
    TFileTransfer mover(nullptr, nullptr, nullptr);
    auto attempt = [&result](const std::string& path, auto&& work) {
        try {
            work();
            result.Restored.push_back(path);
        } catch (const EMirevaError& error) {
            result.Errors.push_back(error.what());
        }
    };
    switch (step.Kind) {
    case TUndoKind::ukTrash:
        for (const TTrashedItem& item : step.Trashed)
            attempt(item.OriginalPath, [&] { trash.Restore(item); });
        break;
    case TUndoKind::ukCopy:
        for (auto it = step.Steps.rbegin(); it != step.Steps.rend(); ++it) {
            for (auto made = it->Made.rbegin(); made != it->Made.rend(); ++made) {
                if (!StillMade(*made)) {
                    result.Errors.push_back("'" + made->Path + "' : changed since it was copied; kept");
                    continue;
                }
                // A folder that holds something new stays (rmdir refuses).
                if (made->Folder ? ::rmdir(made->Path.c_str()) != 0 : ::unlink(made->Path.c_str()) != 0)
                    result.Errors.push_back(SystemErrorText(made->Path, errno));
            }
            RestoreReplaced(trash, *it, result);
            result.Restored.push_back(it->From);
        }
        break;
    case TUndoKind::ukMove:
        for (auto it = step.Steps.rbegin(); it != step.Steps.rend(); ++it) {
            if (it->Renamed) {
                attempt(it->From, [&] { mover.MoveExact(it->To, it->From); });
                continue;
            }
            // Moved by copying: every file goes back where it came from,
            // then the folders made for them go if they are empty.
            for (const TMadeItem& made : it->Made)
                if (!made.Folder && StillMade(made))
                    attempt(made.Source, [&] { mover.MoveExact(made.Path, made.Source); });
            for (auto made = it->Made.rbegin(); made != it->Made.rend(); ++made)
                if (made->Folder && StillMade(*made))
                    ::rmdir(made->Path.c_str());
            RestoreReplaced(trash, *it, result);
        }
        break;
    case TUndoKind::ukRename:
        attempt(step.From, [&] {
            if (!RenameNoReplace(step.To, step.From))
                throw EFileError("'" + step.From + "' : exists already");
        });
        break;
    case TUndoKind::ukNewFolder:
        attempt(step.To, [&] {
            if (::rmdir(step.To.c_str()) != 0)
                throw EFileError(SystemErrorText(step.To, errno));
        });
        break;
    }
    return result;
}
