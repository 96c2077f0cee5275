#include "cli/CliRegistry.h"

#include "app/PluginSettings.h"
#include "app/RegistryPluginSettings.h"
#include "common/IniFile.h"
#include "base/PathUtils.h"
#include "loading/SPIs.h"
#include "platform/FileSystem.h"

std::unique_ptr<TFileLoaderList> MakeCliRegistry(TCliContext& context)
{
    auto registry = std::make_unique<TFileLoaderList>();
    UsePluginFolders(*registry, {context.ProgramFolder, DefaultSusiePluginFolder()});
    // The user's plug-in order, enabled flags and folders, as the viewer
    // reads them; a run never writes them back.
    TPluginSettings settings;
    const std::string iniPath = JoinPath(context.DataFolder(), "Mireva.ini");
    if (FileExists(iniPath))
        settings = ReadPluginSettings(TIniFile(iniPath));
    TRegistryPluginSettings(*registry).SetPluginSettings(settings);
    return registry;
}
