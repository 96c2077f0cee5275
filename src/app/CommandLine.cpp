#include "app/CommandLine.h"

#include "app/PathInfo.h"
#include "base/PathUtils.h"
#include "common/Text.h"
#include "platform/FileSystem.h"

std::string DefaultSettingsPath(const std::string& dataFolder)
{
    return JoinPath(dataFolder, "Mireva.ini");
}

bool IsSettingsFileName(std::string_view path)
{
    const std::string ext = ExtractFileExt(path);
    return SameText(ext, ".ini") || SameText(ext, ".lys");
}

TCommandLine ParseCommandLine(const std::vector<std::string>& args, const std::string& workingFolder,
                              const std::string& dataFolder)
{
    TCommandLine result;
    bool afterSettingsSwitch = false;
    for (const std::string& arg : args) {
        const bool wasSettingsSwitch = afterSettingsSwitch;
        afterSettingsSwitch = false;
        if (SameText(arg, "-f")) {
            result.FullScreen = true;
            continue;
        }
        if (SameText(arg, "-s")) {
            afterSettingsSwitch = true;
            continue;
        }
        if (arg.empty())
            continue;
        const std::string given = ExcludeTrailingPathDelimiter(arg);
        std::string found = AbsoluteArgumentPath(given, workingFolder);
        TFileStatus status = QueryFile(found);
        if (status.Kind == TFileKind::fkNone && !IsAbsolutePath(given)) {
            const std::string inData = AbsoluteArgumentPath(given, dataFolder);
            const TFileStatus dataStatus = QueryFile(inData);
            if (dataStatus.Kind != TFileKind::fkNone) {
                found = inData;
                status = dataStatus;
            }
        }
        switch (status.Kind) {
        case TFileKind::fkFolder:
            if (result.StartPath.empty())
                result.StartPath = IncludeTrailingPathDelimiter(found);
            break;
        case TFileKind::fkFile:
        case TFileKind::fkOther:
            if (wasSettingsSwitch && status.Kind == TFileKind::fkFile && IsSettingsFileName(found))
                result.SettingsPath = found;
            else if (result.StartPath.empty())
                result.StartPath = found;
            break;
        case TFileKind::fkNone:
            // Resolved later: a file inside an archive does not exist as such.
            result.StartPath = found;
            break;
        }
    }
    if (result.SettingsPath.empty())
        result.SettingsPath = DefaultSettingsPath(dataFolder);
    return result;
}
