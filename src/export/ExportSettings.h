#pragma once

// The export settings the user keeps: any number of named settings in
// "Export.ini" in the data folder, one section each, beside the section
// "LastSetting" that holds the unnamed setting left when the dialog last
// closed. The name of the setting chosen last and the last output file live
// in the settings file's section EXPORT. Reading checks everything: rules
// that do not parse are skipped, and both column orders are cleaned so that
// each column stands once, in one list, naming a rule that exists.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/IniFile.h"
#include "export/FExport.h"
#include "base/Texts.h"

struct TExportSetting {
    std::vector<int> Available;  // the columns offered but not output, in list order
    TExportSettings Export;      // the output columns, rules and options
};

inline constexpr std::string_view LastSettingSection = "LastSetting";

class TExportSettingsStore {
public:
    static constexpr char BadNameText[] = "この名前は設定の名前に使えません  ";

    explicit TExportSettingsStore(const std::string& dataFolder);

    // Every named setting in file order ("LastSetting" not among them).
    std::vector<std::string> Names() const;
    // Names compare without case.
    bool Exists(std::string_view name) const;
    // The named setting, or with no name the last unnamed one; the default
    // setting when there is no such section.
    TExportSetting Load(std::optional<std::string_view> name) const;
    // Writes the setting under name (none: "LastSetting") and saves the file;
    // raises EMirevaError with BadNameText for a name NameAllowed refuses.
    void Save(std::optional<std::string_view> name, const TExportSetting& setting);
    void Delete(std::string_view name);

    // A name is refused when empty, "LastSetting", or holding "[", "]", "="
    // or a line break: the section could not be read back as itself.
    static bool NameAllowed(std::string_view name);
    // The seventeen fixed columns available, none output, only Header on.
    static TExportSetting DefaultSetting();

private:
    TIniFile fIni;
};

// One setting's section, read as Load reads it (the section need not exist)
// and written as Save writes it, without touching the file.
TExportSetting ReadExportSetting(const TIniFile& ini, std::string_view section);
void WriteExportSetting(TIniFile& ini, std::string_view section, const TExportSetting& setting);

// The settings file's section EXPORT.
struct TExportState {
    std::string Selected;      // the named setting chosen last; empty for none
    std::string LastFileName;  // the last output file
    TExportEncoding Encoding = TExportEncoding::eeUtf8;  // "UTF-8" or "CP932"
};
TExportState ReadExportState(const TIniFile& settings);
void WriteExportState(TIniFile& settings, const TExportState& state);
