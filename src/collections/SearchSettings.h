#pragma once

// What the search panel keeps between runs: its settings in the section
// "SEARCH" of the settings file (the fixed targets, the detail conditions and
// the options), and the names searched for in "Input.lst". Also the step from
// what the panel shows to the conditions a search works with.

#include <cstdint>
#include <string>
#include <vector>

#include "collections/FileMask.h"
#include "collections/Search.h"

class TIniFile;

inline constexpr char SearchSection[] = "SEARCH";
inline constexpr char InputListFileName[] = "Input.lst";

// The names searched for, newest first, at most the history size of the
// settings ("SearchHistory").
class TSearchHistory {
public:
    // "Name1", "Name2", ... of "SEARCH"; reading stops at the first empty
    // value or at maxCount.
    void Load(const TIniFile& ini, int maxCount);
    // Writes the names and deletes numbered keys beyond them.
    void Save(TIniFile& ini) const;
    // Moves a trimmed, non-empty name to the top and cuts the history to
    // maxCount.
    void Push(const std::string& name, int maxCount);
    const std::vector<std::string>& Items() const { return fItems; }

private:
    std::vector<std::string> fItems;
};

struct TSearchPanelSettings {
    bool Fix = false;  // the targets stay as they are between searches
    std::vector<TSearchTargetSpec> Targets;  // kept only while fixed
    bool Detail = false;
    bool SubFolder = false;
    bool NoFolder = false;
    bool NoFile = false;
    bool HasSearched = false;
    bool Cache = false;
    bool SaveCache = false;
    bool CheckSize = false;
    int32_t SizeKb = 0;     // 0 to 9999999
    bool SizeAtLeast = true;
    bool CheckDate = false;
    TDateSetType DateSetType = TDateSetType::dsMonths;
    int32_t Months = 1;  // 1 to 100
    int32_t Days = 1;    // 1 to 100
    TDateTime DateFrom = 0;
    TDateTime DateTo = 0;
    TDateKind DateKind = TDateKind::dkOnOrBefore;
    bool operator==(const TSearchPanelSettings&) const = default;
};

// Reads the section; values outside their range read as their defaults,
// unreadable dates as today, a "DateTo" before "DateFrom" as "DateFrom".
// Keys of an older layout are deleted; the returned flag says the file
// should be written back.
TSearchPanelSettings LoadSearchSettings(TIniFile& ini, TDateTime now, bool* oldKeysRemoved = nullptr);
void SaveSearchSettings(TIniFile& ini, const TSearchPanelSettings& settings);

// The conditions of a search started from the panel with this name text.
// showHidden is the browser's setting for hidden files.
TSearchConditions MakeSearchConditions(const TSearchPanelSettings& settings, const std::string& name, bool showHidden,
                                       TDateTime now);

// The panel's texts for an all-shelves and an all-media target.
inline constexpr char AllShelvesText[] = "すべての本棚";
inline constexpr char AllMediaText[] = "すべてのメディア";
// How the target list names a target.
std::string TargetText(const TSearchTargetSpec& target);
// "キャッシュ： yyyy/mm/dd hh:nn", or without a time known "キャッシュ：".
std::string CacheLabelText(TDateTime made);
