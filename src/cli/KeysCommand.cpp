// mireva-cli keys: the key bindings as the viewer reads them.

#include "base/Errors.h"
#include "base/PathUtils.h"
#include "browser/KeyCstm.h"
#include "browser/ShortcutText.h"
#include "cli/CliSettings.h"
#include "cli/Commands.h"
#include "common/IniFile.h"
#include "platform/FileSystem.h"

int RunKeys(TCliContext& context)
{
    const std::optional<std::string> file = context.TakeOption("--file");
    const std::vector<std::string>& args = context.Positional(1);
    if (args[0] != "dump")
        throw ECliUsage("unknown action '" + args[0] + "'");

    // An older version's key file beside the settings counts as the viewer
    // would take it over, for the settings the viewer itself reads.
    const std::string keyFileFolder = file ? std::string() : IncludeTrailingPathDelimiter(context.DataFolder());
    TIniFile ini = ReadSettingsToShow(file, context);
    // Looking at the bindings never changes a file.
    const TKeyBindings keys = LoadKeyBindings(ini, keyFileFolder, false);
    for (const TCommandGroup group :
         {TCommandGroup::cgGeneral, TCommandGroup::cgImage, TCommandGroup::cgMove, TCommandGroup::cgScroll})
        for (const TCatalogEntry& entry : CatalogGroup(group)) {
            std::string texts;
            for (const TShortCut code : keys.KeysOf(group, entry.Number)) {
                if (code == 0)
                    continue;
                if (!texts.empty())
                    texts += ", ";
                // A code no key has is shown by its number rather than
                // dropped, so the dump accounts for every stored key.
                const std::string text = ShortcutText(code);
                texts += text.empty() ? std::to_string(code) : text;
            }
            context.Out << GroupName(group) << '\t' << entry.Number << '\t' << entry.Name << '\t' << texts << '\n';
        }
    return 0;
}
