// Subcommands about program start: how the viewer reads a path.

#include "app/PathInfo.h"
#include "cli/CliRegistry.h"
#include "cli/Commands.h"
#include "loading/FileLoader.h"
#include "platform/FileSystem.h"

// mireva-cli resolve [--archive-folder 0|1] PATH
// Prints where PATH leads, as the viewer's command line and address bar read
// it: the archive (when the path leads into one), the folder and the file.
int RunResolve(TCliContext& context)
{
    bool archiveFolder = true;
    if (const std::optional<std::string> value = context.TakeOption("--archive-folder")) {
        if (*value != "0" && *value != "1")
            throw ECliUsage("--archive-folder takes 0 or 1");
        archiveFolder = *value == "1";
    }
    const std::string path = context.Positional(1)[0];
    if (path.empty())
        throw ECliUsage("the path is empty");

    const TLoaderSetPtr loaders = MakeCliLoaders(context);
    TResolveContext resolve;
    resolve.WorkingFolder = CurrentDirectory();
    resolve.DataFolder = context.DataFolder();
    resolve.IsArchiveExtension = [&loaders](std::string_view ext) { return loaders->IsArchiveExtension(ext); };
    resolve.ArchiveFolder = archiveFolder;

    const TPathInfo info = ResolvePath(path, resolve);
    context.Out << "ArchivePath=" << info.ArchivePath << '\n'
                << "Folder=" << info.Folder << '\n'
                << "FileName=" << info.FileName << '\n';
    if (info.Empty()) {
        context.Err << "mireva-cli resolve: '" << path << "' leads nowhere\n";
        return 1;
    }
    return 0;
}
