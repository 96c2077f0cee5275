#include "app/Init.h"

#include <algorithm>
#include <utility>

#include "app/OldSettingsKeys.h"
#include "app/OptionFields.h"
#include "app/PluginSettings.h"
#include "base/Errors.h"
#include "common/IniFile.h"
#include "base/PathUtils.h"
#include "common/Text.h"

namespace {

class TOptionReader final : public TOptionVisitor {
public:
    explicit TOptionReader(const TIniFile& ini) : fIni(ini) {}

    void Ranged(std::string_view section, std::string_view key, int32_t& value, int32_t def, int32_t min,
                int32_t max, int32_t fallback) override
    {
        value = fIni.ReadRanged(section, key, def, min, max, fallback);
    }
    void Integer(std::string_view section, std::string_view key, int32_t& value, int32_t def) override
    {
        value = fIni.ReadInteger(section, key, def);
    }
    void OneOf(std::string_view section, std::string_view key, int32_t& value, int32_t def,
               std::span<const int32_t> allowed, int32_t fallback) override
    {
        const int32_t read = fIni.ReadInteger(section, key, def);
        value = std::find(allowed.begin(), allowed.end(), read) != allowed.end() ? read : fallback;
    }
    void Boolean(std::string_view section, std::string_view key, bool& value, bool def) override
    {
        value = fIni.ReadBool(section, key, def);
    }
    void Color(std::string_view section, std::string_view key, TColor& value, TColor def) override
    {
        value = fIni.ReadColor(section, key, def);
    }
    void Text(std::string_view section, std::string_view key, std::string& value) override
    {
        value = fIni.ReadString(section, key, "");
    }
    void Folder(std::string_view section, std::string_view key, std::string& value) override
    {
        value = fIni.ReadString(section, key, "");
        if (!value.empty())
            value = IncludeTrailingPathDelimiter(value);
    }
    void ExtColorList(std::vector<TExtColorEntry>& entries, TColor def) override
    {
        entries.clear();
        for (const std::string& key : fIni.ReadSection(ExtColorSection)) {
            const bool seen = std::any_of(entries.begin(), entries.end(),
                                          [&](const TExtColorEntry& e) { return SameText(e.Extensions, key); });
            if (seen)
                continue;
            entries.push_back(TExtColorEntry{key, fIni.ReadColor(ExtColorSection, key, def),
                                             fIni.ReadBool(ExtColorUseSection, key, true)});
        }
    }

private:
    const TIniFile& fIni;
};

class TOptionWriter final : public TOptionVisitor {
public:
    // wanted, when given, picks the keys written; the others stay as they are.
    explicit TOptionWriter(TIniFile& ini, TOptionKeyFilter wanted = {}) : fIni(ini), fWanted(std::move(wanted)) {}

    void Ranged(std::string_view section, std::string_view key, int32_t& value, int32_t, int32_t, int32_t,
                int32_t) override
    {
        Integer(section, key, value, 0);
    }
    void Integer(std::string_view section, std::string_view key, int32_t& value, int32_t) override
    {
        if (Wanted(section, key))
            fIni.WriteInteger(section, key, value);
    }
    void OneOf(std::string_view section, std::string_view key, int32_t& value, int32_t, std::span<const int32_t>,
               int32_t) override
    {
        Integer(section, key, value, 0);
    }
    void Boolean(std::string_view section, std::string_view key, bool& value, bool) override
    {
        if (Wanted(section, key))
            fIni.WriteBool(section, key, value);
    }
    void Color(std::string_view section, std::string_view key, TColor& value, TColor) override
    {
        if (Wanted(section, key))
            fIni.WriteColor(section, key, value);
    }
    void Text(std::string_view section, std::string_view key, std::string& value) override
    {
        if (Wanted(section, key))
            fIni.WriteString(section, key, value);
    }
    void Folder(std::string_view section, std::string_view key, std::string& value) override
    {
        Text(section, key, value);
    }
    void ExtColorList(std::vector<TExtColorEntry>& entries, TColor) override
    {
        if (fWanted)
            return;
        // The list is written as a whole, so an entry removed in the options
        // dialog leaves no key behind; the section keeps its place in the file.
        // EXTCOLOR_USE is only overwritten key by key: a stale flag there is
        // never read, because only EXTCOLOR's keys make entries.
        fIni.ClearSection(ExtColorSection);
        for (const TExtColorEntry& entry : entries) {
            if (!TIniFile::IsValidKeyName(entry.Extensions))
                continue;
            fIni.WriteColor(ExtColorSection, entry.Extensions, entry.Color);
            fIni.WriteBool(ExtColorUseSection, entry.Extensions, entry.Use);
        }
    }

private:
    bool Wanted(std::string_view section, std::string_view key) const { return !fWanted || fWanted(section, key); }

    TIniFile& fIni;
    TOptionKeyFilter fWanted;
};

}  // namespace

TLoadOptionsResult LoadOptions(TIniFile& ini, TOptions& options, const TOptionLinks& links, bool writeConversions)
{
    TLoadOptionsResult result;
    result.Converted = ConvertOldOptionKeys(ini);
    result.OldRecentEntries = TakeOldRecentEntries(ini);
    if (!result.OldRecentEntries.empty())
        result.Converted = true;
    TOptionReader reader(ini);
    VisitOptions(reader, options);
    if (links.Filters)
        links.Filters->ReadFilterSection(ini);
    if (result.Converted && writeConversions) {
        // A settings file that cannot be written (a read-only folder, a full
        // disk) must not stop the program from starting: the converted values
        // are in memory and the file is converted again next time.
        try {
            ini.UpdateFile();
            result.Written = true;
        } catch (const EMirevaError& e) {
            result.WriteError = e.what();
        }
    }
    BuildDerivedOptions(options, links.SystemColors);
    if (links.Plugins)
        links.Plugins->SetPluginSettings(ReadPluginSettings(ini));
    return result;
}

void WriteOptions(TIniFile& ini, const TOptions& options, bool withPlugins, const TOptionLinks& links)
{
    TOptionWriter writer(ini);
    // The visitor takes the fields by reference for the reader's sake; the
    // writer walks a copy so the caller's options stay untouched.
    TOptions copy = options;
    VisitOptions(writer, copy);
    if (withPlugins && links.Plugins)
        WritePluginSettings(ini, links.Plugins->PluginSettings());
    if (links.Filters)
        links.Filters->WriteFilterSection(ini);
}

void WriteSomeOptions(TIniFile& ini, const TOptions& options, const TOptionKeyFilter& wanted)
{
    TOptionWriter writer(ini, wanted);
    TOptions copy = options;
    VisitOptions(writer, copy);
}

void SaveOptions(TIniFile& ini, const TOptions& options, bool withPlugins, const TOptionLinks& links)
{
    WriteOptions(ini, options, withPlugins, links);
    ini.UpdateFile();
}

TOptionsDialogState ReadOptionsDialogState(const TIniFile& ini, int32_t pageCount)
{
    TOptionsDialogState state;
    state.Page = ini.ReadRanged("ENV", "Page", 0, 0, std::max(pageCount - 1, 0), 0);
    state.CustomColors = ini.ReadString("ENV", "CustomColors", "");
    return state;
}

void WriteOptionsDialogState(TIniFile& ini, const TOptionsDialogState& state)
{
    ini.WriteInteger("ENV", "Page", state.Page);
    ini.WriteString("ENV", "CustomColors", state.CustomColors);
}
