#include "app/RegistryPluginSettings.h"

#include "loading/FileLoader.h"

TPluginSettings TRegistryPluginSettings::PluginSettings() const
{
    return fRegistry.Settings();
}

void TRegistryPluginSettings::SetPluginSettings(const TPluginSettings& settings)
{
    fRegistry.Reload(settings);
}
