#pragma once

// Where a path leads: a real folder, a file in a folder, or a place inside an
// archive (nested archives included). The address bar, the command line and
// the hand-over of a later start all go through ResolvePath to get one.

#include <functional>
#include <string>
#include <string_view>

struct TPathInfo {
    // The archive file, when the path leads into one; empty otherwise.
    std::string ArchivePath;
    // A real folder (ending in '/'), or the folder inside the archive: empty
    // at its top, "dir/" for a folder, "x/b.zip//c.zip" for a nested archive,
    // "x/b.zip//dir/" for a folder inside one.
    std::string Folder;
    // A file within Folder; inside an archive, the rest of the path below
    // the innermost archive ("dir/page.jpg").
    std::string FileName;

    bool Empty() const { return ArchivePath.empty() && Folder.empty() && FileName.empty(); }
    bool operator==(const TPathInfo&) const = default;
};

// Tells whether an extension (with its dot, any case) belongs to an archive
// format some loader reads; the loader registry answers it.
using TIsArchiveExtension = std::function<bool(std::string_view ext)>;

struct TResolveContext {
    // Relative paths are taken against this folder.
    std::string WorkingFolder;
    // A relative file name that is not in the working folder is looked up
    // here as well (settings and list files live there).
    std::string DataFolder;
    TIsArchiveExtension IsArchiveExtension;
    // ARCHIVE Folder: archive contents are shown by their folders, so a path
    // into an archive opens the folder that holds the file.
    bool ArchiveFolder = true;
};

TPathInfo ResolvePath(std::string_view path, const TResolveContext& context);

// The nesting levels of a place inside an archive, as ResolveVirtualPath
// takes them: "" for the outer archive itself, "x/b.zip" or "x/b.zip//c.zip"
// for an archive inside it. A Folder ending in '/' names a folder, whose
// levels stand before its last "//"; any other Folder names a nested archive.
std::string ArchiveLevels(const TPathInfo& info);

// A path as the user gave it, made absolute against base: the part before
// the first "//" (the archive nesting mark) is normalised, the part inside
// archives is kept as it is. Leading separators all mean the root.
std::string AbsoluteArgumentPath(std::string_view path, std::string_view base);
