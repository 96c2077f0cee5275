#pragma once

// Keys that older versions wrote and that today's keys replace. The options
// are read only after these conversions, and every converted key is deleted,
// so converting a file a second time changes nothing.

#include <string>
#include <vector>

class TIniFile;

// Converts the older option keys in the in-memory copy; true when anything
// changed (the caller then writes the file back).
bool ConvertOldOptionKeys(TIniFile& ini);

// Older versions kept the recent files as numbered keys ("1", "2", ...) of
// the RECENT section, which today holds the recent-file options and the
// recent-files dialog's state. Returns the values of the numbered keys in
// file order and deletes those keys only; every other key of RECENT stays.
std::vector<std::string> TakeOldRecentEntries(TIniFile& ini);
