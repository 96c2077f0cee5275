// Subcommands about program start: how the viewer reads a path.

#include "app/PathInfo.h"
#include "cli/CliSettings.h"
#include "cli/Commands.h"
#include "common/Text.h"

// mireva-cli resolve [--archive-folder 0|1] PATH
// Prints where PATH leads, as the viewer's command line and address bar read
// it: the archive (when the path leads into one), the folder and the file.
// ARCHIVE Folder comes from the settings file unless the option overrides it.
int RunResolve(TCliContext& context)
{
    std::optional<bool> archiveFolder;
    if (const std::optional<std::string> value = context.TakeOption("--archive-folder")) {
        if (*value != "0" && *value != "1")
            throw ECliUsage("--archive-folder takes 0 or 1");
        archiveFolder = *value == "1";
    }
    const std::string path = context.Positional(1)[0];
    if (path.empty())
        throw ECliUsage("the path is empty");

    TCliSettings settings(context);
    TResolveContext resolve = settings.ResolveContext();
    if (archiveFolder)
        resolve.ArchiveFolder = *archiveFolder;

    const TPathInfo info = ResolvePath(path, resolve);
    context.Out << "ArchivePath=" << EscapeControls(info.ArchivePath) << '\n'
                << "Folder=" << EscapeControls(info.Folder) << '\n'
                << "FileName=" << EscapeControls(info.FileName) << '\n';
    if (info.Empty()) {
        context.Err << "mireva-cli resolve: '" << EscapeControls(path) << "' leads nowhere\n";
        return 1;
    }
    return 0;
}
