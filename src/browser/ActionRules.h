#pragma once

// When each action of the table may run, and whether its menu item shows,
// as a function of a plain snapshot of the window: the command target, what
// the list shows, facts about the selection and the tree's node, the image
// view's state and a few facts of the history, clipboard and settings. The
// window fills the snapshot from its model while it is idle and gives every
// action the state worked out here, so the rules stay cheap (flags already
// known, no file is touched) and can be tested without a window.

#include <bitset>

#include "browser/ActionTable.h"
#include "browser/CommandTarget.h"
#include "browser/ViewStates.h"

// The selection of the file list: the focused item when it is selected,
// else the first selected item ("the item"), and what holds for all of them.
struct TSelectionFacts {
    int Count = 0;
    bool Folder = false;         // the item is a folder
    bool OnDisk = false;         // the item is a folder that exists on disk
    bool Deletable = false;      // every selected item can be deleted
    bool Movable = false;        // every selected item can be moved
    bool Copyable = false;       // every selected item can be copied
    bool Renamable = false;      // the item can be renamed
    bool HasProperties = false;  // the item has a property sheet
    // Every selected item is a folder with a file-system path or a file
    // with a supported archive extension: what a shelf can hold.
    bool ShelfItems = false;
    bool MediaDrive = false;     // the item is a removable, network, optical or RAM drive
};

// The selected node of the active tree (the node under the tree's context
// menu while it is open).
struct TNodeFacts {
    bool Exists = false;
    bool FileSystem = false;      // a file-system item (folder, drive, file)
    bool Folder = false;          // a file-system folder that is not an archive
    bool Archive = false;         // an archive, or a folder inside one
    bool OnDisk = false;          // exists on disk now
    bool PathReadable = false;    // its path can be read
    bool Collection = false;      // a shelf, catalogue, category or search node, or a root of them
    bool Shelf = false;
    bool MediaCatalogue = false;
    bool Category = false;
    bool Deletable = false;
    bool Renamable = false;
    bool Movable = false;
    bool Copyable = false;
    bool MediaDrive = false;
    bool NextSibling = false;     // the node or one of its ancestors has a next sibling
    bool PriorSibling = false;    // the node has a previous sibling
    bool TopLevel = false;        // the node is at the top level of its tree
};

class TTreeNode;
// The sibling facts of a tree's selected node (null: none selected): whether
// it or an ancestor has a next sibling, whether it has a previous one,
// whether it sits at the top level.
void FillSiblingFacts(const TTreeNode* node, TNodeFacts& facts);

struct TActionContext {
    TCommandTarget Target = TCommandTarget::ctNone;
    TListKind ListKind = TListKind::lkNothing;
    bool MainWindowActive = true;

    // The place listed.
    bool ArchiveShown = false;      // the archive list shows an archive
    bool InMediaCatalogue = false;  // that archive lies in a media catalogue
    bool PlaceOnDisk = false;       // the listed folder exists on disk (never in an archive)
    bool PlaceDeletable = false;    // the listed folder can be deleted
    bool PlaceHasParent = false;    // the listed folder has a parent
    bool HasSubFolders = false;     // the list holds a sub-folder or a supported archive
    bool NextArchive = false;       // in an archive: a following archive exists

    TSelectionFacts Selection;
    int ArchiveSelection = 0;       // items selected in the archive list
    bool ArchiveItemIsFile = false; // the archive list's item is a file, not a folder
    TNodeFacts Node;

    // Windows, panes and the image view.
    bool ImageShown = false;
    bool FullScreen = false;
    bool SlideShow = false;
    bool SeparateWindow = false;
    bool FileViewShown = true;
    bool TreeShown = true;
    bool ThumbnailView = false;     // the file view shows thumbnails now
    bool SinglePage = false;        // the single-page view mode is chosen
    bool GridShown = false;
    int GridInterval = 20;
    bool LoupeShown = false;
    int LoupeSize = 200;
    int LoupeScale = 4;

    // History, lists and settings.
    bool HistoryBack = false;
    bool HistoryForward = false;
    bool RecentFiles = false;
    bool MarkerJumps = false;
    bool UndoAvailable = false;
    bool ClipboardHasFiles = false;
    bool HelpExists = false;
    std::bitset<10> RegisteredApps;  // bit n: registered application n + 1 exists
    int UsedApps = 0;                // recently used applications
    int FilterSets = 0;              // filter sets loaded
};

struct TActionState {
    bool Enabled = false;
    bool Visible = true;

    bool operator==(const TActionState&) const = default;
};

// What the action's rule gives, as if the program could carry it out.
TActionState RuleState(TActionId action, const TActionContext& context);
// Whether the program carries out an action that comes later in this
// context already (a command built for some of its targets).
bool PartBuilt(TActionId action, const TActionContext& context);
// What the window shows: the rule's state, except that an action that comes
// later stays disabled where no part of it is built; it stays shown too,
// unless its item stands for something that does not exist (an application
// not registered).
TActionState ActionState(TActionId action, const TActionContext& context);
