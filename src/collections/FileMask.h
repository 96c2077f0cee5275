#pragma once

// File masks limit what the file list and the list of an archive show: a name
// condition (NamePattern.h), optionally a size limit and a date limit. The
// browser window keeps one active TFileMask and asks it about every item the
// list is about to add. The mask dialog's settings, its history of 20
// conditions and the mask kept across restarts live in the section "MASK" of
// the settings file.
//
// Dates compare by calendar day: "on or before" a day takes the whole day.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "collections/NamePattern.h"
#include "common/DateTime.h"

class TIniFile;

enum class TDateSetType : uint8_t { dsMonths, dsDays, dsDates };
enum class TDateKind : uint8_t { dkOnOrBefore, dkOnOrAfter, dkBetween };

struct TFileMaskRec {
    std::string Mask;  // the name condition; "*" and "*.*" are kept as the empty text
    bool UseSize = false;
    int64_t Size = 0;      // bytes (the dialog's KB value times 1024)
    bool AtLeast = true;   // "以上(&O)", else "以下(&U)"
    bool UseDate = false;
    TDateSetType DateSetType = TDateSetType::dsMonths;
    int32_t Months = 1;    // 1 to 100
    int32_t Days = 1;      // 1 to 100
    TDateTime Threshold = 0;  // the earliest day for the past months or days
    TDateTime DateFrom = 0;
    TDateTime DateTo = 0;
    TDateKind DateKind = TDateKind::dkOnOrBefore;

    bool operator==(const TFileMaskRec&) const = default;
};

struct TMaskFlags {
    bool KeepMask = false;        // keep the mask when the list changes folder
    bool SaveMask = false;        // keep it across restarts
    bool ApplyToFolders = true;   // folders are masked too
    bool ApplyToArchives = true;  // lists of archives are masked too

    bool operator==(const TMaskFlags&) const = default;
};

// What the mask needs to know of an item about to be listed.
struct TMaskItem {
    std::string Name;        // the file name (a folder's display name)
    std::string Extension;   // with the dot; for a link the target's
    bool IsDirectory = false;
    bool NoFileData = false; // nothing could be read about it
    bool InArchive = false;  // a member listed inside an archive
    int64_t Size = 0;
    TDateTime Modified = 0;
};

// Today moved back by months (the day kept, or the month's last day), or
// today minus days; the time of day dropped.
TDateTime MaskThreshold(TDateSetType type, int32_t months, int32_t days, TDateTime now);
// The date moved by months, the day clamped to the target month's length.
TDateTime IncMonth(TDateTime date, int32_t months);

class TFileMask {
public:
    // Makes rec and flags active and parses the condition; false (nothing
    // done) when they equal the active ones.
    bool Apply(const TFileMaskRec& rec, const TMaskFlags& flags);
    // Drops the mask; the flags stay.
    void Clear();

    const TFileMaskRec& Rec() const { return fRec; }
    const TMaskFlags& Flags() const { return fFlags; }
    const TNameCondition& Condition() const { return fCondition; }
    // True when a name, size or date condition is in force.
    bool IsActive() const;

    // Whether the list may add the item. viewableOnly: the list shows only
    // pictures and archives, as isViewable (given the upper-case extension)
    // tells.
    bool Accepts(const TMaskItem& item, bool viewableOnly,
                 const std::function<bool(const std::string&)>& isViewable) const;

private:
    TFileMaskRec fRec;
    TMaskFlags fFlags;
    TNameCondition fCondition;
};

// The conditions the mask dialog offers again, newest first, at most 20.
class TMaskHistory {
public:
    static constexpr size_t MaxCount = 20;

    // "Mask1" .. "Mask20" of "MASK"; reading stops at the first empty value.
    void Load(const TIniFile& ini);
    // Writes the history and deletes the keys beyond it.
    void Save(TIniFile& ini) const;
    // Moves a condition to the top (from its old place, or new); "*", "*.*"
    // and the empty condition are not kept.
    void Push(const std::string& condition);

    const std::vector<std::string>& Items() const { return fItems; }

private:
    std::vector<std::string> fItems;
};

// What the mask dialog shows and keeps besides the active mask.
struct TMaskDialogSettings {
    TFileMaskRec Rec;
    TMaskFlags Flags;
    bool Detail = false;  // the detail part is shown
};

// Reads the dialog's settings: sizes outside 0..9999999 KB read as 0, month
// and day counts outside 1..100 as 1, unknown date kinds as the first,
// unreadable dates as today, a "DateTo" before "DateFrom" as "DateFrom".
TMaskDialogSettings LoadMaskSettings(const TIniFile& ini, TDateTime now);
// Writes them as the dialog does on OK: the size keys when the size is used,
// the date keys when the date is used, the flags and "Detail" always.
void SaveMaskSettings(TIniFile& ini, const TMaskDialogSettings& settings);
// At shutdown: the active condition and its size and date switches when the
// mask is kept across restarts, else the empty condition and both off.
void SaveCurrentMask(TIniFile& ini, const TFileMask& mask);
// At start, when "SaveMask" is on: the kept mask with its threshold computed
// anew from now; nothing otherwise.
std::optional<TFileMaskRec> RestoreMask(const TIniFile& ini, TDateTime now);

// Dates as the settings file keeps them: "yyyy/mm/dd".
std::string FormatIniDate(TDateTime date);
std::optional<TDateTime> ParseIniDate(const std::string& text);
