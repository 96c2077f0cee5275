#pragma once

// The picture files of mireva-cli. A picture is read the way the viewer reads
// it: any format the loader registry reads (the built-in bitmap loader and
// the plug-ins in the settings' order), from a plain file or from a member
// inside an archive, then brought to 24-bit colour or 8-bit gray. It is
// written as a bitmap file, or as PNG when the output name ends in ".png",
// completely or not at all.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "common/Bitmap.h"
#include "loading/FileLoader.h"

class TCliSettings;

struct TCliPicture {
    std::unique_ptr<TBitmap> Bitmap;  // 24-bit colour or 8-bit gray
    TPreparedInfo Loaded;             // size and pixel format as loaded
};

// Raises EMirevaError with the viewer's message: the system's reason for a
// file that cannot be opened (no such file, permission denied, not a regular
// file), the not-read message for a file no loader reads.
TCliPicture ReadCliPicture(TCliSettings& settings, const std::string& path);

// Writes through "$$" and rename; raises EFileError.
void WriteCliPicture(const std::string& path, const TBitmap& bitmap);

// The bytes of a PNG file holding a bitmap: 8-bit gray stays gray, anything
// else is written as 8-bit RGB. Raises EInvalidGraphic.
std::vector<uint8_t> EncodePngFile(const TBitmap& bitmap);

// Opens a file for reading and closes it again, so that what is no readable
// file fails at once with the system's reason (EFileError) instead of later as
// a file no loader accepts.
void RequireReadableFile(const std::string& path);
