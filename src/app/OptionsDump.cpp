#include "app/OptionsDump.h"

#include "app/Init.h"
#include "app/OptionFields.h"
#include "app/PluginSettings.h"
#include "common/IniFile.h"
#include "common/Text.h"

namespace {

class TOptionPrinter final : public TOptionVisitor {
public:
    explicit TOptionPrinter(std::string& out) : fOut(out) {}

    void Line(std::string_view section, std::string_view key, std::string_view value)
    {
        fOut.append(section).append(".").append(key).append("=").append(value).append("\n");
    }

    void Ranged(std::string_view section, std::string_view key, int32_t& value, int32_t, int32_t, int32_t,
                int32_t) override
    {
        Line(section, key, IntToStr(value));
    }
    void Integer(std::string_view section, std::string_view key, int32_t& value, int32_t) override
    {
        Line(section, key, IntToStr(value));
    }
    void OneOf(std::string_view section, std::string_view key, int32_t& value, int32_t, std::span<const int32_t>,
               int32_t) override
    {
        Line(section, key, IntToStr(value));
    }
    void Boolean(std::string_view section, std::string_view key, bool& value, bool) override
    {
        Line(section, key, value ? "1" : "0");
    }
    void Color(std::string_view section, std::string_view key, TColor& value, TColor) override
    {
        Line(section, key, TIniFile::FormatColor(value));
    }
    void Text(std::string_view section, std::string_view key, std::string& value) override
    {
        Line(section, key, value);
    }
    void Folder(std::string_view section, std::string_view key, std::string& value) override
    {
        Line(section, key, value);
    }
    void ExtColorList(std::vector<TExtColorEntry>& entries, TColor) override
    {
        for (const TExtColorEntry& entry : entries)
            Line(ExtColorSection, entry.Extensions, TIniFile::FormatColor(entry.Color));
        for (const TExtColorEntry& entry : entries)
            Line(ExtColorUseSection, entry.Extensions, entry.Use ? "1" : "0");
    }

private:
    std::string& fOut;
};

}  // namespace

std::string DumpOptions(const TOptions& options, const TPluginSettings* plugins)
{
    std::string out;
    TOptionPrinter printer(out);
    TOptions copy = options;
    VisitOptions(printer, copy);
    if (plugins) {
        printer.Line(PluginSection, "SearchDirs1", plugins->SearchProgramFolder ? "1" : "0");
        printer.Line(PluginSection, "SearchDirs2", plugins->SearchSusieFolder ? "1" : "0");
        printer.Line(PluginSection, "SearchDirs3", plugins->SearchPluginPath ? "1" : "0");
        printer.Line(PluginSection, "SPIPath", plugins->SPIPath);
        printer.Line(PluginSection, "UseBmpSPI", plugins->UseBmpSPI ? "1" : "0");
        printer.Line(PluginSection, "MacBinary", plugins->MacBinary ? "1" : "0");
        for (const TPluginUseEntry& entry : plugins->UseInList)
            printer.Line(PluginUseInSection, entry.FileName, entry.Enabled ? "1" : "0");
        for (const TPluginUseEntry& entry : plugins->UseAmList)
            printer.Line(PluginUseAmSection, entry.FileName, entry.Enabled ? "1" : "0");
    }

    const TDerivedOptions& derived = options.Derived;
    out += "derived.HighlightText=" + TIniFile::FormatColor(derived.HighlightText) + "\n";
    out += "derived.AttrColorOrder=";
    for (size_t i = 0; i < derived.AttrColors.size(); ++i) {
        if (i > 0)
            out += ',';
        out += IntToStr(static_cast<int>(derived.AttrColors[i].Attribute));
    }
    out += "\n";
    // Table extensions start with their dot: "derived.ExtColor.JPG=...".
    for (const TExtColorItem& item : derived.ExtColors)
        out += "derived.ExtColor" + item.Extension + "=" + TIniFile::FormatColor(item.Color) + "\n";
    return out;
}
