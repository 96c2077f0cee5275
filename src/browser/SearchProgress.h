#pragma once

// What the search's progress window says while a search runs: the folder
// (or shelf, or medium) being searched and how many results there are so
// far. It follows the search folder's notices; the window shows Label() and
// its cancel stops the search. User-interface thread.

#include <string>
#include <string_view>

#include "collections/Search.h"

class TSearchProgress {
public:
    // A notice of the search folder, with the number of results it holds
    // afterwards.
    void Apply(const TSearchChange& change, int resultCount);

    bool Running() const { return fRunning; }
    // The folder being searched (" を検索中･･･" after it) over the count.
    std::string Label() const;

private:
    bool fRunning = false;
    std::string fWhere;
    int fCount = 0;
};
