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
    // A configured start folder opens while it exists, else the working
    // folder. The last run's place and a start shelf come back once the
    // window keeps its state and shows shelves; until then they open the
    // working folder too.
    std::string folder = fFolders.WorkingFolder;
    const TInitializeOptions& init = fOptions.Initialize;
    if (init.InitDirType == TInitDirType::idInitPath && !init.InitPath.empty() && DirectoryExists(init.InitPath))
        folder = IncludeTrailingPathDelimiter(init.InitPath);
    return OpenPath(folder, ResolveContext(), OpenOptions(), view);
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
