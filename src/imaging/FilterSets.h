#pragma once

// The user's filter sets: an ordered list of named sets, each an ordered list
// of filter items, and the set that is switched on. They live in the section
// "FILTER" of the settings file as "Select", "Name<n>", "Count<n>" and
// "Item<n>-<m>" keys (sets and items numbered from 1), each item a
// comma-separated text: the kind number, then its parameters. The settings
// code calls these functions on its in-memory copy of the file.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "imaging/FilterItem.h"

class TIniFile;

struct TFilterSet {
    std::string Name;
    TFilterList Items;
    bool operator==(const TFilterSet&) const = default;
};

struct TFilterSets {
    std::vector<TFilterSet> Sets;
    int Selected = -1;  // index into Sets, -1 for none
    bool operator==(const TFilterSets&) const = default;

    // The selected set's items, or nothing when no set is selected.
    const TFilterList* SelectedItems() const;
};

inline constexpr std::string_view FilterSection = "FILTER";

// Erases the section and writes every set anew.
void WriteFilterSets(TIniFile& ini, const TFilterSets& sets);

// Reads sets 1, 2, ... for as long as "Name<n>" exists. Out-of-range values
// take their defaults, items that do not parse are skipped, and a "Select"
// that names no set reads as -1.
TFilterSets ReadFilterSets(const TIniFile& ini);

// One item as the settings file stores it, without the key: "1,0,255,0,255,0".
std::string FormatFilterItem(const TFilterItem& item);

// Parses that text; nothing when it does not parse (unknown kind, missing or
// non-numeric fields, a tone curve whose x values leave 0 to 255 or do not
// increase). Values out of their range take the kind's default.
std::optional<TFilterItem> ParseFilterItem(std::string_view text);
