#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>

#include "app/Init.h"
#include "app/OptionFields.h"
#include "app/OptionsDump.h"
#include "app/PluginSettings.h"
#include "common/IniFile.h"
#include "common/Text.h"
#include "support/TempFolder.h"

namespace {

// Every option with its default, in the order of the settings file, as the
// tables of the settings file give them.
const char* const DefaultDump = R"(PICTURE.Stretch=4
PICTURE.Back=$00000000
PICTURE.Offset=5
PICTURE.Center=0
PICTURE.ScalingRatio=25
PICTURE.RatioChange=0
PICTURE.SeekToRight=0
PICTURE.AllSpread=0
PICTURE.FirstImage=0
PICTURE.FullScreen=0
PICTURE.SlideShow=0
PICTURE.SelectList=1
PICTURE.MaxMegapixels=512
PICTURE.ReducedMegapixels=64
SCROLL.ScrollAnimate=0
SCROLL.AnimateSpeed=2000
SCROLL.PageScrollByRatio=1
SCROLL.PageScrollRatio=100
SCROLL.PageScrollQuantity=300
SCROLL.PageScrollMove=1
SCROLL.PageScrollMoveCommand=0
SCROLL.PageScrollOpposite=1
SCROLL.PageScrollOverLap=50
SCROLL.LineScrollByRatio=0
SCROLL.LineScrollRatio=10
SCROLL.LineScrollQuantity=10
SCROLL.LineScrollMove=0
SCROLL.LineScrollMoveCommand=0
SCROLL.LineScrollOpposite=0
SCROLL.LineScrollOverLap=0
SCROLL.DragScrollQuantity=1
MOUSE.WheelCount=0
MOUSE.EdgeWheelCount=0
MOUSE.HideCursor=0
MOUSE.HideImage=0
MOUSE.HideFullScreen=0
MOUSE.HideMotionless=0
MOUSE.MotionlessTime=30
FULLSCREEN.MouseMoveShow=1
FULLSCREEN.DisableShowBar=0
FULLSCREEN.CloseFullScreen=1
FULLSCREEN.NoScreenSave=0
GRID.Color=$00FF0000
GRID.Center=$000000FF
GRID.Interval=20
GRID.Change=5
LOUPE.Size=200
LOUPE.Scale=4
LOUPE.Change=50
LOUPE.Hook=0
LOUPE.Confine=0
MOVE.MoveByRatio=1
MOVE.MoveRatio=10
MOVE.MoveCount=10
MOVE.LastFileMove=0
MOVE.LastToSubFolder=1
CACHE.ImageCache=1
CACHE.NextCount=1
CACHE.PriorCount=1
CACHE.FileCache=1
CACHE.FileCacheSize=10
SLIDESHOW.Command=0
SLIDESHOW.Interval=10
SLIDESHOW.Color=$00000000
LIST.AutoRefresh=1
LIST.HiddenFile=1
LIST.AllFile=0
LIST.ContextMenu=1
LIST.ClickRename=1
LIST.NoChangeExt=0
LIST.AddExt=0
LIST.DelNoDialog=0
LIST.UndoDelete=1
LIST.IncSearch=0
LIST.NoDragFile=0
LIST.FirstSelect=1
LIST.OpenFolder=0
LIST.OpenFolderLimit=0
LIST.OpenArchive=1
LIST.OpenArchiveLimit=0
LIST.OpenImageType=0
LIST.FileColor=$FF000005
LIST.FileText=$FF000008
LIST.ArchiveColor=$00FAECDC
LIST.ArchiveText=$FF000008
LIST.SearchColor=$00DCFAF9
LIST.SearchText=$FF000008
LIST.FolderColor=$FF000005
LIST.FolderText=$FF000008
LIST.GridList=0
FILERVIEW.SizeUnit=0
FILERVIEW.ExtTypeName=0
ARCHIVE.Folder=1
ARCHIVE.OpenSubFolder=1
TREE.ArchiveNode=1
TREE.AutoCollapse=0
TREE.CheckSubFolders=0
TREE.HorzScroll=1
THUMBNAIL.Width=80
THUMBNAIL.Height=80
THUMBNAIL.Stretch=3
THUMBNAIL.Icon=0
THUMBNAIL.AllThumbnail=0
THUMBNAIL.CaptionName=1
THUMBNAIL.CaptionComment=0
THUMBNAIL.CaptionSize=0
THUMBNAIL.CaptionDate=0
THUMBNAIL.CaptionImage=0
THUMBNAIL.Scroll=0
THUMBNAIL.Save=2
THUMBNAIL.Path=
ATTRCOLOR.Use_0=1
ATTRCOLOR.Color_0=$000000FF
ATTRCOLOR.Use_1=0
ATTRCOLOR.Color_1=$FF000008
ATTRCOLOR.Use_2=0
ATTRCOLOR.Color_2=$FF000008
ATTRCOLOR.Use_3=0
ATTRCOLOR.Color_3=$FF000008
ATTRCOLOR.Use_4=0
ATTRCOLOR.Color_4=$FF000008
ATTRCOLOR.Use_5=0
ATTRCOLOR.Color_5=$FF000008
ATTRCOLOR.Use_6=0
ATTRCOLOR.Color_6=$FF000008
RECENT.Count=10
RECENT.View=10
RECENT.FullPath=1
RECENT.ExceptLast=0
RECENT.BackCount=200
RECENT.BackView=20
RECENT.AddressBar=50
RECENT.SelectDir=50
RECENT.SearchHistory=50
INITIALIZE.InitDirType=0
INITIALIZE.LastImage=0
INITIALIZE.InitPath=
INITIALIZE.InitShelf=
OTHER.CaptionType=1
OTHER.SmallIcon=0
OTHER.FullPath=0
OTHER.MinimizeTray=0
PLUGIN.SearchDirs1=1
PLUGIN.SearchDirs2=0
PLUGIN.SearchDirs3=0
PLUGIN.SPIPath=
PLUGIN.UseBmpSPI=0
PLUGIN.MacBinary=0
derived.HighlightText=$008686FF
derived.AttrColorOrder=0
)";

