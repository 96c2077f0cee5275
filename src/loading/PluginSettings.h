#pragma once

// The settings a loader set is built from: where plug-ins are looked for, the
// user's plug-in order with an enabled flag each, where the built-in bitmap
// loader stands, and whether files behind a MacBinary header are tried. The
// settings file keeps them in its PLUGIN sections (app/PluginSettings.h reads
// and writes them); building a set takes them as they are and hands back the
// plug-in order its scan found, which is what gets saved.

#include <string>
#include <vector>

// One plug-in of the user's order.
struct TPluginUseEntry {
    std::string FileName;  // the library's file name, without folder
    bool Enabled = true;

    bool operator==(const TPluginUseEntry&) const = default;
};

struct TPluginSettings {
    // Where plug-ins are looked for: beside the program (the ones we ship),
    // in the other viewer's plug-in folder, and in a folder of the user's
    // own choice (SPIPath), which wins for a file name found in several.
    bool SearchProgramFolder = true;
    bool SearchSusieFolder = false;
    bool SearchPluginPath = false;
    std::string SPIPath;
    // The built-in bitmap loader comes after the plug-ins, so that a plug-in
    // that reads bitmaps is asked first.
    bool UseBmpSPI = false;
    // Every loader is also tried 128 bytes into the file, behind the header
    // that files copied from old Macintosh systems carry.
    bool MacBinary = false;
    // Image and archive plug-ins in priority order.
    std::vector<TPluginUseEntry> UseInList;
    std::vector<TPluginUseEntry> UseAmList;

    bool operator==(const TPluginSettings&) const = default;
};
