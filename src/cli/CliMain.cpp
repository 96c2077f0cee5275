// mireva-cli: the program's logic for scripts and batch work. Every subcommand
// reads the same data folder as the viewer (--home DIR overrides), exits 0 on
// success and non-zero with a one-line message on failure.

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <iostream>
#include <span>

#include "cli/CliCommand.h"
#include "cli/Commands.h"
#include "base/PathUtils.h"
#include "common/Text.h"
#include "platform/FileSystem.h"
#include "platform/Folders.h"
#include "platform/qt/QtTranslations.h"

namespace {

const TCliCommand Commands[] = {
    {"help", "", nullptr},
#include "cli/CommandTable.inc"
};

void PrintUsage(std::ostream& out)
{
    out << "usage: mireva-cli [--home DIR] SUBCOMMAND ...\n"
           "       mireva-cli --help | --version\n"
           "--home DIR reads and writes the data folder DIR instead of the viewer's own.\n"
           "Subcommands:\n";
    for (const TCliCommand& command : Commands) {
        if (command.Run && !command.Hidden)
            out << "  " << command.Name << ' ' << command.Usage << '\n';
    }
}

}  // namespace

std::string TCliContext::DataFolder() const
{
    return ::DataFolder(Installed ? std::string() : ProgramFolder, HomeOption);
}

std::optional<std::string> TCliContext::TakeOption(std::string_view name)
{
    for (size_t i = 0; i < Args.size(); ++i) {
        const std::string& arg = Args[i];
        if (arg == name) {
            if (i + 1 >= Args.size())
                throw ECliUsage(std::string(name) + " needs a value");
            std::string value = Args[i + 1];
            Args.erase(Args.begin() + static_cast<std::ptrdiff_t>(i), Args.begin() + static_cast<std::ptrdiff_t>(i) + 2);
            return value;
        }
        if (arg.size() > name.size() && arg.compare(0, name.size(), name) == 0 && arg[name.size()] == '=') {
            std::string value = arg.substr(name.size() + 1);
            Args.erase(Args.begin() + static_cast<std::ptrdiff_t>(i));
            return value;
        }
        if (arg == "--")
            break;
    }
    return std::nullopt;
}

std::vector<std::string> TCliContext::TakeOptions(std::string_view name)
{
    std::vector<std::string> values;
    while (std::optional<std::string> value = TakeOption(name))
        values.push_back(*value);
    return values;
}

bool TCliContext::TakeFlag(std::string_view name)
{
    const auto it = std::find(Args.begin(), Args.end(), name);
    if (it == Args.end())
        return false;
    Args.erase(it);
    return true;
}

const std::vector<std::string>& TCliContext::Positional(size_t count)
{
    return Positional(count, count);
}

const std::vector<std::string>& TCliContext::Positional(size_t min, size_t max)
{
    const auto dashdash = std::find(Args.begin(), Args.end(), "--");
    for (auto it = Args.begin(); it != dashdash; ++it) {
        if (it->size() > 2 && it->compare(0, 2, "--") == 0)
            throw ECliUsage("unknown option " + *it);
    }
    if (dashdash != Args.end())
        Args.erase(dashdash);
    if (Args.size() < min || Args.size() > max)
        throw ECliUsage("wrong number of arguments");
    return Args;
}

namespace {

const TCliCommand* FindCommand(const std::string& name)
{
    const auto* command = std::find_if(std::begin(Commands), std::end(Commands),
                                       [&](const TCliCommand& c) { return name == c.Name && c.Run; });
    return command == std::end(Commands) ? nullptr : command;
}

// Takes "--home DIR" or "--home=DIR" from the front of args. A missing or
// empty folder is a usage error rather than the default data folder: a
// script that meant another one must not read or change the user's own
// settings and shelves. So is a subcommand's name where the folder belongs
// ("--home resolve x") unless such a folder exists.
std::optional<std::string> TakeHome(std::vector<std::string>& args)
{
    if (args.empty())
        return std::nullopt;
    std::string home;
    if (args[0] == "--home") {
        if (args.size() < 2)
            throw ECliUsage("--home needs a folder");
        home = args[1];
        args.erase(args.begin(), args.begin() + 2);
    } else if (args[0].rfind("--home=", 0) == 0) {
        home = args[0].substr(7);
        args.erase(args.begin());
    } else {
        return std::nullopt;
    }
    if (home.empty() || (FindCommand(home) && !DirectoryExists(home)))
        throw ECliUsage("--home needs a folder");
    return home;
}

}  // namespace

int main(int argc, char** argv)
{
    // The messages of the program's logic come in the interface language;
    // what scripts read (listings, CSV, key=value lines) does not change.
    if (!InstallProgramTranslations(InterfaceLanguage([](const char* name) { return std::getenv(name); })))
        std::cerr << "mireva-cli: the English texts could not be loaded; messages stay Japanese\n";
    std::vector<std::string> args(argv + 1, argv + argc);
    std::string home;
    try {
        if (std::optional<std::string> given = TakeHome(args))
            home = *given;
    } catch (const ECliUsage& e) {
        std::cerr << "mireva-cli: " << e.what() << "\nusage: mireva-cli [--home DIR] SUBCOMMAND ...\n";
        return 2;
    }
    if (args.size() == 1 && args[0] == "--version")
        args[0] = "version";
    if (args.empty() || args[0] == "help" || args[0] == "--help" || args[0] == "-h") {
        PrintUsage(args.empty() ? std::cerr : std::cout);
        return args.empty() ? 2 : 0;
    }
    const std::string name = args[0];
    const TCliCommand* command = FindCommand(name);
    if (!command) {
        std::cerr << "mireva-cli: unknown subcommand '" << EscapeControls(name) << "'\n";
        return 2;
    }
    const TProgramLocation program = LocateProgram();
    TCliContext context{program.Folder, home, std::vector<std::string>(args.begin() + 1, args.end()), std::cout,
                        std::cerr, program.Installed};
    // Messages name files and archive members, which may hold line breaks
    // and escape sequences: escaped, every message stays one line, and the
    // terminal never receives a name's escape sequence.
    try {
        return command->Run(context);
    } catch (const ECliUsage& e) {
        std::cerr << "mireva-cli " << name << ": " << EscapeControls(e.what()) << "\nusage: mireva-cli " << name
                  << ' ' << command->Usage << '\n';
        return 2;
    } catch (const std::exception& e) {
        std::cerr << "mireva-cli " << name << ": " << EscapeControls(e.what()) << '\n';
        return 1;
    }
}