struct TLoaded {
    TOptions Options;
    TPlainPluginSettings Plugins;
    TLoadOptionsResult Result;
};

TLoaded LoadText(std::string_view text)
{
    TLoaded loaded;
    TIniFile ini;
    ini.LoadFromText(text);
    TOptionLinks links;
    links.Plugins = &loaded.Plugins;
    loaded.Result = LoadOptions(ini, loaded.Options, links);
    return loaded;
}

std::string Dump(const TLoaded& loaded)
{
    return DumpOptions(loaded.Options, &loaded.Plugins.Settings);
}

std::vector<std::string> Lines(const std::string& text)
{
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

}  // namespace

TEST(Options, AnEmptyFileGivesEveryDefault)
{
    const TLoaded loaded = LoadText("");
    EXPECT_EQ(Dump(loaded), DefaultDump);
    // The struct's own initial values agree with what loading gives.
    TOptions expected;
    BuildDerivedOptions(expected);
    EXPECT_EQ(loaded.Options, expected);
    EXPECT_EQ(loaded.Plugins.Settings, TPluginSettings{});
    EXPECT_FALSE(loaded.Result.Converted);
}

struct TReadCase {
    const char* Name;
    const char* File;
    const char* ExpectedLine;
};

void PrintTo(const TReadCase& c, std::ostream* os) { *os << c.Name; }


class OptionReadTest : public ::testing::TestWithParam<TReadCase> {};

TEST_P(OptionReadTest, ReadsAsTabled)
{
    const std::vector<std::string> lines = Lines(Dump(LoadText(GetParam().File)));
    const std::string expected = GetParam().ExpectedLine;
    const std::string key = expected.substr(0, expected.find('=') + 1);
    std::string found;
    for (const std::string& line : lines) {
        if (line.rfind(key, 0) == 0)
            found = line;
    }
    EXPECT_EQ(found, expected);
}

