#include "app/HandOver.h"

#include "app/CommandLine.h"
#include "base/PathUtils.h"
#include "common/Text.h"

THandOverRequest ParseHandOver(const THandOver& message, bool fullScreen, TResolveContext context)
{
    THandOverRequest request;
    request.HasArguments = message.HasArguments();
    if (!request.HasArguments)
        return request;
    // A sender without a usable working folder can still hand over absolute
    // paths; relative ones then lead nowhere.
    context.WorkingFolder = IsAbsolutePath(message.WorkingFolder)
                                ? IncludeTrailingPathDelimiter(message.WorkingFolder)
                                : std::string();
    bool afterSettingsSwitch = false;
    for (size_t i = 1; i < message.Args.size(); ++i) {
        const std::string& arg = message.Args[i];
        const bool wasSettingsSwitch = afterSettingsSwitch;
        afterSettingsSwitch = false;
        if (SameText(arg, "-f")) {
            if (!fullScreen)
                request.EnterFullScreen = true;
            continue;
        }
        if (SameText(arg, "-s")) {
            afterSettingsSwitch = true;
            continue;
        }
        if (arg.empty())
            continue;
        if (!IsAbsolutePath(arg) && context.WorkingFolder.empty())
            continue;
        const TPathInfo info = ResolvePath(arg, context);
        if (info.Folder.empty() && info.ArchivePath.empty())
            continue;
        if (wasSettingsSwitch && !info.FileName.empty() && info.ArchivePath.empty() &&
            IsSettingsFileName(info.FileName)) {
            request.SettingsPath = info.Folder + info.FileName;
        } else if (request.OpenPath.empty()) {
            request.OpenPath = AbsoluteArgumentPath(arg, context.WorkingFolder);
        }
    }
    return request;
}
