// mireva-cli trash: the viewer's trash for scripts. Items go where the
// viewer's delete puts them, and come back the same way undo brings them.

#include "base/PathUtils.h"
#include "cli/Commands.h"
#include "common/Text.h"
#include "fileops/Trash.h"
#include "platform/FileSystem.h"

namespace {

std::string Absolute(const std::string& path)
{
    return ExcludeTrailingPathDelimiter(ExpandFileName(path, CurrentDirectory()));
}

}  // namespace

int RunTrash(TCliContext& context)
{
    TTrash trash = TTrash::ForCurrentUser();
    if (!context.Args.empty() && context.Args[0] == "list") {
        context.Args.erase(context.Args.begin());
        context.Positional(0);
        for (const TTrashedItem& item : trash.List(MountedTopDirs()))
            context.Out << EscapeControls(item.OriginalPath) << '\t' << item.DeletionDate << '\t'
                        << EscapeControls(item.TrashedPath) << '\n';
        return 0;
    }
    if (!context.Args.empty() && context.Args[0] == "restore") {
        context.Args.erase(context.Args.begin());
        const std::string path = Absolute(context.Positional(1)[0]);
        // Of several items trashed from one path, the newest comes back.
        const std::vector<TTrashedItem> items = trash.List(MountedTopDirs());
        for (auto it = items.rbegin(); it != items.rend(); ++it) {
            if (it->OriginalPath != path)
                continue;
            trash.Restore(*it);
            context.Out << "restored " << EscapeControls(path) << '\n';
            return 0;
        }
        throw EFileError("'" + path + "' : not in the trash");
    }
    const std::vector<std::string> paths = context.Positional(1, SIZE_MAX);
    int failures = 0;
    for (const std::string& given : paths) {
        try {
            const TTrashedItem item = trash.Trash(Absolute(given));
            context.Out << "trashed " << EscapeControls(item.OriginalPath) << " -> "
                        << EscapeControls(item.TrashedPath) << '\n';
        } catch (const EMirevaError& error) {
            context.Err << "mireva-cli: " << error.what() << '\n';
            ++failures;
        }
    }
    return failures == 0 ? 0 : 1;
}
