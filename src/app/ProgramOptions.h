#pragma once

// The viewer's own long options, taken off the command line before the rest
// is read as "-f", "-s FILE" and a path (and before it is handed over to a
// running copy, which must never see them):
//   --snapshot OUT.png   open the path, wait until the view settles, save
//                        the window's picture and end
//   --window-size WxH    the window's size (at start, and for the snapshot)
//   --run A,B,...        with --snapshot: actions run in order once the path
//                        is open, before the picture is taken
//   --select N,M,...     with --snapshot: the items of the list with those
//                        names are selected once the path is open, before
//                        the actions run
//   --pointer X,Y        with --snapshot: the pointer stands at that point
//                        of the image view while the actions run (the
//                        loupe shows what lies there)
//   --no-save            the window's state and the last location are not
//                        written at the end (a snapshot leaves the data
//                        folder as it found it)
//   --yes                with --snapshot: the questions of the actions
//                        run are answered yes
//   --help               print the usage
//   --version            print the program's name and version

#include <string>
#include <vector>

#include "base/Errors.h"

class EUsageError : public EMirevaError {
public:
    using EMirevaError::EMirevaError;
};

struct TProgramOptions {
    std::string SnapshotPath;  // empty: the normal interactive start
    int WindowWidth = 1024;
    int WindowHeight = 768;
    // --window-size was given: it wins over the size the window kept.
    bool WindowSizeGiven = false;
    bool NoSave = false;
    // Action names ("actNext"), in order; checked against the window's
    // action table by the program.
    std::vector<std::string> RunActions;
    // --place: a collection shown instead of PATH ("shelf:NAME",
    // "media:NAME//FOLDER", "category:NAME//PART", "shelves", ...).
    std::string Place;
    // Names of listed items (or paths), selected before the actions run.
    std::vector<std::string> SelectNames;
    // --pointer: a point of the image view, in its own pixels.
    bool PointerGiven = false;
    int PointerX = 0;
    int PointerY = 0;
    // The questions of the actions run are answered yes (without it, no).
    bool AnswerYes = false;
    bool Help = false;
    bool Version = false;
    std::vector<std::string> Args;  // what is left, in order
};

// Raises EUsageError for a missing or malformed value, and for --run or
// --select without --snapshot.
TProgramOptions ParseProgramOptions(const std::vector<std::string>& args);

// The usage text of the viewer, one line per option.
const char* ProgramUsage();

// The viewer's version, as "--version" prints it ("0.1.0").
const char* ProgramVersion();
