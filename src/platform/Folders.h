#pragma once

// The folders the program works in. Every other part of the program receives
// these paths as arguments; nothing reads them from a global, so tests run in
// a temporary folder.
//
// - program folder: the program's own files (plug-ins, help, icons). The
//   executable's folder in the build tree and in a portable copy;
//   PREFIX/lib/mireva/ for a program installed as PREFIX/bin/mireva.
// - data folder: settings and list files. The program folder of a portable
//   copy when it is writable, otherwise $XDG_CONFIG_HOME/Mireva/;
//   MIREVA_HOME overrides both.
// - temporary folder: extraction of archive members, private to the user
//   ($XDG_RUNTIME_DIR/Mireva/ or /tmp/Mireva-<uid>/), created 0700 and checked.

#include <string>

// Where the program's own files lie for the executable at executablePath.
// An installed program finds them relative to itself, so the installed tree
// works under any prefix and can be moved as a whole: it is installed when
// the executable's folder has a sibling "lib/mireva/" folder.
struct TProgramLocation {
    std::string Folder;      // with a trailing '/'
    bool Installed = false;  // Folder is PREFIX/lib/mireva/, not the executable's own

    // The folder a portable copy keeps its data in: the program folder,
    // unless the program is installed (a user's ~/.local prefix is writable,
    // yet its settings belong in the configuration folder).
    std::string PortableFolder() const { return Installed ? std::string() : Folder; }
};
TProgramLocation LocateProgram(const std::string& executablePath);
// Of /proc/self/exe (the working folder when that cannot be read).
TProgramLocation LocateProgram();

// LocateProgram().Folder.
std::string ProgramFolder();

// explicitHome (from --home) wins, then MIREVA_HOME, then portableFolder when
// it is writable (pass TProgramLocation::PortableFolder()), then
// $XDG_CONFIG_HOME/Mireva/. The folder is created when missing. With a
// trailing '/'.
std::string DataFolder(const std::string& portableFolder, const std::string& explicitHome = {});

// The per-user base for temporary folders: $XDG_RUNTIME_DIR/ when it is a
// folder of this user that nobody else may write to, else /tmp/; with a
// trailing '/'.
std::string TemporaryBase();

// The name of the program's temporary folder under base: "Mireva" in the
// per-user runtime folder, "Mireva-<uid>" in the shared /tmp, so that users
// never meet in one folder.
std::string TemporaryFolderName(const std::string& base);

// The per-user folder for the single-instance lock and socket: the runtime
// folder $XDG_RUNTIME_DIR/ when usable (as for TemporaryBase), else the
// private folder /tmp/Mireva-<uid>.run/ (created 0700 and checked as
// CreatePrivateFolder does). It is never the temporary folder, which the
// running copy removes when it ends. With a trailing '/'; raises EFileError.
std::string RuntimeFolder();

// True when path is a real folder (not a link) owned by this user that no
// one else may write to.
bool IsPrivateFolder(const std::string& path);

// A private temporary folder named name under base: created 0700 when
// missing; an existing entry is accepted only when it is a real folder (not a
// link), owned by this user and not accessible to others. Raises EFileError
// otherwise. With a trailing '/'.
std::string CreatePrivateFolder(const std::string& base, const std::string& name);

// Owns a private temporary folder and removes it with everything in it,
// without following links, when destroyed.
class TTemporaryFolder {
public:
    TTemporaryFolder(const std::string& base, const std::string& name);
    ~TTemporaryFolder();
    TTemporaryFolder(const TTemporaryFolder&) = delete;
    TTemporaryFolder& operator=(const TTemporaryFolder&) = delete;

    const std::string& Path() const { return fPath; }
    // Removes the contents now and recreates the empty folder.
    void Clean();

private:
    std::string fPath;
};
