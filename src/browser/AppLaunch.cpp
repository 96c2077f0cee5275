#include "browser/AppLaunch.h"

#include "base/Errors.h"
#include "base/PathUtils.h"
#include "browser/ActionTable.h"
#include "loading/AcvUnit.h"
#include "base/Texts.h"

namespace {

// The folder that holds a file or folder; the root is its own.
std::string ParentFolder(const std::string& path)
{
    const std::string self = ExcludeTrailingPathDelimiter(path);
    const std::string folder = ExtractFilePath(self);
    return folder.empty() ? self : ExcludeTrailingPathDelimiter(folder);
}

std::string ArchiveForm(const TTargetEntry& entry)
{
    std::string path = entry.Path;
    path += ArchiveDelim;
    if (!entry.Inner.empty()) {
        path += entry.Inner;
        path += ArchiveDelim;
    }
    std::string member = entry.Member;
    while (member.size() > 1 && member.back() == PathDelim)
        member.pop_back();
    return path + member;
}

std::string NameWithoutExtension(const std::string& path)
{
    return ChangeFileExt(ExtractFileName(path), "");
}

bool IsDesktopEntry(const std::string& program)
{
    return program.ends_with(".desktop");
}

}  // namespace

std::string TArchiverExtractor::ExtractFile(const std::string& member)
{
    const TArchiveFileInfo* record = fArchive.FindRecord(ExtractFilePath(member), ExtractFileName(member));
    if (!record)
        throw EFileError(member + ": " + Tx(ExtractFailedMessage));
    return fArchive.ExtractToFile(*record, false);
}

std::string TArchiverExtractor::ExtractFolder(const std::string& member)
{
    // An earlier copy may hold files the user since changed or that a
    // program left there; the folder is handed over as the archive has it.
    fArchive.DeleteExtracted(member, false);
    std::vector<TArchiveFileInfo*> below;
    fArchive.List(member, false, below);
    for (const TArchiveFileInfo* file : below)
        fArchive.ExtractToFile(*file, false);
    return ExcludeTrailingPathDelimiter(fArchive.Extract(member, "", false));
}

TTargetPaths BuildTargetPaths(const std::vector<TTargetEntry>& entries, const TPassFlags& flags,
                              TMemberExtractor* extractor, bool pages)
{
    TTargetPaths result;
    try {
        for (const TTargetEntry& entry : entries) {
            std::string path;
            if (!entry.InArchive())
                path = flags.Parent ? ParentFolder(entry.Path) : ExcludeTrailingPathDelimiter(entry.Path);
            else if (flags.Parent)
                path = entry.Path;
            else if (flags.ArchivePath)
                path = ArchiveForm(entry);
            else if (!extractor)
                continue;
            else if (HasTrailingDelimiter(entry.Member))
                path = extractor->ExtractFolder(entry.Member);
            else
                path = extractor->ExtractFile(entry.Member);
            if (path.empty())
                throw EFileError(entry.Member + ": " + Tx(ExtractFailedMessage));
            if (pages && !result.Paths.empty() && result.Paths.back() == path)
                continue;
            result.Paths.push_back(std::move(path));
        }
    } catch (const EMirevaError& error) {
        result.Paths.clear();
        result.Error = error.what();
    }
    return result;
}

TTargetEntry EntryOfShownPath(const std::string& path)
{
    std::vector<std::string> levels = SplitArchiveLevels(path);
    TTargetEntry entry;
    entry.Path = levels.front();
    if (levels.size() < 2)
        return entry;
    entry.Member = levels.back();
    for (size_t i = 1; i + 1 < levels.size(); ++i) {
        if (!entry.Inner.empty())
            entry.Inner += ArchiveDelim;
        entry.Inner += levels[i];
    }
    return entry;
}

std::vector<TTargetEntry> PageEntries(const std::vector<std::string>& pagePaths)
{
    std::vector<TTargetEntry> entries;
    for (const std::string& path : pagePaths)
        if (!path.empty())
            entries.push_back(EntryOfShownPath(path));
    return entries;
}

std::string RegisteredCaption(const TApplicationLists& lists, int index)
{
    const auto& apps = lists.Registered();
    if (index < 0 || index >= static_cast<int>(apps.size()))
        return {};
    return RegAppCaption(index + 1, apps[static_cast<size_t>(index)].DisplayName);
}

std::string RecentCaption(const TApplicationLists& lists, int index)
{
    const auto& recent = lists.Recent();
    if (index < 0 || index >= static_cast<int>(recent.size()))
        return {};
    const int number = static_cast<int>(lists.Registered().size()) + index + 1;
    return NumberedCaption(number, NameWithoutExtension(recent[static_cast<size_t>(index)]));
}

std::vector<std::string> SplitCommandLine(const std::string& text)
{
    std::vector<std::string> words;
    std::string word;
    bool inWord = false;
    char quote = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (quote == '\'') {
            if (c == '\'')
                quote = 0;
            else
                word += c;
        } else if (c == '\\' && i + 1 < text.size()) {
            word += text[++i];
            inWord = true;
        } else if (quote == '"') {
            if (c == '"')
                quote = 0;
            else
                word += c;
        } else if (c == '"' || c == '\'') {
            quote = c;
            inWord = true;
        } else if (c == ' ' || c == '\t' || c == '\n' || c == '\r') {
            if (inWord)
                words.push_back(std::move(word));
            word.clear();
            inWord = false;
        } else {
            word += c;
            inWord = true;
        }
    }
    if (inWord)
        words.push_back(std::move(word));
    return words;
}

