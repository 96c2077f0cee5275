#include "collections/SearchSettings.h"

#include <algorithm>

#include "common/IniFile.h"
#include "common/Text.h"
#include "base/Texts.h"

namespace {

constexpr int32_t MaxSizeKb = 9999999;

bool IsNumberedKey(const std::string& key, std::string_view prefix)
{
    if (key.size() <= prefix.size() || !StartsText(prefix, key))
        return false;
    return TryStrToInt(key.substr(prefix.size())).has_value();
}

TDateTime ReadDate(const TIniFile& ini, const char* key, TDateTime today)
{
    const std::optional<TDateTime> date = ParseIniDate(ini.ReadString(SearchSection, key, ""));
    return date ? *date : today;
}

}  // namespace

// ---- TSearchHistory ----

void TSearchHistory::Load(const TIniFile& ini, int maxCount)
{
    fItems.clear();
    for (int n = 1; n <= maxCount; ++n) {
        std::string value = ini.ReadString(SearchSection, "Name" + std::to_string(n), "");
        if (value.empty())
            break;
        fItems.push_back(std::move(value));
    }
}

void TSearchHistory::Save(TIniFile& ini) const
{
    for (size_t n = 1; n <= fItems.size(); ++n)
        ini.WriteString(SearchSection, "Name" + std::to_string(n), fItems[n - 1]);
    for (const std::string& key : ini.ReadSection(SearchSection)) {
        if (IsNumberedKey(key, "Name") && *TryStrToInt(key.substr(4)) > static_cast<int32_t>(fItems.size()))
            ini.DeleteKey(SearchSection, key);
    }
}

void TSearchHistory::Push(const std::string& name, int maxCount)
{
    const std::string text = Trim(name);
    if (text.empty())
        return;
    fItems.erase(std::remove(fItems.begin(), fItems.end(), text), fItems.end());
    fItems.insert(fItems.begin(), text);
    if (fItems.size() > static_cast<size_t>(std::max(maxCount, 0)))
        fItems.resize(static_cast<size_t>(std::max(maxCount, 0)));
}

// ---- The section ----

TSearchPanelSettings LoadSearchSettings(TIniFile& ini, TDateTime now, bool* oldKeysRemoved)
{
    const TDateTime today = static_cast<TDateTime>(DateOf(now));
    TSearchPanelSettings s;
    s.Fix = ini.ReadBool(SearchSection, "Fix", false);
    if (s.Fix) {
        for (int n = 1;; ++n) {
            const std::string number = std::to_string(n);
            if (!ini.ValueExists(SearchSection, "Target" + number))
                break;
            TSearchTargetSpec target;
            target.Name = ini.ReadString(SearchSection, "Target" + number, "");
            const int32_t kind = ini.ReadInteger(SearchSection, "TargetKind" + number, 0);
            target.Kind = kind == 1 ? TSearchTargetKind::tkShelf
                          : kind == 2 ? TSearchTargetKind::tkMedium
                                      : TSearchTargetKind::tkFolder;
            target.Enabled = ini.ReadBool(SearchSection, "TargetCheck" + number, true);
            s.Targets.push_back(std::move(target));
        }
    }
    s.Detail = ini.ReadBool(SearchSection, "Detail", false);
    s.SubFolder = ini.ReadBool(SearchSection, "SubFolder", false);
    s.NoFolder = ini.ReadBool(SearchSection, "NoFolder", false);
    s.NoFile = ini.ReadBool(SearchSection, "NoFile", false);
    s.HasSearched = ini.ReadBool(SearchSection, "HasSearched", false);
    s.Cache = ini.ReadBool(SearchSection, "Cache", false);
    s.SaveCache = ini.ReadBool(SearchSection, "SaveCache", false);
    s.CheckSize = ini.ReadBool(SearchSection, "CheckSize", false);
    s.CheckDate = ini.ReadBool(SearchSection, "CheckDate", false);
    const int32_t size = ini.ReadInteger(SearchSection, "Size", 0);
    s.SizeKb = size >= 0 && size <= MaxSizeKb ? size : 0;
    s.SizeAtLeast = ini.ReadBool(SearchSection, "SizeKind", true);
    const int32_t setType = ini.ReadInteger(SearchSection, "DateSetType", 0);
    s.DateSetType = setType == 1 ? TDateSetType::dsDays : setType == 2 ? TDateSetType::dsDates : TDateSetType::dsMonths;
    const int32_t months = ini.ReadInteger(SearchSection, "Month", 1);
    s.Months = months >= 1 && months <= 100 ? months : 1;
    const int32_t days = ini.ReadInteger(SearchSection, "Day", 1);
    s.Days = days >= 1 && days <= 100 ? days : 1;
    s.DateFrom = ReadDate(ini, "DateFrom", today);
    s.DateTo = std::max(ReadDate(ini, "DateTo", today), s.DateFrom);
    const int32_t dateType = ini.ReadInteger(SearchSection, "DateType", 0);
    s.DateKind = dateType == 1 ? TDateKind::dkOnOrAfter : dateType == 2 ? TDateKind::dkBetween : TDateKind::dkOnOrBefore;

    bool removed = false;
    for (const std::string& key : ini.ReadSection(SearchSection)) {
        if (IsNumberedKey(key, "Folder") || IsNumberedKey(key, "Shelf") || IsNumberedKey(key, "Media") ||
            SameText(key, "AllShelf") || SameText(key, "AllMedia") || SameText(key, "FixFolder") ||
            SameText(key, "Kind")) {
            ini.DeleteKey(SearchSection, key);
            removed = true;
        }
    }
    if (oldKeysRemoved)
        *oldKeysRemoved = removed;
    return s;
}

