#include "cli/CliSettings.h"

#include "app/RegistryPluginSettings.h"
#include "base/Errors.h"
#include "base/PathUtils.h"
#include "common/IniFile.h"
#include "loading/SPIs.h"
#include "platform/FileSystem.h"

TCliSettings::TCliSettings(const TCliContext& context)
    : fProgramFolder(context.ProgramFolder)
    , fDataFolder(context.DataFolder())
    , fFilePath(JoinPath(fDataFolder, "Mireva.ini"))
{
    TIniFile ini(fFilePath);
    if (!ini.ReadError().empty())
        throw EFileError(ini.ReadError());
    TPlainPluginSettings plugins;
    TOptionLinks links;
    links.Plugins = &plugins;
    LoadOptions(ini, fOptions, links, false);
    fPlugins = plugins.Settings;
}

TCliSettings::~TCliSettings() = default;

TFileLoaderList& TCliSettings::Registry()
{
    if (!fRegistry) {
        fRegistry = std::make_unique<TFileLoaderList>();
        // The same folders the viewer searches; the settings then give the
        // order, the enabled flags and the folders actually searched.
        UsePluginFolders(*fRegistry, {fProgramFolder, DefaultSusiePluginFolder()});
        TRegistryPluginSettings(*fRegistry).SetPluginSettings(fPlugins);
    }
    return *fRegistry;
}

TResolveContext TCliSettings::ResolveContext()
{
    TResolveContext context;
    context.WorkingFolder = CurrentDirectory();
    context.DataFolder = fDataFolder;
    const TFileLoaderList* registry = &Registry();
    context.IsArchiveExtension = [registry](std::string_view ext) { return registry->IsArchiveExtension(ext); };
    context.ArchiveFolder = fOptions.Archive.Folder;
    return context;
}
