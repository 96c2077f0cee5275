#pragma once

// How every file of the program is written: into "<name>$$" beside it, every
// write checked, flushed, synced to disk, then renamed over the old file.
// Until Commit succeeds the old file is untouched; on any failure the "$$"
// file is removed and the old file stays as it was. A crash at any moment
// leaves either the old or the new file, never a truncated one.

#include <memory>
#include <string>
#include <string_view>

#include "base/Stream.h"

class TFileStream;

class TAtomicFile {
public:
    explicit TAtomicFile(std::string path);
    ~TAtomicFile();  // without Commit: removes the "$$" file
    TAtomicFile(const TAtomicFile&) = delete;
    TAtomicFile& operator=(const TAtomicFile&) = delete;

    // The stream to write the new content into.
    TStream& Stream();
    // Syncs, closes and renames over the target; raises EFileError and leaves
    // the old file in place on failure.
    void Commit();

    const std::string& Path() const { return fPath; }
    const std::string& TemporaryPath() const { return fTemporary; }

private:
    std::string fPath;
    std::string fTemporary;
    std::unique_ptr<TFileStream> fFile;
    bool fCommitted = false;
};

// Writes the bytes to path through TAtomicFile.
void SaveFileAtomically(const std::string& path, std::string_view bytes);