void SaveSearchSettings(TIniFile& ini, const TSearchPanelSettings& s)
{
    for (const std::string& key : ini.ReadSection(SearchSection)) {
        if (IsNumberedKey(key, "Target") || IsNumberedKey(key, "TargetKind") || IsNumberedKey(key, "TargetCheck"))
            ini.DeleteKey(SearchSection, key);
    }
    ini.WriteBool(SearchSection, "Fix", s.Fix);
    if (s.Fix) {
        for (size_t i = 0; i < s.Targets.size(); ++i) {
            const std::string number = std::to_string(i + 1);
            ini.WriteString(SearchSection, "Target" + number, s.Targets[i].Name);
            ini.WriteInteger(SearchSection, "TargetKind" + number, static_cast<int32_t>(s.Targets[i].Kind));
            ini.WriteBool(SearchSection, "TargetCheck" + number, s.Targets[i].Enabled);
        }
    }
    ini.WriteBool(SearchSection, "Detail", s.Detail);
    ini.WriteBool(SearchSection, "SubFolder", s.SubFolder);
    ini.WriteBool(SearchSection, "NoFolder", s.NoFolder);
    ini.WriteBool(SearchSection, "NoFile", s.NoFile);
    ini.WriteBool(SearchSection, "HasSearched", s.HasSearched);
    ini.WriteBool(SearchSection, "Cache", s.Cache);
    ini.WriteBool(SearchSection, "SaveCache", s.SaveCache);
    ini.WriteBool(SearchSection, "CheckSize", s.CheckSize);
    ini.WriteBool(SearchSection, "CheckDate", s.CheckDate);
    ini.WriteInteger(SearchSection, "Size", s.SizeKb);
    ini.WriteBool(SearchSection, "SizeKind", s.SizeAtLeast);
    ini.WriteInteger(SearchSection, "DateSetType", static_cast<int32_t>(s.DateSetType));
    ini.WriteInteger(SearchSection, "Month", s.Months);
    ini.WriteInteger(SearchSection, "Day", s.Days);
    ini.WriteString(SearchSection, "DateFrom", FormatIniDate(s.DateFrom));
    ini.WriteString(SearchSection, "DateTo", FormatIniDate(s.DateTo));
    ini.WriteInteger(SearchSection, "DateType", static_cast<int32_t>(s.DateKind));
}

TSearchConditions MakeSearchConditions(const TSearchPanelSettings& s, const std::string& name, bool showHidden,
                                       TDateTime now)
{
    TSearchConditions c;
    const std::string text = Trim(name);
    c.Limits.Mask = text.empty() ? "*" : text;
    c.Limits.UseSize = s.CheckSize;
    c.Limits.AtLeast = s.SizeAtLeast;
    c.Limits.Size = int64_t(s.SizeKb) * 1024;
    c.Limits.UseDate = s.CheckDate;
    c.Limits.DateSetType = s.DateSetType;
    c.Limits.Months = s.Months;
    c.Limits.Days = s.Days;
    c.Limits.Threshold = MaskThreshold(s.DateSetType, s.Months, s.Days, now);
    c.Limits.DateFrom = s.DateFrom;
    c.Limits.DateTo = s.DateTo;
    c.Limits.DateKind = s.DateKind;
    c.Subfolders = s.SubFolder;
    c.TakeFolders = !s.NoFolder;
    c.TakeFiles = !s.NoFile;
    c.TakeHidden = showHidden;
    return c;
}

std::string TargetText(const TSearchTargetSpec& target)
{
    if (!target.Name.empty())
        return target.Name;
    switch (target.Kind) {
    case TSearchTargetKind::tkShelf:
        return Tx(AllShelvesText);
    case TSearchTargetKind::tkMedium:
        return Tx(AllMediaText);
    default:
        return {};
    }
}

std::string CacheLabelText(TDateTime made)
{
    const std::string label = Tx("キャッシュ：");
    if (made <= 0)
        return label;
    // "yyyy/mm/dd hh:nn:ss" without the seconds.
    const std::string time = FormatDateTime(made);
    return label + " " + time.substr(0, std::min<size_t>(time.size(), 16));
}
