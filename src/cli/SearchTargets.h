#pragma once

// The targets of mireva-cli's search and category commands, given as the
// search takes them (FOLDER, shelf:NAME, shelf:*, media:NAME, media:*), and
// the shelves and catalogues they need read from the data folder.

#include <string>
#include <vector>

#include "cli/CliCommand.h"
#include "collections/Media.h"
#include "collections/Search.h"

// needsShelves is set when the target is a shelf. Raises ECliUsage for a
// malformed target and EMirevaError for a folder that does not exist.
TSearchTargetSpec SearchTargetFrom(const std::string& text, bool& needsShelves);

struct TCliSearchLists {
    TGroupList Shelves;
    TMediaList Media;
};
// Reads the shelves (when needed) and the catalogues of the media among the
// targets; raises when a named shelf or medium is missing or unreadable.
void LoadSearchLists(TCliContext& context, const std::vector<TSearchTargetSpec>& targets, bool needsShelves,
                     TCliSearchLists& lists);
