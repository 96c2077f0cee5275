#include "collections/ShellFolder.h"

#include <algorithm>
#include <cstdio>

#include "collections/ShellInfo.h"
#include "base/Errors.h"
#include "base/PathUtils.h"
#include "common/Text.h"
#include "platform/FileSystem.h"
#include "platform/Mounts.h"
#include "base/Texts.h"

namespace {

std::string RenameFailedText(const std::string& name)
{
    return name + Tx(" への名称変更に失敗しました  ");
}

// "1,234 KB" as the detail column shows sizes: whole kilobytes, rounded up,
// so that a small file never reads as 0 KB.
std::string FormatKilobytes(int64_t size)
{
    const int64_t kb = size <= 0 ? 0 : (size + 1023) / 1024;
    std::string digits = std::to_string(kb);
    std::string out;
    for (size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0)
            out += ',';
        out += digits[i];
    }
    return out + " KB";
}

std::string FormatAttributes(uint32_t attributes)
{
    std::string out;
    if (attributes & faReadOnly)
        out += 'R';
    if (attributes & faHidden)
        out += 'H';
    if (attributes & faSysFile)
        out += 'S';
    return out;
}

bool IsUserMount(const std::string& path)
{
    return path.rfind("/media/", 0) == 0 || path.rfind("/run/media/", 0) == 0 || path.rfind("/mnt/", 0) == 0;
}

}  // namespace

std::unique_ptr<TShellFolder> TShellFolder::CreateRoot(TShellInfo* info)
{
    std::unique_ptr<TShellFolder> node(new TShellFolder);
    node->fIsRoot = true;
    node->fInfo = info;
    node->fFullItemId = TItemIdList::Root();
    node->fIsDirectory = true;
    return node;
}

std::unique_ptr<TShellFolder> TShellFolder::MakeSyntheticParent(const std::string& path)
{
    const std::string plain = ExcludeTrailingPathDelimiter(path);
    if (plain == "/" || !IsAbsolutePath(plain))
        return nullptr;
    const std::string folder = ExcludeTrailingPathDelimiter(ExtractFilePath(plain));
    std::unique_ptr<TShellFolder> parent(new TShellFolder);
    parent->fInfo = fInfo;
    parent->fPath = folder;
    return parent;
}

std::unique_ptr<TShellFolder> TShellFolder::CreateFromPath(TShellFolder* parent, const std::string& path,
                                                           TShellInfo* info)
{
    std::unique_ptr<TShellFolder> node(new TShellFolder);
    node->fInfo = info ? info : (parent ? parent->fInfo : nullptr);
    node->fPath = path;
    if (parent) {
        node->fParent = parent;
    } else {
        node->fOwnedParent = node->MakeSyntheticParent(path);
        node->fParent = node->fOwnedParent.get();
    }
    return node;
}

std::unique_ptr<TShellFolder> TShellFolder::Create(TShellFolder* parent, const TItemIdList& item, TShellInfo* info)
{
    if (item.IsRoot())
        return CreateRoot(info ? info : (parent ? parent->fInfo : nullptr));
    std::unique_ptr<TShellFolder> node = CreateFromPath(parent, item.Path(), info);
    node->fFullItemId = item;
    return node;
}

std::unique_ptr<TShellFolder> TShellFolder::CreateCopy(TShellFolder* parent, const TShellFolder& source)
{
    std::unique_ptr<TShellFolder> node(new TShellFolder);
    node->fInfo = source.fInfo;
    node->fIsRoot = source.fIsRoot;
    node->fPath = source.fPath;
    node->fFullItemId = source.fFullItemId;
    node->fName = source.fName;
    node->fTargetPath = source.fTargetPath;
    node->fDisplayFlags = source.fDisplayFlags;
    node->fAbilities = source.fAbilities;
    node->fIsDirectory = source.fIsDirectory;
    node->fDriveType = source.fDriveType;
    node->fFolderKind = source.fFolderKind;
    node->fTypeName = source.fTypeName;
    node->fPlainTypeNames = source.fPlainTypeNames;
    node->fIconIndex = source.fIconIndex;
    node->fOpenIconIndex = source.fOpenIconIndex;
    node->IconByType = source.IconByType;
    node->fDetailTexts = source.fDetailTexts;
    node->fFileDataLoaded = source.fFileDataLoaded;
    node->fNoFileData = source.fNoFileData;
    node->fCatalogued = source.fCatalogued;
    node->fSize = source.fSize;
    node->fModified = source.fModified;
    node->fAttributes = source.fAttributes;
    node->Missing = source.Missing;
    node->TargetIndex = source.TargetIndex;
    if (parent) {
        node->fParent = parent;
    } else if (!node->fIsRoot) {
        node->fOwnedParent = node->MakeSyntheticParent(node->fPath);
        node->fParent = node->fOwnedParent.get();
    }
    return node;
}

