#pragma once

// The start-up and shutdown spine of the viewer, without any window: it owns
// the program's folders, the temporary folder (created at start, removed with
// everything in it at the end), the loader registry and the start state, and
// it decides what the first window opens and what a later start's hand-over
// asks for. The main window drives it through TPlaceView.
//
// Order at start: folders, temporary folder, command line, the options from
// the settings file (which also fill the loader registry from the plug-in
// settings); then the window is built, and its first showing calls
// DeferredStart.
// Order at the end: BeginClose (hand-overs are ignored from then on), then
// destruction frees the registry and removes the temporary folder. A start
// that fails half-way throws from the constructor, so no window exists to
// save anything.

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/CommandLine.h"
#include "app/FilterSettingsStore.h"
#include "app/HandOver.h"
#include "app/Init.h"
#include "app/LastLocation.h"
#include "app/OpenPath.h"
#include "app/PathInfo.h"
#include "loading/FileLoader.h"
#include "platform/Folders.h"

class TRegistryPluginSettings;
class TSettingsWindow;

struct TAppFolders {
    std::string ProgramFolder;  // plug-ins, help, icons
    std::string DataFolder;     // settings and list files
    std::string WorkingFolder;  // where the program was started
    // The temporary folder is TemporaryBase + TemporaryName.
    std::string TemporaryBase;
    std::string TemporaryName;
};

enum class TAppState {
    asCreated,  // built, the start location not opened yet
    asReady,    // the start location was opened; hand-overs are acted on
    asClosing,  // the window is closing
};

class TAppCore {
public:
    // args are the command-line arguments after the program path; scanner
    // finds the plug-ins when the registry is filled; systemColors resolves
    // system colours through the desktop theme (none: fixed colours). Raises
    // EFileError when the temporary folder cannot be made safely.
    TAppCore(TAppFolders folders, const std::vector<std::string>& args, TPluginScanner scanner = {},
             TSystemColorResolver systemColors = {});
    ~TAppCore();
    TAppCore(const TAppCore&) = delete;
    TAppCore& operator=(const TAppCore&) = delete;

    const TAppFolders& Folders() const { return fFolders; }
    const std::string& TemporaryFolder() const { return fTemporary->Path(); }
    const TCommandLine& CommandLine() const { return fCommandLine; }
    const std::string& SettingsPath() const { return fSettingsPath; }
    TLoaderRegistry& Registry() { return *fRegistry; }
    // The current loader set, for one action or one worker to keep. Any
    // thread.
    TLoaderSetPtr Loaders() const { return fRegistry->Snapshot(); }
    const TOptions& Options() const { return fOptions; }
    // The options in use become these, with their derived tables rebuilt;
    // the settings file is not written (each dialog writes the part it
    // edits). The window applies them afterwards.
    void ChangeOptions(const TOptions& options);
    const TSystemColorResolver& SystemColors() const { return fSystemColors; }
    // How reading the settings file at start went (keys of older versions
    // converted, and whether writing them back failed).
    const TLoadOptionsResult& SettingsLoadResult() const { return fLoadResult; }
    TAppState State() const { return fState; }

    // How paths are resolved now: against the working folder, with the
    // current loaders' archive extensions and the ARCHIVE Folder option.
    TResolveContext ResolveContext() const;
    TOpenOptions OpenOptions() const;

    // Opens the start path, or when there is none or it fails, the last
    // location; then the state becomes ready.
    bool DeferredStart(TPlaceView& view);
    // The start folder or shelf the options name, else the last run's place
    // with its selected item (and its picture, with INITIALIZE LastImage);
    // whatever cannot be opened any more falls back to the working folder.
    bool RestoreLastLocation(TPlaceView& view);

    // The data folder's "Mireva.ini": it keeps the last location whichever
    // settings file is in use.
    std::string ProgramSettingsPath() const;
    // The last run's location, read at start.
    const TLastLocation& LastLocation() const { return fLastLocation; }
    // The tree kind the window starts with.
    TLocationTree StartTreeKind() const;

    // What a later start asks for; nullopt while not ready (the start
    // location is still opening, or the window is closing).
    std::optional<THandOverRequest> AcceptHandOver(const THandOver& message, bool fullScreen);

    // Switches to another settings file: the window's state goes into the
    // file in use, then everything is read from the chosen file, which
    // becomes the settings path. Raises EFileError (nothing changed) when the
    // chosen file exists but cannot be read.
    void ChangeSettings(const std::string& path, TSettingsWindow& window);

    // The window starts closing: hand-overs are ignored from now on.
    void BeginClose();

    // The filter sets read with the options.
    const TFilterSets& FilterSets() const { return fFilters.Sets(); }
    TFilterSets& FilterSets() { return fFilters.Sets(); }

private:
    TOptionLinks OptionLinks();

    TAppFolders fFolders;
    TSystemColorResolver fSystemColors;
    std::unique_ptr<TTemporaryFolder> fTemporary;
    TCommandLine fCommandLine;
    std::string fSettingsPath;
    std::unique_ptr<TLoaderRegistry> fRegistry;
    std::unique_ptr<TRegistryPluginSettings> fPluginSettings;
    // Declared before the options are read, which fill it.
    TFilterSettingsStore fFilters;
    TOptions fOptions;
    TLoadOptionsResult fLoadResult;
    TLastLocation fLastLocation;
    TAppState fState = TAppState::asCreated;
};
