#include "browser/ActionRules.h"

#include "shellviews/ShellTree.h"

namespace {

using enum TCommandTarget;
using enum TListKind;

// Grid spacing and loupe limits the commands step within.
constexpr int GridMin = 5;
constexpr int GridMax = 100;
constexpr int LoupeSizeMin = 50;
constexpr int LoupeSizeMax = 1000;
constexpr int LoupeScaleMax = 8;

// Open the selection in a special way (full screen, slideshow, another
// program): something that can be opened is chosen in the target pane.
bool OpenableSelection(const TActionContext& c)
{
    switch (c.Target) {
    case ctFileList: return c.Selection.Count > 0 && !IsCollectionList(c.ListKind);
    case ctArchiveList: return c.ArchiveSelection > 0;
    case ctTree: return c.Node.Exists && (c.Node.FileSystem || c.Node.Archive);
    default: return false;
    }
}

// The picture shown comes from a real folder, not from an archive: the
// file operations can act on its file.
bool FolderImageShown(const TActionContext& c)
{
    return c.ImageShown && !c.ArchiveShown;
}

bool ParentDeletable(const TActionContext& c)
{
    return c.ArchiveShown ? !c.InMediaCatalogue : c.ListKind == lkFolder && c.PlaceDeletable;
}

bool Enabled(const TActionInfo& info, const TActionContext& c)
{
    const TSelectionFacts& sel = c.Selection;
    const TNodeFacts& node = c.Node;
    const bool selected = sel.Count > 0;
    const bool noTreeOrSearch = c.ListKind == lkSearch || !c.TreeShown;
    switch (info.Rule) {
    case TEnableRule::erAlways: return true;
    case TEnableRule::erMainWindowActive: return c.MainWindowActive;
    case TEnableRule::erOpenFullScreen:
        return c.Target == ctImage ? c.ImageShown && !c.FullScreen : OpenableSelection(c);
    case TEnableRule::erOpenSlideShow:
        return c.Target == ctImage ? c.ImageShown && !c.SlideShow : OpenableSelection(c);
    case TEnableRule::erExplorer:
        if (c.Target == ctFileList)
            return selected && sel.Folder && !IsCollectionList(c.ListKind);
        return c.Target == ctTree && node.Folder && !node.Archive;
    case TEnableRule::erExecute:
        switch (c.Target) {
        case ctFileList: return selected && !sel.Folder && !IsCollectionList(c.ListKind);
        case ctArchiveList: return c.ArchiveSelection > 0 && c.ArchiveItemIsFile;
        case ctTree: return node.Exists && (node.FileSystem || node.Archive);
        case ctImage: return c.ImageShown;
        default: return false;
        }
    case TEnableRule::erRegApp: return c.RegisteredApps.test(static_cast<size_t>(RegAppIndex(info.Id)));
    case TEnableRule::erUseApp: return UseAppIndex(info.Id) < c.UsedApps;
    case TEnableRule::erRecentFiles: return c.RecentFiles;
    case TEnableRule::erMarkerJump: return c.MarkerJumps;
    case TEnableRule::erSetMark: return c.ImageShown && c.ListKind != lkSearch;
    case TEnableRule::erAddShelf:
        if (c.Target == ctFileList)
            return (c.ListKind == lkFolder || c.ListKind == lkSearch) && !c.ArchiveShown && selected &&
                   sel.ShelfItems;
        return c.Target == ctTree && !node.Collection && (node.Folder || (node.FileSystem && node.PathReadable));
    case TEnableRule::erShelfItems:
        if (c.Target == ctFileList)
            return (c.ListKind == lkShelves && selected) || (c.ListKind == lkShelf && !selected);
        return c.Target == ctTree && node.Shelf;
    case TEnableRule::erAddMedia:
        if (c.Target == ctFileList)
            return (c.ListKind == lkFolder || c.ListKind == lkShelf || c.ListKind == lkSearch) && selected &&
                   sel.MediaDrive;
        return c.Target == ctTree && node.MediaDrive;
    case TEnableRule::erUpdateMedia:
        if (c.Target == ctFileList)
            return c.ListKind == lkMediaList && selected;
        return c.Target == ctTree && node.MediaCatalogue;
    case TEnableRule::erDelete:
        switch (c.Target) {
        case ctFileList:
            return selected && (sel.Deletable || c.ListKind == lkShelves || c.ListKind == lkShelf ||
                                c.ListKind == lkMediaList || c.ListKind == lkCategories);
        case ctTree: return node.Shelf || node.MediaCatalogue || node.Category || (node.FileSystem && node.Deletable);
        case ctImage: return FolderImageShown(c);
        default: return false;
        }
    case TEnableRule::erParentDelete:
        switch (c.Target) {
        case ctFileList: return !c.ArchiveShown && ParentDeletable(c);
        case ctArchiveList: return c.ArchiveShown && ParentDeletable(c);
        case ctImage: return c.ImageShown && ParentDeletable(c);
        default: return false;
        }
    case TEnableRule::erRename:
        switch (c.Target) {
        case ctFileList:
            if (IsCollectionList(c.ListKind))
                return selected;
            return (c.ListKind == lkFolder || c.ListKind == lkShelf) && selected && sel.Renamable;
        case ctTree: return node.Renamable || node.Shelf || node.MediaCatalogue;
        case ctImage: return FolderImageShown(c);
        default: return false;
        }
    case TEnableRule::erProperties:
        // Without a selection, a shelf, catalogue or category listed shows
        // its own properties; a collection node of the tree does too.
        if (c.Target == ctTree)
            return node.Shelf || node.MediaCatalogue || node.Category;
        return c.Target == ctFileList &&
               (selected ? IsCollectionList(c.ListKind) || sel.HasProperties
                         : c.ListKind == lkShelf || c.ListKind == lkMedium || c.ListKind == lkCategory);
    case TEnableRule::erNewFolder:
        if (c.Target == ctFileList)
            return c.ListKind == lkFolder && !c.ArchiveShown && c.PlaceOnDisk;
        return c.Target == ctTree && node.Folder && node.OnDisk;
    case TEnableRule::erNoArchive: return !c.ArchiveShown;
    case TEnableRule::erUndo: return c.UndoAvailable;
    case TEnableRule::erCut:
        switch (c.Target) {
        case ctFileList: return selected && sel.Movable;
        case ctTree: return node.FileSystem && node.Movable;
        case ctImage: return FolderImageShown(c);
        default: return false;
        }
    case TEnableRule::erCopy:
        switch (c.Target) {
        case ctFileList: return selected && sel.Copyable;
        case ctArchiveList: return c.ArchiveSelection > 0;
        case ctTree: return node.Copyable;
        case ctImage: return c.ImageShown;
        default: return false;
        }
    case TEnableRule::erPaste:
        if (!c.ClipboardHasFiles)
            return false;
        if (c.Target == ctFileList) {
            // Into the selected folder, else into the listed one.
            if (selected && sel.Folder)
                return sel.OnDisk;
            return c.ListKind == lkFolder && !c.ArchiveShown && c.PlaceOnDisk;
        }
        return c.Target == ctTree && node.Folder && node.OnDisk;
    case TEnableRule::erPathCopy:
        switch (c.Target) {
        case ctFileList: return selected && sel.Copyable;
        case ctTree: return node.FileSystem && node.Copyable;
        case ctImage: return FolderImageShown(c);
        default: return false;
        }
    case TEnableRule::erFileViewShown: return c.FileViewShown;
    // Selecting the files of a list of shelves, catalogues or categories
    // would select nothing: they hold no files.
    case TEnableRule::erFileSelect: return c.FileViewShown && !IsCollectionList(c.ListKind);
    case TEnableRule::erImageShown: return c.ImageShown;
    case TEnableRule::erTwoPages: return !c.SinglePage;
    case TEnableRule::erFilterSet: return FilterIndex(info.Id) < c.FilterSets;
    case TEnableRule::erLoupeSizeEnlarge: return c.LoupeShown && c.LoupeSize < LoupeSizeMax;
    case TEnableRule::erLoupeSizeShrink: return c.LoupeShown && c.LoupeSize > LoupeSizeMin;
    case TEnableRule::erLoupeScaleEnlarge: return c.LoupeShown && c.LoupeScale < LoupeScaleMax;
    case TEnableRule::erLoupeScaleShrink: return c.LoupeShown && c.LoupeScale > 0;
    case TEnableRule::erGridEnlarge: return c.GridShown && c.GridInterval < GridMax;
    case TEnableRule::erGridShrink: return c.GridShown && c.GridInterval > GridMin;
    case TEnableRule::erBack: return c.HistoryBack;
    case TEnableRule::erForward: return c.HistoryForward;
    case TEnableRule::erNextFolder:
        if (c.ArchiveShown)
            return c.NextArchive;
        return c.HasSubFolders || noTreeOrSearch || node.NextSibling;
    case TEnableRule::erSiblingFolder: return noTreeOrSearch || node.NextSibling;
    case TEnableRule::erPriorFolder: return noTreeOrSearch || node.PriorSibling || (node.Exists && !node.TopLevel);
    case TEnableRule::erUp:
        if (c.ArchiveShown)
            return true;
        switch (c.ListKind) {
        case lkFolder: return c.PlaceHasParent;
        // A shelf, a catalogue, its folders, a category and search results
        // all lie one level below a list.
        case lkShelf:
        case lkMedium:
        case lkMediumFolder:
        case lkCategory:
        case lkSearch: return true;
        default: return false;
        }
    case TEnableRule::erFileViewPos: return !c.SeparateWindow && c.FileViewShown;
    case TEnableRule::erNotFullScreen: return !c.FullScreen;
    case TEnableRule::erSeparateWindow: return c.SeparateWindow;
    case TEnableRule::erSaveThumbs: return c.ThumbnailView && c.ListKind == lkFolder;
    case TEnableRule::erLoadThumbs:
        if (c.ListKind == lkFolder && !c.ArchiveShown)
            return c.PlaceOnDisk;
        return c.ListKind != lkShelves && c.ListKind != lkMediaList && c.ListKind != lkNothing;
    case TEnableRule::erHelp: return c.HelpExists;
    }
    return false;
}

// Items that stand for something that may not exist are hidden without it,
// whatever else holds.
bool Exists(const TActionInfo& info, const TActionContext& c)
{
    switch (info.Rule) {
    case TEnableRule::erRegApp:
    case TEnableRule::erUseApp:
    case TEnableRule::erFilterSet: return Enabled(info, c);
    default: return true;
    }
}

}  // namespace