std::vector<TLaunchCommand> ExpandDesktopExec(const std::string& exec, const std::vector<std::string>& parameters,
                                              const std::vector<std::string>& files)
{
    const std::vector<std::string> words = SplitCommandLine(exec);
    if (words.empty())
        return {};
    // A single-file code starts the program once per file.
    bool perFile = false;
    bool anyCode = false;
    for (const std::string& word : words)
        if (word == "%f" || word == "%u")
            perFile = anyCode = true;
        else if (word == "%F" || word == "%U")
            anyCode = true;
    const auto expand = [&](const std::vector<std::string>& these) {
        std::vector<std::string> argv;
        for (const std::string& word : words) {
            if (word == "%f" || word == "%u" || word == "%F" || word == "%U") {
                argv.insert(argv.end(), parameters.begin(), parameters.end());
                argv.insert(argv.end(), these.begin(), these.end());
                continue;
            }
            std::string out;
            for (size_t i = 0; i < word.size(); ++i) {
                if (word[i] != '%' || i + 1 == word.size()) {
                    out += word[i];
                    continue;
                }
                // "%%" is a percent sign; every other code names things this
                // program has no use for (an icon, a translated name).
                if (word[++i] == '%')
                    out += '%';
            }
            if (!out.empty())
                argv.push_back(std::move(out));
        }
        if (!anyCode) {
            argv.insert(argv.end(), parameters.begin(), parameters.end());
            argv.insert(argv.end(), these.begin(), these.end());
        }
        TLaunchCommand command;
        command.Program = argv.front();
        command.Arguments.assign(argv.begin() + 1, argv.end());
        return command;
    };
    std::vector<TLaunchCommand> commands;
    if (perFile && files.size() > 1)
        for (const std::string& file : files)
            commands.push_back(expand({file}));
    else
        commands.push_back(expand(files));
    return commands;
}

void TAppCommands::Execute(const std::vector<std::string>& paths)
{
    for (const std::string& path : paths)
        if (!fLauncher.OpenAssociated(path))
            fLauncher.ChooseProgramFor(path);
}

void TAppCommands::Explore(const std::vector<std::string>& paths)
{
    if (!paths.empty())
        fLauncher.ShowInFileManager(paths);
}

TPassFlags TAppCommands::RegisteredFlags(int index) const
{
    const auto& apps = fLists.Registered();
    if (index < 0 || index >= static_cast<int>(apps.size()))
        return {};
    const TRegApplication& app = apps[static_cast<size_t>(index)];
    return {app.PassParent, app.PassArchivePath};
}

std::vector<TLaunchCommand> CommandsFor(TAppLauncher& launcher, const std::string& program,
                                        const std::string& parameters, const std::vector<std::string>& paths,
                                        TAppWindow window)
{
    const std::vector<std::string> words = SplitCommandLine(parameters);
    std::vector<TLaunchCommand> commands;
    if (IsDesktopEntry(program)) {
        commands = ExpandDesktopExec(launcher.DesktopExec(program), words, paths);
        // A desktop entry's program runs where the files are.
        for (TLaunchCommand& command : commands)
            command.WorkingFolder = command.Arguments.empty() || paths.empty() ? std::string()
                                                                               : ExtractFilePath(paths.front());
    } else {
        TLaunchCommand command;
        command.Program = program;
        command.Arguments = words;
        command.Arguments.insert(command.Arguments.end(), paths.begin(), paths.end());
        command.WorkingFolder = ExtractFilePath(program);
        commands.push_back(std::move(command));
    }
    for (TLaunchCommand& command : commands)
        command.Window = window;
    return commands;
}

bool TAppCommands::StartAll(const std::vector<TLaunchCommand>& commands)
{
    bool started = !commands.empty();
    for (const TLaunchCommand& command : commands)
        started = fLauncher.Start(command) && started;
    return started;
}

bool TAppCommands::RunRegistered(int index, const std::vector<std::string>& paths)
{
    const auto& apps = fLists.Registered();
    if (index < 0 || index >= static_cast<int>(apps.size()) || paths.empty())
        return false;
    const TRegApplication app = apps[static_cast<size_t>(index)];
    if (!app.Path.empty())
        return StartAll(CommandsFor(fLauncher, app.Path, app.Parameters, paths, app.Window));
    // Without a program the parameters name it ("gimp -n"); without either,
    // each file opens with its association. The gathered text is never run
    // through a shell, so a file name cannot become a command.
    std::vector<std::string> words = SplitCommandLine(app.Parameters);
    if (words.empty()) {
        Execute(paths);
        return true;
    }
    TLaunchCommand command;
    command.Program = words.front();
    command.Arguments.assign(words.begin() + 1, words.end());
    command.Arguments.insert(command.Arguments.end(), paths.begin(), paths.end());
    command.WorkingFolder = ExtractFilePath(paths.front());
    command.Window = app.Window;
    return fLauncher.Start(command);
}

bool TAppCommands::RunRecent(int index, const std::vector<std::string>& paths)
{
    const auto& recent = fLists.Recent();
    if (index < 0 || index >= static_cast<int>(recent.size()) || paths.empty())
        return false;
    const std::string program = recent[static_cast<size_t>(index)];
    const bool started = StartAll(CommandsFor(fLauncher, program, {}, paths, TAppWindow::awNormal));
    fLists.PromoteRecent(index);
    return started;
}

bool TAppCommands::RunChosen(const std::string& program, const std::vector<std::string>& paths)
{
    if (program.empty() || paths.empty())
        return false;
    fLists.UseProgram(program);
    return StartAll(CommandsFor(fLauncher, program, {}, paths, TAppWindow::awNormal));
}
