// mireva-cli watch: the file list's change notification, printed. The tool
// has no window event loop; the notifier's deliveries queue up in a
// TQueueDispatcher, and the command runs them until its time is up.

#include <charconv>
#include <chrono>

#include "base/PathUtils.h"
#include "base/QueueDispatcher.h"
#include "cli/Commands.h"
#include "common/Text.h"
#include "platform/FileSystem.h"
#include "shellviews/DirNotify.h"

namespace {

int TakeSeconds(TCliContext& context)
{
    const std::optional<std::string> text = context.TakeOption("--seconds");
    if (!text)
        return 10;
    int seconds = 0;
    const char* end = text->data() + text->size();
    const auto [at, error] = std::from_chars(text->data(), end, seconds);
    if (error != std::errc() || at != end || seconds < 0)
        throw ECliUsage("--seconds needs a whole number of seconds");
    return seconds;
}

}  // namespace

int RunWatch(TCliContext& context)
{
    const int seconds = TakeSeconds(context);
    const std::string folder =
        IncludeTrailingPathDelimiter(ExpandFileName(context.Positional(1)[0], CurrentDirectory()));
    const auto relative = [&](const std::string& path) {
        return EscapeControls(path.compare(0, folder.size(), folder) == 0 ? path.substr(folder.size()) : path);
    };

    TQueueDispatcher dispatcher;
    TDirChangeNotifier notifier(dispatcher);
    bool gone = false;
    const int owner = 0;
    notifier.AddHandler(&owner, [&](const TNotifyInfo& record) {
        if (gone)
            return;
        switch (record.Kind) {
        case ChangeKind::ckFileAdded:
        case ChangeKind::ckFolderAdded:
            context.Out << "added " << relative(record.Name);
            break;
        case ChangeKind::ckFileRemoved:
        case ChangeKind::ckFolderRemoved:
            context.Out << "removed " << relative(record.Name);
            break;
        case ChangeKind::ckFileRenamed:
        case ChangeKind::ckFolderRenamed:
            context.Out << "renamed " << relative(record.Name) << ' ' << relative(record.NewName);
            break;
        case ChangeKind::ckModified:
            context.Out << "modified " << relative(record.Name);
            break;
        case ChangeKind::ckFolderGone:
            context.Out << "gone";
            gone = true;
            break;
        case ChangeKind::ckOverflow:
            context.Out << "overflow";
            break;
        }
        // A script reads each line as it comes.
        context.Out << std::endl;
    });
    std::string reason;
    if (!notifier.Watch(&owner, folder, FileListFilter, false, &reason))
        throw EFileError(reason);

    const auto deadline = TQueueDispatcher::TClock::now() + std::chrono::seconds(seconds);
    while (!gone && dispatcher.RunOne(deadline)) {
    }
    // Changes made before the time ran out are printed, not lost with the
    // pause the notifier waits for.
    if (!gone)
        notifier.Flush();
    notifier.RemoveHandler(&owner);
    return 0;
}
