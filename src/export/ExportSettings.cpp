#include "export/ExportSettings.h"

#include <algorithm>
#include <map>

#include "base/Errors.h"
#include "base/PathUtils.h"
#include "common/Text.h"
#include "base/Texts.h"

namespace {

struct TOptionKey {
    const char* Key;
    bool TExportOptions::*Field;
    bool Default;
};

constexpr TOptionKey kOptionKeys[] = {
    {"Header", &TExportOptions::Header, true},       {"SizeKB", &TExportOptions::SizeKB, false},
    {"SizeGB", &TExportOptions::SizeGB, false},      {"NoFolder", &TExportOptions::NoFolder, false},
    {"NoFile", &TExportOptions::NoFile, false},      {"Selected", &TExportOptions::Selected, false},
    {"SubFolder", &TExportOptions::SubFolder, false},
};

std::string JoinColumns(const std::vector<int>& columns)
{
    std::string out;
    for (size_t i = 0; i < columns.size(); ++i) {
        if (i > 0)
            out += ',';
        out += IntToStr(columns[i]);
    }
    return out;
}

// A stored order: numbers of fixed columns, or of rules as they were stored,
// mapped to the rules as read; anything unknown, or already used, is dropped.
std::vector<int> ReadOrder(const std::string& text, const std::map<int, int>& ruleOf, std::vector<bool>& used)
{
    std::vector<int> columns;
    for (const std::string& piece : SplitString(text, ',')) {
        const std::optional<int32_t> number = TryStrToInt(Trim(piece));
        if (!number || *number < 0)
            continue;
        int column = *number;
        if (column >= FixedColumnCount) {
            const auto it = ruleOf.find(column - FixedColumnCount);
            if (it == ruleOf.end())
                continue;
            column = FixedColumnCount + it->second;
        }
        if (used[static_cast<size_t>(column)])
            continue;
        used[static_cast<size_t>(column)] = true;
        columns.push_back(column);
    }
    return columns;
}

}  // namespace

TExportSettingsStore::TExportSettingsStore(const std::string& dataFolder)
    : fIni(IncludeTrailingPathDelimiter(dataFolder) + "Export.ini")
{
}

std::vector<std::string> TExportSettingsStore::Names() const
{
    std::vector<std::string> names = fIni.ReadSections();
    std::erase_if(names, [](const std::string& name) { return SameText(name, LastSettingSection); });
    return names;
}

bool TExportSettingsStore::Exists(std::string_view name) const
{
    return !SameText(name, LastSettingSection) && fIni.SectionExists(name);
}

bool TExportSettingsStore::NameAllowed(std::string_view name)
{
    if (Trim(name).empty() || SameText(name, LastSettingSection))
        return false;
    return name.find_first_of("[]=\r\n") == std::string_view::npos;
}

TExportSetting TExportSettingsStore::DefaultSetting()
{
    TExportSetting setting;
    for (int column = 0; column < FixedColumnCount; ++column)
        setting.Available.push_back(column);
    return setting;
}

TExportSetting TExportSettingsStore::Load(std::optional<std::string_view> name) const
{
    const std::string section(name.value_or(LastSettingSection));
    if (!fIni.SectionExists(section))
        return DefaultSetting();
    return ReadExportSetting(fIni, section);
}

void TExportSettingsStore::Save(std::optional<std::string_view> name, const TExportSetting& setting)
{
    if (name && !NameAllowed(*name))
        throw EMirevaError(Tx(BadNameText));
    WriteExportSetting(fIni, name.value_or(LastSettingSection), setting);
    fIni.UpdateFile();
}

