#pragma once

// Media catalogues: the list and its media (MediaFolder.h), their files
// (MediaFiles.h), cataloguing a disc (MediaLoader.h), and here how a mounted
// disc is recognised as a catalogued medium and how a catalogue compares with
// the files now on the disc.
//
// A disc is recognised by its volume label, serial number and file system,
// all compared exactly, on a drive of a kind that may hold it. Removable
// disks and optical discs count as one kind in a full scan (a disc copied
// from a stick to a CD is the same medium), but a single mount arriving, or a
// one-medium scan, needs the very drive kind the catalogue was made in.

#include <optional>
#include <string>
#include <vector>

#include "collections/MediaFiles.h"
#include "collections/MediaFolder.h"
#include "collections/MediaLoader.h"
#include "platform/Volumes.h"

// The message refusing a medium name typed by the user, or nothing when it
// is accepted: an empty name, one longer than 50 characters (trimmed), or the
// name of another medium (without case). originalName is the name the dialog
// opened with (empty for a new medium).
std::optional<std::string> CheckMediumName(const TMediaList& list, const std::string& name,
                                           const std::string& originalName);
// The serial number as the property dialog shows it: "1A2B-3C4D".
std::string FormatSerial(uint32_t serial);

// The name the property dialogs show for a drive kind ("CD-ROM", ...); the
// empty text for dtNotDrive.
const char* DriveTypeName(TDriveType type);

// The drive kind of a mounted volume, as a catalogue records it.
TDriveType DriveTypeOfVolume(const TVolumeInfo& volume);
// The drive kinds whose volumes are looked at when media are recognised:
// floppies, removable disks, fixed disks and optical discs.
bool IsScannedDriveType(TDriveType type);
// Whether the volume could be the medium: same label, serial and file system.
bool SameVolume(const TMediaFolder& medium, const TVolumeInfo& volume);
// The drive kinds match exactly, or (unless exact) are both removable disk or
// optical disc.
bool DriveTypesMatch(TDriveType medium, TDriveType drive, bool exact);

// The volumes of the mounts, as the system reports them now.
std::vector<TVolumeInfo> ReadVolumes(const std::vector<TMountPoint>& mounts);

// Sets every medium's live path to the mount of its disc (a folder
// catalogued below its mount: that folder while it exists), or clears it when
// its disc is in no drive, and sends lcChangeDevice for each medium that came
// or went. Returns the number of media that changed.
int ScanMedia(TMediaList& list, const std::vector<TVolumeInfo>& volumes);
// Looks for one medium's disc on drives of exactly its kind; the first match
// wins. Returns whether the medium is inserted afterwards.
bool ScanMedium(TMediaList& list, int index, const std::vector<TVolumeInfo>& volumes);
// The mount table changed from before to after: media on a mount that went
// are removed; a new mount is given to every medium of exactly its drive kind
// whose identity it has. Returns the number of media that changed.
int ApplyMountChanges(TMediaList& list, const std::vector<TVolumeInfo>& before, const std::vector<TVolumeInfo>& after);
// Whether a request to eject the disc at mountPath must be refused: it is the
// list's LockedDrive, or a medium on it is being catalogued.
bool RefusesRemoval(const TMediaList& list, const std::string& mountPath);

// What differs between a catalogue and the disc.
enum class TDiffKind : uint8_t {
    dkAdded,    // on the disc only
    dkRemoved,  // in the catalogue only
    dkChanged,  // in both, with another size, time or kind
    dkSame,     // in both, alike
};

struct TDiffEntry {
    TDiffKind Kind = TDiffKind::dkSame;
    std::string Path;  // relative to the root
    bool IsDirectory = false;
    const TCtFileInfo* Live = nullptr;    // the disc's record; null for dkRemoved
    const TCtFileInfo* Stored = nullptr;  // the catalogue's record; null for dkAdded
};

// Whether two records of one path agree: the same kind, and for files the
// same full size and the same modified time (and creation time where both
// know one). Access times are not compared: reading a file changes them.
bool SameRecord(const TCtFileInfo& live, const TCtFileInfo& stored);
// The two completed catalogues side by side: folders before files, each by
// path; entries without difference only with all.
std::vector<TDiffEntry> CompareCatalogues(const TMediaFolder& live, const TMediaFolder& stored, bool all = false);
// Every record of a completed catalogue, folders before files, each by path.
std::vector<const TCtFileInfo*> FlattenCatalogue(const TMediaFolder& medium);
