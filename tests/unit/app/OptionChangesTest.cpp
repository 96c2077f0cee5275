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

void PrintTo(const TChangeCase& c, std::ostream* os)
{
    *os << c.Name;
}

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
        TChangeCase{"Back", [](TOptions& o) { o.Picture.Back = 1; }, {&C::ViewBackground}},
        TChangeCase{"Offset", [](TOptions& o) { o.Picture.Offset = 9; }, {&C::ViewBackground, &C::ViewLayout}},
        TChangeCase{"Stretch", [](TOptions& o) { o.Picture.Stretch = TStretchKind::skBicubic; }, {&C::ViewLayout}},
        TChangeCase{"SlideShowColor", [](TOptions& o) { o.SlideShow.Color = 5; }, {&C::ViewBackground}},
        TChangeCase{"LoupeScale", [](TOptions& o) { o.Loupe.Scale = 1; }, {&C::Loupe}},
        TChangeCase{"LoupeStepOnly", [](TOptions& o) { o.Loupe.Change = 10; }, {}},
        TChangeCase{"GridInterval", [](TOptions& o) { o.Grid.Interval = 30; }, {&C::Grid}},
        TChangeCase{"GridStepOnly", [](TOptions& o) { o.Grid.Change = 2; }, {}},
        TChangeCase{"FolderText", [](TOptions& o) { o.List.FolderText = 0; }, {&C::ListColors}},
        TChangeCase{"HiddenFile",
                    [](TOptions& o) { o.List.HiddenFile = false; },
                    {&C::TreeContents, &C::ListBehaviour, &C::ArchiveKinds}},
        TChangeCase{"SizeUnit",
                    [](TOptions& o) { o.FilerView.SizeUnit = TSizeUnit::suBest; },
                    {&C::ListBehaviour, &C::ArchiveKinds}},
        TChangeCase{"HorzScroll", [](TOptions& o) { o.Tree.HorzScroll = false; }, {&C::ListBehaviour}},
        TChangeCase{"CheckSubFolders",
                    [](TOptions& o) { o.Tree.CheckSubFolders = true; },
                    {&C::TreeContents, &C::ListBehaviour}},
        TChangeCase{"ArchiveFolder", [](TOptions& o) { o.Archive.Folder = false; }, {&C::ArchiveKinds}},
        TChangeCase{"AllFile", [](TOptions& o) { o.List.AllFile = true; }, {&C::ArchiveKinds}},
        TChangeCase{"ThumbnailPath", [](TOptions& o) { o.Thumbnail.Path = "/t/"; }, {&C::ThumbnailPath}},
        TChangeCase{"CaptionDate", [](TOptions& o) { o.Thumbnail.CaptionDate = true; }, {&C::ThumbnailLook}},
        TChangeCase{"ThumbnailIcon",
                    [](TOptions& o) { o.Thumbnail.Icon = TThumbnailIcon::tiNone; },
                    {&C::ThumbnailLook}},
        TChangeCase{"AllThumbnail", [](TOptions& o) { o.Thumbnail.AllThumbnail = true; }, {&C::AllThumbnail}},
        TChangeCase{"FileCacheSize", [](TOptions& o) { o.Cache.FileCacheSize = 64; }, {&C::Cache}},
        TChangeCase{"SlideShowInterval", [](TOptions& o) { o.SlideShow.Interval = 50; }, {&C::SlideShow}},
        TChangeCase{"RecentFullPath", [](TOptions& o) { o.Recent.FullPath = false; }, {&C::RecentMenu}},
        TChangeCase{"AddressBarLowered", [](TOptions& o) { o.Recent.AddressBar = 10; }, {&C::AddressBarShorter}},
        TChangeCase{"AddressBarRaised", [](TOptions& o) { o.Recent.AddressBar = 90; }, {}},
        TChangeCase{"SearchHistoryLowered",
                    [](TOptions& o) { o.Recent.SearchHistory = 0; },
                    {&C::SearchHistoryShorter}},
        TChangeCase{"SmallIcon", [](TOptions& o) { o.Other.SmallIcon = true; }, {&C::ToolBar}},
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
