#pragma once

// The file commands on what the file list and the trees show beside files:
// the shelves, media catalogues and categories themselves, and the members of
// a shelf. Deleting takes collections away, or members off their shelf (the
// folder or archive itself stays on disk); renaming gives a collection a name
// no other one of its kind has. The questions and refusals go through the
// file commands' host. User-interface thread.

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "browser/FileCommands.h"
#include "browser/ListKind.h"

class TBrowserModel;
class TCustomFolder;
class TCustomFolderList;
class TGroupFolder;
class TShellTreeModel;
enum class TCommandTarget : int8_t;

enum class TCollectionKind : uint8_t { ckShelf, ckMedium, ckCategory };

// The collections of kind a command on collections acts on, as indices of
// list: the selected rows of the list of them (the focused row first); with
// listed, also the one whose contents are listed while none of them is
// selected (a property dialog shows it); the node of that kind selected in
// tree. Empty for other places.
std::vector<int> CollectionTargets(TCollectionKind kind, bool listed, TCommandTarget target, TBrowserModel& model,
                                   const TShellTreeModel& tree, const TCustomFolderList& list);

class TCollectionCommands {
public:
    // The lists the window keeps; all must outlive the commands.
    struct TLists {
        TCustomFolderList& Shelves;
        TCustomFolderList& Media;
        TCustomFolderList& Categories;
    };
    TCollectionCommands(const TLists& lists, TFileCommandHost& host) : fLists(lists), fHost(host) {}

    // The kind of collection a list kind lists as its rows; nothing for
    // lists of files.
    static std::optional<TCollectionKind> ListedKind(TListKind kind);
    static std::string DeleteQuestion(TCollectionKind kind);
    static std::string DuplicateNameText(TCollectionKind kind);

    // After the question (none with noQuestion), deletes the folders of
    // kind; true when any went.
    bool DeleteCollections(TCollectionKind kind, const std::vector<TCustomFolder*>& folders, bool noQuestion);
    // After question (none with noQuestion), takes the members of these
    // paths off shelf; paths that are no member are passed over. True when
    // any went.
    bool RemoveMembers(TGroupFolder& shelf, const std::vector<std::string>& paths, const std::string& question,
                       bool noQuestion);
    // Renames folder to the trimmed name. An empty name, or one another
    // folder of its kind has (without regard to case), is told and refused;
    // false then and for an unchanged name.
    bool Rename(TCollectionKind kind, TCustomFolder& folder, const std::string& name);

    // Told after shelves or a shelf's members changed: the shelf file has
    // no keeper following the list, so the window writes it.
    std::function<void()> OnShelvesChanged;

private:
    TCustomFolderList& ListOf(TCollectionKind kind) const;
    void ShelvesChanged(TCollectionKind kind) const;

    TLists fLists;
    TFileCommandHost& fHost;
};
