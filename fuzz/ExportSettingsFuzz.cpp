// Reads arbitrary bytes as "Export.ini": every section must read as a setting
// whose columns each stand once, in one of the two lists, naming a fixed
// column or a rule that was read, with every fixed column offered. A setting
// read writes back and reads again unchanged.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "common/IniFile.h"
#include "export/ExportSettings.h"
#include "FuzzCheck.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size > MaxFuzzInput)
        return 0;
    TIniFile ini;
    ini.LoadFromText(std::string_view(reinterpret_cast<const char*>(data), size));
    for (const std::string& section : ini.ReadSections()) {
        const TExportSetting setting = ReadExportSetting(ini, section);
        const size_t columns = FixedColumnCount + setting.Export.Rules.size();
        std::vector<int> seen(columns, 0);
        for (const std::vector<int>* list : {&setting.Available, &setting.Export.Columns})
            for (int column : *list) {
                FUZZ_CHECK(column >= 0 && static_cast<size_t>(column) < columns);
                ++seen[static_cast<size_t>(column)];
            }
        for (size_t column = 0; column < columns; ++column)
            FUZZ_CHECK(seen[column] == 1 || (column >= FixedColumnCount && seen[column] == 0));
        for (size_t k = 0; k < setting.Export.Rules.size(); ++k)
            FUZZ_CHECK(setting.Export.Rules[k].Index == static_cast<int32_t>(k));

        TIniFile out;
        WriteExportSetting(out, "Again", setting);
        TIniFile back;
        back.LoadFromText(out.ToText());
        const TExportSetting again = ReadExportSetting(back, "Again");
        FUZZ_CHECK(again.Available == setting.Available);
        FUZZ_CHECK(again.Export.Columns == setting.Export.Columns);
        FUZZ_CHECK(again.Export.Rules == setting.Export.Rules);
        FUZZ_CHECK(again.Export.Options == setting.Export.Options);
    }
    return 0;
}
