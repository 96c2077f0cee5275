#include "app/AppCore.h"

#include "app/RegistryPluginSettings.h"
#include "app/SettingsFileCommands.h"
#include "common/IniFile.h"
#include "base/PathUtils.h"
#include "platform/FileSystem.h"

TAppCore::TAppCore(TAppFolders folders, const std::vector<std::string>& args, TPluginScanner scanner,
                   TSystemColorResolver systemColors)
    : fFolders(std::move(folders)), fSystemColors(std::move(systemColors))
{
    fFolders.WorkingFolder = IncludeTrailingPathDelimiter(fFolders.WorkingFolder);
    fTemporary = std::make_unique<TTemporaryFolder>(fFolders.TemporaryBase, fFolders.TemporaryName);
    fCommandLine = ParseCommandLine(args, fFolders.WorkingFolder, fFolders.DataFolder);
    fSettingsPath = fCommandLine.SettingsPath;
    fRegistry = std::make_unique<TLoaderRegistry>(std::move(scanner));
    fPluginSettings = std::make_unique<TRegistryPluginSettings>(*fRegistry);
    // Reading the options hands the plug-in settings to the registry, which
    // builds the loaders from them.
    TIniFile settings(fSettingsPath);
    fLoadResult = LoadOptions(settings, fOptions, OptionLinks());
    // The last location is the data folder's, also with a settings file of
    // its own ("-s"); keys of older versions are converted there once.
    // The usual settings file is that file itself: it is read once.
    const bool oneFile = SameSettingsFile(fSettingsPath, ProgramSettingsPath());
    TIniFile ownFile = oneFile ? TIniFile() : TIniFile(ProgramSettingsPath());
    TIniFile& program = oneFile ? settings : ownFile;
    fLastLocation = ReadLastLocation(program);
    if (program.Modified() && program.ReadError().empty()) {
        try {
            program.UpdateFile();
        } catch (const std::exception&) {
            // The converted keys are read again on the next start.
        }
    }
}

void TAppCore::ChangeOptions(const TOptions& options)
{
    fOptions = options;
    BuildDerivedOptions(fOptions, fSystemColors);
}

std::string TAppCore::ProgramSettingsPath() const
{
    return IncludeTrailingPathDelimiter(fFolders.DataFolder) + "Mireva.ini";
}

TLocationTree TAppCore::StartTreeKind() const
{
    return ::StartTreeKind(fLastLocation, fOptions.Initialize, !fCommandLine.StartPath.empty());
}

TAppCore::~TAppCore()
{
    // The registry goes before the temporary folder: loaders may still hold
    // files extracted into it.
    fPluginSettings.reset();
    fRegistry.reset();
    fTemporary.reset();
}

TOptionLinks TAppCore::OptionLinks()
{
    TOptionLinks links;
    links.Plugins = fPluginSettings.get();
    links.Filters = &fFilters;
    links.SystemColors = fSystemColors;
    return links;
}

void TAppCore::ChangeSettings(const std::string& path, TSettingsWindow& window)
{
    TSettingsFileCommands commands(fOptions, OptionLinks(), window, fSettingsPath);
    commands.ChangeSetting(path);
    fSettingsPath = commands.SettingsPath();
}

TResolveContext TAppCore::ResolveContext() const
{
    TResolveContext context;
    context.WorkingFolder = fFolders.WorkingFolder;
    context.DataFolder = fFolders.DataFolder;
    // The context may outlive a rebuild: it asks the loaders current at each
    // question.
    const TLoaderRegistry* registry = fRegistry.get();
    context.IsArchiveExtension = [registry](std::string_view ext) {
        return registry->Snapshot()->IsArchiveExtension(ext);
    };
    context.ArchiveFolder = fOptions.Archive.Folder;
    return context;
}

TOpenOptions TAppCore::OpenOptions() const
{
    TOpenOptions options;
    options.ArchiveOpenSubFolder = fOptions.Archive.OpenSubFolder;
    options.ListOpenFolder = fOptions.List.OpenFolder;
    return options;
}

bool TAppCore::RestoreLastLocation(TPlaceView& view)
{
    const std::string working = fFolders.WorkingFolder;
    const TInitializeOptions& init = fOptions.Initialize;
    switch (init.InitDirType) {
    case TInitDirType::idInitPath: {
        // A configured start folder opens while it exists, else the working
        // folder.
        std::string folder = working;
        if (!init.InitPath.empty() && DirectoryExists(init.InitPath))
            folder = IncludeTrailingPathDelimiter(init.InitPath);
        return OpenPath(folder, ResolveContext(), OpenOptions(), view);
    }
    case TInitDirType::idInitShelf:
        if (!init.InitShelf.empty() && view.ShowShelf(init.InitShelf, ""))
            return true;
        return OpenPath(working, ResolveContext(), OpenOptions(), view);
    case TInitDirType::idLastFolder:
        break;
    }

    const TLastLocation& last = fLastLocation;
    bool opened = false;
    if (last.TreeKind == TLocationTree::ltShelf && !last.Shelf.empty())
        opened = view.ShowShelf(last.Shelf, last.ShelfItem);
    else if (last.TreeKind == TLocationTree::ltMedia && !last.Media.empty())
        opened = view.ShowMedium(last.Media, last.MediaDir);
    if (!opened && !last.Dir.empty()) {
        if (last.IsArchive)
            opened = FileExists(last.Dir) && view.ShowArchive(last.Dir, last.ArchivePath);
        else
            opened = DirectoryExists(last.Dir) && view.ShowFolder(IncludeTrailingPathDelimiter(last.Dir));
    }
    if (!opened)
        return OpenPath(working, ResolveContext(), OpenOptions(), view);
    if (init.LastImage && !last.ImagePath.empty()) {
        // Inside an archive the picture is "archive//member".
        const std::string prefix = last.Dir + "//";
        if (!last.IsArchive)
            view.SelectAndShow(last.ImagePath);
        else if (last.ImagePath.starts_with(prefix))
            view.SelectAndShow(last.ImagePath.substr(prefix.size()));
    }
    if (!last.Selected.empty())
        view.SelectItem(last.Selected);
    return true;
}

bool TAppCore::DeferredStart(TPlaceView& view)
{
    bool opened = false;
    if (fState == TAppState::asCreated) {
        opened = OpenPath(fCommandLine.StartPath, ResolveContext(), OpenOptions(), view);
        if (!opened)
            opened = RestoreLastLocation(view);
        fState = TAppState::asReady;
    }
    return opened;
}

std::optional<THandOverRequest> TAppCore::AcceptHandOver(const THandOver& message, bool fullScreen)
{
    if (fState != TAppState::asReady)
        return std::nullopt;
    return ParseHandOver(message, fullScreen, ResolveContext());
}

void TAppCore::BeginClose()
{
    fState = TAppState::asClosing;
}
