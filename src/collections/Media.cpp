#include "collections/Media.h"

#include <algorithm>
#include <cmath>
#include <iterator>

#include "base/PathUtils.h"
#include "common/Text.h"
#include "platform/FileSystem.h"
#include "base/Texts.h"

namespace {

void AnnounceDevice(TMediaList& list, int index, bool inserted)
{
    TListChange change;
    change.Kind = TListChangeKind::lcChangeDevice;
    change.Index = index;
    change.Inserted = inserted;
    list.Notify(change);
}

// Sets the medium's mount and tells the views; false when nothing changed.
bool MoveMedium(TMediaList& list, int index, const std::string& mountPath)
{
    TMediaFolder& medium = *list.Medium(index);
    if (medium.LivePath() == mountPath)
        return false;
    const bool wasInserted = medium.Inserted();
    medium.SetLivePath(mountPath);
    if (!mountPath.empty() || wasInserted)
        AnnounceDevice(list, index, !mountPath.empty());
    return true;
}

// Whether path is the mount's own folder or lies below it.
bool OnMount(const std::string& path, const std::string& mountPath)
{
    if (path.empty() || mountPath.empty())
        return false;
    if (path == mountPath || mountPath == "/")
        return true;
    return path.size() > mountPath.size() && path.starts_with(mountPath) && path[mountPath.size()] == '/';
}

// Where a medium recognised on the volume mounted at mountPath has its top
// now. A disc catalogued at its top is the mount, wherever it is mounted. A
// folder catalogued below the mount it lies on is that folder, and only
// while it is there: its volume being mounted does not bring back a folder
// that was renamed or deleted, and the mount's other folders are no part of
// the medium. Empty: the medium is not there.
std::string LiveRootOn(const TMediaFolder& medium, const std::string& mountPath)
{
    const std::string stored = ExcludeTrailingPathDelimiter(medium.StoredRootId.Path());
    if (stored.empty() || stored == mountPath || !OnMount(stored, mountPath))
        return mountPath;
    return DirectoryExists(stored) ? stored : std::string();
}

bool SameTime(TDateTime a, TDateTime b)
{
    // Times pass through doubles of days; a millisecond is far above their
    // rounding and far below any file system's resolution that matters here.
    return std::fabs(a - b) * 86400.0 < 0.001;
}

}  // namespace

std::optional<std::string> CheckMediumName(const TMediaList& list, const std::string& name,
                                           const std::string& originalName)
{
    static constexpr size_t MaxNameLength = 50;
    const std::string trimmed = Trim(name);
    if (trimmed.empty())
        return std::string(Tx("名前を入力してください  "));
    if (CharCount(trimmed) > MaxNameLength)
        return std::string(Tx("名前は 50 文字以内で入力してください  "));
    if (!SameText(trimmed, originalName) && list.IndexOfName(trimmed) >= 0)
        return std::string(Tx("同名のメディアが存在します  "));
    return std::nullopt;
}

std::string FormatSerial(uint32_t serial)
{
    return IntToHex(serial >> 16, 4) + "-" + IntToHex(serial & 0xFFFF, 4);
}

const char* DriveTypeName(TDriveType type)
{
    static const char* const Names[] = {
        "不明", "", "3.5 インチ フロッピー ディスク", "5.25 インチ フロッピー ディスク", "リムーバブルディスク",
        "固定ディスク", "ネットワークドライブ", "CD-ROM", "RAMディスク", "その他",
    };
    const auto code = static_cast<size_t>(type);
    return code < std::size(Names) ? Names[code] : Names[0];
}

TDriveType DriveTypeOfVolume(const TVolumeInfo& volume)
{
    if (volume.Optical)
        return TDriveType::dtCdRom;
    return DriveTypeOfMount(TMountPoint{volume.MountPath, volume.Device, volume.FsType}, volume.Removable);
}

bool IsScannedDriveType(TDriveType type)
{
    switch (type) {
    case TDriveType::dtFloppy35:
    case TDriveType::dtFloppy525:
    case TDriveType::dtRemovable:
    case TDriveType::dtFixed:
    case TDriveType::dtCdRom:
        return true;
    default:
        return false;
    }
}

bool SameVolume(const TMediaFolder& medium, const TVolumeInfo& volume)
{
    return medium.VolumeLabel == volume.Label && medium.SerialNumber == volume.Serial &&
           medium.FileSystem == volume.FsType;
}

bool DriveTypesMatch(TDriveType medium, TDriveType drive, bool exact)
{
    if (medium == drive)
        return true;
    const auto removableKind = [](TDriveType t) { return t == TDriveType::dtRemovable || t == TDriveType::dtCdRom; };
    return !exact && removableKind(medium) && removableKind(drive);
}

std::vector<TVolumeInfo> ReadVolumes(const std::vector<TMountPoint>& mounts)
{
    std::vector<TVolumeInfo> volumes;
    volumes.reserve(mounts.size());
    for (const TMountPoint& mount : mounts)
        volumes.push_back(ReadVolumeInfo(mount));
    return volumes;
}

int ScanMedia(TMediaList& list, const std::vector<TVolumeInfo>& volumes)
{
    std::vector<std::string> found(static_cast<size_t>(list.Count()));
    for (const TVolumeInfo& volume : volumes) {
        const TDriveType type = DriveTypeOfVolume(volume);
        if (!IsScannedDriveType(type))
            continue;
        for (int i = 0; i < list.Count(); ++i) {
            const TMediaFolder& medium = *list.Medium(i);
            if (found[static_cast<size_t>(i)].empty() && DriveTypesMatch(medium.DriveType, type, false) &&
                SameVolume(medium, volume))
                found[static_cast<size_t>(i)] = LiveRootOn(medium, volume.MountPath);
        }
    }
    int changed = 0;
    for (int i = 0; i < list.Count(); ++i)
        changed += MoveMedium(list, i, found[static_cast<size_t>(i)]) ? 1 : 0;
    return changed;
}