TExportSetting ReadExportSetting(const TIniFile& ini, std::string_view section)
{
    TExportSetting setting;
    TExportSettings& out = setting.Export;
    // The rules are the keys DivideInfo1 to DivideInfo<DivideCount> that are
    // there: taken from the section's own keys, so that a count far beyond
    // them costs nothing. A key given twice counts as its first line, as
    // every other key does.
    const int32_t count = std::max(0, ini.ReadInteger(section, "DivideCount", 0));
    std::map<int32_t, std::string> texts;
    constexpr std::string_view prefix = "DivideInfo";
    for (const auto& [key, value] : ini.ReadSectionValues(section)) {
        if (key.size() <= prefix.size() || !SameText(std::string_view(key).substr(0, prefix.size()), prefix))
            continue;
        const std::string digits = key.substr(prefix.size());
        const std::optional<int32_t> number = TryStrToInt(digits);
        if (!number || *number < 1 || *number > count || IntToStr(*number) != digits)
            continue;
        texts.emplace(*number, value);
    }
    // Rules that do not parse are skipped; the orders follow the rules that
    // remain to their new numbers.
    std::map<int, int> ruleOf;
    for (const auto& [number, text] : texts) {
        // A rule holding a line break (a lone CR is kept inside a line) could
        // not be written back on one line: it counts as not parsing.
        std::optional<TNameDivideInfo> rule = ParseNameDivideInfo(text, static_cast<int32_t>(out.Rules.size()));
        if (!rule || FormatNameDivideInfo(*rule).find_first_of("\r\n") != std::string::npos)
            continue;
        ruleOf[number - 1] = static_cast<int>(out.Rules.size());
        out.Rules.push_back(std::move(*rule));
    }
    out.Options.NameDivide = ini.ReadBool(section, "NameDivide", false);
    std::vector<bool> used(FixedColumnCount + out.Rules.size(), false);
    setting.Available = ReadOrder(ini.ReadString(section, "SrcOrder", ""), ruleOf, used);
    out.Columns = ReadOrder(ini.ReadString(section, "DstOrder", ""), ruleOf, used);
    // A fixed column in neither list could never be chosen again.
    for (int column = 0; column < FixedColumnCount; ++column)
        if (!used[static_cast<size_t>(column)])
            setting.Available.push_back(column);
    for (const TOptionKey& key : kOptionKeys)
        out.Options.*(key.Field) = ini.ReadBool(section, key.Key, key.Default);
    return setting;
}

void WriteExportSetting(TIniFile& ini, std::string_view section, const TExportSetting& setting)
{
    const TExportSettings& in = setting.Export;
    ini.WriteInteger(section, "DivideCount", static_cast<int32_t>(in.Rules.size()));
    for (size_t k = 0; k < in.Rules.size(); ++k)
        ini.WriteString(section, "DivideInfo" + IntToStr(static_cast<int64_t>(k) + 1), FormatNameDivideInfo(in.Rules[k]));
    ini.WriteBool(section, "NameDivide", in.Options.NameDivide);
    ini.WriteString(section, "SrcOrder", JoinColumns(setting.Available));
    ini.WriteString(section, "DstOrder", JoinColumns(in.Columns));
    for (const TOptionKey& key : kOptionKeys)
        ini.WriteBool(section, key.Key, in.Options.*(key.Field));
}

void TExportSettingsStore::Delete(std::string_view name)
{
    if (!Exists(name))
        return;
    fIni.EraseSection(name);
    fIni.UpdateFile();
}

TExportState ReadExportState(const TIniFile& settings)
{
    TExportState state{settings.ReadString("EXPORT", "Selected", ""), settings.ReadString("EXPORT", "FileName", "")};
    if (SameText(settings.ReadString("EXPORT", "Encoding", ""), "CP932"))
        state.Encoding = TExportEncoding::eeCp932;
    return state;
}

void WriteExportState(TIniFile& settings, const TExportState& state)
{
    settings.WriteString("EXPORT", "Selected", state.Selected);
    settings.WriteString("EXPORT", "FileName", state.LastFileName);
    settings.WriteString("EXPORT", "Encoding", state.Encoding == TExportEncoding::eeCp932 ? "CP932" : "UTF-8");
}
