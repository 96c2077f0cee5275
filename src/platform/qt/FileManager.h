#pragma once

// Shows files in the desktop's file manager through its freedesktop D-Bus
// service (org.freedesktop.FileManager1), which opens each item's folder
// with the item selected. Without the service, or in a build without Qt's
// D-Bus module, the answer is false and the caller opens the folders
// itself. User-interface thread.

#include <QStringList>

// paths are absolute local paths; false when no file manager answered.
bool ShowItemsInFileManager(const QStringList& paths);
