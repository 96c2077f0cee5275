#pragma once

// A collection named in words, as scripts give it to the viewer: "shelves",
// "media", "categories" for the three lists, and "shelf:NAME", "media:NAME",
// "category:NAME" for one of them, each with "//" and the place inside it
// (a shelf's member path, a folder of the catalogue, a part of the
// category's tree). The words are those of mireva-cli's targets.

#include <optional>
#include <string>
#include <string_view>

enum class TNamedPlaceKind : unsigned char { npShelves, npMedia, npCategories, npShelf, npMedium, npCategory };

struct TNamedPlace {
    TNamedPlaceKind Kind = TNamedPlaceKind::npShelves;
    std::string Name;   // of the shelf, medium or category
    std::string Inner;  // the place inside it; empty for its top
    bool operator==(const TNamedPlace&) const = default;
};

// Empty for a text of no such form (an unknown word, no name).
std::optional<TNamedPlace> ParseNamedPlace(std::string_view text);