INSTANTIATE_TEST_SUITE_P(
    Options, OptionReadTest,
    ::testing::Values(
        TReadCase{"StretchOutOfRangeFallsBackToThree", "[PICTURE]\nStretch=7\n", "PICTURE.Stretch=3"},
        TReadCase{"StretchNoNumberIsTheDefault", "[PICTURE]\nStretch=fast\n", "PICTURE.Stretch=4"},
        TReadCase{"OffsetUpperBound", "[PICTURE]\nOffset=100\n", "PICTURE.Offset=100"},
        TReadCase{"OffsetAboveRange", "[PICTURE]\nOffset=101\n", "PICTURE.Offset=5"},
        TReadCase{"ScalingRatioZero", "[PICTURE]\nScalingRatio=0\n", "PICTURE.ScalingRatio=25"},
        TReadCase{"NamesWithoutCase", "[picture]\nscalingratio=60\n", "PICTURE.ScalingRatio=60"},
        TReadCase{"AnimateSpeedBelow", "[SCROLL]\nAnimateSpeed=99\n", "SCROLL.AnimateSpeed=2000"},
        TReadCase{"MoveCommandOutOfRange", "[SCROLL]\nLineScrollMoveCommand=4\n", "SCROLL.LineScrollMoveCommand=0"},
        TReadCase{"WheelCountUnchecked", "[MOUSE]\nWheelCount=-5\n", "MOUSE.WheelCount=-5"},
        TReadCase{"GridIntervalBelow", "[GRID]\nInterval=1\n", "GRID.Interval=20"},
        TReadCase{"GridColorUnreadable", "[GRID]\nColor=blue\n", "GRID.Color=$00FF0000"},
        TReadCase{"LoupeScaleNine", "[LOUPE]\nScale=9\n", "LOUPE.Scale=4"},
        TReadCase{"LastFileMoveFive", "[MOVE]\nLastFileMove=5\n", "MOVE.LastFileMove=0"},
        TReadCase{"SlideShowColourFollowsBack", "[PICTURE]\nBack=$00123456\n", "SLIDESHOW.Color=$00123456"},
        TReadCase{"SlideShowColourUnreadable", "[PICTURE]\nBack=$00123456\n[SLIDESHOW]\nColor=x\n",
                  "SLIDESHOW.Color=$00123456"},
        TReadCase{"SystemColourKept", "[LIST]\nArchiveText=$FF000005\n", "LIST.ArchiveText=$FF000005"},
        TReadCase{"TruthMinusOne", "[LIST]\nGridList=-1\n", "LIST.GridList=1"},
        TReadCase{"TruthUnreadable", "[TREE]\nHorzScroll=no\n", "TREE.HorzScroll=1"},
        TReadCase{"IconTwoIsLarge", "[THUMBNAIL]\nIcon=2\n", "THUMBNAIL.Icon=0"},
        TReadCase{"IconNone", "[THUMBNAIL]\nIcon=65535\n", "THUMBNAIL.Icon=65535"},
        TReadCase{"ThumbnailWidthZero", "[THUMBNAIL]\nWidth=0\n", "THUMBNAIL.Width=80"},
        TReadCase{"ThumbnailHeightHuge", "[THUMBNAIL]\nHeight=100000\n", "THUMBNAIL.Height=80"},
        TReadCase{"ThumbnailWidthOutsideDialog", "[THUMBNAIL]\nWidth=40\n", "THUMBNAIL.Width=40"},
        TReadCase{"ThumbnailPathGetsSeparator", "[THUMBNAIL]\nPath=/data/thumbs\n", "THUMBNAIL.Path=/data/thumbs/"},
        TReadCase{"AttrColourFollowsFileText", "[LIST]\nFileText=$00ABCDEF\n", "ATTRCOLOR.Color_3=$00ABCDEF"},
        TReadCase{"OpenedImageColourOwnDefault", "[LIST]\nFileText=$00ABCDEF\n", "ATTRCOLOR.Color_0=$000000FF"},
        TReadCase{"RecentViewFallsBackToCount", "[RECENT]\nCount=30\nView=500\n", "RECENT.View=30"},
        TReadCase{"RecentViewAbsent", "[RECENT]\nCount=30\n", "RECENT.View=10"},
        TReadCase{"RecentCountAbove", "[RECENT]\nCount=1001\n", "RECENT.Count=10"},
        TReadCase{"InitShelfText", "[INITIALIZE]\nInitShelf=漫画 の 棚\n", "INITIALIZE.InitShelf=漫画 の 棚"},
        TReadCase{"PluginTruth", "[PLUGIN]\nSearchDirs1=0\nMacBinary=-1\n", "PLUGIN.MacBinary=1"},
        TReadCase{"PluginUseEmptyValueIsEnabled", "[PLUGIN_USE_IN]\nifjpeg.spi=\n", "PLUGIN_USE_IN.ifjpeg.spi=1"},
        TReadCase{"PluginUseOff", "[PLUGIN_USE_AM]\naxzip.spi=0\n", "PLUGIN_USE_AM.axzip.spi=0"}),
    [](const ::testing::TestParamInfo<TReadCase>& info) { return info.param.Name; });

