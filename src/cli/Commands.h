#pragma once

// The subcommands of mireva-cli, one function each; CommandTable.inc lists
// them with their usage lines.

#include "cli/CliCommand.h"

int RunVersion(TCliContext& context);
// Where a path leads, as the viewer's command line reads it.
int RunResolve(TCliContext& context);
// Which loader accepts a file, at which offset, and whether it is a picture
// or an archive.
int RunDetect(TCliContext& context);
// Loads a picture as the viewer does and writes it as a 24-bit or 8-bit gray
// bitmap file, or as PNG.
int RunLoad(TCliContext& context);
// The plug-ins found, in priority order: file name, kind, enabled, patterns.
int RunPlugins(TCliContext& context);
// archive list ARCHIVE[//INNER...] and archive extract ARCHIVE MEMBER OUT.
int RunArchive(TCliContext& context);

// CollectionCommands.cpp
int RunShelf(TCliContext& context);
int RunLs(TCliContext& context);
// SearchCommand.cpp: the search panel's search over folders and shelves, one
// result a line (folders end in "/"), in the program's name order.
int RunSearch(TCliContext& context);
// CategoryCommands.cpp: categories of the data folder, made, listed, shown
// as the viewer sorts them, and deleted.
int RunCategory(TCliContext& context);
// MarkerCommands.cpp: the recent files and the markers as the viewer keeps
// them, one entry a line with tab-separated fields; a marker added for a
// picture (also one inside an archive).
int RunRecent(TCliContext& context);
// Not listed in the usage: the search cache of the data folder with one
// folder's entries added, and an export setting saved under a name, written
// as the viewer writes them (scripts that prepare or check those files).
int RunSearchCacheAdd(TCliContext& context);
int RunSaveExportSetting(TCliContext& context);
int RunMarkers(TCliContext& context);
// Prints the options of a settings file as the viewer reads them; settings
// set SECTION KEY VALUE changes one key of the data folder's settings file.
int RunSettings(TCliContext& context);
// keys dump [--file SETTINGS]: every command of the key catalogue with its keys.
int RunKeys(TCliContext& context);
// Prints the mouse bindings of a settings file, one per line.
int RunMouse(TCliContext& context);

// ImagingCommands.cpp: a picture scaled by one of the four resamplers
// (only the given rectangle of the scaled picture, placed at a point), passed
// through filter items in the settings file's text form, or turned.
int RunScale(TCliContext& context);
int RunFilter(TCliContext& context);
int RunRotate(TCliContext& context);

// WatchCommand.cpp: prints the changes of a folder as the file list is told
// of them, until N seconds have passed or the folder goes away.
int RunWatch(TCliContext& context);
// mireva-cli trash: moves files to the trash, lists it, restores one.
int RunTrash(TCliContext& context);

// ThumbCommands.cpp: the thumbnail store the viewer uses: its folders and
// archives, the thumbnails stored for one, one thumbnail's JPEG written out,
// and making the thumbnails of a folder or an archive into it.
int RunThumbs(TCliContext& context);

// MediaCommands.cpp: media catalogues as the viewer keeps them: a folder or a
// mounted disc catalogued as a medium, the media listed, one folder of a
// catalogue shown, a catalogue read again, and what differs from the disc.
int RunMedia(TCliContext& context);

// ExportCommands.cpp: names cut by name-division rules (the parts in rule
// order, then the rest, tab-separated), as the export or, with --category,
// as the categories cut them.
int RunDivide(TCliContext& context);
// export [--columns N,...] [--option NAME,...] [--rule TEXT...] [--encoding
// utf-8|cp932] TARGET OUT.csv: the CSV export of a folder, a shelf, a medium,
// or the lists of shelves and media.
int RunExport(TCliContext& context);
