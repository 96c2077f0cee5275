#pragma once

// What the browser window must redo after the options dialog was confirmed:
// the dialog's values become the options, are written to the settings file
// at once (without the plug-in settings), and the groups of options that
// differ from before tell the window which parts to apply again.

#include <string>

#include "app/Init.h"

class TIniFile;

struct TOptionChanges {
    bool ViewBackground = false;  // PICTURE Back, Offset, SeekToRight or SLIDESHOW Color
    bool ViewLayout = false;      // PICTURE Stretch, Offset, Center or AllSpread: relayout, reopen the loupe
    bool Loupe = false;           // LOUPE Size, Scale or Hook: reopen a shown loupe
    bool Grid = false;            // GRID Color, Center or Interval: repaint a shown grid
    bool ListColors = false;      // the eight list and tree colours
    bool ListBehaviour = false;   // LIST HiddenFile, NoChangeExt, AddExt, NoDragFile, FILERVIEW, TREE options
    bool TreeContents = false;    // LIST HiddenFile, TREE ArchiveNode or CheckSubFolders: refresh the active tree
    bool ArchiveKinds = false;    // LIST AllFile, HiddenFile, FILERVIEW options or ARCHIVE Folder
    bool ThumbnailPath = false;   // reopen the thumbnail store
    bool ThumbnailLook = false;   // THUMBNAIL Width, Height, Icon or captions: make thumbnails again
    bool AllThumbnail = false;    // THUMBNAIL AllThumbnail
    bool Cache = false;           // any CACHE option: restart the image cache
    bool SlideShow = false;       // SLIDESHOW Command or Interval
    bool RecentMenu = false;      // RECENT FullPath: rebuild the recent-files menu
    bool AddressBarShorter = false;     // RECENT AddressBar lowered: cut the history
    bool SearchHistoryShorter = false;  // RECENT SearchHistory lowered: cut the history
    bool ToolBar = false;         // OTHER CaptionType or SmallIcon
    bool StatusBar = false;       // OTHER FullPath

    bool operator==(const TOptionChanges&) const = default;
};

TOptionChanges CompareOptions(const TOptions& before, const TOptions& after);

struct TConfirmResult {
    TOptionChanges Changes;
    std::string WriteError;  // why the settings file could not be written; empty otherwise
};

// Takes the confirmed dialog values over: compares them with the options in
// use, makes them the options, rebuilds the derived tables and writes the
// options (not the plug-in settings) into the settings file at once. A failed
// write is reported in the result; the new options stay in use.
TConfirmResult ConfirmOptions(TIniFile& ini, TOptions& options, const TOptions& confirmed,
                              const TOptionLinks& links);
