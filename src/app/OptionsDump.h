#pragma once

// The options as text, one "SECTION.Key=value" line per option in the order
// of the settings file (colours as "$" + 8 hexadecimal digits, truth values
// 1 or 0, modes as their numbers), then the derived tables as "derived."
// lines. Used by "mireva-cli settings dump" and by tests.

#include <string>

struct TOptions;
struct TPluginSettings;

// plugins: the PLUGIN sections' values; nullptr leaves them out.
std::string DumpOptions(const TOptions& options, const TPluginSettings* plugins);