namespace {

// Gives every option a value other than its default (and other than the
// value before), so that a round trip shows every key being written and read.
class TOptionScrambler final : public TOptionVisitor {
public:
    int Counter = 0;

    void Ranged(std::string_view, std::string_view, int32_t& value, int32_t def, int32_t min, int32_t max,
                int32_t) override
    {
        ++Counter;
        value = def != max ? max : min;
    }
    void Integer(std::string_view, std::string_view, int32_t& value, int32_t def) override
    {
        value = def + 7 + ++Counter;
    }
    void OneOf(std::string_view, std::string_view, int32_t& value, int32_t def, std::span<const int32_t> allowed,
               int32_t) override
    {
        ++Counter;
        value = allowed.back() != def ? allowed.back() : allowed.front();
    }
    void Boolean(std::string_view, std::string_view, bool& value, bool def) override
    {
        ++Counter;
        value = !def;
    }
    void Color(std::string_view, std::string_view, TColor& value, TColor) override
    {
        value = MakeColor(static_cast<uint8_t>(++Counter), 0x5A, 0xC3);
    }
    void Text(std::string_view, std::string_view, std::string& value) override
    {
        value = "設定 " + IntToStr(++Counter) + " ; = [x]";
    }
    void Folder(std::string_view, std::string_view, std::string& value) override
    {
        value = "/home/利用者/サムネイル " + IntToStr(++Counter) + "/";
    }
    void ExtColorList(std::vector<TExtColorEntry>& entries, TColor) override
    {
        ++Counter;
        entries = {TExtColorEntry{".jpg;.jpeg", MakeColor(1, 2, 3), true}, TExtColorEntry{".png", clWindow, false}};
    }
};

TPluginSettings SomePluginSettings()
{
    TPluginSettings settings;
    settings.SearchProgramFolder = false;
    settings.SearchSusieFolder = true;
    settings.SearchPluginPath = true;
    settings.SPIPath = "/opt/プラグイン/";
    settings.UseBmpSPI = true;
    settings.MacBinary = true;
    settings.UseInList = {{"ifpng.spi", true}, {"ifjpeg.spi", false}, {"ifgif.spi", true}};
    settings.UseAmList = {{"axzip.spi", false}, {"axrar.spi", true}};
    return settings;
}

}  // namespace

TEST(Options, EveryOptionSurvivesARoundTripThroughTheFile)
{
    TTempFolder temp;
    TOptions changed;
    TOptionScrambler scrambler;
    VisitOptions(scrambler, changed);
    BuildDerivedOptions(changed);

    // Every line of the dump differs from the default one, so no option was
    // left at its default by the scrambler.
    const std::vector<std::string> defaults = Lines(DumpOptions(TOptions{}, nullptr));
    const std::vector<std::string> scrambled = Lines(DumpOptions(changed, nullptr));
    size_t optionLines = 0;
    for (const std::string& line : defaults) {
        if (line.rfind("derived.", 0) == 0)
            continue;
        ++optionLines;
        EXPECT_EQ(std::find(scrambled.begin(), scrambled.end(), line), scrambled.end()) << line;
    }
    EXPECT_EQ(optionLines, 142u);

    TPlainPluginSettings plugins;
    plugins.Settings = SomePluginSettings();
    TOptionLinks links;
    links.Plugins = &plugins;
    TIniFile ini(temp.File("Mireva.ini"));
    SaveOptions(ini, changed, true, links);

    TIniFile reread(temp.File("Mireva.ini"));
    TOptions loaded;
    TPlainPluginSettings loadedPlugins;
    links.Plugins = &loadedPlugins;
    LoadOptions(reread, loaded, links);
    EXPECT_EQ(loaded, changed);
    EXPECT_EQ(DumpOptions(loaded, nullptr), DumpOptions(changed, nullptr));
    EXPECT_EQ(loadedPlugins.Settings, SomePluginSettings());
}

