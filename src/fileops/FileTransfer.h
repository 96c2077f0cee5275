#pragma once

// Copying and moving files and folders into a folder, as paste, "copy to
// folder", "move to folder" and a drop do it. Nothing the user did not choose
// is ever replaced or removed: a name that exists in the target folder is
// asked about, a replaced file goes to the trash where the trash takes it
// (so undo can bring it back), a copy is written under a temporary name and
// renamed into place only when complete, and a move across volumes copies
// first and deletes the source only once its copy is whole. A failed item
// leaves its source as it was and takes back the part of its copy already
// made.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "fileops/Trash.h"

enum class TTransferMode : uint8_t { tmCopy, tmMove };

enum class TConflictAnswer : uint8_t {
    caReplace,     // replace this one
    caReplaceAll,  // replace this and every later one
    caSkip,        // keep the existing one, leave this source alone
    caSkipAll,
    caCancel,      // stop; what is done stays done
};

struct TConflict {
    std::string Source;
    std::string Target;  // exists now
    bool SourceIsFolder = false;
    bool TargetIsFolder = false;
};

// Asked on the thread that runs the transfer, once per name that exists in
// the target; a folder onto a folder merges without asking.
class TConflictAsker {
public:
    virtual ~TConflictAsker() = default;
    virtual TConflictAnswer AskConflict(const TConflict& conflict) = 0;
};

// Told how far a long transfer is; returning false stops it after the
// current file (which is completed or taken back).
class TTransferProgress {
public:
    virtual ~TTransferProgress() = default;
    virtual bool Progress(int64_t doneBytes, int64_t totalBytes, const std::string& current) = 0;
};

// One made copy or moved item, as undo needs it.
struct TMadeItem {
    std::string Path;
    uint64_t Device = 0;
    uint64_t Inode = 0;
    // A file's size and time as made: a number of a removed file may be
    // given to the next one, so these tell the user's own file apart.
    int64_t Size = 0;
    int64_t ModifiedSeconds = 0;
    int32_t ModifiedNanoseconds = 0;
    bool Folder = false;
    std::string Source;  // what it is a copy of
};

// Whether path is still the item made (a folder: the same folder).
bool IsStillMade(const TMadeItem& item);

struct TTransferStep {
    std::string From;  // the source path
    std::string To;    // where it is now (move) or where its copy is
    bool Renamed = false;  // a move done by one rename
    // Everything this step created, parents before children: what undo of
    // a copy removes (only while each is still the same file).
    std::vector<TMadeItem> Made;
    // Existing targets the user chose to replace, now in the trash.
    std::vector<TTrashedItem> Replaced;
};

struct TTransferResult {
    std::vector<TTransferStep> Steps;
    std::vector<std::string> Skipped;  // sources left alone after "skip"
    std::vector<std::string> Errors;   // one line per failed source
    bool Cancelled = false;
};

// Where a copy into the folder it comes from is put: "a.jpg" gives
// "a (2).jpg", "a (3).jpg", ... whichever is free first.
std::string FreeCopyName(const std::string& folder, const std::string& name);

class TFileTransfer {
public:
    // trash takes replaced targets; null replaces them outright. asker and
    // progress may be null (every conflict is then skipped).
    TFileTransfer(TTrash* trash, TConflictAsker* asker, TTransferProgress* progress)
        : fTrash(trash), fAsker(asker), fProgress(progress) {}

    // Copies or moves each source (absolute) into folder under its own name.
    TTransferResult Run(TTransferMode mode, const std::vector<std::string>& sources, const std::string& folder);
    // Moves one item to an exact path that must not exist (undo of a move).
    // Raises EFileError; a move across volumes leaves the source whole when
    // the copy fails.
    void MoveExact(const std::string& from, const std::string& to);

private:
    struct TRun;
    bool ResolveConflict(TRun& run, const std::string& source, const std::string& target, bool sourceFolder,
                         bool targetFolder, TTransferStep& step);
    void CopyTree(TRun& run, const std::string& source, const std::string& target, TTransferStep& step);
    void CopyFile(TRun& run, const std::string& source, const std::string& target, TTransferStep& step);
    void TakeBack(const TTransferStep& step);

    TTrash* fTrash;
    TConflictAsker* fAsker;
    TTransferProgress* fProgress;
};
