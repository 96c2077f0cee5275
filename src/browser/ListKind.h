#pragma once

// What the file list shows: a folder (or an archive in the archive list), one
// of the collection lists or a collection. The numbers are those the settings
// file stores under VIEW ListKind; 3 and 9 are not used. The status bar, the
// item colours, the image list and the list keys all decide by it.

#include <cstdint>

enum class TListKind : int32_t {
    lkFolder = 0,         // a folder, or an archive in the archive list
    lkShelves = 1,        // the list of shelves ("本棚")
    lkShelf = 2,          // the items of a shelf
    lkMediaList = 4,      // the list of media catalogues ("メディア")
    lkMedium = 5,         // a media catalogue
    lkMediumFolder = 6,   // a folder inside a catalogue (also one found by a search)
    lkCategories = 7,     // the list of categories ("カテゴリ")
    lkCategory = 8,       // a category
    lkSearch = 10,        // search results ("検索結果")
    lkNothing = 11,       // nothing listed yet
};

// The lists of shelves, media catalogues and categories: their rows are
// collections, not files, so they have no pictures, no item colours and no
// file commands.
inline constexpr bool IsCollectionList(TListKind kind)
{
    return kind == TListKind::lkShelves || kind == TListKind::lkMediaList || kind == TListKind::lkCategories;
}
