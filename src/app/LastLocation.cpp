#include "app/LastLocation.h"

#include "common/IniFile.h"

namespace {

constexpr std::string_view State = "STATE";
constexpr std::string_view View = "VIEW";

TLocationTree TreeOf(int32_t value)
{
    return value >= 0 && value <= static_cast<int32_t>(TLocationTree::ltSearch) ? static_cast<TLocationTree>(value)
                                                                                : TLocationTree::ltFolder;
}

}  // namespace

bool ConvertOldApplicationKeys(TIniFile& ini)
{
    bool changed = false;
    for (int n = 1; n <= 5; ++n) {
        const std::string oldKey = "Application" + std::to_string(n);
        const std::optional<std::string> value = ini.Find("IMAGE", oldKey);
        if (!value)
            continue;
        // A newer entry already there wins; the old key goes either way.
        const std::string newKey = "UseApplication" + std::to_string(n);
        if (!ini.ValueExists("FILE", newKey))
            ini.WriteString("FILE", newKey, *value);
        ini.DeleteKey("IMAGE", oldKey);
        changed = true;
    }
    return changed;
}

TLastLocation ReadLastLocation(TIniFile& ini)
{
    ConvertOldApplicationKeys(ini);
    TLastLocation location;
    if (ini.ValueExists(State, "TreeKind")) {
        location.TreeKind = TreeOf(ini.ReadInteger(State, "TreeKind", 0));
        ini.DeleteKey(State, "TreeKind");
    } else {
        location.TreeKind = TreeOf(ini.ReadInteger(View, "ListKind", 0));
    }
    location.Dir = ini.ReadString(State, "Dir", "");
    // Older versions stored the folder as a Windows identifier list in
    // hexadecimal; it names nothing here.
    if (!location.Dir.empty() && location.Dir.front() != '/')
        location.Dir.clear();
    location.IsArchive = !location.Dir.empty() && ini.ReadBool(State, "IsArchive", false);
    location.ArchivePath = location.IsArchive ? ini.ReadString(State, "ArchivePath", "") : std::string();
    location.Shelf = ini.ReadString(State, "Shelf", "");
    location.ShelfItem = ini.ReadString(State, "ShelfItem", "");
    if (!location.ShelfItem.empty() && location.ShelfItem.front() != '/')
        location.ShelfItem.clear();
    location.Media = ini.ReadString(State, "Media", "");
    location.MediaDir = ini.ReadString(State, "MediaDir", "");
    location.Selected = ini.ReadString(State, "Selected", "");
    location.ImagePath = ini.ReadString(State, "ImagePath", "");
    return location;
}

void WriteLastLocation(TIniFile& ini, const TLastLocation& location)
{
    ini.WriteInteger(View, "ListKind", static_cast<int32_t>(location.TreeKind));
    ini.WriteBool(State, "IsArchive", location.IsArchive);
    ini.WriteString(State, "ArchivePath", location.IsArchive ? location.ArchivePath : std::string());
    ini.WriteString(State, "Shelf", location.Shelf);
    ini.WriteString(State, "ShelfItem", location.ShelfItem);
    ini.WriteString(State, "Media", location.Media);
    ini.WriteString(State, "MediaDir", location.MediaDir);
    ini.WriteString(State, "Selected", location.Selected);
    ini.WriteString(State, "ImagePath", location.ImagePath);
    ini.WriteString(State, "Dir", location.Dir);
}

TLocationTree StartTreeKind(const TLastLocation& location, const TInitializeOptions& init, bool startPathGiven)
{
    if (startPathGiven)
        return TLocationTree::ltFolder;
    switch (init.InitDirType) {
    case TInitDirType::idInitShelf:
        return TLocationTree::ltShelf;
    case TInitDirType::idInitPath:
        return TLocationTree::ltFolder;
    case TInitDirType::idLastFolder:
        break;
    }
    return location.TreeKind;
}
