#include "export/ExportSettings.h"

#include <algorithm>
#include <map>

#include "base/Errors.h"
#include "base/PathUtils.h"
#include "common/Text.h"

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
    TExportSetting setting;
    TExportSettings& out = setting.Export;
    // Rules that do not parse are skipped; the orders follow the rules that
    // remain to their new numbers.
    std::map<int, int> ruleOf;
    const int count = std::max(0, fIni.ReadInteger(section, "DivideCount", 0));
    for (int k = 0; k < count; ++k) {
        const std::optional<std::string> text = fIni.Find(section, "DivideInfo" + IntToStr(k + 1));
        if (!text)
            continue;
        std::optional<TNameDivideInfo> rule = ParseNameDivideInfo(*text, static_cast<int32_t>(out.Rules.size()));
        if (!rule)
            continue;
        ruleOf[k] = static_cast<int>(out.Rules.size());
        out.Rules.push_back(std::move(*rule));
    }
    out.Options.NameDivide = fIni.ReadBool(section, "NameDivide", false);
    std::vector<bool> used(FixedColumnCount + out.Rules.size(), false);
    setting.Available = ReadOrder(fIni.ReadString(section, "SrcOrder", ""), ruleOf, used);
    out.Columns = ReadOrder(fIni.ReadString(section, "DstOrder", ""), ruleOf, used);
    // A fixed column in neither list could never be chosen again.
    for (int column = 0; column < FixedColumnCount; ++column)
        if (!used[static_cast<size_t>(column)])
            setting.Available.push_back(column);
    for (const TOptionKey& key : kOptionKeys)
        out.Options.*(key.Field) = fIni.ReadBool(section, key.Key, key.Default);
    return setting;
}

void TExportSettingsStore::Save(std::optional<std::string_view> name, const TExportSetting& setting)
{
    if (name && !NameAllowed(*name))
        throw EMirevaError(BadNameText);
    const std::string section(name.value_or(LastSettingSection));
    const TExportSettings& in = setting.Export;
    fIni.WriteInteger(section, "DivideCount", static_cast<int32_t>(in.Rules.size()));
    for (size_t k = 0; k < in.Rules.size(); ++k)
        fIni.WriteString(section, "DivideInfo" + IntToStr(static_cast<int64_t>(k) + 1), FormatNameDivideInfo(in.Rules[k]));
    fIni.WriteBool(section, "NameDivide", in.Options.NameDivide);
    fIni.WriteString(section, "SrcOrder", JoinColumns(setting.Available));
    fIni.WriteString(section, "DstOrder", JoinColumns(in.Columns));
    for (const TOptionKey& key : kOptionKeys)
        fIni.WriteBool(section, key.Key, in.Options.*(key.Field));
    fIni.UpdateFile();
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
