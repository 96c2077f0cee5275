#pragma once

// Archives browsed like folders. TArchiver stands for one opened archive: it
// asks the archive loader for the member list once, cleans every member path
// (names inside archives are chosen by whoever made the archive), builds the
// folder index that views list folders from, extracts single members into
// memory or into files below its own temporary folder, and chains archives
// that lie inside archives. Nesting levels are named by virtual paths joined
// by "//" ("x/b.zip//c.zip").
//
// Archivers are shared: a view holds the innermost one, and every inner
// archiver holds its parent, so dropping the last reference to a chain frees
// it from the inside out while a chain shared with another view survives.
// Used from the user-interface thread; the thumbnail thread may call
// ExtractToStream while the user-interface thread keeps the archiver alive.

#include <cstdint>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "base/Errors.h"
#include "loading/FileLoader.h"
#include "base/Texts.h"

class TFileStream;


// The largest member written out of an archive: the limit the archive
// plug-in we ship applies to a member extracted into memory. A small archive
// can hold a member that inflates to gigabytes, and the temporary folder
// often lies on a small tmpfs.
inline constexpr uint64_t DefaultMaxMemberBytes = uint64_t(1) << 30;

// What an archiver needs from the program.
struct TArchiveEnv {
    // The loader set archives are detected and read with. An archiver keeps
    // its copy of the environment, and with it this set, for its whole life;
    // inner archives are opened with their parent's.
    TLoaderSetPtr Loaders;
    // The program's temporary folder, with a trailing '/'. Private folders
    // "001", "002", ... and the shared extraction folder lie below it.
    std::string TempBase;
    // A member listed or found bigger than this is not written to a file.
    uint64_t MaxMemberBytes = DefaultMaxMemberBytes;
};

// Raised by an archive loader whose listing stopped at damage, after it
// appended the members it read before it.
class EArchiveIncomplete : public EMirevaError {
public:
    using EMirevaError::EMirevaError;
};

// Folder keys sort by name without case (what the user sees) and compare
// exactly, since names on this system are case-sensitive.
struct TFolderKeyLess {
    bool operator()(const std::string& a, const std::string& b) const;
};

// key: folder path inside the archive ("" for the top, otherwise ending in
// '/'); value: the records directly in that folder, not owned.
using TFolderIndex = std::map<std::string, std::vector<TArchiveFileInfo*>, TFolderKeyLess>;

// Makes a member's Path and Name safe to use below a folder: '\' and '/' both
// separate; empty and "." segments vanish; a ".." segment (also a whole name
// "..") becomes the full-width "．．"; the first ':' of the path becomes "：";
// folders found inside the name move into the path. False for a record that
// names nothing (neither path nor name remains).
bool CleanMemberRecord(TArchiveFileInfo& record);

// "a/b/" -> "a/"; "a/" -> "".
std::string ParentFolderPath(const std::string& folder);

// Cleans every record (dropping those that name nothing), then files every
// record under its folder and makes a folder record for every folder that
// holds members but was not reported itself. The made-up records are appended
// to items. Returns the number of the loader's records kept (the made-up
// ones follow them).
size_t BuildFolderIndex(TArchiveFileList& items, TFolderIndex& folders);

enum class TArchiveObjectType { atFolders, atSupported, atNonSupported };
using TArchiveObjectTypes = std::set<TArchiveObjectType>;

class TArchiver : public std::enable_shared_from_this<TArchiver> {
public:
    // Lists the archive and builds the folder index; with privateFolder, makes
    // the archiver's own temporary folder. loader is one of env.Loaders. Raises
    // "'name'は読み込めませんでした  " without a loader and
    // "'name'は展開できませんでした  " when listing fails.
    TArchiver(const TArchiveEnv& env, TArchiveLoader* loader, bool privateFolder, int64_t offset,
              const std::string& fileName);
    ~TArchiver();
    TArchiver(const TArchiver&) = delete;
    TArchiver& operator=(const TArchiver&) = delete;

    // Lists the archive again; raises the listing error on failure.
    bool Reload();
    // The listing stopped at damage: Items holds the members before it.
    // Views say so (ArchiveIncompleteMessage) rather than show a short book
    // as if it were whole.
    bool Incomplete() const { return fIncomplete; }

    // The records of a folder; with directOnly false, every file at or below
    // it instead (no folder records). A folder not in the index leaves result
    // as it is.
    void List(const std::string& folder, bool directOnly, std::vector<TArchiveFileInfo*>& result) const;
    // The archive list view's rule: List, then keep folder records, picture
    // and archive files, and other files as the types ask.
    void ListFolder(const std::string& folder, const TArchiveObjectTypes& types,
                    std::vector<TArchiveFileInfo*>& result) const;
    // The record of folder + name (exact, else without case); nullptr when
    // there is none. An empty name looks the folder record up.
    TArchiveFileInfo* FindRecord(const std::string& folder, const std::string& name) const;

