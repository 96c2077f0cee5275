#pragma once

// A small real tree for the start-up tests: a working folder with folders,
// pictures, settings files and files that the tests' archive extensions
// (".zip", ".cbz") make archives, and a data folder beside it. Paths in test
// rows write "{W}" for the working folder and "{D}" for the data folder.

#include <string>
#include <vector>

#include "app/AppCore.h"
#include "app/PathInfo.h"
#include "support/TempFolder.h"

class TStartTree {
public:
    TStartTree();

    const std::string& Work() const { return fWork; }
    const std::string& Data() const { return fData; }
    // Writes a file of the tree (name relative to its root: "work/...",
    // "data/...").
    void Write(const std::string& name, const std::string& bytes) const { fRoot.Write(name, bytes); }
    // Replaces "{W}" and "{D}" in text.
    std::string Expand(const std::string& text) const;
    std::vector<std::string> Expand(const std::vector<std::string>& texts) const;
    // The program's folders in the tree; the temporary folder goes into its
    // own base folder.
    TAppFolders Folders() const;
    // Resolution against the tree with ".zip" and ".cbz" as archives.
    TResolveContext Context(bool archiveFolder = true, bool knowArchives = true) const;

private:
    TTempFolder fRoot;
    std::string fWork;
    std::string fData;
};
