#pragma once

// TShellFolder is the one node type for every place the browser shows: the
// virtual root (the home folder, "/" and the user's mounts), a folder, a file
// or an archive. Nodes are cheap to create and touch the disk only when a
// property is first asked for; the answer is cached until the node is pointed
// elsewhere (SetPath, Rename, ReplaceFullItemId, ReplaceItemId). A node belongs to the thread
// that made it and is never shared while its caches may still be filled.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "collections/ItemIdList.h"
#include "common/DateTime.h"

class TShellInfo;
struct TFileStatus;
struct TMountPoint;

// Which kind of container the file list shows.
enum class TShellStyle : uint8_t { ssFolder, ssGroup, ssMedia, ssCategory, ssSearch, ssNone };

// The overlays the views draw, chosen by the display flags below.
enum class TShellOverlayIcon : uint8_t { oiCut, oiIsLink, oiShared };

// File attributes in the bit values the program stores and exports.
inline constexpr uint32_t faReadOnly = 0x01;
inline constexpr uint32_t faHidden = 0x02;
inline constexpr uint32_t faSysFile = 0x04;
inline constexpr uint32_t faDirectory = 0x10;

// Display flags: hidden (the name starts with "."), a symbolic link, shared.
inline constexpr uint16_t dfHidden = 0x01;
inline constexpr uint16_t dfLink = 0x02;
inline constexpr uint16_t dfShared = 0x08;

// What may be done with an item.
inline constexpr uint8_t iaCanCopy = 0x01;
inline constexpr uint8_t iaCanDelete = 0x02;
inline constexpr uint8_t iaCanLink = 0x04;
inline constexpr uint8_t iaCanMove = 0x08;
inline constexpr uint8_t iaCanRename = 0x10;
inline constexpr uint8_t iaDropTarget = 0x20;
inline constexpr uint8_t iaHasPropSheet = 0x40;

// Drive kinds, numbered as media catalogues store them.
enum class TDriveType : uint8_t {
    dtUnknown, dtNotDrive, dtFloppy35, dtFloppy525, dtRemovable, dtFixed, dtNetwork, dtCdRom, dtRamDisk, dtOther
};

// How a folder's items are listed: plain folders by their files, virtual
// places (the root) by the texts the model gives.
enum class TFolderKind : uint8_t { fdUnknown, fdPlain, fdOwnView, fdVirtual, fdSpecial, fdRecycleBin };

class TShellFolder {
public:
    // The virtual root. info may be null (plain type names, no icons); it
    // must outlive every node made with it.
    static std::unique_ptr<TShellFolder> CreateRoot(TShellInfo* info = nullptr);
    // A node for an absolute path. Without a parent the node makes and owns a
    // node for the path's folder; that node has no parent (it hangs below the
    // root), so a node never has more than one made-up ancestor.
    static std::unique_ptr<TShellFolder> CreateFromPath(TShellFolder* parent, const std::string& path,
                                                        TShellInfo* info = nullptr);
    // A node for a stored identity; a foreign identity gives a node without a
    // path, which reports no file data.
    static std::unique_ptr<TShellFolder> Create(TShellFolder* parent, const TItemIdList& item,
                                                TShellInfo* info = nullptr);
    // A copy of source with everything it has computed so far.
    static std::unique_ptr<TShellFolder> CreateCopy(TShellFolder* parent, const TShellFolder& source);

    virtual ~TShellFolder();
    TShellFolder(const TShellFolder&) = delete;
    TShellFolder& operator=(const TShellFolder&) = delete;

    TShellFolder* Parent() const { return fParent; }
    bool OwnsParent() const { return fOwnedParent != nullptr; }
    bool IsRoot() const { return fIsRoot; }
    TShellInfo* Info() const { return fInfo; }

    // The full path; empty for the root and for foreign identities.
    const std::string& GetPath() const { return fPath; }
    // The name inside the parent: the last path element ("/" for "/").
    const std::string& GetName();
    // For a symbolic link the path it resolves to, else GetPath().
    const std::string& GetTargetPath();
    // The stored identity, derived from the path on first request.
    const TItemIdList& GetFullItemId();
    // The identity inside the parent, derived on first request: the name
    // (TItemIdList::FromName) below a real folder; the full identity for the
    // root and for items that hang below the root (no parent, or the root as
    // parent), whose place no folder names.
    const TItemIdList& GetItemId();

    uint16_t GetDisplayFlags();
    // The display flags when they are known already (a listing set them),
    // else 0; never asks the disk.
    uint16_t KnownDisplayFlags() const { return fDisplayFlags.value_or(0); }
    uint8_t GetAbilities();
    bool IsDirectory();
    // Views that already know the answer set it; it then counts as known.
    void SetIsDirectory(bool value);
    bool HasSubfolders();
    TDriveType GetDriveType();
    TFolderKind GetFolderKind();

