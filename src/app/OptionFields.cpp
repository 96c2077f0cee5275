#include "app/OptionFields.h"

#include <array>

#include "app/Init.h"
#include "common/Text.h"

namespace {

constexpr std::array<int32_t, 3> ThumbnailIconValues = {
    static_cast<int32_t>(TThumbnailIcon::tiLarge), static_cast<int32_t>(TThumbnailIcon::tiSmall),
    static_cast<int32_t>(TThumbnailIcon::tiNone)};

void VisitPicture(TOptionVisitor& v, TPictureOptions& o)
{
    constexpr std::string_view s = "PICTURE";
    // Absent means Lanczos3, but a value out of range falls back to the
    // bicubic/area-average pair older versions defaulted to.
    v.Choice(s, "Stretch", o.Stretch, TStretchMode::smLanczos3, 0, 4, TStretchMode::smAreaAverage);
    v.Color(s, "Back", o.Back, 0);
    v.Ranged(s, "Offset", o.Offset, 5, 0, 100, 5);
    v.Ranged(s, "Center", o.Center, 0, 0, 100, 0);
    v.Ranged(s, "ScalingRatio", o.ScalingRatio, 25, 1, 100, 25);
    v.Boolean(s, "RatioChange", o.RatioChange, false);
    v.Boolean(s, "SeekToRight", o.SeekToRight, false);
    v.Boolean(s, "AllSpread", o.AllSpread, false);
    v.Boolean(s, "FirstImage", o.FirstImage, false);
    v.Boolean(s, "FullScreen", o.FullScreen, false);
    v.Boolean(s, "SlideShow", o.SlideShow, false);
    v.Boolean(s, "SelectList", o.SelectList, true);
    v.Ranged(s, "MaxMegapixels", o.MaxMegapixels, 512, 1, 65536, 512);
    v.Ranged(s, "ReducedMegapixels", o.ReducedMegapixels, 64, 1, 65536, 64);
}

void VisitScroll(TOptionVisitor& v, TScrollOptions& o)
{
    constexpr std::string_view s = "SCROLL";
    v.Boolean(s, "ScrollAnimate", o.ScrollAnimate, false);
    v.Ranged(s, "AnimateSpeed", o.AnimateSpeed, 2000, 100, 30000, 2000);
    v.Boolean(s, "PageScrollByRatio", o.PageScrollByRatio, true);
    v.Ranged(s, "PageScrollRatio", o.PageScrollRatio, 100, 1, 100, 100);
    v.Ranged(s, "PageScrollQuantity", o.PageScrollQuantity, 300, 1, 1000, 300);
    v.Boolean(s, "PageScrollMove", o.PageScrollMove, true);
    v.Choice(s, "PageScrollMoveCommand", o.PageScrollMoveCommand, TScrollMoveCommand::mcNextFile, 0, 3,
             TScrollMoveCommand::mcNextFile);
    v.Boolean(s, "PageScrollOpposite", o.PageScrollOpposite, true);
    v.Ranged(s, "PageScrollOverLap", o.PageScrollOverLap, 50, 0, 200, 50);
    v.Boolean(s, "LineScrollByRatio", o.LineScrollByRatio, false);
    v.Ranged(s, "LineScrollRatio", o.LineScrollRatio, 10, 1, 100, 10);
    v.Ranged(s, "LineScrollQuantity", o.LineScrollQuantity, 10, 1, 1000, 10);
    v.Boolean(s, "LineScrollMove", o.LineScrollMove, false);
    v.Choice(s, "LineScrollMoveCommand", o.LineScrollMoveCommand, TScrollMoveCommand::mcNextFile, 0, 3,
             TScrollMoveCommand::mcNextFile);
    v.Boolean(s, "LineScrollOpposite", o.LineScrollOpposite, false);
    v.Ranged(s, "LineScrollOverLap", o.LineScrollOverLap, 0, 0, 200, 0);
    v.Ranged(s, "DragScrollQuantity", o.DragScrollQuantity, 1, 1, 100, 1);
}

void VisitMouse(TOptionVisitor& v, TMouseOptions& o)
{
    constexpr std::string_view s = "MOUSE";
    v.Integer(s, "WheelCount", o.WheelCount, 0);
    v.Integer(s, "EdgeWheelCount", o.EdgeWheelCount, 0);
    v.Boolean(s, "HideCursor", o.HideCursor, false);
    v.Boolean(s, "HideImage", o.HideImage, false);
    v.Boolean(s, "HideFullScreen", o.HideFullScreen, false);
    v.Boolean(s, "HideMotionless", o.HideMotionless, false);
    v.Ranged(s, "MotionlessTime", o.MotionlessTime, 30, 1, 200, 30);
}

void VisitFullScreen(TOptionVisitor& v, TFullScreenOptions& o)
{
    constexpr std::string_view s = "FULLSCREEN";
    v.Boolean(s, "MouseMoveShow", o.MouseMoveShow, true);
    v.Boolean(s, "DisableShowBar", o.DisableShowBar, false);
    v.Boolean(s, "CloseFullScreen", o.CloseFullScreen, true);
    v.Boolean(s, "NoScreenSave", o.NoScreenSave, false);
}

void VisitGrid(TOptionVisitor& v, TGridOptions& o)
{
    constexpr std::string_view s = "GRID";
    v.Color(s, "Color", o.Color, 0x00FF0000);
    v.Color(s, "Center", o.Center, 0x000000FF);
    v.Ranged(s, "Interval", o.Interval, 20, 2, 100, 20);
    v.Ranged(s, "Change", o.Change, 5, 1, 20, 5);
}

void VisitLoupe(TOptionVisitor& v, TLoupeOptions& o)
{
    constexpr std::string_view s = "LOUPE";
    v.Ranged(s, "Size", o.Size, 200, 50, 1000, 200);
    v.Ranged(s, "Scale", o.Scale, 4, 0, 8, 4);
    v.Ranged(s, "Change", o.Change, 50, 1, 100, 50);
    v.Boolean(s, "Hook", o.Hook, false);
    v.Boolean(s, "Confine", o.Confine, false);
}

void VisitCache(TOptionVisitor& v, TCacheOptions& o)
{
    constexpr std::string_view s = "CACHE";
    v.Boolean(s, "ImageCache", o.ImageCache, true);
    v.Ranged(s, "NextCount", o.NextCount, 1, 0, 20, 1);
    v.Ranged(s, "PriorCount", o.PriorCount, 1, 0, 20, 1);
    v.Boolean(s, "FileCache", o.FileCache, true);
    v.Ranged(s, "FileCacheSize", o.FileCacheSize, 10, 0, 256, 10);
}

void VisitSlideShow(TOptionVisitor& v, TSlideShowOptions& o, TColor back)
{
    constexpr std::string_view s = "SLIDESHOW";
    v.Choice(s, "Command", o.Command, TSlideShowCommand::scNextFile, 0, 7, TSlideShowCommand::scNextFile);
    v.Ranged(s, "Interval", o.Interval, 10, 1, 6000, 10);
    v.Color(s, "Color", o.Color, back);
}

void VisitList(TOptionVisitor& v, TListOptions& o)
{
    constexpr std::string_view s = "LIST";
    v.Boolean(s, "AutoRefresh", o.AutoRefresh, true);
    v.Boolean(s, "HiddenFile", o.HiddenFile, true);
    v.Boolean(s, "AllFile", o.AllFile, false);
    v.Choice(s, "ContextMenu", o.ContextMenu, TContextMenuKey::ckShift, 0, 3, TContextMenuKey::ckShift);
    v.Boolean(s, "ClickRename", o.ClickRename, true);
    v.Boolean(s, "NoChangeExt", o.NoChangeExt, false);
    v.Boolean(s, "AddExt", o.AddExt, false);
    v.Boolean(s, "DelNoDialog", o.DelNoDialog, false);
    v.Boolean(s, "UndoDelete", o.UndoDelete, true);
    v.Choice(s, "IncSearch", o.IncSearch, TIncSearchMode::imAlways, 0, 2, TIncSearchMode::imAlways);
    v.Boolean(s, "NoDragFile", o.NoDragFile, false);
    v.Boolean(s, "FirstSelect", o.FirstSelect, true);
    v.Boolean(s, "OpenFolder", o.OpenFolder, false);
    v.Choice(s, "OpenFolderLimit", o.OpenFolderLimit, TOpenLimit::olAlways, 0, 2, TOpenLimit::olAlways);
    v.Boolean(s, "OpenArchive", o.OpenArchive, true);
    v.Choice(s, "OpenArchiveLimit", o.OpenArchiveLimit, TOpenLimit::olAlways, 0, 2, TOpenLimit::olAlways);
    v.Choice(s, "OpenImageType", o.OpenImageType, TOpenImageType::oiFirst, 0, 2, TOpenImageType::oiFirst);
    v.Color(s, "FileColor", o.FileColor, clWindow);
    v.Color(s, "FileText", o.FileText, clWindowText);
    v.Color(s, "ArchiveColor", o.ArchiveColor, 0x00FAECDC);
    v.Color(s, "ArchiveText", o.ArchiveText, clWindowText);
    v.Color(s, "SearchColor", o.SearchColor, 0x00DCFAF9);
    v.Color(s, "SearchText", o.SearchText, clWindowText);
    v.Color(s, "FolderColor", o.FolderColor, clWindow);
    v.Color(s, "FolderText", o.FolderText, clWindowText);
    v.Boolean(s, "GridList", o.GridList, false);
}

void VisitThumbnail(TOptionVisitor& v, TThumbnailOptions& o)
{
    constexpr std::string_view s = "THUMBNAIL";
    // The options dialog offers 50..300; a hand-edited 0 or a negative size
    // would divide by zero when thumbnails are fitted, and a huge one would
    // ask for gigabytes, so only sizes that can work are taken.
    v.Ranged(s, "Width", o.Width, 80, 1, 1000, 80);
    v.Ranged(s, "Height", o.Height, 80, 1, 1000, 80);
    v.Choice(s, "Stretch", o.Stretch, TThumbnailStretch::tsAreaAverage, 0, 4, TThumbnailStretch::tsAreaAverage);
    int32_t icon = static_cast<int32_t>(o.Icon);
    v.OneOf(s, "Icon", icon, 0, ThumbnailIconValues, 0);
    o.Icon = static_cast<TThumbnailIcon>(icon);
    v.Boolean(s, "AllThumbnail", o.AllThumbnail, false);
    v.Boolean(s, "CaptionName", o.CaptionName, true);
    v.Boolean(s, "CaptionComment", o.CaptionComment, false);
    v.Boolean(s, "CaptionSize", o.CaptionSize, false);
    v.Boolean(s, "CaptionDate", o.CaptionDate, false);
    v.Boolean(s, "CaptionImage", o.CaptionImage, false);
    v.Choice(s, "Scroll", o.Scroll, TThumbnailScroll::twStandard, 0, 2, TThumbnailScroll::twStandard);
    v.Choice(s, "Save", o.Save, TThumbnailSave::tvAll, 0, 2, TThumbnailSave::tvAll);
    v.Folder(s, "Path", o.Path);
}

void VisitAttrColor(TOptionVisitor& v, TAttrColorOptions& o, TColor fileText)
{
    constexpr std::string_view s = "ATTRCOLOR";
    for (int n = 0; n < ColorAttributeCount; ++n) {
        v.Boolean(s, "Use_" + IntToStr(n), o.Use[n], n == 0);
        v.Color(s, "Color_" + IntToStr(n), o.Color[n], n == 0 ? TColor(0x000000FF) : fileText);
    }
}

void VisitRecent(TOptionVisitor& v, TRecentOptions& o)
{
    constexpr std::string_view s = "RECENT";
    v.Ranged(s, "Count", o.Count, 10, 0, 1000, 10);
    // A menu length out of range shows as many as are kept.
    v.Ranged(s, "View", o.View, 10, 0, 100, o.Count);
    v.Boolean(s, "FullPath", o.FullPath, true);
    v.Boolean(s, "ExceptLast", o.ExceptLast, false);
    v.Ranged(s, "BackCount", o.BackCount, 200, 0, 1000, 200);
    v.Ranged(s, "BackView", o.BackView, 20, 1, 100, 20);
    v.Ranged(s, "AddressBar", o.AddressBar, 50, 0, 100, 50);
    v.Ranged(s, "SelectDir", o.SelectDir, 50, 0, 100, 50);
    v.Ranged(s, "SearchHistory", o.SearchHistory, 50, 0, 100, 50);
}

void VisitInitialize(TOptionVisitor& v, TInitializeOptions& o)
{
    constexpr std::string_view s = "INITIALIZE";
    v.Choice(s, "InitDirType", o.InitDirType, TInitDirType::idLastFolder, 0, 2, TInitDirType::idLastFolder);
    v.Boolean(s, "LastImage", o.LastImage, false);
    v.Text(s, "InitPath", o.InitPath);
    v.Text(s, "InitShelf", o.InitShelf);
}

void VisitOther(TOptionVisitor& v, TOtherOptions& o)
{
    constexpr std::string_view s = "OTHER";
    v.Choice(s, "CaptionType", o.CaptionType, TCaptionType::ctSomeRight, 0, 2, TCaptionType::ctSomeRight);
    v.Boolean(s, "SmallIcon", o.SmallIcon, false);
    v.Boolean(s, "FullPath", o.FullPath, false);
    v.Boolean(s, "MinimizeTray", o.MinimizeTray, false);
}

}  // namespace

