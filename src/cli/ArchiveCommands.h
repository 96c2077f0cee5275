#pragma once

// What the archive subcommands share with the loading ones: a run's archive
// environment and the place a path leads to inside an archive, found the way
// the viewer finds it (ResolvePath, then ResolveVirtualPath level by level).

#include <memory>
#include <string>

#include "cli/CliCommand.h"
#include "loading/AcvUnit.h"
#include "platform/Folders.h"

class TCliSettings;

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
// it ('/'-terminated, empty at its top) and the member file the path names
// (nullptr for a folder or the top).
struct TArchivePlace {
    TArchiverPtr Archiver;
    std::string Folder;
    const TArchiveFileInfo* Member = nullptr;
};

// Resolves "book.zip/p/01.jpg", "book.zip//inner.cbz/p" or
// "book.zip/inner.cbz/p": an archive named by the path itself, or the
// archive the viewer would enter for it, with every nesting level opened.
// Raises EFileError with the system's reason when the path leads to no
// readable file, and EMirevaError naming the level that cannot be read.
TArchivePlace OpenArchivePlace(TCliSettings& settings, TCliArchives& archives, const std::string& path);

// Loads a picture that lies inside an archive, as the viewer shows it; the
// failure message goes to the notifier as in the viewer.
std::unique_ptr<TBitmap> LoadPictureInArchive(TCliSettings& settings, const std::string& path,
                                              TUserNotifier* notifier);
