#pragma once

// Handing the command target to other programs: the files' association, the
// file manager, a registered application, a recently used one, a program
// chosen now. The window describes what the target holds (the selected
// files, the members of the archive shown, the tree's node, the pages shown)
// as target entries; this turns them into the paths a program receives
// (folders instead of files, archive members written out first or named
// inside their archive) and into the command lines to start. Starting is
// done through TAppLauncher, which the window implements with the desktop's
// tools and tests with a recorder. User-interface thread.

#include <memory>
#include <string>
#include <vector>

#include "app/RegApp.h"

class TArchiver;

// One thing of the command target to hand over.
struct TTargetEntry {
    // A file or folder on disk, or for an archive member the file of the
    // outermost archive it lies in.
    std::string Path;
    // For a member of an inner archive, the levels between the outermost
    // archive and the member ("x/inner.zip"), joined by "//" as the
    // program's paths join them; empty otherwise.
    std::string Inner;
    // The member's path inside the archive that holds it ("dir/a.jpg", a
    // folder "dir/"); empty for a plain file or folder.
    std::string Member;
    bool InArchive() const { return !Member.empty(); }
};

// Writes archive members out to the temporary folder.
class TMemberExtractor {
public:
    virtual ~TMemberExtractor() = default;
    // The written file's path; raises EMirevaError when it cannot be written.
    virtual std::string ExtractFile(const std::string& member) = 0;
    // A folder member ("dir/"): an earlier copy is removed and every file
    // below it written again; its path, without a trailing '/'.
    virtual std::string ExtractFolder(const std::string& member) = 0;
};

// The extractor of an open archive, into its shared extraction folder. The
// member paths it is given are those of this archive (not of inner levels).
class TArchiverExtractor : public TMemberExtractor {
public:
    explicit TArchiverExtractor(TArchiver& archive) : fArchive(archive) {}
    std::string ExtractFile(const std::string& member) override;
    std::string ExtractFolder(const std::string& member) override;

private:
    TArchiver& fArchive;
};

struct TPassFlags {
    bool Parent = false;       // the folder or archive that holds each entry
    bool ArchivePath = false;  // members as "archive//member" rather than written out
};

struct TTargetPaths {
    std::vector<std::string> Paths;
    // Why a member could not be written out; Paths is empty then, so that a
    // program never gets half of what the user chose.
    std::string Error;
};

// The paths for entries in their order. Entries in an archive need
// extractor unless flags name them by their archive path or parent; without
// one they are left out. Two neighbouring pages that give one path (two
// pages of a folder passed as their parent) give it once; the files of a
// list keep one path per item, as the program receives them.
TTargetPaths BuildTargetPaths(const std::vector<TTargetEntry>& entries, const TPassFlags& flags,
                              TMemberExtractor* extractor, bool pages = false);

// The entries of the pages shown: the primary page's path, then the
// partner's (paths as the browser shows them: a file, or "archive//member").
std::vector<TTargetEntry> PageEntries(const std::vector<std::string>& pagePaths);
// The entry of a path the browser shows: "archive.zip//dir/a.jpg" is the
// member "dir/a.jpg" of "archive.zip" (inner levels stay in the member).
TTargetEntry EntryOfShownPath(const std::string& path);

// The menu captions: the n-th registered application "&n: name"; the
// recently used ones are numbered on after the registered ones ("&4: gimp",
// from ten on "1&1: gimp") and named by their file name without extension.
std::string RegisteredCaption(const TApplicationLists& lists, int index);
std::string RecentCaption(const TApplicationLists& lists, int index);

// One program start.
struct TLaunchCommand {
    std::string Program;
    std::vector<std::string> Arguments;
    std::string WorkingFolder;
    TAppWindow Window = TAppWindow::awNormal;
    bool operator==(const TLaunchCommand&) const = default;
};

// A command line the user typed ("-n --title 'a b'"), split as a shell would
// split words: blanks separate, single and double quotes group, a backslash
// escapes the next character outside single quotes. Nothing is expanded.
std::vector<std::string> SplitCommandLine(const std::string& text);

// A desktop entry's Exec line for files: %f and %u start the program once
// per file, %F and %U take all of them, %% is a percent sign, the other
// codes vanish; a line without a file code gets the files at its end.
// parameters go in front of the files.
std::vector<TLaunchCommand> ExpandDesktopExec(const std::string& exec, const std::vector<std::string>& parameters,
                                              const std::vector<std::string>& files);

// What the desktop does for the launcher.
class TAppLauncher {
public:
    virtual ~TAppLauncher() = default;
    // Opens path with the program associated with its type; false when no
    // program is associated with it.
    virtual bool OpenAssociated(const std::string& path) = 0;
    // Lets the user pick a program for a path without one and opens it.
    virtual void ChooseProgramFor(const std::string& path) = 0;
    // Shows the items in the file manager.
    virtual void ShowInFileManager(const std::vector<std::string>& paths) = 0;
    // Starts a program detached from this one; false when it could not start.
    virtual bool Start(const TLaunchCommand& command) = 0;
    // The Exec line of a desktop entry file; empty when it has none.
    virtual std::string DesktopExec(const std::string& desktopFile) = 0;
};

// The starts for a program with parameters and files: a desktop entry is
// expanded from its Exec line (read through launcher), any other program
// gets the parameters then the files, in its own folder.
std::vector<TLaunchCommand> CommandsFor(TAppLauncher& launcher, const std::string& program,
                                        const std::string& parameters, const std::vector<std::string>& paths,
                                        TAppWindow window);

// The commands of the file menu's application items, over the lists and a
// launcher.
class TAppCommands {
public:
    TAppCommands(TApplicationLists& lists, TAppLauncher& launcher) : fLists(lists), fLauncher(launcher) {}

    // "関連付けで開く": each path with its association, the chooser for a
    // path without one.
    void Execute(const std::vector<std::string>& paths);
    // "エクスプローラで開く".
    void Explore(const std::vector<std::string>& paths);
    // How registered application index wants the files; nothing beyond the list.
    TPassFlags RegisteredFlags(int index) const;
    // Registered application index with the paths gathered by its flags.
    // False when there is no such application or a program did not start.
    bool RunRegistered(int index, const std::vector<std::string>& paths);
    // Recently used program index; it moves to the front.
    bool RunRecent(int index, const std::vector<std::string>& paths);
    // A program chosen in the open dialog; it goes to the front of the list.
    bool RunChosen(const std::string& program, const std::vector<std::string>& paths);

private:
    bool StartAll(const std::vector<TLaunchCommand>& commands);

    TApplicationLists& fLists;
    TAppLauncher& fLauncher;
};
