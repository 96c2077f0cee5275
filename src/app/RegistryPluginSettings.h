#pragma once

// The plug-in settings kept where the program uses them: in the loader
// registry's fields. Taking new settings rebuilds the registry at once, which
// loads and unloads plug-in libraries, so it is called on the user-interface
// thread while no other thread loads pictures.

#include "app/PluginSettings.h"

class TFileLoaderList;

class TRegistryPluginSettings final : public TPluginSettingsStore {
public:
    explicit TRegistryPluginSettings(TFileLoaderList& registry) : fRegistry(registry) {}

    // The registry's current values, including the plug-in order its last
    // scan found.
    TPluginSettings PluginSettings() const override;
    // Fills SearchDirs, SPIPath, BuiltinAfterPlugins[0] (UseBmpSPI),
    // MacBinary, UseInList and UseAmList, then rebuilds the registry.
    void SetPluginSettings(const TPluginSettings& settings) override;

private:
    TFileLoaderList& fRegistry;
};
