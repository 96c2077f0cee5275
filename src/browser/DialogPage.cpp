#include "browser/DialogPage.h"

#include "common/IniFile.h"

namespace {

constexpr std::string_view PageKey = "Page";

}  // namespace

int ReadDialogPage(const std::string& iniPath, std::string_view section, int pageCount)
{
    const TIniFile ini(iniPath);
    const int32_t page = ini.ReadInteger(section, PageKey, 0);
    return page >= 0 && page < pageCount ? page : 0;
}

void SaveDialogPage(const std::string& iniPath, std::string_view section, int page)
{
    TIniFile ini(iniPath);
    // Closing the dialog on the page it opened with leaves the file alone.
    if (ini.ReadInteger(section, PageKey, -1) == page)
        return;
    ini.WriteInteger(section, PageKey, page);
    ini.UpdateFile();
}
