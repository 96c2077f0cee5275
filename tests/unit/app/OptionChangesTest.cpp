#include <gtest/gtest.h>

#include <functional>

#include "app/OptionChanges.h"
#include "app/PluginSettings.h"
#include "common/IniFile.h"
#include "support/TempFolder.h"

namespace {

using TFlag = bool TOptionChanges::*;

struct TChangeCase {
    const char* Name;
    std::function<void(TOptions&)> Change;
    std::vector<TFlag> Expected;
};

void PrintTo(const TChangeCase& c, std::ostream* os) { *os << c.Name; }

class OptionChangesTest : public ::testing::TestWithParam<TChangeCase> {};

TEST_P(OptionChangesTest, NamesWhatTheWindowMustApplyAgain)
{
    const TOptions before;
    TOptions after = before;
    GetParam().Change(after);
    TOptionChanges expected;
    for (TFlag flag : GetParam().Expected)
        expected.*flag = true;
    EXPECT_EQ(CompareOptions(before, after), expected);
}

using C = TOptionChanges;

INSTANTIATE_TEST_SUITE_P(
    Groups, OptionChangesTest,
    ::testing::Values(
        TChangeCase{"Nothing", [](TOptions&) {}, {}},
        TChangeCase{"Offset", [](TOptions& o) { o.Picture.Offset = 9; }, {&C::ViewBackground, &C::ViewLayout}},
        TChangeCase{"LoupeStepOnly", [](TOptions& o) { o.Loupe.Change = 10; }, {}},
        TChangeCase{"GridStepOnly", [](TOptions& o) { o.Grid.Change = 2; }, {}},
        TChangeCase{"HiddenFile",
                    [](TOptions& o) { o.List.HiddenFile = false; },
                    {&C::TreeContents, &C::ListBehaviour, &C::ArchiveKinds}},
        TChangeCase{"SizeUnit",
                    [](TOptions& o) { o.FilerView.SizeUnit = TSizeUnit::suBest; },
                    {&C::ListBehaviour, &C::ArchiveKinds}},
        TChangeCase{"CheckSubFolders",
                    [](TOptions& o) { o.Tree.CheckSubFolders = true; },
                    {&C::TreeContents, &C::ListBehaviour}},
        TChangeCase{"CaptionDate", [](TOptions& o) { o.Thumbnail.CaptionDate = true; }, {&C::ThumbnailLook}},
        TChangeCase{"FileCacheSize", [](TOptions& o) { o.Cache.FileCacheSize = 64; }, {&C::Cache}},
        TChangeCase{"AddressBarLowered", [](TOptions& o) { o.Recent.AddressBar = 10; }, {&C::AddressBarShorter}},
        TChangeCase{"AddressBarRaised", [](TOptions& o) { o.Recent.AddressBar = 90; }, {}},
        TChangeCase{"StatusBarPath", [](TOptions& o) { o.Other.FullPath = true; }, {&C::StatusBar}}),
    [](const ::testing::TestParamInfo<TChangeCase>& info) { return info.param.Name; });

}  // namespace

TEST(OptionChanges, ConfirmingWritesTheOptionsButNotThePluginSettings)
{
    TTempFolder temp;
    const std::string path = temp.Write("Mireva.ini", "[PLUGIN]\nSPIPath=/kept/\n");
    TIniFile ini(path);
    TOptions options;
    TPlainPluginSettings plugins;
    plugins.Settings.SPIPath = "/not/written/";
    TOptionLinks links;
    links.Plugins = &plugins;
    TOptions confirmed = options;
    confirmed.AttrColor.Color[0] = MakeColor(0, 0, 0);
    confirmed.ExtColors = {TExtColorEntry{".png", 7, true}};

    const TConfirmResult result = ConfirmOptions(ini, options, confirmed, links);
    EXPECT_TRUE(result.WriteError.empty());
    EXPECT_EQ(result.Changes, TOptionChanges{});
    EXPECT_EQ(options.Derived.HighlightText, MakeColor(191, 191, 191));
    ASSERT_NE(options.Derived.FindExtColor(".png"), nullptr);
    const TIniFile disk(path);
    EXPECT_EQ(disk.ReadString("ATTRCOLOR", "Color_0", ""), "$00000000");
    EXPECT_EQ(disk.ReadString("PLUGIN", "SPIPath", ""), "/kept/");
}

TEST(OptionChanges, AFailedWriteKeepsTheNewOptions)
{
    TTempFolder temp;
    temp.Write("plain", "x");
    TIniFile ini;
    ini.Rename(temp.File("plain/Mireva.ini"), false);
    TOptions options;
    TOptions confirmed;
    confirmed.Cache.ImageCache = false;
    const TConfirmResult result = ConfirmOptions(ini, options, confirmed, {});
    EXPECT_FALSE(result.WriteError.empty());
    EXPECT_TRUE(result.Changes.Cache);
    EXPECT_FALSE(options.Cache.ImageCache);
}