TEST(Options, UnknownSectionsKeysAndTheirOrderSurviveASave)
{
    TTempFolder temp;
    const std::string path = temp.Write("Mireva.ini",
                                        "; written by hand\n"
                                        "[PICTURE]\n"
                                        "Stretch=2\n"
                                        "FutureKey=keep\n"
                                        "; a note\n"
                                        "[KEYCUSTOMINFO]\n"
                                        "Version=3\n"
                                        "Key1=65,1\n"
                                        "[EXTCOLOR]\n"
                                        ".old=$00000001\n"
                                        "[MYTOOL]\n"
                                        "Setting=x=y\n");
    TIniFile ini(path);
    TOptions options;
    LoadOptions(ini, options, {});
    options.Picture.Stretch = TStretchMode::smBilinear;
    options.ExtColors = {TExtColorEntry{".new", MakeColor(9, 9, 9), true}};
    SaveOptions(ini, options, false, {});

    const std::string text = temp.Read("Mireva.ini");
    EXPECT_EQ(text.rfind("; written by hand\n[PICTURE]\nStretch=1\nFutureKey=keep\n; a note\n", 0), 0u) << text;
    EXPECT_NE(text.find("[KEYCUSTOMINFO]\nVersion=3\nKey1=65,1\n\n[EXTCOLOR]\n.new=$00090909\n\n[MYTOOL]\n"
                        "Setting=x=y\n"),
              std::string::npos)
        << text;
    EXPECT_EQ(text.find(".old"), std::string::npos);
    // The options this file lacked were added after the sections it had.
    EXPECT_GT(text.find("[SCROLL]"), text.find("[MYTOOL]"));
}

TEST(Options, PluginSectionsAreWrittenOnlyWhenAsked)
{
    TIniFile ini;
    ini.LoadFromText("[PLUGIN]\nSPIPath=/old/\n[PLUGIN_USE_IN]\ngone.spi=1\nifjpeg.spi=0\n[AFTER]\nx=1\n");
    TPlainPluginSettings plugins;
    TOptionLinks links;
    links.Plugins = &plugins;
    TOptions options;
    LoadOptions(ini, options, links);
    ASSERT_EQ(plugins.Settings.UseInList.size(), 2u);

    plugins.Settings.SPIPath = "/new/";
    plugins.Settings.UseInList = {{"ifpng.spi", true}, {"ifjpeg.spi", true}};
    WriteOptions(ini, options, false, links);
    EXPECT_EQ(ini.ReadString("PLUGIN", "SPIPath", ""), "/old/");
    EXPECT_EQ(ini.ReadSection("PLUGIN_USE_IN"), (std::vector<std::string>{"gone.spi", "ifjpeg.spi"}));

    WriteOptions(ini, options, true, links);
    EXPECT_EQ(ini.ReadString("PLUGIN", "SPIPath", ""), "/new/");
    EXPECT_EQ(ini.ReadSection("PLUGIN_USE_IN"), (std::vector<std::string>{"ifpng.spi", "ifjpeg.spi"}));
    EXPECT_EQ(ini.ReadSections()[1], "PLUGIN_USE_IN");
}

TEST(Options, PluginNamesThatCannotBeKeysAreLeftOutNotFatal)
{
    TIniFile ini;
    TPlainPluginSettings plugins;
    plugins.Settings.UseInList = {{"a=b.spi", true}, {"line\nbreak.spi", true}, {"fine.spi", false}};
    TOptionLinks links;
    links.Plugins = &plugins;
    EXPECT_NO_THROW(WriteOptions(ini, TOptions{}, true, links));
    EXPECT_EQ(ini.ReadSectionValues("PLUGIN_USE_IN"),
              (std::vector<std::pair<std::string, std::string>>{{"fine.spi", "0"}}));
}

TEST(Options, RepeatedListKeysCountOnce)
{
    const TLoaded loaded =
        LoadText("[EXTCOLOR]\n.jpg=$00000001\n.JPG=$00000002\n[PLUGIN_USE_IN]\nA.spi=0\na.spi=1\nb.spi=1\n");
    ASSERT_EQ(loaded.Options.ExtColors.size(), 1u);
    EXPECT_EQ(loaded.Options.ExtColors[0].Color, 1u);
    ASSERT_EQ(loaded.Plugins.Settings.UseInList.size(), 2u);
    EXPECT_FALSE(loaded.Plugins.Settings.UseInList[0].Enabled);
}

