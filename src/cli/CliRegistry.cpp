#include "cli/CliRegistry.h"

#include "app/PluginSettings.h"
#include "common/IniFile.h"
#include "base/PathUtils.h"
#include "loading/SPIs.h"
#include "platform/FileSystem.h"

TLoaderSetPtr MakeCliLoaders(TCliContext& context)
{
    // The user's plug-in order, enabled flags and folders, as the viewer
    // reads them; a run never writes them back.
    TPluginSettings settings;
    const std::string iniPath = JoinPath(context.DataFolder(), "Mireva.ini");
    if (FileExists(iniPath))
        settings = ReadPluginSettings(TIniFile(iniPath));
    TLoaderRegistry registry(PluginFolderScanner({context.ProgramFolder, DefaultSusiePluginFolder()}));
    return registry.Reload(settings);
}
