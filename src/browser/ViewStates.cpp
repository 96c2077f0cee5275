#include "browser/ViewStates.h"

#include <string>

#include "common/IniFile.h"

namespace {

constexpr const char* View = "VIEW";

// The keys of the six view types, in the order of TViewTypeSlot.
constexpr const char* ViewTypeKeys[ViewTypeSlotCount] = {
    "FileViewType", "ShelfRootViewType", "ShelfViewType", "MediaRootViewType", "SearchViewType", "ArchiveViewType",
};

std::string KeyOf(const char* key, bool fullScreen)
{
    return fullScreen ? std::string(key) + "_Full" : std::string(key);
}

// 1 puts the file view above the image; any other value below the tree.
TFileViewPos ReadPos(const TIniFile& ini, const std::string& key, TFileViewPos def)
{
    const int fallback = def == TFileViewPos::fpAboveImage ? 1 : 0;
    return ini.ReadInteger(View, key, fallback) == 1 ? TFileViewPos::fpAboveImage : TFileViewPos::fpBelowTree;
}

TPaneSet ReadPanes(const TIniFile& ini, bool fullScreen, const TPaneSet& def)
{
    TPaneSet set;
    set.File = ini.ReadBool(View, KeyOf("File", fullScreen), def.File);
    set.Tree = ini.ReadBool(View, KeyOf("Tree", fullScreen), def.Tree);
    set.MainMenu = ini.ReadBool(View, KeyOf("MainMenu", fullScreen), def.MainMenu);
    set.MainBar = ini.ReadBool(View, KeyOf("MainBar", fullScreen), def.MainBar);
    set.AddressBar = ini.ReadBool(View, KeyOf("AddressBar", fullScreen), def.AddressBar);
    set.ImageBar = ini.ReadBool(View, KeyOf("ImageBar", fullScreen), def.ImageBar);
    set.StatusBar = ini.ReadBool(View, KeyOf("StatusBar", fullScreen), def.StatusBar);
    set.SeekBar = ini.ReadBool(View, KeyOf("SeekBar", fullScreen), def.SeekBar);
    set.FileViewPos = ReadPos(ini, KeyOf("FileViewPos", fullScreen), def.FileViewPos);
    set.StayOnTop = ini.ReadBool(View, KeyOf("StayOnTop", fullScreen), def.StayOnTop);
    // The tree sits in the file view's pane: a shown tree needs it.
    if (set.Tree)
        set.File = true;
    return set;
}

void WritePanes(TIniFile& ini, bool fullScreen, const TPaneSet& set)
{
    ini.WriteBool(View, KeyOf("File", fullScreen), set.File);
    ini.WriteBool(View, KeyOf("Tree", fullScreen), set.Tree);
    ini.WriteBool(View, KeyOf("MainMenu", fullScreen), set.MainMenu);
    ini.WriteBool(View, KeyOf("MainBar", fullScreen), set.MainBar);
    ini.WriteBool(View, KeyOf("AddressBar", fullScreen), set.AddressBar);
    ini.WriteBool(View, KeyOf("ImageBar", fullScreen), set.ImageBar);
    ini.WriteBool(View, KeyOf("StatusBar", fullScreen), set.StatusBar);
    ini.WriteBool(View, KeyOf("SeekBar", fullScreen), set.SeekBar);
    ini.WriteInteger(View, KeyOf("FileViewPos", fullScreen), set.FileViewPos == TFileViewPos::fpAboveImage ? 1 : 0);
    ini.WriteBool(View, KeyOf("StayOnTop", fullScreen), set.StayOnTop);
}

}  // namespace

TPaneSet DefaultFullScreenPanes()
{
    TPaneSet set;
    set.File = false;
    set.Tree = false;
    set.MainMenu = false;
    set.MainBar = false;
    set.AddressBar = false;
    set.StatusBar = false;
    return set;
}

TViewTypeSlot ViewTypeSlotOf(TListKind kind, bool archive)
{
    if (archive)
        return TViewTypeSlot::vsArchive;
    switch (kind) {
    case TListKind::lkShelves: return TViewTypeSlot::vsShelfRoot;
    case TListKind::lkShelf: return TViewTypeSlot::vsShelf;
    case TListKind::lkMediaList: return TViewTypeSlot::vsMediaRoot;
    case TListKind::lkSearch: return TViewTypeSlot::vsSearch;
    default: return TViewTypeSlot::vsFolder;
    }
}

TFileViewType TViewStates::ViewType(TListKind kind, bool archive) const
{
    return ViewTypes[static_cast<size_t>(ViewTypeSlotOf(kind, archive))];
}

void TViewStates::SetViewType(TListKind kind, bool archive, TFileViewType type)
{
    ViewTypes[static_cast<size_t>(ViewTypeSlotOf(kind, archive))] = type;
}

TViewStates ReadViewStates(const TIniFile& ini)
{
    TViewStates states;
    states.Normal = ReadPanes(ini, false, TPaneSet{});
    // Full screen takes over the seek bar and the file view's place of the
    // normal view unless it has values of its own.
    TPaneSet fullDefault = DefaultFullScreenPanes();
    fullDefault.SeekBar = states.Normal.SeekBar;
    fullDefault.FileViewPos = states.Normal.FileViewPos;
    states.FullScreen = ReadPanes(ini, true, fullDefault);
    states.ViewForm = ini.ReadBool(View, "ViewForm", false);
    states.ImageMenu = ini.ReadBool(View, "ImageMenu", true);
    for (size_t i = 0; i < ViewTypeSlotCount; ++i)
        states.ViewTypes[i] = static_cast<TFileViewType>(ini.ReadRanged(View, ViewTypeKeys[i], 0, 0, 2, 0));
    return states;
}

void WriteViewStates(TIniFile& ini, const TViewStates& states)
{
    WritePanes(ini, false, states.Normal);
    WritePanes(ini, true, states.FullScreen);
    ini.WriteBool(View, "ViewForm", states.ViewForm);
    ini.WriteBool(View, "ImageMenu", states.ImageMenu);
    for (size_t i = 0; i < ViewTypeSlotCount; ++i)
        ini.WriteInteger(View, ViewTypeKeys[i], static_cast<int>(states.ViewTypes[i]));
}

TPaneSet PanesAtStart(const TViewStates& states, bool fullScreen, bool mouseMoveShow)
{
    if (!fullScreen)
        return states.Normal;
    TPaneSet panes = mouseMoveShow ? states.Normal : states.FullScreen;
    panes.FileViewPos = states.FullScreen.FileViewPos;
    panes.StayOnTop = states.FullScreen.StayOnTop;
    return panes;
}

TTreeKind ReadTreeKind(TIniFile& ini)
{
    int value = 0;
    if (ini.ValueExists("STATE", "TreeKind")) {
        value = ini.ReadInteger("STATE", "TreeKind", 0);
        ini.DeleteKey("STATE", "TreeKind");
    } else {
        value = ini.ReadInteger(View, "ListKind", 0);
    }
    return value >= 0 && value <= static_cast<int>(TTreeKind::tkSearch) ? static_cast<TTreeKind>(value)
                                                                         : TTreeKind::tkFolder;
}

void WriteTreeKind(TIniFile& ini, TTreeKind kind)
{
    ini.WriteInteger(View, "ListKind", static_cast<int>(kind));
}