TShellFolder::~TShellFolder() = default;

const std::string& TShellFolder::GetName()
{
    if (!fName) {
        const std::string plain = ExcludeTrailingPathDelimiter(fPath);
        fName = plain == "/" ? plain : ExtractFileName(plain);
    }
    return *fName;
}

const std::string& TShellFolder::GetTargetPath()
{
    if (!fTargetPath) {
        fTargetPath = fPath;
        if (!fPath.empty() && (GetDisplayFlags() & dfLink)) {
            const std::string real = RealPath(fPath);
            if (!real.empty())
                fTargetPath = real;
        }
    }
    return *fTargetPath;
}

const TItemIdList& TShellFolder::GetFullItemId()
{
    if (!fFullItemId)
        fFullItemId = fIsRoot ? TItemIdList::Root() : TItemIdList::FromPath(fPath);
    return *fFullItemId;
}

std::string TShellFolder::ParentFolderPath() const
{
    if (!fParent || fParent->fIsRoot)
        return {};
    return fParent->fPath;
}

const TItemIdList& TShellFolder::GetItemId()
{
    if (!fItemId) {
        if (fIsRoot || ParentFolderPath().empty())
            fItemId = GetFullItemId();
        else if (fPath.empty())
            fItemId = TItemIdList();
        else
            fItemId = TItemIdList::FromName(GetName());
    }
    return *fItemId;
}

uint16_t TShellFolder::GetDisplayFlags()
{
    if (!fDisplayFlags) {
        uint16_t flags = 0;
        if (!fPath.empty() && !fIsRoot) {
            const std::string name = GetName();
            if (name.size() > 1 && name[0] == '.')
                flags |= dfHidden;
            if (QueryFile(ExcludeTrailingPathDelimiter(fPath), false).IsLink)
                flags |= dfLink;
        }
        fDisplayFlags = flags;
    }
    return *fDisplayFlags;
}

uint8_t TShellFolder::GetAbilities()
{
    if (!fAbilities) {
        uint8_t abilities = 0;
        const std::string plain = ExcludeTrailingPathDelimiter(fPath);
        if (!fIsRoot && !plain.empty() && PathExists(plain)) {
            abilities = iaCanCopy | iaCanLink | iaHasPropSheet;
            // "/" and mount points stay where they are; everything else may be
            // moved, renamed or deleted when its folder lets us write.
            const std::string folder = ExcludeTrailingPathDelimiter(ExtractFilePath(plain));
            // Only folders can be mount points; files skip the mount table,
            // which matters when a list of thousands asks.
            const bool fixedPlace = plain == "/" || (IsDirectory() && GetDriveType() != TDriveType::dtNotDrive);
            if (!fixedPlace && !folder.empty() && !QueryFile(folder).ReadOnly)
                abilities |= iaCanDelete | iaCanMove | iaCanRename;
            if (IsDirectory() && !QueryFile(plain).ReadOnly)
                abilities |= iaDropTarget;
        }
        fAbilities = abilities;
    }
    return *fAbilities;
}

bool TShellFolder::IsDirectory()
{
    if (!fIsDirectory) {
        // "/" is a folder without asking, as a drive root always is.
        if (fPath == "/")
            fIsDirectory = true;
        else
            fIsDirectory = !fPath.empty() && DirectoryExists(fPath);
    }
    return *fIsDirectory;
}

void TShellFolder::SetIsDirectory(bool value)
{
    fIsDirectory = value;
}

bool TShellFolder::HasSubfolders()
{
    if (fIsRoot)
        return true;
    if (!IsDirectory())
        return false;
    try {
        for (const TDirEntry& entry : ListDirectory(fPath, TListDetail::ldKinds)) {
            if (entry.Status.Kind == TFileKind::fkFolder)
                return true;
        }
    } catch (const EMirevaError&) {
    }
    return false;
}