void VisitOptions(TOptionVisitor& visitor, TOptions& options)
{
    VisitPicture(visitor, options.Picture);
    VisitScroll(visitor, options.Scroll);
    VisitMouse(visitor, options.Mouse);
    VisitFullScreen(visitor, options.FullScreen);
    VisitGrid(visitor, options.Grid);
    VisitLoupe(visitor, options.Loupe);
    {
        constexpr std::string_view s = "MOVE";
        TMoveOptions& o = options.Move;
        visitor.Boolean(s, "MoveByRatio", o.MoveByRatio, true);
        visitor.Ranged(s, "MoveRatio", o.MoveRatio, 10, 1, 100, 10);
        visitor.Ranged(s, "MoveCount", o.MoveCount, 10, 1, 100, 10);
        visitor.Choice(s, "LastFileMove", o.LastFileMove, TEndOfList::elLoop, 0, 4, TEndOfList::elLoop);
        visitor.Boolean(s, "LastToSubFolder", o.LastToSubFolder, true);
    }
    VisitCache(visitor, options.Cache);
    VisitSlideShow(visitor, options.SlideShow, options.Picture.Back);
    VisitList(visitor, options.List);
    {
        constexpr std::string_view s = "FILERVIEW";
        visitor.Choice(s, "SizeUnit", options.FilerView.SizeUnit, TSizeUnit::suKiloBytes, 0, 2,
                       TSizeUnit::suKiloBytes);
        visitor.Boolean(s, "ExtTypeName", options.FilerView.ExtTypeName, false);
    }
    visitor.Boolean("ARCHIVE", "Folder", options.Archive.Folder, true);
    visitor.Boolean("ARCHIVE", "OpenSubFolder", options.Archive.OpenSubFolder, true);
    {
        constexpr std::string_view s = "TREE";
        visitor.Boolean(s, "ArchiveNode", options.Tree.ArchiveNode, true);
        visitor.Boolean(s, "AutoCollapse", options.Tree.AutoCollapse, false);
        visitor.Boolean(s, "CheckSubFolders", options.Tree.CheckSubFolders, false);
        visitor.Boolean(s, "HorzScroll", options.Tree.HorzScroll, true);
    }
    VisitThumbnail(visitor, options.Thumbnail);
    VisitAttrColor(visitor, options.AttrColor, options.List.FileText);
    visitor.ExtColorList(options.ExtColors, options.List.FileText);
    VisitRecent(visitor, options.Recent);
    VisitInitialize(visitor, options.Initialize);
    VisitOther(visitor, options.Other);
}