TEST(Options, TextsCannotInjectKeysThroughASave)
{
    TTempFolder temp;
    TOptions options;
    options.Initialize.InitPath = "/books\n[PICTURE]\nStretch=0";
    options.Initialize.InitShelf = "棚\r\nLastImage=1";
    TIniFile ini(temp.File("Mireva.ini"));
    SaveOptions(ini, options, false, {});

    TIniFile reread(temp.File("Mireva.ini"));
    TOptions loaded;
    LoadOptions(reread, loaded, {});
    EXPECT_EQ(loaded.Picture.Stretch, TStretchMode::smLanczos3);
    EXPECT_FALSE(loaded.Initialize.LastImage);
    EXPECT_EQ(loaded.Initialize.InitPath.find('\n'), std::string::npos);
    const std::vector<std::string> lines = Lines(temp.Read("Mireva.ini"));
    EXPECT_EQ(std::count(lines.begin(), lines.end(), "[PICTURE]"), 1);
    EXPECT_EQ(std::count(lines.begin(), lines.end(), "LastImage=1"), 0);
    EXPECT_EQ(std::count(lines.begin(), lines.end(), "Stretch=0"), 0);
}

TEST(Options, AnOlderCp932FileReadsRightAndIsWrittenBackAsUtf8)
{
    TTempFolder temp;
    const std::string original = EncodeCp932(
        "[INITIALIZE]\r\nInitShelf=マンガ本棚\r\nInitPath=/mnt/書庫\r\n[EXTCOLOR]\r\n.jpg;.jpeg=$000000FF\r\n");
    ASSERT_FALSE(IsValidUtf8(original));
    const std::string path = temp.Write("old.lys", original);

    TIniFile ini(path);
    TOptions options;
    LoadOptions(ini, options, {});
    EXPECT_EQ(options.Initialize.InitShelf, "マンガ本棚");
    EXPECT_EQ(options.Initialize.InitPath, "/mnt/書庫");
    // Nothing was converted, so loading alone leaves the file as it was.
    EXPECT_EQ(temp.Read("old.lys"), original);

    SaveOptions(ini, options, false, {});
    const std::string written = temp.Read("old.lys");
    EXPECT_TRUE(IsValidUtf8(written));
    EXPECT_NE(written.find("InitShelf=マンガ本棚\n"), std::string::npos);
    TIniFile reread(path);
    TOptions again;
    LoadOptions(reread, again, {});
    EXPECT_EQ(again, options);
}

namespace {

class TRecordingFilters final : public TFilterSettings {
public:
    void ReadFilterSection(const TIniFile& ini) override { ReadSelect = ini.ReadInteger("FILTER", "Select", -9); }
    void WriteFilterSection(TIniFile& ini) const override { ini.WriteInteger("FILTER", "Select", 4); }
    int ReadSelect = -100;
};

}  // namespace

TEST(Options, TheFilterListsAreReadAndWrittenThroughTheirHook)
{
    TIniFile ini;
    ini.LoadFromText("[FILTER]\nSelect=2\n");
    TRecordingFilters filters;
    TOptionLinks links;
    links.Filters = &filters;
    TOptions options;
    LoadOptions(ini, options, links);
    EXPECT_EQ(filters.ReadSelect, 2);
    WriteOptions(ini, options, false, links);
    EXPECT_EQ(ini.ReadInteger("FILTER", "Select", 0), 4);
}

TEST(Options, OptionsDialogStateKeepsItsPageInRange)
{
    TIniFile ini;
    ini.LoadFromText("[ENV]\nPage=12\nCustomColors=FFFFFF,000000\n");
    EXPECT_EQ(ReadOptionsDialogState(ini, 12).Page, 0);
    EXPECT_EQ(ReadOptionsDialogState(ini, 13).Page, 12);
    const TOptionsDialogState state{3, "FF0000"};
    WriteOptionsDialogState(ini, state);
    EXPECT_EQ(ReadOptionsDialogState(ini, 5), state);
}
