#pragma once

// Gives the shelf, media and category lists their icons at start-up. The
// small strips are the user's from the program folder's "Icon/" folder where
// usable (ChooseCollectionStrips), else the built-in ones; the lists cut them
// into the window's icon list. The large frames that the thumbnail view
// draws join the small frame they stand beside, so each icon of the list
// has both sizes: the user's large strips beside the user's small ones, the
// built-in large strip beside the built-in small one. User-interface thread.

#include <string>

#include "browser/CollectionIcons.h"
#include "collections/FolderList.h"
#include "collections/ui/QtShellInfo.h"

// programFolder ends in '/'. A user's normal strip without an alternative of
// its own leaves the list without alternative frames, so a medium in a drive
// keeps the user's icon rather than a built-in one.
void LoadCollectionIcons(TCustomFolderList& list, TIconCollection kind, const std::string& programFolder,
                         TQtShellInfo& icons, const TStripReader& read = ReadStripFile);
