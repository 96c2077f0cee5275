#include "app/PluginSettings.h"

#include <algorithm>

#include "common/IniFile.h"
#include "common/Text.h"

namespace {

std::vector<TPluginUseEntry> ReadUseList(const TIniFile& ini, std::string_view section)
{
    std::vector<TPluginUseEntry> list;
    for (const auto& pair : ini.ReadSectionValues(section)) {
        const std::string& name = pair.first;
        const std::string& value = pair.second;
        // The file's keys compare without case, so a repeated name is the
        // same key; the first one counts, as for every other key.
        const bool seen = std::any_of(list.begin(), list.end(),
                                      [&](const TPluginUseEntry& e) { return SameText(e.FileName, name); });
        if (seen)
            continue;
        // An empty or unreadable value leaves the plug-in enabled.
        list.push_back(TPluginUseEntry{name, StrToIntDef(Trim(value), 1) != 0});
    }
    return list;
}

void WriteUseList(TIniFile& ini, std::string_view section, const std::vector<TPluginUseEntry>& list)
{
    ini.ClearSection(section);
    for (const TPluginUseEntry& entry : list) {
        if (TIniFile::IsValidKeyName(entry.FileName))
            ini.WriteBool(section, entry.FileName, entry.Enabled);
    }
}

bool SameUseList(const std::vector<TPluginUseEntry>& a, const std::vector<TPluginUseEntry>& b)
{
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](const TPluginUseEntry& x, const TPluginUseEntry& y) {
        return x.FileName == y.FileName && x.Enabled == y.Enabled;
    });
}

}  // namespace

bool TPluginSettings::operator==(const TPluginSettings& other) const
{
    return std::equal(std::begin(SearchDirs), std::end(SearchDirs), std::begin(other.SearchDirs)) &&
           SPIPath == other.SPIPath && UseBmpSPI == other.UseBmpSPI && MacBinary == other.MacBinary &&
           SameUseList(UseInList, other.UseInList) && SameUseList(UseAmList, other.UseAmList);
}

TPluginSettings ReadPluginSettings(const TIniFile& ini)
{
    TPluginSettings settings;
    settings.SearchDirs[0] = ini.ReadBool(PluginSection, "SearchDirs1", true);
    settings.SearchDirs[1] = ini.ReadBool(PluginSection, "SearchDirs2", false);
    settings.SearchDirs[2] = ini.ReadBool(PluginSection, "SearchDirs3", false);
    settings.SPIPath = ini.ReadString(PluginSection, "SPIPath", "");
    settings.UseBmpSPI = ini.ReadBool(PluginSection, "UseBmpSPI", false);
    settings.MacBinary = ini.ReadBool(PluginSection, "MacBinary", false);
    settings.UseInList = ReadUseList(ini, PluginUseInSection);
    settings.UseAmList = ReadUseList(ini, PluginUseAmSection);
    return settings;
}

void WritePluginSettings(TIniFile& ini, const TPluginSettings& settings)
{
    ini.WriteBool(PluginSection, "SearchDirs1", settings.SearchDirs[0]);
    ini.WriteBool(PluginSection, "SearchDirs2", settings.SearchDirs[1]);
    ini.WriteBool(PluginSection, "SearchDirs3", settings.SearchDirs[2]);
    ini.WriteString(PluginSection, "SPIPath", settings.SPIPath);
    ini.WriteBool(PluginSection, "UseBmpSPI", settings.UseBmpSPI);
    ini.WriteBool(PluginSection, "MacBinary", settings.MacBinary);
    WriteUseList(ini, PluginUseInSection, settings.UseInList);
    WriteUseList(ini, PluginUseAmSection, settings.UseAmList);
}