    // Size, date and attributes load together on the first request of any.
    int64_t GetSize();
    TDateTime GetModified();
    uint32_t GetAttributes();
    // True when the item's data could not be read (it is gone, or it is the
    // root or a foreign identity); the size is then 0.
    bool NoFileData();
    // Catalogue and search records preset their data so that listing them
    // needs no disk access; the read-only bit is masked off.
    void SetFileData(int64_t size, TDateTime modified, uint32_t attributes);
    // A folder listing read the entry already (through links): its size,
    // date, attributes and folder flag are taken from there, so that a large
    // folder is not asked about each file a second time. status.Kind fkNone
    // marks the item as gone.
    void SetListedStatus(const TFileStatus& status);
    // A folder listing read only the entry's kind (a file, a folder or
    // something else, never gone): the folder flag and the display flags
    // are known, the size, date and attributes are read on their first
    // request or taken from a later SetListedStatus.
    void SetListedKind(const TFileStatus& status);
    // Whether size, date and attributes are known without asking the disk.
    bool FileDataLoaded() const { return fFileDataLoaded; }
    bool Catalogued() const { return fCatalogued; }
    bool Missing = false;      // the file behind a shelf or search record was not found
    int32_t TargetIndex = -1;  // the search target a result came from

    std::string GetTypeName();
    // Plain type names are "フォルダ" or the lower-case extension.
    void SetPlainTypeNames(bool value);
    bool PlainTypeNames() const { return fPlainTypeNames; }

    int GetIconIndex();
    int GetOpenIconIndex();
    // Icons by the extension or folder kind only, never by the file.
    bool IconByType = false;

    // The most detail columns a node keeps; views show a handful.
    static constexpr int MaxDetailColumns = 256;
    // Detail columns 1..count (column 0 is the name): size, type, date and
    // attributes for real items. Does nothing when as many are loaded.
    void LoadColumnDetails(int count);
    // Raises EMirevaError when no details were loaded.
    std::string GetDetailText(int column) const;
    // Replaces the column's text when the column exists; otherwise the text
    // becomes that column, the columns between the last one and it empty.
    // Columns below 1 or above MaxDetailColumns are ignored.
    void SetDetailText(int column, const std::string& text);
    bool DetailsLoaded() const { return !fDetailTexts.empty(); }

    // Renames the item inside its folder. False (nothing done) without the
    // rename ability; raises EFileError with "<name> への名称変更に失敗しました  "
    // when the name is not allowed, already taken or the rename fails. An
    // existing item is never replaced.
    bool Rename(const std::string& newName);
    // Points the node at another path and drops every cached property.
    void SetPath(const std::string& path);
    void Reset() { SetPath({}); }
    // Points the node at another item by its full identity, drops every
    // cached property and remakes an owned made-up parent for the new place.
    void ReplaceFullItemId(const TItemIdList& item);
    // Points the node at another item of the same parent by its identity
    // inside the parent (as GetItemId gives it), rebuilds the full identity
    // from the parent and drops every cached property. False, with nothing
    // changed, when the identity cannot name an item there: a name below the
    // root or without a parent, or anything but a name below a real folder.
    bool ReplaceItemId(const TItemIdList& item);

private:
    TShellFolder() = default;
    void DropCaches();
    // The parent's folder path when the parent is a real folder, else empty.
    std::string ParentFolderPath() const;
    void Repoint(const TItemIdList& full);
    void LoadFileData();
    void ApplyStatus(const TFileStatus& status);
    std::unique_ptr<TShellFolder> MakeSyntheticParent(const std::string& path);

    TShellFolder* fParent = nullptr;
    std::unique_ptr<TShellFolder> fOwnedParent;
    TShellInfo* fInfo = nullptr;
    bool fIsRoot = false;

    std::string fPath;
    std::optional<TItemIdList> fFullItemId;  // kept as given for foreign identities
    std::optional<TItemIdList> fItemId;
    std::optional<std::string> fName;
    std::optional<std::string> fTargetPath;
    std::optional<uint16_t> fDisplayFlags;
    std::optional<uint8_t> fAbilities;
    std::optional<bool> fIsDirectory;
    std::optional<TDriveType> fDriveType;
    std::optional<TFolderKind> fFolderKind;
    std::optional<std::string> fTypeName;
    bool fPlainTypeNames = false;
    int fIconIndex = -2;  // -2: not asked yet
    int fOpenIconIndex = -2;
    std::vector<std::string> fDetailTexts;

    bool fFileDataLoaded = false;
    bool fNoFileData = false;
    bool fCatalogued = false;
    int64_t fSize = 0;
    TDateTime fModified = 0;
    uint32_t fAttributes = 0;
};

// The items the virtual root lists: the home folder, "/", then every user
// mount (below /media, /run/media and /mnt) in mount order, without repeats.
std::vector<std::string> RootItemPaths(const std::string& home, const std::vector<TMountPoint>& mounts);

// The children of a folder node (of the root: RootItemPaths), unsorted. Hidden
// items only with includeHidden. Raises EFileError when the folder cannot be
// listed.
std::vector<std::unique_ptr<TShellFolder>> ListChildren(TShellFolder& folder, bool includeHidden);

// True when the identity names something that is there: an absolute path
// that exists as a folder or a file (through links), or the virtual root.
// Relative, foreign and absent identities are never reachable.
bool IsReachable(const TItemIdList& item);

// The nearest ancestor of item that IsReachable, walking up from its parent
// one element at a time; absent when the walk meets boundary (the same
// place, trailing "/" aside) or runs out (past the root, or an identity that
// has no parent).
TItemIdList ReachableAncestor(const TItemIdList& item, const TItemIdList& boundary);

// The drive kind of a mount's file system and device.
TDriveType DriveTypeOfMount(const TMountPoint& mount, bool removable);
