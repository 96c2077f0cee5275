#pragma once

// The plug-in settings in the settings file: section PLUGIN (where plug-ins
// are searched, the built-in bitmap loader's place, MacBinary detection) and
// the plug-in order with each plug-in's enabled flag in PLUGIN_USE_IN (image
// plug-ins) and PLUGIN_USE_AM (archive plug-ins). The record itself,
// TPluginSettings, belongs to the loaders, which are built from it; while the
// program runs the loader registry keeps the values its last rebuild used,
// and TRegistryPluginSettings (RegistryPluginSettings.h) hands them over.

#include <string>
#include <string_view>
#include <vector>

#include "loading/PluginSettings.h"

class TIniFile;

inline constexpr std::string_view PluginSection = "PLUGIN";
inline constexpr std::string_view PluginUseInSection = "PLUGIN_USE_IN";
inline constexpr std::string_view PluginUseAmSection = "PLUGIN_USE_AM";

// Where the plug-in settings are kept while the program runs.
class TPluginSettingsStore {
public:
    virtual ~TPluginSettingsStore() = default;
    virtual TPluginSettings PluginSettings() const = 0;
    // Takes new settings and applies them at once.
    virtual void SetPluginSettings(const TPluginSettings& settings) = 0;
};

// A store that only keeps the values, for tools that look at a settings file
// without loading plug-ins.
class TPlainPluginSettings final : public TPluginSettingsStore {
public:
    TPluginSettings PluginSettings() const override { return Settings; }
    void SetPluginSettings(const TPluginSettings& settings) override { Settings = settings; }

    TPluginSettings Settings;
};

TPluginSettings ReadPluginSettings(const TIniFile& ini);

// Writes PLUGIN and rewrites both plug-in lists in their order. A plug-in
// whose file name cannot be an INI key (it holds "=" or a line break, or
// starts with "[" or ";") is left out: it is simply found again as a new
// plug-in.
void WritePluginSettings(TIniFile& ini, const TPluginSettings& settings);