TActionState RuleState(TActionId action, const TActionContext& context)
{
    const TActionInfo& info = ActionInfo(action);
    const bool enabled = Enabled(info, context);
    return TActionState{enabled, Exists(info, context) && (enabled || !info.HideDisabled)};
}

bool PartBuilt(TActionId action, const TActionContext& c)
{
    switch (action) {
    // The property dialogs of shelves, catalogues and categories; the
    // system's property sheets of files come later.
    case TActionId::actProperties:
        return (c.Target == ctFileList &&
                (c.ListKind == lkShelves || c.ListKind == lkMediaList || c.ListKind == lkCategories)) ||
               (c.Target == ctFileList && c.Selection.Count == 0 &&
                (c.ListKind == lkShelf || c.ListKind == lkMedium || c.ListKind == lkCategory)) ||
               (c.Target == ctTree && (c.Node.Shelf || c.Node.MediaCatalogue || c.Node.Category));
    default: return false;
    }
}

TActionState ActionState(TActionId action, const TActionContext& context)
{
    const TActionInfo& info = ActionInfo(action);
    if (!info.Pending || PartBuilt(action, context))
        return RuleState(action, context);
    return TActionState{false, Exists(info, context)};
}

void FillSiblingFacts(const TTreeNode* node, TNodeFacts& facts)
{
    facts.Exists = node != nullptr;
    facts.NextSibling = false;
    facts.PriorSibling = node && node->Row() > 0;
    // The invisible base above the top level has no parent itself.
    facts.TopLevel = node && node->Parent() && !node->Parent()->Parent();
    for (const TTreeNode* at = node; at && at->Parent(); at = at->Parent())
        if (at->Row() + 1 < at->Parent()->Count()) {
            facts.NextSibling = true;
            break;
        }
}
