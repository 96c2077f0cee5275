#include "collections/FileMask.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "common/IniFile.h"
#include "common/Text.h"

namespace {

constexpr char Section[] = "MASK";
constexpr int32_t MaxSizeKb = 9999999;

bool MatchesAll(const std::string& condition)
{
    return condition == "*" || condition == "*.*";
}

int32_t ReadRange(const TIniFile& ini, const char* key, int32_t def, int32_t min, int32_t max, int32_t fallback)
{
    return ini.ReadRanged(Section, key, def, min, max, fallback);
}

TDateTime ReadDate(const TIniFile& ini, const char* key, TDateTime today)
{
    const std::optional<TDateTime> date = ParseIniDate(ini.ReadString(Section, key, ""));
    return date ? *date : today;
}

TDateSetType ToDateSetType(int32_t value)
{
    return value == 1 ? TDateSetType::dsDays : value == 2 ? TDateSetType::dsDates : TDateSetType::dsMonths;
}

TDateKind ToDateKind(int32_t value)
{
    return value == 1 ? TDateKind::dkOnOrAfter : value == 2 ? TDateKind::dkBetween : TDateKind::dkOnOrBefore;
}

// The size and date part of the section, shared by the dialog and the
// restart.
void ReadLimits(const TIniFile& ini, TDateTime now, TFileMaskRec& rec)
{
    const TDateTime today = static_cast<TDateTime>(DateOf(now));
    rec.Size = int64_t(ReadRange(ini, "Size", 0, 0, MaxSizeKb, 0)) * 1024;
    rec.AtLeast = ini.ReadBool(Section, "Over", true);
    rec.DateSetType = ToDateSetType(ini.ReadInteger(Section, "DateSetType", 0));
    rec.Months = ReadRange(ini, "Month", 1, 1, 100, 1);
    rec.Days = ReadRange(ini, "Day", 1, 1, 100, 1);
    rec.DateFrom = ReadDate(ini, "DateFrom", today);
    rec.DateTo = ReadDate(ini, "DateTo", today);
    if (rec.DateTo < rec.DateFrom)
        rec.DateTo = rec.DateFrom;
    rec.DateKind = ToDateKind(ini.ReadInteger(Section, "DateType", 0));
    rec.Threshold = MaskThreshold(rec.DateSetType, rec.Months, rec.Days, now);
}

TMaskFlags ReadFlags(const TIniFile& ini)
{
    TMaskFlags flags;
    flags.KeepMask = ini.ReadBool(Section, "KeepMask", false);
    flags.SaveMask = ini.ReadBool(Section, "SaveMask", false);
    flags.ApplyToFolders = ini.ReadBool(Section, "FolderMask", true);
    flags.ApplyToArchives = ini.ReadBool(Section, "ArchiveMask", true);
    return flags;
}

}  // namespace

TDateTime IncMonth(TDateTime date, int32_t months)
{
    TDateParts parts = DecodeDateTime(date);
    int64_t month = int64_t(parts.Year) * 12 + (parts.Month - 1) + months;
    int year = static_cast<int>(month >= 0 ? month / 12 : (month - 11) / 12);
    parts.Month = static_cast<int>(month - int64_t(year) * 12) + 1;
    parts.Year = std::clamp(year, 1, 9999);
    while (parts.Day > 28 && !IsValidDate(parts.Year, parts.Month, parts.Day))
        --parts.Day;
    return EncodeDateTime(parts);
}

TDateTime MaskThreshold(TDateSetType type, int32_t months, int32_t days, TDateTime now)
{
    const TDateTime today = static_cast<TDateTime>(DateOf(now));
    switch (type) {
    case TDateSetType::dsMonths:
        return IncMonth(today, -months);
    case TDateSetType::dsDays:
        return today - days;
    case TDateSetType::dsDates:
        break;
    }
    return today;
}

// ---- TFileMask ----

