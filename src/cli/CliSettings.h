#pragma once

// The settings one mireva-cli run works with: the file the viewer reads at
// start (the data folder's "Mireva.ini", the one under --home DIR when given),
// read once, with keys of older versions converted in memory as the viewer
// converts them, and never written back. Subcommands take the options, the
// loader registry (the plug-ins of the program folder in the file's order)
// and the way paths resolve from here, so that a path leads, and a file loads,
// exactly where it would in the viewer.

#include <memory>
#include <optional>
#include <string>

#include "app/Init.h"
#include "app/PathInfo.h"
#include "app/PluginSettings.h"
#include "cli/CliCommand.h"
#include "common/IniFile.h"
#include "loading/FileLoader.h"

class TCliSettings {
public:
    // Raises EFileError when the settings file exists but cannot be read: a
    // run that quietly fell back to the defaults would give results the
    // viewer, run by the same user, does not.
    explicit TCliSettings(const TCliContext& context);
    ~TCliSettings();
    TCliSettings(const TCliSettings&) = delete;
    TCliSettings& operator=(const TCliSettings&) = delete;

    const std::string& FilePath() const { return fFilePath; }
    const TOptions& Options() const { return fOptions; }
    // The loaders, built on first use, since scanning the plug-ins loads
    // every library.
    const TLoaderSetPtr& Loaders();
    // How the viewer resolves a path: against the working folder, then the
    // data folder, with the registry's archive extensions and ARCHIVE Folder.
    TResolveContext ResolveContext();

private:
    std::string fProgramFolder;
    std::string fDataFolder;
    std::string fFilePath;
    TOptions fOptions;
    TPluginSettings fPlugins;
    TLoaderSetPtr fLoaders;
};

// The settings file a command that shows settings reads: the one named by
// --file, which must exist (a script that names a file wants to hear about a
// typing error, not get the defaults), else the one the viewer reads at
// start. Raises EFileError when a file is there but cannot be read, since
// that is not "all defaults". Nothing is ever written back.
TIniFile ReadSettingsToShow(const std::optional<std::string>& file, const TCliContext& context);