    // A member's bytes; an empty stream when the loader fails quietly. Raises
    // "ファイルの解凍に失敗しました  " when the loader raises. Any loading thread.
    std::unique_ptr<TMemoryStream> ExtractToStream(const TArchiveFileInfo& record);
    // Writes a member as a file below the private folder (or the shared
    // extraction folder) and returns its path, with the member's time as its
    // last-write time; a folder record gives its folder. Raises EFileError
    // with the system's reason when a folder or the file cannot be made or
    // written (a full disk, a permission), when the member is bigger than
    // the environment's MaxMemberBytes ("File too large"), and
    // "ファイルの解凍に失敗しました  " when the loader gives no bytes.
    std::string ExtractToFile(const TArchiveFileInfo& record, bool privateFolder);
    // ExtractToFile of folder + memberName; with memberName empty, folder
    // names a folder, which is created and returned without its content.
    // Empty when the archive has no such member; raises as ExtractToFile.
    std::string Extract(const std::string& folder, const std::string& memberName, bool privateFolder);
    // Removes an extracted folder below the private (or shared) folder with
    // everything in it. Never touches anything outside that folder (a path
    // that leads out is left alone). Raises EFileError with the system's
    // reason when something could not be removed.
    void DeleteExtracted(const std::string& relative, bool privateFolder);

    // Keeps the archive file open while inner archives extracted from it exist.
    void Lock();
    void Unlock();
    // False while the file is held open; the name stays then.
    bool SetFileName(const std::string& fileName);

    void SetParent(std::shared_ptr<TArchiver> parent);
    void SetParentFolder(const std::string& folder);
    std::string OuterFileName() const;
    bool IsDescendantOf(const TArchiver* other) const;

    // Belongs to the loader set in Env(), which the archiver holds, so it
    // stays valid whatever the registry does meanwhile.
    TArchiveLoader* Loader = nullptr;
    int64_t Offset = 0;
    const std::string& FileName() const { return fFileName; }
    const std::string& TempFolder() const { return fTempFolder; }
    const TArchiveFileList& Items() const { return fItems; }
    // Records the loader reported, before the made-up folder records.
    size_t MemberCount() const { return fMemberCount; }
    const TFolderIndex& Folders() const { return fFolders; }
    TArchiver* Root() const { return fRoot; }
    const std::shared_ptr<TArchiver>& Parent() const { return fParent; }
    const std::string& VirtualPath() const { return fVirtualPath; }
    const std::string& ParentFolder() const { return fParentFolder; }
    int LockCount() const { return fLockCount; }
    bool IsLocked() const { return fLockStream != nullptr; }
    const TArchiveEnv& Env() const { return fEnv; }

private:
    void ListMembers();
    // The folder extraction writes below: the private folder, or the shared
    // extraction folder (also when no private folder was made). Created when
    // missing; raises EFileError.
    std::string ExtractRoot(bool privateFolder);
    void MakePrivateFolder();

    TArchiveEnv fEnv;
    std::string fFileName;
    std::string fTempFolder;
    std::string fPrivateName;  // "001"
    TArchiveFileList fItems;
    size_t fMemberCount = 0;
    bool fIncomplete = false;
    TFolderIndex fFolders;
    std::unique_ptr<TFileStream> fLockStream;
    int fLockCount = 0;
    TArchiver* fRoot = nullptr;
    std::shared_ptr<TArchiver> fParent;
    std::string fVirtualPath;
    std::string fParentFolder;
};

using TArchiverPtr = std::shared_ptr<TArchiver>;

// "'" + name + "'は読み込めませんでした  " and "'" + name + "'は展開できませんでした  ".
std::string ArchiveNotReadMessage(const std::string& fileName);
std::string ArchiveNotListedMessage(const std::string& fileName);
// "'" + name + "'は途中までしか読み込めませんでした  ": the list stopped early.
std::string ArchiveIncompleteMessage(const std::string& fileName);
inline constexpr const char* ExtractFailedMessage = "ファイルの解凍に失敗しました  ";

// Opens an archive file: detection over the archive loaders (under the loader
// lock), listing, a private folder. nullptr when the file is missing or not
// an archive. An archive that a loader claims but cannot list raises the
// not-listed error rather than open as an empty book; one whose listing
// stopped early opens with what was read (TArchiver::Incomplete).
TArchiverPtr OpenArchive(const TArchiveEnv& env, const std::string& fileName);
// Opens the archive member folder + name of parent, extracted into the
// parent's private folder; the new archiver holds its parent. nullptr when
// there is no such member or it is not an archive; raises the extraction's
// or the listing's error.
TArchiverPtr OpenInnerArchive(const TArchiverPtr& parent, const std::string& folder, const std::string& name);

// Opens the archive named by an outer file and an inner path ("x/b.zip//c.zip"),
// reusing the archivers of current's chain where they match. With keepPartial,
// a level that cannot be opened gives the deepest archiver reached; without,
// nullptr or the error that level raised.
TArchiverPtr ResolveVirtualPath(const TArchiveEnv& env, const std::string& outerPath, const std::string& innerPath,
                                const TArchiverPtr& current, bool keepPartial = false);

// Splits an inner path at its last "//": ("x/b.zip", "c.zip"); without one,
// head is empty.
void SplitVirtualPath(const std::string& innerPath, std::string& head, std::string& tail);
