#pragma once

// The page a customisation dialog showed when it was last closed, so that it
// opens there again. It is dialog state, not a setting: it lives in the data
// folder's "Mireva.ini" (section KEYCUSTOM for the key dialog, MOUSECUSTOM
// for the mouse dialog, key Page) whichever settings file is in use.

#include <string>
#include <string_view>

inline constexpr std::string_view KeyDialogSection = "KEYCUSTOM";
inline constexpr std::string_view MouseDialogSection = "MOUSECUSTOM";

// The stored page, 0 when the file or the key is missing, unreadable, or
// names no page of a dialog of pageCount pages (a file of a version with
// more pages).
int ReadDialogPage(const std::string& iniPath, std::string_view section, int pageCount);

// Writes the page into the file, keeping everything else in it. Raises
// EFileError when the file cannot be written; a file that exists but could
// not be read is never written over.
void SaveDialogPage(const std::string& iniPath, std::string_view section, int page);