TDriveType DriveTypeOfMount(const TMountPoint& mount, bool removable)
{
    static const char* const network[] = {"nfs", "nfs4", "cifs", "smb3", "smbfs", "fuse.sshfs", "9p", "afs",
                                          "ceph", "davfs", "fuse.rclone"};
    for (const char* type : network) {
        if (mount.FsType == type)
            return TDriveType::dtNetwork;
    }
    if (mount.FsType == "tmpfs" || mount.FsType == "ramfs")
        return TDriveType::dtRamDisk;
    if (mount.FsType == "iso9660" || mount.FsType == "udf" || mount.Device.rfind("/dev/sr", 0) == 0)
        return TDriveType::dtCdRom;
    return removable ? TDriveType::dtRemovable : TDriveType::dtFixed;
}

TDriveType TShellFolder::GetDriveType()
{
    if (!fDriveType) {
        TDriveType type = TDriveType::dtNotDrive;
        const std::string plain = ExcludeTrailingPathDelimiter(fPath);
        if (fIsRoot || plain.empty()) {
            type = TDriveType::dtNotDrive;
        } else {
            // The last entry wins: a later mount hides an earlier one there.
            const std::vector<TMountPoint> mounts = ReadMountPoints();
            for (auto it = mounts.rbegin(); it != mounts.rend(); ++it) {
                if (it->Path == plain) {
                    type = DriveTypeOfMount(*it, IsRemovableDevice(it->Device));
                    break;
                }
            }
        }
        fDriveType = type;
    }
    return *fDriveType;
}

TFolderKind TShellFolder::GetFolderKind()
{
    if (!fFolderKind)
        fFolderKind = fIsRoot ? TFolderKind::fdVirtual : IsDirectory() ? TFolderKind::fdPlain : TFolderKind::fdVirtual;
    return *fFolderKind;
}

void TShellFolder::LoadFileData()
{
    if (fFileDataLoaded)
        return;
    fFileDataLoaded = true;
    fNoFileData = true;
    fSize = 0;
    fModified = 0;
    fAttributes = 0;
    const std::string plain = ExcludeTrailingPathDelimiter(fPath);
    if (fIsRoot || plain.empty())
        return;
    ApplyStatus(QueryFile(plain));
}

void TShellFolder::SetListedStatus(const TFileStatus& status)
{
    fFileDataLoaded = true;
    fNoFileData = true;
    fCatalogued = false;
    fSize = 0;
    fModified = 0;
    fAttributes = 0;
    if (fIsRoot || fPath.empty())
        return;
    if (!fDisplayFlags) {
        const std::string& name = GetName();
        fDisplayFlags = static_cast<uint16_t>((name.size() > 1 && name[0] == '.' ? dfHidden : 0) |
                                              (status.IsLink ? dfLink : 0));
    }
    ApplyStatus(status);
    if (status.Kind != TFileKind::fkNone)
        fIsDirectory = status.Kind == TFileKind::fkFolder;
}

void TShellFolder::SetListedKind(const TFileStatus& status)
{
    if (fIsRoot || fPath.empty() || status.Kind == TFileKind::fkNone)
        return;
    fFileDataLoaded = false;
    if (!fDisplayFlags) {
        const std::string& name = GetName();
        fDisplayFlags = static_cast<uint16_t>((name.size() > 1 && name[0] == '.' ? dfHidden : 0) |
                                              (status.IsLink ? dfLink : 0));
    }
    fIsDirectory = status.Kind == TFileKind::fkFolder;
}

void TShellFolder::ApplyStatus(const TFileStatus& status)
{
    if (status.Kind == TFileKind::fkNone)
        return;
    fNoFileData = false;
    fModified = status.ModifiedSeconds == 0 && status.ModifiedNanoseconds == 0
                    ? 0
                    : UnixToDateTime(status.ModifiedSeconds, status.ModifiedNanoseconds);
    if (status.Kind == TFileKind::fkFolder)
        fAttributes |= faDirectory;
    else if (status.Kind == TFileKind::fkFile)
        fSize = status.Size;
    else
        fAttributes |= faSysFile;
    if (status.ReadOnly)
        fAttributes |= faReadOnly;
    if (GetDisplayFlags() & dfHidden)
        fAttributes |= faHidden;
}

int64_t TShellFolder::GetSize()
{
    LoadFileData();
    return fSize;
}

TDateTime TShellFolder::GetModified()
{
    LoadFileData();
    return fModified;
}

uint32_t TShellFolder::GetAttributes()
{
    LoadFileData();
    return fCatalogued ? (fAttributes & ~faReadOnly) : fAttributes;
}

