// mireva-cli settings: the settings file as the viewer reads it.

#include "app/Init.h"
#include "app/OptionsDump.h"
#include "cli/CliSettings.h"
#include "cli/Commands.h"
#include "base/Errors.h"
#include "common/IniFile.h"
#include "common/Text.h"
#include "base/PathUtils.h"
#include "app/PluginSettings.h"
#include "platform/FileSystem.h"

int RunSettings(TCliContext& context)
{
    const std::optional<std::string> file = context.TakeOption("--file");
    const std::vector<std::string>& args = context.Positional(1);
    if (args[0] != "dump")
        throw ECliUsage("unknown action '" + args[0] + "'");

    TIniFile ini = ReadSettingsToShow(file, context);
    TOptions options;
    // The plug-in settings are kept as the file holds them, without
    // scanning for plug-ins.
    TPlainPluginSettings plugins;
    TOptionLinks links;
    links.Plugins = &plugins;
    // The file is converted in memory only: looking at settings never
    // changes them.
    LoadOptions(ini, options, links, false);
    // Values are the file's own text (paths, plug-in names): each line is
    // escaped, so that none can forge another or reach the terminal raw.
    for (const std::string& line : SplitString(DumpOptions(options, &plugins.Settings), '\n'))
        if (!line.empty())
            context.Out << EscapeControls(line) << '\n';
    return 0;
}
