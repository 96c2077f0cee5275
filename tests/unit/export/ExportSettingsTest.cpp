#include <gtest/gtest.h>

#include "base/Errors.h"
#include "export/ExportSettings.h"
#include "support/TempFolder.h"

namespace {

TEST(ExportSettings, OrdersAreCheckedAndFollowTheRulesRead)
{
    TTempFolder t;
    // Rule 2 does not parse; column 19 (rule 3) becomes 18, 18 (rule 2) and
    // 40 are dropped, a repeated 0 stands once, and the fixed columns in
    // neither list come back as available.
    t.Write("Export.ini", "[Mine]\r\nDivideCount=3\r\nDivideInfo1=A,0,-,,0,1\r\nDivideInfo2=bad\r\n"
                          "DivideInfo3=C,1,_,,1,0\r\nNameDivide=1\r\nSrcOrder=0,17,18,40,x\r\n"
                          "DstOrder=19,0,5\r\nHeader=0\r\nSubFolder=1\r\n");
    TExportSettingsStore store(t.Path());
    EXPECT_TRUE(store.Exists("MINE"));
    EXPECT_FALSE(store.Exists("LastSetting"));
    const TExportSetting setting = store.Load("Mine");
    ASSERT_EQ(setting.Export.Rules.size(), 2u);
    EXPECT_EQ(setting.Export.Rules[1].Name, "C");
    EXPECT_EQ(setting.Export.Rules[1].Index, 1);
    EXPECT_EQ(setting.Export.Columns, (std::vector<int>{18, 5}));
    EXPECT_EQ(setting.Available, (std::vector<int>{0, 17, 1, 2, 3, 4, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16}));
    EXPECT_FALSE(setting.Export.Options.Header);
    EXPECT_TRUE(setting.Export.Options.SubFolder && setting.Export.Options.NameDivide);

    store.Save(std::nullopt, setting);
    EXPECT_EQ(store.Names(), std::vector<std::string>{"Mine"});
    const TExportSetting again = TExportSettingsStore(t.Path()).Load(std::nullopt);
    EXPECT_EQ(again.Available, setting.Available);
    EXPECT_EQ(again.Export.Columns, setting.Export.Columns);
    EXPECT_EQ(again.Export.Rules, setting.Export.Rules);
    EXPECT_EQ(again.Export.Options, setting.Export.Options);
}

TEST(ExportSettings, RulesAreTheNumberedKeysThereUpToTheCount)
{
    // A count far beyond the keys (it once meant two thousand million
    // lookups), a gap in the numbers, numbers not written as the program
    // writes them and keys above the count.
    TIniFile ini;
    ini.LoadFromText("[Big]\nDivideCount=2147483647\nDivideInfo3=C,0,-,,0,0\nDivideInfo1=A,0,-,,0,0\n"
                     "DivideInfo03=X,0,-,,0,0\nDivideInfo0=Y,0,-,,0,0\nDivideInfo+4=Z,0,-,,0,0\nDstOrder=19,17\n"
                     "[Few]\nDivideCount=1\nDivideInfo1=A,0,-,,0,0\nDivideInfo2=B,0,-,,0,0\n");
    const TExportSetting big = ReadExportSetting(ini, "Big");
    ASSERT_EQ(big.Export.Rules.size(), 2u);
    EXPECT_EQ(big.Export.Rules[0].Name, "A");
    EXPECT_EQ(big.Export.Rules[1].Name, "C");
    EXPECT_EQ(big.Export.Rules[1].Index, 1);
    EXPECT_EQ(big.Export.Columns, (std::vector<int>{18, 17}));
    EXPECT_EQ(ReadExportSetting(ini, "Few").Export.Rules.size(), 1u);

    // Delimiter lists ending in an empty piece come back as they were read.
    TIniFile broken;
    broken.LoadFromText("[R]\nDivideCount=2\nDivideInfo1=\"a\rb\",0,-,,0,0\nDivideInfo2=B,0,-\r,,0,0\n");
    for (const TNameDivideInfo& rule : ReadExportSetting(broken, "R").Export.Rules)
        EXPECT_EQ(FormatNameDivideInfo(rule).find_first_of("\r\n"), std::string::npos) << rule.Name;
    for (const char* delimiters : {";", "a;;", ";;"}) {
        TIniFile in;
        in.LoadFromText(std::string("[R]\nDivideCount=1\nDivideInfo1=A,2,") + delimiters + "," + delimiters + ",0,0\n");
        const TExportSetting read = ReadExportSetting(in, "R");
        TIniFile out;
        WriteExportSetting(out, "R", read);
        TIniFile back;
        back.LoadFromText(out.ToText());
        EXPECT_EQ(ReadExportSetting(back, "R").Export.Rules, read.Export.Rules) << delimiters;
    }
}

TEST(ExportSettings, NamesThatCannotBeSectionsAreRefused)
{
    TTempFolder t;
    TExportSettingsStore store(t.Path());
    for (const char* name : {"LastSetting", "lastsetting", "a[b", "a]b", "a=b", "a\nb", "a\rb", " "})
        EXPECT_THROW(store.Save(std::string_view(name), TExportSettingsStore::DefaultSetting()), EMirevaError) << name;
    EXPECT_TRUE(store.Names().empty());
    const TExportSetting fresh = store.Load("none");
    EXPECT_TRUE(fresh.Export.Columns.empty());
    EXPECT_EQ(fresh.Available.size(), 17u);
    EXPECT_TRUE(fresh.Export.Options.Header);
}

}  // namespace
