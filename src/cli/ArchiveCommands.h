#pragma once

// What the archive subcommands share with the loading ones: a run's archive
// environment and the resolution of a path that leads into an archive.

#include <memory>
#include <string>

#include "cli/CliCommand.h"
#include "loading/AcvUnit.h"
#include "platform/Folders.h"

// The archives of one run: a private temporary folder (removed at the end of
// the run) and the run's loaders.
class TCliArchives {
public:
    explicit TCliArchives(TLoaderSetPtr loaders);
    TArchiveEnv& Env() { return fEnv; }

private:
    TTemporaryFolder fTemp;
    TArchiveEnv fEnv;
};

// A place inside an archive: the innermost archive opened, the folder inside
// it ('/'-terminated or empty) and a member name (empty for a folder).
struct TArchivePlace {
    TArchiverPtr Archiver;
    std::string Folder;
    std::string Member;
};

// Resolves "book.zip/inner.cbz/p/x.jpg" (nesting levels may also be joined
// by "//"): the longest leading part that is a file is the outer archive;
// each following member with an archive extension that has more path after
// it is opened as an inner archive; with openLastArchive, so is a last one.
// Raises EMirevaError when the path leads nowhere.
TArchivePlace ResolveArchivePlace(TArchiveEnv& env, const std::string& path, bool openLastArchive);

// Loads a picture that lies inside an archive, as the viewer shows it.
std::unique_ptr<TBitmap> LoadPictureInArchive(const TLoaderSetPtr& loaders, const std::string& path,
                                              TUserNotifier* notifier);
