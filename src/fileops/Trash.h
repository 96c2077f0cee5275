#pragma once

// The desktop's trash, as every freedesktop file manager keeps it: a trashed
// item is renamed into "files/" of a trash folder, and "info/<name>.trashinfo"
// beside it remembers where it came from and when, so the user can put it
// back from this program or from any other. Items on the home volume go to
// the home trash ($XDG_DATA_HOME/Trash); items on another volume stay on that
// volume, in "$topdir/.Trash/$uid" (only when ".Trash" is a real folder with
// the sticky bit, so no other user can have planted it) or else in
// "$topdir/.Trash-$uid", and remember their path relative to the top folder,
// so the volume may be mounted elsewhere later. Nothing is ever copied: an
// item that cannot be renamed into a trash is left where it is.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

struct TTrashedItem {
    std::string OriginalPath;  // absolute, without a trailing '/'
    std::string TrashedPath;   // the item inside "files/"
    std::string InfoPath;      // its ".trashinfo" file
    std::string DeletionDate;  // "YYYY-MM-DDThh:mm:ss", local time, as written
};

struct TTrashSetup {
    std::string HomeTrash;  // the home trash folder, with a trailing '/'
    uint32_t Uid = 0;
    // The top folder (with '/') of the volume a path lies on, or "" when it
    // lies on the home trash's volume. Tests give a fake volume here.
    std::function<std::string(const std::string& path)> TopDirOf;
};

class TTrash {
public:
    explicit TTrash(TTrashSetup setup);
    // The home trash of this user ($XDG_DATA_HOME/Trash or
    // ~/.local/share/Trash), the real uid, and volumes told apart by their
    // device numbers.
    static TTrash ForCurrentUser();

    // Moves a file, folder or link (never its target) into the trash of its
    // volume and returns where it went; raises EFileError and leaves the item
    // in place on any failure.
    TTrashedItem Trash(const std::string& path);
    // Puts a trashed item back at its original path, creating missing
    // parent folders; refuses (EFileError) when something exists there now,
    // and never replaces it.
    void Restore(const TTrashedItem& item);
    // The items of the home trash and of the volume trashes below the given
    // top folders, oldest first. Unreadable or damaged info files are left
    // out, never removed.
    std::vector<TTrashedItem> List(const std::vector<std::string>& topDirs) const;
    // The trash folder items of path go to (with '/'), created when missing;
    // raises EFileError when the volume offers none that is safe to use.
    std::string TrashFolderFor(const std::string& path);

    const TTrashSetup& Setup() const { return fSetup; }

private:
    std::string VolumeTrash(const std::string& topDir);
    TTrashedItem TrashInto(const std::string& trash, const std::string& topDir, const std::string& path);
    void ReadTrash(const std::string& trash, const std::string& topDir, std::vector<TTrashedItem>& items) const;

    TTrashSetup fSetup;
};

// The top folder (with '/') of the volume below which path lies, found by
// walking up while the device stays the same: what TTrashSetup::TopDirOf
// needs for a real volume.
std::string VolumeTopDir(const std::string& path);
// The top folders of the mounted volumes, for List.
std::vector<std::string> MountedTopDirs();

// The text of a ".trashinfo" file, and back; Parse returns false for
// anything that is not one (no header, no Path, a path with "." or ".."
// parts, a bad escape).
std::string TrashInfoText(const std::string& pathField, const std::string& deletionDate);
bool ParseTrashInfo(const std::string& text, std::string& path, std::string& deletionDate);
// Percent-encoding of a path for Path= and file URIs: everything but
// letters, digits, "-._~" and '/' is escaped, byte by byte.
std::string PercentEncodePath(const std::string& path);
// False for a malformed escape.
bool PercentDecode(const std::string& text, std::string& decoded);
