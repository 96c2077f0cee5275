#include "cli/CliSettings.h"

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

const TLoaderSetPtr& TCliSettings::Loaders()
{
    if (!fLoaders) {
        // The same folders the viewer searches; the settings then give the
        // order, the enabled flags and the folders actually searched.
        TLoaderRegistry registry(PluginFolderScanner({fProgramFolder, DefaultSusiePluginFolder()}));
        fLoaders = registry.Reload(fPlugins);
    }
    return fLoaders;
}

TResolveContext TCliSettings::ResolveContext()
{
    TResolveContext context;
    context.WorkingFolder = CurrentDirectory();
    context.DataFolder = fDataFolder;
    context.IsArchiveExtension = [loaders = Loaders()](std::string_view ext) { return loaders->IsArchiveExtension(ext); };
    context.ArchiveFolder = fOptions.Archive.Folder;
    return context;
}

TIniFile ReadSettingsToShow(const std::optional<std::string>& file, const TCliContext& context)
{
    std::string path = JoinPath(context.DataFolder(), "Mireva.ini");
    if (file) {
        path = ExpandFileName(*file, CurrentDirectory());
        if (!FileExists(path))
            throw EFileError("'" + path + "' : no such settings file");
    }
    TIniFile ini(path);
    if (!ini.ReadError().empty())
        throw EFileError(ini.ReadError());
    return ini;
}