bool TShellFolder::NoFileData()
{
    LoadFileData();
    return fNoFileData;
}

void TShellFolder::SetFileData(int64_t size, TDateTime modified, uint32_t attributes)
{
    fFileDataLoaded = true;
    fNoFileData = false;
    fCatalogued = true;
    fSize = size;
    fModified = modified;
    fAttributes = attributes;
    fIsDirectory = (attributes & faDirectory) != 0;
}

std::string TShellFolder::GetTypeName()
{
    if (!fTypeName) {
        const bool plainNames = fPlainTypeNames || !fInfo;
        if (plainNames && !NoFileData()) {
            if (GetAttributes() & faDirectory)
                fTypeName = Tx("フォルダ");
            else
                fTypeName = LowerCase(ExtractFileExt(GetName()));
        } else if (fInfo) {
            fTypeName = fInfo->TypeName(fPath, IsDirectory());
        } else {
            fTypeName = std::string();
        }
    }
    return *fTypeName;
}

void TShellFolder::SetPlainTypeNames(bool value)
{
    if (value != fPlainTypeNames) {
        fPlainTypeNames = value;
        fTypeName.reset();
    }
}

int TShellFolder::GetIconIndex()
{
    if (fIconIndex == -2) {
        fIconIndex = -1;
        if (fInfo)
            fIconIndex = fInfo->IconIndex(fPath, IsDirectory(), false, IconByType);
    }
    return fIconIndex;
}

int TShellFolder::GetOpenIconIndex()
{
    if (fOpenIconIndex == -2) {
        fOpenIconIndex = -1;
        // Icons by type have no open form.
        if (fInfo && !IconByType) {
            fOpenIconIndex = fInfo->IconIndex(fPath, IsDirectory(), true, false);
            if (fOpenIconIndex < 0)
                fOpenIconIndex = GetIconIndex();
        }
    }
    return fOpenIconIndex;
}

void TShellFolder::LoadColumnDetails(int count)
{
    if (count <= 0 || static_cast<int>(fDetailTexts.size()) >= count)
        return;
    fDetailTexts.clear();
    for (int column = 1; column <= count; ++column) {
        std::string text;
        if (!NoFileData()) {
            switch (column) {
            case 1:
                if (!(GetAttributes() & faDirectory))
                    text = FormatKilobytes(GetSize());
                break;
            case 2:
                text = GetTypeName();
                break;
            case 3:
                text = GetModified() == 0 ? std::string() : FormatDateTime(GetModified());
                break;
            case 4:
                text = FormatAttributes(GetAttributes());
                break;
            default:
                break;
            }
        }
        fDetailTexts.push_back(std::move(text));
    }
}

std::string TShellFolder::GetDetailText(int column) const
{
    if (fDetailTexts.empty()) {
        const std::string name = fName ? *fName : ExtractFileName(ExcludeTrailingPathDelimiter(fPath));
        throw EMirevaError(name + Tx(": LoadColumnDetails への呼び出しがありません"));
    }
    if (column < 1 || column > static_cast<int>(fDetailTexts.size()))
        return {};
    return fDetailTexts[static_cast<size_t>(column - 1)];
}

void TShellFolder::SetDetailText(int column, const std::string& text)
{
    if (column < 1 || column > MaxDetailColumns)
        return;
    const auto at = static_cast<size_t>(column - 1);
    if (at >= fDetailTexts.size())
        fDetailTexts.resize(at + 1);
    fDetailTexts[at] = text;
}

bool TShellFolder::Rename(const std::string& newName)
{
    if (!(GetAbilities() & iaCanRename))
        return false;
    // A name is one path element: no separator, no NUL, not "." or "..".
    if (newName.empty() || newName == "." || newName == ".." || newName.find('/') != std::string::npos ||
        newName.find('\0') != std::string::npos)
        throw EFileError(RenameFailedText(newName));
    const std::string plain = ExcludeTrailingPathDelimiter(fPath);
    const std::string target = ExtractFilePath(plain) + newName;
    if (target == plain)
        return true;
    bool renamed = false;
    try {
        renamed = RenameNoReplace(plain, target);
    } catch (const EMirevaError&) {
        renamed = false;
    }
    if (!renamed) {
        DropCaches();
        throw EFileError(RenameFailedText(newName));
    }
    SetPath(HasTrailingDelimiter(fPath) ? target + "/" : target);
    return true;
}

