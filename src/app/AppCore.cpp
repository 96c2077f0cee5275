#include "app/AppCore.h"

#include "common/PathUtils.h"

TAppCore::TAppCore(TAppFolders folders, const std::vector<std::string>& args, TStartOptions options,
                   TPluginScanner scanner)
    : fFolders(std::move(folders))
    , fOptions(options)
{
    fFolders.WorkingFolder = IncludeTrailingPathDelimiter(fFolders.WorkingFolder);
    fTemporary = std::make_unique<TTemporaryFolder>(fFolders.TemporaryBase, fFolders.TemporaryName);
    fCommandLine = ParseCommandLine(args, fFolders.WorkingFolder, fFolders.DataFolder);
    fSettingsPath = fCommandLine.SettingsPath;
    fRegistry = std::make_unique<TFileLoaderList>();
    if (scanner)
        fRegistry->SetPluginScanner(std::move(scanner));
    fRegistry->Reload();
}

TAppCore::~TAppCore()
{
    // The registry goes before the temporary folder: loaders may still hold
    // files extracted into it.
    fRegistry.reset();
    fTemporary.reset();
}

TResolveContext TAppCore::ResolveContext() const
{
    TResolveContext context;
    context.WorkingFolder = fFolders.WorkingFolder;
    context.DataFolder = fFolders.DataFolder;
    const TFileLoaderList* registry = fRegistry.get();
    context.IsArchiveExtension = [registry](std::string_view ext) { return registry->IsArchiveExtension(ext); };
    context.ArchiveFolder = fOptions.ArchiveFolder;
    return context;
}

TOpenOptions TAppCore::OpenOptions() const
{
    TOpenOptions options;
    options.ArchiveOpenSubFolder = fOptions.ArchiveOpenSubFolder;
    options.ListOpenFolder = fOptions.ListOpenFolder;
    return options;
}

bool TAppCore::RestoreLastLocation(TPlaceView& view)
{
    return OpenPath(fFolders.WorkingFolder, ResolveContext(), OpenOptions(), view);
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
    THandOverRequest request = ParseHandOver(message, fullScreen, ResolveContext());
    if (!request.SettingsPath.empty())
        fSettingsPath = request.SettingsPath;
    return request;
}

void TAppCore::BeginClose()
{
    fState = TAppState::asClosing;
}
