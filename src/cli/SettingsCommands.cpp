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

namespace {

// One key of the data folder's settings file, written as the viewer writes
// the file: the whole file again, atomically.
int SetKey(TCliContext& context)
{
    const std::vector<std::string> args = context.Positional(4);
    if (!TIniFile::IsValidKeyName(args[2]) || args[1].find_first_of("[]\r\n") != std::string::npos ||
        args[3].find_first_of("\r\n") != std::string::npos)
        throw ECliUsage("a section without brackets or line breaks, a key name and a one-line value");
    const TCliSettings settings(context);
    TIniFile ini(settings.FilePath());
    ini.WriteString(args[1], args[2], args[3]);
    ini.UpdateFile();
    return 0;
}

}  // namespace

int RunSettings(TCliContext& context)
{
    if (!context.Args.empty() && context.Args.front() == "set")
        return SetKey(context);
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
