#pragma once

// How every file of the program is written: into "<name>$$" beside it, every
// write checked, flushed, synced to disk, then renamed over the old file.
// Until Commit succeeds the old file is untouched; on any failure the "$$"
// file is removed and the old file stays as it was. The file exists under its
// own name at every moment: a backup of the old file is a second name for it
// (or a copy), never the old file moved away, so a program killed at any point
// leaves the old or the new file in place. Messages name the file the caller
// asked for, never its "$$".

#include <memory>
#include <string>
#include <string_view>

#include "base/Stream.h"

class TTemporaryStream;

class TAtomicFile {
public:
    // A "$$" file left behind by a killed save is cleared first
    // (ClearLeftover).
    explicit TAtomicFile(std::string path);
    ~TAtomicFile();  // without Commit: removes the "$$" file
    TAtomicFile(const TAtomicFile&) = delete;
    TAtomicFile& operator=(const TAtomicFile&) = delete;

    // The stream to write the new content into.
    TStream& Stream();
    // Syncs, closes and renames over the target; raises EFileError and leaves
    // the old file in place on failure. With a backupPath, the file being
    // replaced (when there is one) is first kept there by KeepCopy; a backup
    // that cannot be made fails the save.
    void Commit(const std::string& backupPath = std::string());

    // The file replaced: the target when the given path is a symbolic link.
    const std::string& Path() const { return fPath; }
    const std::string& TemporaryPath() const { return fTemporary; }

private:
    std::string fGiven;
    std::string fPath;
    std::string fTemporary;
    std::unique_ptr<TTemporaryStream> fStream;
    bool fCommitted = false;
};

// Writes the bytes to path through TAtomicFile, keeping the old file as
// backupPath when one is given.
void SaveFileAtomically(const std::string& path, std::string_view bytes, const std::string& backupPath = std::string());

// Clears the "$$" that a killed save of path left behind: it is removed when
// path exists (path is whole, the "$$" never replaced it), and kept as
// "<name>.interrupted-<date>" when path is missing, for it may then hold the
// only copy of the newest content. An empty one holds nothing and is removed.
// Raises EFileError when it cannot be moved aside.
void ClearLeftover(const std::string& path);

// Makes copyPath hold the file at path as it is now, replacing what copyPath
// held: a hard link where the file system allows one, a copy otherwise, put
// in place by one rename so that copyPath too is whole at every moment. path
// itself is not touched. Raises EFileError.
void KeepCopy(const std::string& path, const std::string& copyPath);

// Keeps the file at path under a name that no save ever replaces or removes:
// "<name without extension>.<label>-<yyyymmdd-hhnnss>", with "-2", "-3", ...
// when that name is taken. A hard link or a copy; path is not touched.
// Returns the name used; raises EFileError.
std::string KeepDatedCopy(const std::string& path, const std::string& label);
