#pragma once

// The folders the program works in. Every other part of the program receives
// these paths as arguments; nothing reads them from a global, so tests run in
// a temporary folder.
//
// - program folder: where the executable lies (plug-ins, help, icons).
// - data folder: settings and list files. The program folder when it is
//   writable (a portable copy), otherwise $XDG_CONFIG_HOME/Mireva/;
//   MIREVA_HOME overrides both.
// - temporary folder: extraction of archive members, private to the user
//   ($XDG_RUNTIME_DIR/Mireva/ or /tmp/Mireva-<uid>/), created 0700 and checked.

#include <string>

// The folder of /proc/self/exe, with a trailing '/'.
std::string ProgramFolder();

// explicitHome (from --home) wins, then MIREVA_HOME, then the rule above. The
// folder is created when missing. With a trailing '/'.
std::string DataFolder(const std::string& programFolder, const std::string& explicitHome = {});

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