bool TFileMask::Apply(const TFileMaskRec& rec, const TMaskFlags& flags)
{
    TFileMaskRec stored = rec;
    if (MatchesAll(Trim(stored.Mask)))
        stored.Mask.clear();
    if (stored == fRec && flags == fFlags)
        return false;
    fRec = std::move(stored);
    fFlags = flags;
    fCondition = fRec.Mask.empty() ? TNameCondition() : TNameCondition::Parse(fRec.Mask);
    fCondition.DropMatchAll();
    return true;
}

void TFileMask::Clear()
{
    fRec = TFileMaskRec();
    fCondition = TNameCondition();
}

bool TFileMask::IsActive() const
{
    return !fCondition.Include().empty() || !fCondition.Exclude().empty() || fRec.UseSize || fRec.UseDate;
}

bool TFileMask::Accepts(const TMaskItem& item, bool viewableOnly,
                        const std::function<bool(const std::string&)>& isViewable) const
{
    // The viewable-only setting holds whether or not a mask is in force.
    if (viewableOnly && !item.IsDirectory) {
        const std::string ext = UpperCase(item.Extension);
        if (ext != ".BMP" && !(isViewable && isViewable(ext)))
            return false;
    }
    if (!IsActive())
        return true;
    if (item.InArchive && !fFlags.ApplyToArchives)
        return true;
    if (item.IsDirectory && !fFlags.ApplyToFolders)
        return true;
    if (item.NoFileData)
        return true;
    if (!fCondition.Matches(item.Name))
        return false;
    if (fRec.UseSize && !item.IsDirectory) {
        if (fRec.AtLeast ? item.Size < fRec.Size : item.Size > fRec.Size)
            return false;
    }
    if (fRec.UseDate) {
        // Whole calendar days: a file of 15:00 on the day asked for is "on"
        // that day, before or after.
        const int64_t day = DateOf(item.Modified);
        if (fRec.DateSetType != TDateSetType::dsDates)
            return day >= DateOf(fRec.Threshold);
        switch (fRec.DateKind) {
        case TDateKind::dkOnOrBefore:
            return day <= DateOf(fRec.DateFrom);
        case TDateKind::dkOnOrAfter:
            return day >= DateOf(fRec.DateFrom);
        case TDateKind::dkBetween:
            return day >= DateOf(fRec.DateFrom) && day <= DateOf(fRec.DateTo);
        }
    }
    return true;
}

// ---- TMaskHistory ----

void TMaskHistory::Load(const TIniFile& ini)
{
    fItems.clear();
    for (size_t n = 1; n <= MaxCount; ++n) {
        const std::string value = ini.ReadString(Section, "Mask" + std::to_string(n), "");
        if (value.empty())
            break;
        fItems.push_back(value);
    }
}

void TMaskHistory::Save(TIniFile& ini) const
{
    for (size_t n = 1; n <= fItems.size(); ++n)
        ini.WriteString(Section, "Mask" + std::to_string(n), fItems[n - 1]);
    // Every numbered key beyond the history goes, also ones a hand-edited
    // file may hold beyond twenty.
    for (const std::string& key : ini.ReadSection(Section)) {
        if (key.size() <= 4 || !StartsText("Mask", key))
            continue;
        const std::optional<int32_t> n = TryStrToInt(key.substr(4));
        if (n && *n > static_cast<int32_t>(fItems.size()))
            ini.DeleteKey(Section, key);
    }
}

void TMaskHistory::Push(const std::string& condition)
{
    const std::string text = Trim(condition);
    if (text.empty() || MatchesAll(text))
        return;
    fItems.erase(std::remove(fItems.begin(), fItems.end(), text), fItems.end());
    fItems.insert(fItems.begin(), text);
    if (fItems.size() > MaxCount)
        fItems.resize(MaxCount);
}

// ---- settings ----