bool ScanMedium(TMediaList& list, int index, const std::vector<TVolumeInfo>& volumes)
{
    TMediaFolder* medium = list.Medium(index);
    if (!medium)
        return false;
    for (const TVolumeInfo& volume : volumes) {
        const TDriveType type = DriveTypeOfVolume(volume);
        if (IsScannedDriveType(type) && DriveTypesMatch(medium->DriveType, type, true) && SameVolume(*medium, volume)) {
            const std::string root = LiveRootOn(*medium, volume.MountPath);
            if (root.empty())
                continue;
            MoveMedium(list, index, root);
            return true;
        }
    }
    MoveMedium(list, index, std::string());
    return false;
}

int ApplyMountChanges(TMediaList& list, const std::vector<TVolumeInfo>& before, const std::vector<TVolumeInfo>& after)
{
    const auto mounted = [](const std::vector<TVolumeInfo>& volumes, const TVolumeInfo& volume) {
        return std::any_of(volumes.begin(), volumes.end(), [&](const TVolumeInfo& v) {
            return v.MountPath == volume.MountPath && v.Device == volume.Device;
        });
    };
    int changed = 0;
    for (const TVolumeInfo& gone : before) {
        if (mounted(after, gone))
            continue;
        for (int i = 0; i < list.Count(); ++i) {
            if (OnMount(list.Medium(i)->LivePath(), gone.MountPath))
                changed += MoveMedium(list, i, std::string()) ? 1 : 0;
        }
    }
    for (const TVolumeInfo& arrived : after) {
        if (mounted(before, arrived))
            continue;
        const TDriveType type = DriveTypeOfVolume(arrived);
        for (int i = 0; i < list.Count(); ++i) {
            const TMediaFolder& medium = *list.Medium(i);
            if (DriveTypesMatch(medium.DriveType, type, true) && SameVolume(medium, arrived))
                if (const std::string root = LiveRootOn(medium, arrived.MountPath); !root.empty())
                    changed += MoveMedium(list, i, root) ? 1 : 0;
        }
    }
    return changed;
}

bool RefusesRemoval(const TMediaList& list, const std::string& mountPath)
{
    if (OnMount(list.LockedDrive, mountPath))
        return true;
    for (int i = 0; i < list.Count(); ++i) {
        const TMediaFolder& medium = *list.Medium(i);
        if (medium.Loading() && OnMount(medium.LivePath(), mountPath))
            return true;
    }
    return false;
}

// ---- comparison ----

bool SameRecord(const TCtFileInfo& live, const TCtFileInfo& stored)
{
    if (live.IsDirectory != stored.IsDirectory)
        return false;
    // A folder's own times change with every file put into it; what changed
    // inside shows as entries of its own.
    if (live.IsDirectory)
        return true;
    if ((live.Attributes == -1) != (stored.Attributes == -1))
        return false;
    if (live.Size != stored.Size || !SameTime(live.Modified, stored.Modified))
        return false;
    return live.Created == 0 || stored.Created == 0 || SameTime(live.Created, stored.Created);
}

std::vector<const TCtFileInfo*> FlattenCatalogue(const TMediaFolder& medium)
{
    std::vector<const TCtFileInfo*> records;
    records.reserve(static_cast<size_t>(medium.Count()));
    for (int d = 0; d < medium.DirectoryCount(); ++d) {
        const auto& items = medium.DirectoryItems(d);
        records.insert(records.end(), items.begin(), items.end());
    }
    std::sort(records.begin(), records.end(), [](const TCtFileInfo* a, const TCtFileInfo* b) {
        if (a->IsDirectory != b->IsDirectory)
            return a->IsDirectory;
        return CatalogueKey(a->Path) < CatalogueKey(b->Path);
    });
    return records;
}

std::vector<TDiffEntry> CompareCatalogues(const TMediaFolder& live, const TMediaFolder& stored, bool all)
{
    const std::vector<const TCtFileInfo*> a = FlattenCatalogue(live);
    const std::vector<const TCtFileInfo*> b = FlattenCatalogue(stored);
    std::vector<TDiffEntry> entries;
    size_t i = 0;
    size_t j = 0;
    while (i < a.size() || j < b.size()) {
        int order = 0;
        if (i == a.size())
            order = 1;
        else if (j == b.size())
            order = -1;
        else if (a[i]->IsDirectory != b[j]->IsDirectory)
            order = a[i]->IsDirectory ? -1 : 1;
        else
            order = CatalogueKey(a[i]->Path).compare(CatalogueKey(b[j]->Path));
        TDiffEntry entry;
        if (order < 0) {
            entry = {TDiffKind::dkAdded, CatalogueKey(a[i]->Path), a[i]->IsDirectory, a[i], nullptr};
            ++i;
        } else if (order > 0) {
            entry = {TDiffKind::dkRemoved, CatalogueKey(b[j]->Path), b[j]->IsDirectory, nullptr, b[j]};
            ++j;
        } else {
            const bool same = SameRecord(*a[i], *b[j]);
            entry = {same ? TDiffKind::dkSame : TDiffKind::dkChanged, CatalogueKey(a[i]->Path), a[i]->IsDirectory,
                     a[i], b[j]};
            ++i;
            ++j;
        }
        if (all || entry.Kind != TDiffKind::dkSame)
            entries.push_back(std::move(entry));
    }
    return entries;
}
