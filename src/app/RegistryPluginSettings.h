#pragma once

// The plug-in settings kept where the program uses them: in the loader
// registry, as the settings its current set was built from. Taking new
// settings rebuilds the loaders at once (on the user-interface thread); a
// thread still loading keeps the set it took, so nothing has to stop first.

#include "app/PluginSettings.h"

class TLoaderRegistry;

class TRegistryPluginSettings final : public TPluginSettingsStore {
public:
    explicit TRegistryPluginSettings(TLoaderRegistry& registry) : fRegistry(registry) {}

    // The current set's settings, including the plug-in order its scan
    // found.
    TPluginSettings PluginSettings() const override;
    // Rebuilds the loaders from these settings.
    void SetPluginSettings(const TPluginSettings& settings) override;

private:
    TLoaderRegistry& fRegistry;
};