TMaskDialogSettings LoadMaskSettings(const TIniFile& ini, TDateTime now)
{
    TMaskDialogSettings settings;
    ReadLimits(ini, now, settings.Rec);
    settings.Flags = ReadFlags(ini);
    settings.Detail = ini.ReadBool(Section, "Detail", false);
    return settings;
}

void SaveMaskSettings(TIniFile& ini, const TMaskDialogSettings& settings)
{
    const TFileMaskRec& rec = settings.Rec;
    if (rec.UseSize) {
        ini.WriteInteger(Section, "Size", static_cast<int32_t>(std::clamp<int64_t>(rec.Size / 1024, 0, MaxSizeKb)));
        ini.WriteBool(Section, "Over", rec.AtLeast);
    }
    if (rec.UseDate) {
        ini.WriteInteger(Section, "DateSetType", static_cast<int32_t>(rec.DateSetType));
        ini.WriteInteger(Section, "Month", rec.Months);
        ini.WriteInteger(Section, "Day", rec.Days);
        ini.WriteString(Section, "DateFrom", FormatIniDate(rec.DateFrom));
        ini.WriteString(Section, "DateTo", FormatIniDate(rec.DateTo));
        ini.WriteInteger(Section, "DateType", static_cast<int32_t>(rec.DateKind));
    }
    ini.WriteBool(Section, "KeepMask", settings.Flags.KeepMask);
    ini.WriteBool(Section, "SaveMask", settings.Flags.SaveMask);
    ini.WriteBool(Section, "FolderMask", settings.Flags.ApplyToFolders);
    ini.WriteBool(Section, "ArchiveMask", settings.Flags.ApplyToArchives);
    ini.WriteBool(Section, "Detail", settings.Detail);
}

void SaveCurrentMask(TIniFile& ini, const TFileMask& mask)
{
    const bool keep = mask.Flags().SaveMask;
    ini.WriteString(Section, "CurrentMask", keep ? mask.Rec().Mask : std::string());
    ini.WriteBool(Section, "SizeCheck", keep && mask.Rec().UseSize);
    ini.WriteBool(Section, "DateCheck", keep && mask.Rec().UseDate);
}

std::optional<TFileMaskRec> RestoreMask(const TIniFile& ini, TDateTime now)
{
    if (!ini.ReadBool(Section, "SaveMask", false))
        return std::nullopt;
    TFileMaskRec rec;
    rec.Mask = ini.ReadString(Section, "CurrentMask", "");
    if (MatchesAll(Trim(rec.Mask)))
        rec.Mask.clear();
    rec.UseSize = ini.ReadBool(Section, "SizeCheck", true);
    rec.UseDate = ini.ReadBool(Section, "DateCheck", true);
    ReadLimits(ini, now, rec);
    return rec;
}

std::string FormatIniDate(TDateTime date)
{
    const TDateParts parts = DecodeDateTime(date);
    char text[32];
    std::snprintf(text, sizeof text, "%04d/%02d/%02d", parts.Year, parts.Month, parts.Day);
    return text;
}

std::optional<TDateTime> ParseIniDate(const std::string& text)
{
    // "yyyy/mm/dd" as written; "yyyy-mm-dd" and a time after a blank are
    // accepted from hand-edited files.
    int year = 0, month = 0, day = 0;
    char sep1 = 0, sep2 = 0;
    int consumed = 0;
    const std::string t = Trim(text);
    if (std::sscanf(t.c_str(), "%5d%c%2d%c%2d%n", &year, &sep1, &month, &sep2, &day, &consumed) != 5)
        return std::nullopt;
    if (sep1 != sep2 || (sep1 != '/' && sep1 != '-'))
        return std::nullopt;
    if (static_cast<size_t>(consumed) < t.size() && t[static_cast<size_t>(consumed)] != ' ')
        return std::nullopt;
    if (!IsValidDate(year, month, day))
        return std::nullopt;
    TDateParts parts;
    parts.Year = year;
    parts.Month = month;
    parts.Day = day;
    return EncodeDateTime(parts);
}
