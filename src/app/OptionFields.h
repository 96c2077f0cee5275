#pragma once

// The one list of the options: every key of the settings file that the
// options struct holds, in the file's section order, each with its default
// and its range. Reading, writing and printing the options all walk this
// list through a visitor, so a key can never be read under one name and
// written under another, or be forgotten by one of them.
//
// The extension colours (EXTCOLOR with EXTCOLOR_USE) are a list of entries
// and reach the visitor as a whole at their place; the PLUGIN sections live in
// the loader registry and are handled beside the list (PluginSettings.h).

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include <vector>

#include "base/Color.h"

struct TOptions;
struct TExtColorEntry;

// The extension colours: EXTCOLOR maps each entry's extension list to its
// colour, EXTCOLOR_USE (same keys) says whether the entry is in use.
inline constexpr std::string_view ExtColorSection = "EXTCOLOR";
inline constexpr std::string_view ExtColorUseSection = "EXTCOLOR_USE";

class TOptionVisitor {
public:
    virtual ~TOptionVisitor() = default;

    // An integer: def when absent or not a number; outside min..max fallback.
    virtual void Ranged(std::string_view section, std::string_view key, int32_t& value, int32_t def, int32_t min,
                        int32_t max, int32_t fallback) = 0;
    // An integer that is not checked.
    virtual void Integer(std::string_view section, std::string_view key, int32_t& value, int32_t def) = 0;
    // An integer that may take only the listed values, else fallback.
    virtual void OneOf(std::string_view section, std::string_view key, int32_t& value, int32_t def,
                       std::span<const int32_t> allowed, int32_t fallback) = 0;
    virtual void Boolean(std::string_view section, std::string_view key, bool& value, bool def) = 0;
    // def also stands for a text that is no colour.
    virtual void Color(std::string_view section, std::string_view key, TColor& value, TColor def) = 0;
    virtual void Text(std::string_view section, std::string_view key, std::string& value) = 0;
    // A folder: a text that gets a trailing '/' on reading when not empty.
    virtual void Folder(std::string_view section, std::string_view key, std::string& value) = 0;
    // The extension colours; def is the colour of an entry whose colour is
    // unreadable.
    virtual void ExtColorList(std::vector<TExtColorEntry>& entries, TColor def) = 0;

    // A mode kept as an enum: read and written as its number.
    template <typename E>
    void Choice(std::string_view section, std::string_view key, E& value, E def, int32_t min, int32_t max,
                E fallback)
    {
        int32_t number = static_cast<int32_t>(value);
        Ranged(section, key, number, static_cast<int32_t>(def), min, max, static_cast<int32_t>(fallback));
        value = static_cast<E>(number);
    }
};

// Walks every single-key option in file order. Defaults that depend on other
// options (SLIDESHOW Color, RECENT View, the ATTRCOLOR colours) are taken from
// options as they stand when their key is reached, so a reading visitor sees
// the values read before them.
void VisitOptions(TOptionVisitor& visitor, TOptions& options);
