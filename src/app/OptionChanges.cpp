#include "app/OptionChanges.h"

#include "base/Errors.h"
#include "common/IniFile.h"

TOptionChanges CompareOptions(const TOptions& before, const TOptions& after)
{
    const TPictureOptions& p0 = before.Picture;
    const TPictureOptions& p1 = after.Picture;
    const TListOptions& l0 = before.List;
    const TListOptions& l1 = after.List;
    const TThumbnailOptions& t0 = before.Thumbnail;
    const TThumbnailOptions& t1 = after.Thumbnail;

    TOptionChanges c;
    c.ViewBackground = p0.Back != p1.Back || p0.Offset != p1.Offset || p0.SeekToRight != p1.SeekToRight ||
                       before.SlideShow.Color != after.SlideShow.Color;
    c.ViewLayout = p0.Stretch != p1.Stretch || p0.Offset != p1.Offset || p0.Center != p1.Center ||
                   p0.AllSpread != p1.AllSpread;
    c.Loupe = before.Loupe.Size != after.Loupe.Size || before.Loupe.Scale != after.Loupe.Scale ||
              before.Loupe.Hook != after.Loupe.Hook;
    c.Grid = before.Grid.Color != after.Grid.Color || before.Grid.Center != after.Grid.Center ||
             before.Grid.Interval != after.Grid.Interval;
    c.ListColors = l0.FileColor != l1.FileColor || l0.FileText != l1.FileText || l0.ArchiveColor != l1.ArchiveColor ||
                   l0.ArchiveText != l1.ArchiveText || l0.SearchColor != l1.SearchColor ||
                   l0.SearchText != l1.SearchText || l0.FolderColor != l1.FolderColor ||
                   l0.FolderText != l1.FolderText;
    c.TreeContents = l0.HiddenFile != l1.HiddenFile || before.Tree.ArchiveNode != after.Tree.ArchiveNode ||
                     before.Tree.CheckSubFolders != after.Tree.CheckSubFolders;
    c.ListBehaviour = c.TreeContents || l0.NoChangeExt != l1.NoChangeExt || l0.AddExt != l1.AddExt ||
                      l0.NoDragFile != l1.NoDragFile || before.FilerView != after.FilerView ||
                      before.Tree.HorzScroll != after.Tree.HorzScroll;
    c.ArchiveKinds = l0.AllFile != l1.AllFile || l0.HiddenFile != l1.HiddenFile || before.FilerView != after.FilerView ||
                     before.Archive.Folder != after.Archive.Folder;
    c.ThumbnailPath = t0.Path != t1.Path;
    c.ThumbnailLook = t0.Width != t1.Width || t0.Height != t1.Height || t0.Icon != t1.Icon ||
                      t0.CaptionName != t1.CaptionName || t0.CaptionComment != t1.CaptionComment ||
                      t0.CaptionSize != t1.CaptionSize || t0.CaptionDate != t1.CaptionDate ||
                      t0.CaptionImage != t1.CaptionImage;
    c.AllThumbnail = t0.AllThumbnail != t1.AllThumbnail;
    c.Cache = before.Cache != after.Cache;
    c.SlideShow = before.SlideShow.Command != after.SlideShow.Command ||
                  before.SlideShow.Interval != after.SlideShow.Interval;
    c.RecentMenu = before.Recent.FullPath != after.Recent.FullPath;
    c.AddressBarShorter = after.Recent.AddressBar < before.Recent.AddressBar;
    c.SearchHistoryShorter = after.Recent.SearchHistory < before.Recent.SearchHistory;
    c.ToolBar = before.Other.CaptionType != after.Other.CaptionType || before.Other.SmallIcon != after.Other.SmallIcon;
    c.StatusBar = before.Other.FullPath != after.Other.FullPath;
    return c;
}

TConfirmResult ConfirmOptions(TIniFile& ini, TOptions& options, const TOptions& confirmed, const TOptionLinks& links)
{
    TConfirmResult result;
    result.Changes = CompareOptions(options, confirmed);
    options = confirmed;
    BuildDerivedOptions(options, links.SystemColors);
    try {
        SaveOptions(ini, options, false, links);
    } catch (const EMirevaError& e) {
        result.WriteError = e.what();
    }
    return result;
}
