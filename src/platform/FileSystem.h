#pragma once

// File and folder queries and operations of the operating system. Everything
// that creates or removes files in the program's own folders refuses to follow
// symbolic links, so a planted link can never redirect a write or a delete.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// The system's reason for errno, as "'path' : reason".
std::string SystemErrorText(const std::string& path, int error);

enum class TFileKind { fkNone, fkFile, fkFolder, fkOther };

struct TFileStatus {
    TFileKind Kind = TFileKind::fkNone;
    bool IsLink = false;        // the name itself is a symbolic link
    int64_t Size = 0;
    int64_t ModifiedSeconds = 0;  // seconds since 1970-01-01 UTC
    int32_t ModifiedNanoseconds = 0;
    uint32_t Mode = 0;          // permission bits
    uint32_t Owner = 0;
    bool ReadOnly = false;      // no write permission for us
    // Which file this is: two names of one folder (a link and its target)
    // give the same pair.
    uint64_t Device = 0;
    uint64_t Inode = 0;
};

// followLinks false describes a link itself (Kind fkOther, IsLink true).
TFileStatus QueryFile(const std::string& path, bool followLinks = true);
bool FileExists(const std::string& path);       // a regular file (through links)
bool DirectoryExists(const std::string& path);  // a folder (through links)
bool PathExists(const std::string& path);       // anything, a dangling link too

struct TDirEntry {
    std::string Name;
    TFileStatus Status;  // through links; IsLink tells a link
    // False when only Status.Kind was read: the rest is still to be asked
    // (TFolderStatter).
    bool Detailed = true;
};
// How much a listing reads of each entry: everything, or for plain files,
// folders and special files only their kind, which the folder itself tells
// (links and entries of unknown type are read in full all the same). Reading
// kinds only spares a large folder one system call per entry.
enum class TListDetail : uint8_t { ldFull, ldKinds };
// The entries of a folder except "." and ".."; raises EFileError.
std::vector<TDirEntry> ListDirectory(const std::string& folder, TListDetail detail = TListDetail::ldFull);

// The status of entries of one folder, by name, as ListDirectory reads them,
// through one open handle of the folder: completes a listing made with kinds
// only. An object may be used on any one thread at a time.
class TFolderStatter {
public:
    // Raises EFileError when the folder cannot be opened.
    explicit TFolderStatter(const std::string& folder);
    ~TFolderStatter();
    TFolderStatter(const TFolderStatter&) = delete;
    TFolderStatter& operator=(const TFolderStatter&) = delete;
    // Kind fkNone when the entry is gone, or the name is no plain name of
    // an entry ("", ".", "..", anything with a '/').
    TFileStatus Query(const std::string& name) const;

private:
    struct TState;
    std::unique_ptr<TState> fState;
};

// Creates one folder; true when created, false when something of that name
// exists already (the atomic test used for private counters); raises on other
// failures.
bool CreateDirectory(const std::string& path, unsigned mode = 0755);
// Creates a folder and its missing parents; raises EFileError.
void ForceDirectories(const std::string& path, unsigned mode = 0755);
// Removes a file or a whole tree without following any link inside it; a link
// is removed, never its target. Returns false when something stayed; error
// then receives the reason of the first failure.
bool RemoveTree(const std::string& path, int* error = nullptr);
bool DeleteFile(const std::string& path);
// rename(2): replaces the target atomically; raises EFileError.
void RenameFile(const std::string& from, const std::string& to);
// Renames only when the target does not exist; false when it does.
bool RenameNoReplace(const std::string& from, const std::string& to);
// link(2): newName becomes one more name of the file existing names; a link
// named existing is followed, so the new name is the file it leads to, never
// a second copy of the link. Never replaces newName. Returns 0, or the
// system's error number: EEXIST when newName exists, EXDEV, EPERM, EMLINK or
// EOPNOTSUPP where the file system cannot give a file a second name.
int LinkFile(const std::string& existing, const std::string& newName);
// Makes a rename or a new file in the folder durable; errors are ignored where
// the file system cannot sync folders.
void SyncDirectory(const std::string& folder);

std::string CurrentDirectory();  // with a trailing '/'
std::string HomeDirectory();     // with a trailing '/'
// The real path (links resolved); empty when it does not exist.
std::string RealPath(const std::string& path);
std::string GetEnv(const char* name);