void TShellFolder::DropCaches()
{
    fName.reset();
    fTargetPath.reset();
    fDisplayFlags.reset();
    fAbilities.reset();
    fDriveType.reset();
    fFolderKind.reset();
    fTypeName.reset();
    fIconIndex = -2;
    fOpenIconIndex = -2;
    fDetailTexts.clear();
    fFileDataLoaded = false;
    fCatalogued = false;
}

void TShellFolder::SetPath(const std::string& path)
{
    fPath = path;
    fFullItemId.reset();
    fItemId.reset();
    fIsDirectory.reset();
    DropCaches();
}

void TShellFolder::Repoint(const TItemIdList& full)
{
    fIsRoot = full.IsRoot();
    fPath = full.Path();
    fFullItemId = full;
    fItemId.reset();
    fIsDirectory.reset();
    if (fIsRoot)
        fIsDirectory = true;
    DropCaches();
}

bool TShellFolder::ReplaceItemId(const TItemIdList& item)
{
    const std::string folder = ParentFolderPath();
    if (folder.empty()) {
        // Below the root the identity inside the parent is the full one.
        if (item.IsAbsent() || item.IsName())
            return false;
        Repoint(item);
        fItemId = item;
        return true;
    }
    if (!item.IsName())
        return false;
    const std::string path = JoinPath(ExcludeTrailingPathDelimiter(folder), item.Name());
    Repoint(TItemIdList::FromPath(path));
    // A path too long for a stored identity still names the item.
    fPath = path;
    fItemId = item;
    return true;
}

void TShellFolder::ReplaceFullItemId(const TItemIdList& item)
{
    Repoint(item);
    if (fOwnedParent) {
        fOwnedParent = fIsRoot ? nullptr : MakeSyntheticParent(fPath);
        fParent = fOwnedParent.get();
    }
}

bool IsReachable(const TItemIdList& item)
{
    if (item.IsRoot())
        return true;
    if (!item.HasPath())
        return false;
    return DirectoryExists(item.Path()) || FileExists(item.Path());
}

namespace {

bool SamePlace(const TItemIdList& a, const TItemIdList& b)
{
    if (a.HasPath() && b.HasPath())
        return ExcludeTrailingPathDelimiter(a.Path()) == ExcludeTrailingPathDelimiter(b.Path());
    return a == b;
}

}  // namespace

TItemIdList ReachableAncestor(const TItemIdList& item, const TItemIdList& boundary)
{
    // The root has no elements to cut off; foreign and relative identities
    // cannot be walked up.
    if (item.IsRoot())
        return {};
    for (TItemIdList current = item.Parent(); !current.IsAbsent(); current = current.Parent()) {
        if (SamePlace(current, boundary))
            return {};
        if (IsReachable(current))
            return current;
        if (current.IsRoot())
            break;
    }
    return {};
}

std::vector<std::string> RootItemPaths(const std::string& home, const std::vector<TMountPoint>& mounts)
{
    std::vector<std::string> paths;
    auto add = [&](const std::string& path) {
        if (!path.empty() && std::find(paths.begin(), paths.end(), path) == paths.end())
            paths.push_back(path);
    };
    add(ExcludeTrailingPathDelimiter(home));
    add("/");
    for (const TMountPoint& mount : mounts) {
        if (IsUserMount(mount.Path))
            add(mount.Path);
    }
    return paths;
}

std::vector<std::unique_ptr<TShellFolder>> ListChildren(TShellFolder& folder, bool includeHidden)
{
    std::vector<std::unique_ptr<TShellFolder>> children;
    if (folder.IsRoot()) {
        for (const std::string& path : RootItemPaths(HomeDirectory(), ReadMountPoints())) {
            auto node = TShellFolder::CreateFromPath(&folder, path);
            node->SetIsDirectory(true);
            children.push_back(std::move(node));
        }
        return children;
    }
    const std::string base = ExcludeTrailingPathDelimiter(folder.GetPath());
    for (const TDirEntry& entry : ListDirectory(base, TListDetail::ldKinds)) {
        if (!includeHidden && entry.Name.size() > 1 && entry.Name[0] == '.')
            continue;
        auto node = TShellFolder::CreateFromPath(&folder, JoinPath(base, entry.Name));
        // The listing already tells folders from files (through links).
        node->SetIsDirectory(entry.Status.Kind == TFileKind::fkFolder);
        children.push_back(std::move(node));
    }
    return children;
}
