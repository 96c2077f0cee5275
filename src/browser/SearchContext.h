#pragma once

// Where a place shown came from when the reader opened it from the search
// results: the results last listed and the result the place belongs to.
// While the reader stays at or below that result (its folder, a folder or
// archive opened inside it, the archive it is), the next and previous
// folder commands walk the results instead of the disk; a move anywhere else
// forgets it. The browser model tells it every place it shows. User-interface
// thread.

#include <optional>
#include <string>
#include <vector>

#include "browser/NeighbourWalk.h"

class TArchiver;
class TCustomFolderList;
class TGroupFolder;
class TMediaFolder;
class TMediaList;
struct TShownPlace;
struct TTreePlace;

// Every record of a catalogue, keyed as the walk over catalogues names them.
std::vector<TWalkEntry> CatalogueWalkEntries(const TMediaFolder& medium);

class TSearchContext {
public:
    // The results the list shows now; they must outlive their use here or
    // be forgotten first (null).
    void SetResults(TGroupFolder* results) { fResults = results; }
    TGroupFolder* Results() const { return fResults; }
    // The result the place shown was opened from; empty for none.
    const std::string& Result() const { return fResult; }

    // Every place shown while a scope lives belongs to result key (a row of
    // the results opened, or a neighbour move among them).
    class TOpening {
    public:
        TOpening(TSearchContext& context, std::string key) : fContext(context) { fContext.fOpening = std::move(key); }
        ~TOpening() { fContext.fOpening.reset(); }
        TOpening(const TOpening&) = delete;
        TOpening& operator=(const TOpening&) = delete;

    private:
        TSearchContext& fContext;
    };

    // A new place is shown: place is what the file list shows, shown what
    // the model shows (an archive, a folder).
    void PlaceShown(const TTreePlace& place, const TShownPlace& shown, const TCustomFolderList* media);

    struct TMove {
        TNeighbourMove Move;
        std::string ResultKey;  // the result the move's place belongs to
    };
    // The neighbour of the place shown among the results; nothing when the
    // place was not opened from one that is still among them. archive and
    // archiveFolder: the innermost archive shown and its folder, or null.
    std::optional<TMove> Neighbour(const TNeighbourWalk& walk, const TTreePlace& place, const TArchiver* archive,
                                   const std::string& archiveFolder, TWalkSpace& disk, const TMediaList* media,
                                   TWalkDirection direction) const;

private:
    bool Within(const std::string& key, const TTreePlace& place, const TShownPlace& shown,
                const TCustomFolderList* media) const;

    TGroupFolder* fResults = nullptr;
    std::string fResult;
    std::optional<std::string> fOpening;
};
