#include "app/ProgramOptions.h"

#include <charconv>

namespace {

// "WxH" with both sides from 1 to 16384.
bool ParseWindowSize(const std::string& text, int& width, int& height)
{
    const size_t x = text.find('x');
    if (x == std::string::npos)
        return false;
    const char* begin = text.data();
    const char* end = begin + text.size();
    const auto [wEnd, wError] = std::from_chars(begin, begin + x, width);
    const auto [hEnd, hError] = std::from_chars(begin + x + 1, end, height);
    if (wError != std::errc() || hError != std::errc() || wEnd != begin + x || hEnd != end)
        return false;
    return width >= 1 && width <= 16384 && height >= 1 && height <= 16384;
}

// "X,Y", each within the largest window either way.
bool ParsePoint(const std::string& text, int& x, int& y)
{
    const size_t comma = text.find(',');
    if (comma == std::string::npos)
        return false;
    const char* begin = text.data();
    const char* end = begin + text.size();
    const auto [xEnd, xError] = std::from_chars(begin, begin + comma, x);
    const auto [yEnd, yError] = std::from_chars(begin + comma + 1, end, y);
    if (xError != std::errc() || yError != std::errc() || xEnd != begin + comma || yEnd != end)
        return false;
    return x >= -16384 && x <= 16384 && y >= -16384 && y <= 16384;
}

}  // namespace

TProgramOptions ParseProgramOptions(const std::vector<std::string>& args)
{
    TProgramOptions options;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        std::string name = arg;
        std::string value;
        bool hasValue = false;
        if (arg.rfind("--", 0) == 0) {
            const size_t equals = arg.find('=');
            if (equals != std::string::npos) {
                name = arg.substr(0, equals);
                value = arg.substr(equals + 1);
                hasValue = true;
            }
        }
        const auto takeValue = [&]() -> std::string {
            if (hasValue)
                return value;
            if (i + 1 >= args.size())
                throw EUsageError(name + " needs a value");
            return args[++i];
        };
        if (name == "--snapshot") {
            options.SnapshotPath = takeValue();
            if (options.SnapshotPath.empty())
                throw EUsageError("--snapshot needs a file name");
        } else if (name == "--window-size") {
            const std::string size = takeValue();
            if (!ParseWindowSize(size, options.WindowWidth, options.WindowHeight))
                throw EUsageError("--window-size wants WIDTHxHEIGHT, not '" + size + "'");
            options.WindowSizeGiven = true;
        } else if (name == "--pointer") {
            const std::string point = takeValue();
            if (!ParsePoint(point, options.PointerX, options.PointerY))
                throw EUsageError("--pointer wants X,Y, not '" + point + "'");
            options.PointerGiven = true;
        } else if (name == "--place") {
            options.Place = takeValue();
            if (options.Place.empty())
                throw EUsageError("--place needs a place");
        } else if (name == "--run" || name == "--select") {
            const std::string list = takeValue();
            std::vector<std::string>& into = name == "--run" ? options.RunActions : options.SelectNames;
            size_t start = 0;
            while (true) {
                const size_t comma = list.find(',', start);
                const std::string item = list.substr(start, comma == std::string::npos ? std::string::npos : comma - start);
                if (item.empty())
                    throw EUsageError(name + (name == "--run" ? " wants ACTION,ACTION,..., not '" : " wants NAME,NAME,..., not '") +
                                      list + "'");
                into.push_back(item);
                if (comma == std::string::npos)
                    break;
                start = comma + 1;
            }
        } else if (name == "--yes" && !hasValue) {
            options.AnswerYes = true;
        } else if (name == "--no-save" && !hasValue) {
            options.NoSave = true;
        } else if (name == "--help" && !hasValue) {
            options.Help = true;
        } else if (name == "--version" && !hasValue) {
            options.Version = true;
        } else {
            options.Args.push_back(arg);
        }
    }
    if (!options.RunActions.empty() && options.SnapshotPath.empty())
        throw EUsageError("--run needs --snapshot");
    if (!options.SelectNames.empty() && options.SnapshotPath.empty())
        throw EUsageError("--select needs --snapshot");
    if (!options.Place.empty() && options.SnapshotPath.empty())
        throw EUsageError("--place needs --snapshot");
    if (options.PointerGiven && options.SnapshotPath.empty())
        throw EUsageError("--pointer needs --snapshot");
    if (options.AnswerYes && options.SnapshotPath.empty())
        throw EUsageError("--yes needs --snapshot");
    return options;
}

const char* ProgramUsage()
{
    return "usage: mireva [-f] [-s SETTINGS.ini|.lys] [PATH]\n"
           "       mireva --snapshot OUT.png [--window-size WxH] [-s SETTINGS] [--select NAME,...]\n"
           "              [--place PLACE] [--pointer X,Y] [--run ACTION,...] [--yes] [--no-save] [PATH]\n"
           "       mireva --help | --version\n"
           "\n"
           "PATH is a folder, a picture, an archive or a file inside an archive\n"
           "(book.cbz//01.jpg); a running viewer opens it in its own window.\n"
           "  -f                 start in full screen\n"
           "  -s FILE            use the settings file FILE (.ini or .lys)\n"
           "  --snapshot OUT.png open PATH, wait until the view has settled, save the\n"
           "                     window's picture and end (offscreen without a display)\n"
           "  --window-size WxH  the window's size\n"
           "  --place PLACE      with --snapshot: show a collection first: shelves, media,\n"
           "                     categories, shelf:NAME[//MEMBER], media:NAME[//FOLDER],\n"
           "                     category:NAME[//PART]\n"
           "  --select NAME,...  with --snapshot: select these items of the list first\n"
           "  --pointer X,Y      with --snapshot: the pointer's place in the view (the loupe)\n"
           "  --run ACTION,...   with --snapshot: run these actions in order first\n"
           "  --yes              with --snapshot: answer the actions' questions yes\n"
           "  --no-save          leave the window's state and last location unsaved\n"
           "  --help             print this text\n"
           "  --version          print the version\n";
}

const char* ProgramVersion()
{
    return MIREVA_VERSION;
}
