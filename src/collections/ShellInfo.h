#pragma once

// What the desktop knows about a file and the logic cannot: the type name the
// file list shows ("JPEG 画像") and the icon of an item. The folder model asks
// through this interface; the windows implement it with the desktop's MIME
// database and icon theme (collections/ui/QtShellInfo.h), tests with a fake.

#include <string>

class TShellInfo {
public:
    virtual ~TShellInfo() = default;

    // The type name of a file or folder; empty when the desktop knows none.
    virtual std::string TypeName(const std::string& path, bool isDirectory) = 0;
    // The index of the item's icon in the program's icon list, -1 for none.
    // open asks for the icon of an opened folder; byType looks only at the
    // name's extension or the folder kind, never at the file (catalogues of
    // absent discs are shown that way).
    virtual int IconIndex(const std::string& path, bool isDirectory, bool open, bool byType) = 0;
};
