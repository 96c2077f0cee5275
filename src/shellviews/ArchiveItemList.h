#pragma once

// What the folder tree shows of one archive: for every folder inside it, the
// sub-folders and the archives inside it, in the order the archive lists
// them. The list is built once from an opened archive when the user first
// expands the archive's node and is plain data afterwards, so the archive
// (and the temporary files of its inner levels) need not stay open while the
// tree shows it. User-interface thread.

#include <map>
#include <string>
#include <vector>

#include "loading/AcvUnit.h"

// One child of a folder: a folder ("a/b/") or an archive inside the archive
// (its folder and name, "a/inner.zip").
struct TArchiveChild {
    std::string Path;
    bool IsArchive = false;
    bool operator==(const TArchiveChild&) const = default;
};

class TArchiveItemList {
public:
    // Replaces the content by the archive's folders and inner archives (files
    // whose extension the archive's loader set reads as an archive). An
    // archive whose members all lie at its top, without inner archives,
    // gives an empty list: its node shows no expand button.
    void Build(const TArchiver& archiver);
    // Opens the file with env, builds from it and lets it go again. False
    // when the file could not be opened or listed (a damaged archive); a file
    // that is no archive gives an empty list and true. Never raises.
    bool LoadFromArchive(const TArchiveEnv& env, const std::string& fileName);
    void Clear();

    bool Built() const { return fBuilt; }
    bool Empty() const { return fEntries.empty(); }

    // The children of a folder ("" for the top) in the archive's order;
    // nothing for a folder the archive does not hold.
    std::vector<TArchiveChild> Children(const std::string& folder) const;
    // Whether the folder has a sub-folder, or with countArchives any child.
    bool HasChildren(const std::string& folder, bool countArchives) const;

private:
    std::map<std::string, std::vector<TArchiveChild>, TFolderKeyLess> fEntries;
    bool fBuilt = false;
};

// The order the tree shows an archive folder's children in: folders before
// inner archives, each by name (CompareNames, trailing '/' left out).
int CompareChildren(const TArchiveChild& a, const TArchiveChild& b);
