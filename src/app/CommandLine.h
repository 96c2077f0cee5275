#pragma once

// The viewer's command line: "-f" (start in full screen), "-s FILE" (the
// settings file to use) and a path to open, each optional and in any order;
// the switches are taken without regard to case. A path may name a folder, a
// file, or a file inside an archive, which ResolvePath sorts out later.

#include <string>
#include <string_view>
#include <vector>

struct TCommandLine {
    bool FullScreen = false;
    // Absolute; the data folder's "Mireva.ini" unless "-s" named another.
    std::string SettingsPath;
    // Absolute (the part before an archive's "//" normalised); empty when no
    // path was given.
    std::string StartPath;
};

// The default settings file of a data folder.
std::string DefaultSettingsPath(const std::string& dataFolder);

// True for a name that may be a settings file: ".ini" or ".lys", without
// regard to case. Anything else after "-s" is taken as a path, so that a
// picture can never be overwritten as settings.
bool IsSettingsFileName(std::string_view path);

// Reads the arguments after the program path. A relative argument is looked
// up in workingFolder first, then in dataFolder (settings files given by
// name). Existing folders and files fill the start path only when it is
// still empty; an argument that does not exist (an archive member, a
// mistyped name) replaces it.
TCommandLine ParseCommandLine(const std::vector<std::string>& args, const std::string& workingFolder,
                              const std::string& dataFolder);
