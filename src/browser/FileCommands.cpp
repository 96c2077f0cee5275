#include "browser/FileCommands.h"

#include "base/Errors.h"
#include "base/PathUtils.h"
#include "platform/FileSystem.h"
#include "base/Texts.h"

namespace {

// Asks the host about each name that exists in the target folder.
class THostAsker : public TConflictAsker {
public:
    explicit THostAsker(TFileCommandHost& host) : fHost(host) {}
    TConflictAnswer AskConflict(const TConflict& conflict) override { return fHost.AskConflict(conflict); }

private:
    TFileCommandHost& fHost;
};

}  // namespace

std::string TFileCommands::DeleteQuestion(bool toTrash)
{
    return toTrash ? Tx("選択されたファイルをごみ箱に移動してもよろしいですか？  ")
                   : Tx("選択されたファイルを完全に削除してもよろしいですか？  ");
}

void TFileCommands::TellErrors(const std::vector<std::string>& errors)
{
    if (errors.empty())
        return;
    std::string text;
    for (const std::string& error : errors)
        text += (text.empty() ? "" : "\n") + error;
    fHost.Tell(text, TMessageIcon::miError);
}

bool TFileCommands::Delete(const std::vector<std::string>& paths, const TDeleteOptions& options)
{
    if (paths.empty())
        return false;
    if (!options.NoQuestion && !fHost.Ask(DeleteQuestion(options.ToTrash)))
        return false;
    TUndoStep step;
    step.Kind = TUndoKind::ukTrash;
    std::vector<std::string> errors;
    bool removed = false;
    for (const std::string& path : paths) {
        try {
            if (options.ToTrash) {
                step.Trashed.push_back(fTrash.Trash(path));
            } else {
                int error = 0;
                if (!RemoveTree(ExcludeTrailingPathDelimiter(path), &error))
                    throw EFileError(SystemErrorText(path, error));
            }
            removed = true;
        } catch (const EMirevaError& e) {
            errors.push_back(e.what());
        }
    }
    if (!step.Trashed.empty())
        fUndo.Push(std::move(step));
    TellErrors(errors);
    return removed;
}

std::string TFileCommands::NewFolder(const std::string& folder)
{
    const std::string path = NewFolderPath(folder, [](const std::string& p) { return PathExists(p); });
    try {
        ForceDirectories(ExtractFilePath(path));
        if (!CreateDirectory(path))
            throw EFileError(SystemErrorText(path, EEXIST));
    } catch (const EMirevaError&) {
        fHost.Tell(Tx("フォルダが作成できませんでした  "), TMessageIcon::miInformation);
        return {};
    }
    TUndoStep step;
    step.Kind = TUndoKind::ukNewFolder;
    step.To = path;
    fUndo.Push(std::move(step));
    return path;
}

std::string TFileCommands::Rename(const std::string& path, const std::string& newName)
{
    const std::string from = ExcludeTrailingPathDelimiter(path);
    if (!IsValidFileName(newName)) {
        fHost.Tell("'" + newName + "' : not a name a file can have", TMessageIcon::miError);
        return {};
    }
    const std::string to = ExtractFilePath(from) + newName;
    if (to == from)
        return {};
    try {
        if (!RenameNoReplace(from, to))
            throw EFileError("'" + to + "' : exists already");
    } catch (const EMirevaError& e) {
        fHost.Tell(e.what(), TMessageIcon::miError);
        return {};
    }
    RenamedElsewhere(from, to);
    return to;
}

void TFileCommands::RenamedElsewhere(const std::string& from, const std::string& to)
{
    TUndoStep step;
    step.Kind = TUndoKind::ukRename;
    step.From = ExcludeTrailingPathDelimiter(from);
    step.To = ExcludeTrailingPathDelimiter(to);
    fUndo.Push(std::move(step));
}

void TFileCommands::PutOnClipboard(const std::vector<std::string>& paths, TClipOperation operation)
{
    TClipFiles files;
    files.Operation = operation;
    for (const std::string& path : paths)
        files.Paths.push_back(ExcludeTrailingPathDelimiter(path));
    fHost.PutFiles(files);
}

bool TFileCommands::Paste(const std::string& folder)
{
    const std::optional<TClipFiles> files = fHost.Files();
    if (!files || files->Paths.empty())
        return false;
    const bool cut = files->Operation == TClipOperation::coCut;
    const bool changed = Transfer(cut ? TTransferMode::tmMove : TTransferMode::tmCopy, files->Paths, folder);
    if (cut && changed)
        fHost.ClearFiles();
    return changed;
}

bool TFileCommands::Transfer(TTransferMode mode, const std::vector<std::string>& paths, const std::string& folder)
{
    THostAsker asker(fHost);
    TFileTransfer transfer(&fTrash, &asker, fHost.Progress());
    TTransferResult result = transfer.Run(mode, paths, folder);
    const bool changed = !result.Steps.empty();
    if (changed) {
        TUndoStep step;
        step.Kind = mode == TTransferMode::tmCopy ? TUndoKind::ukCopy : TUndoKind::ukMove;
        step.Steps = std::move(result.Steps);
        fUndo.Push(std::move(step));
    }
    TellErrors(result.Errors);
    return changed;
}

void TFileCommands::CopyPaths(const std::vector<std::string>& paths, bool parents)
{
    if (!paths.empty())
        fHost.PutText(PathCopyText(paths, parents));
}

bool TFileCommands::Undo()
{
    if (!fUndo.CanUndo())
        return false;
    const bool rename = fUndo.LastKind() == TUndoKind::ukRename;
    const std::string renamedFrom = rename ? fUndo.Last().From : std::string();
    const std::string renamedTo = rename ? fUndo.Last().To : std::string();
    const TUndoResult result = fUndo.Undo(fTrash);
    TellErrors(result.Errors);
    if (rename && !result.Restored.empty() && OnRenamedBack)
        OnRenamedBack(renamedTo, renamedFrom);
    return true;
}
