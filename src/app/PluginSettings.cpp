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

}  // namespace

TPluginSettings ReadPluginSettings(const TIniFile& ini)
{
    TPluginSettings settings;
    settings.SearchProgramFolder = ini.ReadBool(PluginSection, "SearchDirs1", true);
    settings.SearchSusieFolder = ini.ReadBool(PluginSection, "SearchDirs2", false);
    settings.SearchPluginPath = ini.ReadBool(PluginSection, "SearchDirs3", false);
    settings.SPIPath = ini.ReadString(PluginSection, "SPIPath", "");
    settings.UseBmpSPI = ini.ReadBool(PluginSection, "UseBmpSPI", false);
    settings.MacBinary = ini.ReadBool(PluginSection, "MacBinary", false);
    settings.UseInList = ReadUseList(ini, PluginUseInSection);
    settings.UseAmList = ReadUseList(ini, PluginUseAmSection);
    return settings;
}

void WritePluginSettings(TIniFile& ini, const TPluginSettings& settings)
{
    ini.WriteBool(PluginSection, "SearchDirs1", settings.SearchProgramFolder);
    ini.WriteBool(PluginSection, "SearchDirs2", settings.SearchSusieFolder);
    ini.WriteBool(PluginSection, "SearchDirs3", settings.SearchPluginPath);
    ini.WriteString(PluginSection, "SPIPath", settings.SPIPath);
    ini.WriteBool(PluginSection, "UseBmpSPI", settings.UseBmpSPI);
    ini.WriteBool(PluginSection, "MacBinary", settings.MacBinary);
    WriteUseList(ini, PluginUseInSection, settings.UseInList);
    WriteUseList(ini, PluginUseAmSection, settings.UseAmList);
}
