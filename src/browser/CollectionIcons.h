#pragma once

// Which icon strips the shelf, media and category lists use: the built-in
// ones, or the user's replacements in the program folder's "Icon/" folder
// ("Shelf.BMP", or "$Shelf.BMP" when that is missing; "Shelf_s.BMP" for the
// alternative icons), and the large strips of the thumbnail view of the
// shelves and the media ("Shelf_l.bmp", "Media_l.bmp", "Media_le.bmp"). File
// names on this system tell case apart, so every name is also looked for in
// lower case ("icon/shelf.bmp"). The lists then cut the chosen strips with
// LoadIcons, LoadAltIcons and LoadIconStrip.

#include <functional>
#include <optional>
#include <string>

#include "common/Bitmap.h"

enum class TIconCollection : uint8_t { icShelf, icMedia, icCategory };

// One strip: File is the file it was read from; empty when the built-in strip
// stays (no usable file).
struct TChosenStrip {
    std::string File;
    TBitmap Strip;
};

struct TCollectionStrips {
    TChosenStrip Normal;
    // Shelves and media only; categories keep the built-in alternative.
    TChosenStrip Alt;
    // The normal strip came from the "$" file; the large strips are then
    // looked for only in their "$" files.
    bool FromDollar = false;
};

struct TLargeStrips {
    TChosenStrip Normal;
    TChosenStrip Alt;  // media only: a medium whose disc is in a drive
};

// Reads a bitmap file; nothing when it is missing or cannot be read (which
// counts as missing).
using TStripReader = std::function<std::optional<TBitmap>(const std::string& path)>;

// Reads bitmap files from the disk: regular files only (a pipe named like a
// strip would block the window), damaged ones refused.
std::optional<TBitmap> ReadStripFile(const std::string& path);

// The small strips (16 pixels high) of a kind. programFolder ends in '/'. A
// file of another height is not taken, and the built-in strip stays: its "$"
// form is tried only when the first file is missing.
TCollectionStrips ChooseCollectionStrips(const std::string& programFolder, TIconCollection kind,
                                         const TStripReader& read = ReadStripFile);

// The large strips (32 pixels high) of shelves and media, read when their
// thumbnail view is first shown; categories have none. smallFromDollar is the
// small strips' FromDollar.
TLargeStrips ChooseLargeStrips(const std::string& programFolder, TIconCollection kind, bool smallFromDollar,
                               const TStripReader& read = ReadStripFile);
