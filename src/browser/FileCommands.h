#pragma once

// The file commands of the browser window on the paths the command target
// holds: delete (to the trash or for good, after the question), new folder,
// rename, cut, copy and paste through the clipboard, copy or move to a
// folder, copy paths as text, and undo of the last of them. The window asks
// and shows through the host; the disk work is the trash's and the
// transfer's, so a drop can call Transfer with the same questions. Every
// failure is shown to the user here; the results only say whether the
// listed place should be read again. User-interface thread.

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "fileops/FileLists.h"
#include "fileops/FileTransfer.h"
#include "fileops/FileUndo.h"
#include "fileops/Trash.h"
#include "loading/FileLoader.h"

class TFileCommandHost {
public:
    virtual ~TFileCommandHost() = default;
    // An OK/Cancel question with the question icon; true for OK.
    virtual bool Ask(const std::string& text) = 0;
    virtual void Tell(const std::string& text, TMessageIcon icon) = 0;
    virtual TConflictAnswer AskConflict(const TConflict& conflict) = 0;
    virtual void PutFiles(const TClipFiles& files) = 0;
    // The files on the clipboard, if it holds any.
    virtual std::optional<TClipFiles> Files() = 0;
    // After a cut was pasted: the files are no longer where the clipboard
    // says.
    virtual void ClearFiles() = 0;
    virtual void PutText(const std::string& text) = 0;
    // Told of long transfers; null shows nothing.
    virtual TTransferProgress* Progress() = 0;
};

struct TDeleteOptions {
    bool NoQuestion = false;  // LIST DelNoDialog
    bool ToTrash = true;      // LIST UndoDelete
};

class TFileCommands {
public:
    // trash and host must outlive the commands.
    TFileCommands(TTrash& trash, TFileCommandHost& host) : fTrash(trash), fHost(host) {}

    // The question before deleting files, by where they go.
    static std::string DeleteQuestion(bool toTrash);

    // True when anything was removed.
    bool Delete(const std::vector<std::string>& paths, const TDeleteOptions& options);
    // The new folder's path, or "" after "フォルダが作成できませんでした  "
    // (then no undo step is kept).
    std::string NewFolder(const std::string& folder);
    // Renames to a plain name in the same folder, never over an existing
    // one; the new path, or "" when refused or failed (shown).
    std::string Rename(const std::string& path, const std::string& newName);
    // A rename done elsewhere (the list's in-place edit), kept for undo.
    void RenamedElsewhere(const std::string& from, const std::string& to);
    void PutOnClipboard(const std::vector<std::string>& paths, TClipOperation operation);
    // Pastes the clipboard's files into folder: moved after a cut, copied
    // otherwise. True when anything changed.
    bool Paste(const std::string& folder);
    // Copies or moves paths into folder with the conflict questions.
    bool Transfer(TTransferMode mode, const std::vector<std::string>& paths, const std::string& folder);
    void CopyPaths(const std::vector<std::string>& paths, bool parents);

    bool CanUndo() const { return fUndo.CanUndo(); }
    // True when anything was taken back.
    bool Undo();
    // Told after Undo gave a renamed file or folder its old name back: what
    // was at from (the new name) is at to again. Whatever follows the path
    // (a shelf member) follows it back.
    std::function<void(const std::string& from, const std::string& to)> OnRenamedBack;

private:
    void TellErrors(const std::vector<std::string>& errors);

    TTrash& fTrash;
    TFileCommandHost& fHost;
    TFileUndo fUndo;
};
