#include "app/RegistryPluginSettings.h"

#include <algorithm>

#include "loading/FileLoader.h"

TPluginSettings TRegistryPluginSettings::PluginSettings() const
{
    TPluginSettings settings;
    std::copy(std::begin(fRegistry.SearchDirs), std::end(fRegistry.SearchDirs), std::begin(settings.SearchDirs));
    settings.SPIPath = fRegistry.SPIPath;
    settings.UseBmpSPI = fRegistry.BuiltinAfterPlugins[0];
    settings.MacBinary = fRegistry.MacBinary;
    settings.UseInList = fRegistry.UseInList;
    settings.UseAmList = fRegistry.UseAmList;
    return settings;
}

void TRegistryPluginSettings::SetPluginSettings(const TPluginSettings& settings)
{
    std::copy(std::begin(settings.SearchDirs), std::end(settings.SearchDirs), std::begin(fRegistry.SearchDirs));
    fRegistry.SPIPath = settings.SPIPath;
    fRegistry.BuiltinAfterPlugins[0] = settings.UseBmpSPI;
    fRegistry.MacBinary = settings.MacBinary;
    fRegistry.UseInList = settings.UseInList;
    fRegistry.UseAmList = settings.UseAmList;
    fRegistry.Reload();
}
