#pragma once

// Reading a picture file whole into memory for the image cache's file stage,
// without ever reading more than the cache may hold.

#include <cstdint>
#include <string>

#include "base/Stream.h"
#include "viewer/Cache.h"

// Reads the regular file at path into out (replacing its contents) when it
// holds at most maxBytes. The size is checked before anything is read, so a
// huge file costs nothing; anything but a regular file (a pipe, a device) is
// refused rather than read, since reading it could block or never end.
// Cache thread (any thread).
TReadResult ReadFileAhead(const std::string& path, int64_t maxBytes, TMemoryStream& out);
