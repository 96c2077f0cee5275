#pragma once

// File work below a folder the program owns (the temporary folder that
// archive members are extracted into). Names inside archives are chosen by
// whoever made the archive, so everything here stays below its root: no ".."
// climbs out, no absolute name escapes, and no symbolic link met on the way
// is ever followed.

#include <cstdint>
#include <string>

// True when path, taken lexically, names root itself or something below it.
// Both are absolute; root ends with '/'.
bool IsWithinFolder(const std::string& root, const std::string& path);

// Creates the folders of relative ('/'-separated, no "..", not absolute)
// below root, one by one, refusing any segment that exists as a link or as
// something other than a folder. Returns root + relative with a trailing '/';
// raises EFileError on any refusal or failure.
std::string CreateFoldersBelow(const std::string& root, const std::string& relative, unsigned mode = 0700);

// Sets the last-write time of a file, never of a link's target; false on
// failure.
bool SetFileModifiedTime(const std::string& path, int64_t unixSeconds);
