#include <gtest/gtest.h>

#include <unistd.h>

#include "app/PluginSettings.h"
#include "app/SettingsFileCommands.h"
#include "base/Errors.h"
#include "common/IniFile.h"
#include "base/PathUtils.h"
#include "support/TempFolder.h"

namespace {

// Records every call of the commands into the window, in order, with the
// file name of the copy it was given, and leaves a mark in every copy it
// writes to so the files on disk show what went where.
class TRecordingWindow final : public TSettingsWindow {
public:
    std::vector<std::string> Calls;
    std::optional<TImageWindowPlacement> OpenPlacement;  // the image window, when open
    std::optional<TImageWindowPlacement> Placed;
    std::vector<std::string> Failures;
    std::string FailIn;  // a call that raises

    void SuspendForSettings() override { Record("Suspend"); }
    void ResumeAfterSettings() override { Record("Resume"); }
    void ApplyArchiveListOptions() override { Record("ApplyArchiveListOptions"); }
    void WriteWindowState(TIniFile& ini) override { Mark("WriteWindowState", ini, "STATE"); }
    void ReadWindowState(TIniFile& ini) override { Record("ReadWindowState", ini); }
    void WriteRegApplications(TIniFile& ini) override { Mark("WriteRegApplications", ini, "FILE"); }
    void ClearRegApplications() override { Record("ClearRegApplications"); }
    void WriteKeyBindings(TIniFile& ini) override { Mark("WriteKeyBindings", ini, "KEYCUSTOMINFO"); }
    void ReadKeyBindings(TIniFile& ini) override { Record("ReadKeyBindings", ini); }
    void WriteMouseBindings(TIniFile& ini) override { Mark("WriteMouseBindings", ini, "MOUSECUSTOMINFO"); }
    void ReadMouseBindings(TIniFile& ini) override { Record("ReadMouseBindings", ini); }
    std::optional<TImageWindowPlacement> ImageWindowPlacement() override { return OpenPlacement; }
    void PlaceImageWindow(const TImageWindowPlacement& placement) override
    {
        Record("PlaceImageWindow");
        Placed = placement;
    }
    void ReportWriteFailure(const std::string& message) override
    {
        Record("ReportWriteFailure");
        Failures.push_back(message);
    }

private:
    void Record(const std::string& call, const TIniFile* ini = nullptr)
    {
        Calls.push_back(ini ? call + "(" + ExtractFileName(ini->FileName()) + ")" : call);
        if (call == FailIn)
            throw EMirevaError("failed in " + call);
    }
    void Record(const std::string& call, const TIniFile& ini) { Record(call, &ini); }
    void Mark(const std::string& call, TIniFile& ini, std::string_view section)
    {
        Record(call, ini);
        ini.WriteString(section, "WrittenBy", "test");
    }
};

class SettingsFileCommandsTest : public ::testing::Test {
protected:
    SettingsFileCommandsTest()
    {
        fCurrent = fTemp.Write("Mireva.ini", "[PICTURE]\nStretch=2\n[IMAGEWINDOW]\nLeft=10\nTop=20\nWidth=300\n"
                                             "Height=400\nMax=1\n");
        fLinks.Plugins = &fPlugins;
    }

    TSettingsFileCommands Commands() { return TSettingsFileCommands(fOptions, fLinks, fWindow, fCurrent); }
    bool Has(const std::string& path, std::string_view section, std::string_view key) const
    {
        return TIniFile(path).ValueExists(section, key);
    }

    TTempFolder fTemp;
    std::string fCurrent;
    TOptions fOptions;
    TPlainPluginSettings fPlugins;
    TOptionLinks fLinks;
    TRecordingWindow fWindow;
};

}  // namespace

TEST_F(SettingsFileCommandsTest, SwitchingWritesTheWindowStateFirstThenReadsEverything)
{
    const std::string chosen = fTemp.Write("comic.lys", "[PICTURE]\nStretch=1\n[PLUGIN]\nMacBinary=1\n"
                                                        "[KEYCUSTOMINFO]\nVersion=1\n[MOUSECUSTOMINFO]\nVersion=1\n");
    TSettingsFileCommands commands = Commands();
    commands.ChangeSetting(chosen);

    EXPECT_EQ(fWindow.Calls,
              (std::vector<std::string>{"Suspend", "WriteWindowState(Mireva.ini)", "ClearRegApplications",
                                        "ApplyArchiveListOptions", "ReadWindowState(comic.lys)",
                                        "ReadKeyBindings(comic.lys)", "ReadMouseBindings(comic.lys)", "Resume"}));
    EXPECT_EQ(commands.SettingsPath(), chosen);
    EXPECT_EQ(fOptions.Picture.Stretch, TStretchMode::smBilinear);
    EXPECT_TRUE(fPlugins.Settings.MacBinary);
    // The old file got its window state; the new one was only read.
    EXPECT_TRUE(Has(fCurrent, "STATE", "WrittenBy"));
    EXPECT_EQ(TIniFile(fCurrent).ReadInteger("PICTURE", "Stretch", 0), 2);
    EXPECT_FALSE(Has(chosen, "STATE", "WrittenBy"));
}

TEST_F(SettingsFileCommandsTest, SwitchingToTheFileInUseReloadsWithoutWritingFirst)
{
    TSettingsFileCommands commands = Commands();
    fTemp.Write("Mireva.ini", "[PICTURE]\nStretch=0\n");  // changed on disk meanwhile
    commands.ChangeSetting(fCurrent);
    EXPECT_EQ(fWindow.Calls,
              (std::vector<std::string>{"Suspend", "ClearRegApplications", "ApplyArchiveListOptions",
                                        "ReadWindowState(Mireva.ini)", "Resume"}));
    EXPECT_EQ(fOptions.Picture.Stretch, TStretchMode::smHalfTone);
    EXPECT_FALSE(Has(fCurrent, "STATE", "WrittenBy"));
}

TEST_F(SettingsFileCommandsTest, SwitchingTakesTheExtensionColoursOfTheNewFileOnly)
{
    fOptions.ExtColors = {TExtColorEntry{".old", 1, true}};
    const std::string chosen = fTemp.Write("a.lys", "[EXTCOLOR]\n.new=$00000002\n");
    TSettingsFileCommands commands = Commands();
    commands.ChangeSetting(chosen);
    ASSERT_EQ(fOptions.ExtColors.size(), 1u);
    EXPECT_EQ(fOptions.ExtColors[0].Extensions, ".new");
    ASSERT_NE(fOptions.Derived.FindExtColor(".new"), nullptr);
    EXPECT_EQ(fOptions.Derived.FindExtColor(".old"), nullptr);
}

TEST_F(SettingsFileCommandsTest, SwitchingPlacesAnOpenImageWindowFromTheNewFile)
{
    fWindow.OpenPlacement = TImageWindowPlacement{1, 2, 3, 4, false};
    const std::string chosen = fTemp.Write("a.lys", "[IMAGEWINDOW]\nLeft=5\nTop=6\nWidth=700\nHeight=800\nMax=1\n");
    TSettingsFileCommands commands = Commands();
    commands.ChangeSetting(chosen);
    ASSERT_TRUE(fWindow.Placed.has_value());
    EXPECT_EQ(*fWindow.Placed, (TImageWindowPlacement{5, 6, 700, 800, true}));
    // The old file got the open window's placement.
    EXPECT_EQ(ReadImageWindowPlacement(TIniFile(fCurrent)), (TImageWindowPlacement{1, 2, 3, 4, false}));
}

struct TPlacementCase {
    const char* Name;
    const char* Section;
    bool Placed;
};

void PrintTo(const TPlacementCase& c, std::ostream* os) { *os << c.Name; }


class ImageWindowPlacementTest : public ::testing::TestWithParam<TPlacementCase> {};

TEST_P(ImageWindowPlacementTest, AllFourNumbersAreNeeded)
{
    TIniFile ini;
    ini.LoadFromText(GetParam().Section);
    EXPECT_EQ(ReadImageWindowPlacement(ini).has_value(), GetParam().Placed);
}

INSTANTIATE_TEST_SUITE_P(
    Placements, ImageWindowPlacementTest,
    ::testing::Values(TPlacementCase{"Complete", "[IMAGEWINDOW]\nLeft=0\nTop=0\nWidth=1\nHeight=1\n", true},
                      TPlacementCase{"NoHeight", "[IMAGEWINDOW]\nLeft=0\nTop=0\nWidth=1\n", false},
                      TPlacementCase{"Unreadable", "[IMAGEWINDOW]\nLeft=x\nTop=0\nWidth=1\nHeight=1\n", false},
                      TPlacementCase{"NeverStored", "[IMAGEWINDOW]\nLeft=32767\nTop=0\nWidth=1\nHeight=1\n", false},
                      TPlacementCase{"Negative", "[IMAGEWINDOW]\nLeft=-20\nTop=-5\nWidth=1\nHeight=1\n", true},
                      TPlacementCase{"Missing", "", false}),
    [](const ::testing::TestParamInfo<TPlacementCase>& info) { return info.param.Name; });

TEST_F(SettingsFileCommandsTest, AClosedImageWindowIsNotPlaced)
{
    const std::string chosen = fTemp.Write("a.lys", "[IMAGEWINDOW]\nLeft=5\nTop=6\nWidth=700\nHeight=800\n");
    TSettingsFileCommands commands = Commands();
    commands.ChangeSetting(chosen);
    EXPECT_FALSE(fWindow.Placed.has_value());
}

TEST_F(SettingsFileCommandsTest, AFailedWriteOfTheOldFileDoesNotStopTheSwitch)
{
    fTemp.Write("plain", "x");
    fCurrent = fTemp.File("plain/Mireva.ini");
    const std::string chosen = fTemp.Write("a.lys", "[PICTURE]\nStretch=1\n");
    TSettingsFileCommands commands = Commands();
    commands.ChangeSetting(chosen);
    EXPECT_EQ(fWindow.Failures.size(), 1u);
    EXPECT_EQ(commands.SettingsPath(), chosen);
    EXPECT_EQ(fOptions.Picture.Stretch, TStretchMode::smBilinear);
    EXPECT_EQ(fWindow.Calls.back(), "Resume");
}

TEST_F(SettingsFileCommandsTest, TheWindowIsResumedWhenReadingFails)
{
    const std::string chosen = fTemp.Write("a.lys", "[PICTURE]\nStretch=1\n");
    fWindow.FailIn = "ReadWindowState";
    TSettingsFileCommands commands = Commands();
    EXPECT_THROW(commands.ChangeSetting(chosen), EMirevaError);
    EXPECT_EQ(fWindow.Calls.back(), "Resume");
    EXPECT_EQ(std::count(fWindow.Calls.begin(), fWindow.Calls.end(), "Resume"), 1);
    EXPECT_EQ(commands.SettingsPath(), fCurrent);
}

TEST_F(SettingsFileCommandsTest, AChosenFileThatCannotBeReadChangesNothing)
{
    const std::string chosen = fTemp.Write("broken.lys", "[PICTURE]\nStretch=1\n");
    ASSERT_EQ(truncate(chosen.c_str(), int64_t(65) << 20), 0);
    const std::string before = fTemp.Read("Mireva.ini");
    TSettingsFileCommands commands = Commands();
    EXPECT_THROW(commands.ChangeSetting(chosen), EFileError);
    EXPECT_THROW(commands.LoadSetting(chosen), EFileError);
    EXPECT_TRUE(fWindow.Calls.empty());
    EXPECT_EQ(commands.SettingsPath(), fCurrent);
    EXPECT_EQ(fTemp.Read("Mireva.ini"), before);
    EXPECT_EQ(fOptions, TOptions{});
}

TEST_F(SettingsFileCommandsTest, SavingWritesEveryPieceIntoTheChosenFile)
{
    fOptions.Picture.Offset = 42;
    fPlugins.Settings.UseInList = {{"ifjpeg.spi", false}};
    TSettingsFileCommands commands = Commands();
    const std::string written = commands.SaveSetting(fTemp.File("backup"));

    EXPECT_EQ(written, fTemp.File("backup.lys"));
    EXPECT_EQ(fWindow.Calls,
              (std::vector<std::string>{"WriteWindowState(backup.lys)", "WriteRegApplications(backup.lys)",
                                        "WriteKeyBindings(backup.lys)", "WriteMouseBindings(backup.lys)"}));
    const TIniFile saved(written);
    EXPECT_EQ(saved.ReadInteger("PICTURE", "Offset", 0), 42);
    EXPECT_EQ(saved.ReadString("PLUGIN_USE_IN", "ifjpeg.spi", ""), "0");
    for (std::string_view section : {"STATE", "FILE", "KEYCUSTOMINFO", "MOUSECUSTOMINFO"})
        EXPECT_TRUE(saved.ValueExists(section, "WrittenBy")) << section;
    // The image window is closed: its placement comes from the file in use.
    EXPECT_EQ(ReadImageWindowPlacement(saved), (TImageWindowPlacement{10, 20, 300, 400, true}));
    // Saving elsewhere leaves the file in use alone and keeps using it.
    EXPECT_FALSE(Has(fCurrent, "STATE", "WrittenBy"));
    EXPECT_EQ(commands.SettingsPath(), fCurrent);
}

TEST_F(SettingsFileCommandsTest, SavingTakesTheOpenImageWindowsPlacement)
{
    fWindow.OpenPlacement = TImageWindowPlacement{-3, 4, 500, 600, false};
    TSettingsFileCommands commands = Commands();
    const std::string written = commands.SaveSetting(fTemp.File("b.lys"));
    EXPECT_EQ(ReadImageWindowPlacement(TIniFile(written)), fWindow.OpenPlacement);
}

TEST_F(SettingsFileCommandsTest, SavingCopiesNoHalfPlacement)
{
    fTemp.Write("Mireva.ini", "[IMAGEWINDOW]\nLeft=10\nTop=20\nWidth=300\n");
    TSettingsFileCommands commands = Commands();
    const std::string written = commands.SaveSetting(fTemp.File("c.lys"));
    EXPECT_FALSE(TIniFile(written).SectionExists("IMAGEWINDOW"));
}

TEST_F(SettingsFileCommandsTest, SavingKeepsWhatTheChosenFileHadBesides)
{
    const std::string chosen = fTemp.Write("d.lys", "[MYTOOL]\nkeep=1\n[PICTURE]\nStretch=0\n");
    TSettingsFileCommands commands = Commands();
    commands.SaveSetting(chosen);
    const TIniFile saved(chosen);
    EXPECT_EQ(saved.ReadString("MYTOOL", "keep", ""), "1");
    EXPECT_EQ(saved.ReadInteger("PICTURE", "Stretch", 0), 4);
}

TEST_F(SettingsFileCommandsTest, ASaveThatCannotBeWrittenRaises)
{
    fTemp.Write("plain", "x");
    TSettingsFileCommands commands = Commands();
    EXPECT_THROW(commands.SaveSetting(fTemp.File("plain/e.lys")), EFileError);
    EXPECT_EQ(fTemp.Read("plain"), "x");
}

TEST_F(SettingsFileCommandsTest, LoadingAppliesTheChosenFileAndWritesItIntoTheFileInUse)
{
    const std::string chosen = fTemp.Write("other.lys",
                                           "[PICTURE]\nStretch=1\n[PLUGIN]\nSPIPath=/plugins/\n"
                                           "[KEYCUSTOMINFO]\nVersion=1\n"
                                           "[IMAGEWINDOW]\nLeft=1\nTop=2\nWidth=3\nHeight=4\n");
    TSettingsFileCommands commands = Commands();
    commands.LoadSetting(chosen);

    EXPECT_EQ(fWindow.Calls,
              (std::vector<std::string>{"Suspend", "ClearRegApplications", "ApplyArchiveListOptions",
                                        "ReadWindowState(other.lys)", "ReadKeyBindings(other.lys)",
                                        "WriteKeyBindings(Mireva.ini)", "WriteMouseBindings(Mireva.ini)",
                                        "WriteRegApplications(Mireva.ini)", "Resume"}));
    EXPECT_EQ(commands.SettingsPath(), fCurrent);
    EXPECT_EQ(fOptions.Picture.Stretch, TStretchMode::smBilinear);
    const TIniFile current(fCurrent);
    EXPECT_EQ(current.ReadInteger("PICTURE", "Stretch", 0), 1);
    EXPECT_EQ(current.ReadString("PLUGIN", "SPIPath", ""), "/plugins/");
    EXPECT_TRUE(current.ValueExists("FILE", "WrittenBy"));
    // The window state is not written now; it goes in at close.
    EXPECT_FALSE(current.ValueExists("STATE", "WrittenBy"));
    EXPECT_EQ(ReadImageWindowPlacement(current), (TImageWindowPlacement{1, 2, 3, 4, false}));
    // The chosen file itself is unchanged.
    EXPECT_FALSE(Has(chosen, "FILE", "WrittenBy"));
}

TEST_F(SettingsFileCommandsTest, LoadingWithAnOpenImageWindowMovesItInstead)
{
    fWindow.OpenPlacement = TImageWindowPlacement{9, 9, 9, 9, false};
    const std::string chosen = fTemp.Write("other.lys", "[IMAGEWINDOW]\nLeft=1\nTop=2\nWidth=3\nHeight=4\n");
    TSettingsFileCommands commands = Commands();
    commands.LoadSetting(chosen);
    EXPECT_EQ(fWindow.Placed, (TImageWindowPlacement{1, 2, 3, 4, false}));
    EXPECT_EQ(ReadImageWindowPlacement(TIniFile(fCurrent)), (TImageWindowPlacement{10, 20, 300, 400, true}));
}

TEST_F(SettingsFileCommandsTest, LoadingTheFileInUseOnlyReadsIt)
{
    const std::string before = fTemp.Read("Mireva.ini");
    TSettingsFileCommands commands = Commands();
    commands.LoadSetting(fCurrent);
    EXPECT_EQ(fWindow.Calls,
              (std::vector<std::string>{"Suspend", "ClearRegApplications", "ApplyArchiveListOptions",
                                        "ReadWindowState(Mireva.ini)", "Resume"}));
    EXPECT_EQ(fTemp.Read("Mireva.ini"), before);
}

TEST_F(SettingsFileCommandsTest, ALinkToTheFileInUseIsTheFileInUse)
{
    const std::string link = fTemp.File("link.lys");
    ASSERT_EQ(symlink(fCurrent.c_str(), link.c_str()), 0);
    EXPECT_TRUE(SameSettingsFile(link, fCurrent));
    EXPECT_FALSE(SameSettingsFile(fTemp.File("MIREVA.INI"), fCurrent));
    EXPECT_FALSE(SameSettingsFile(fTemp.File("none.lys"), fTemp.File("none2.lys")));
    TSettingsFileCommands commands = Commands();
    commands.ChangeSetting(link);
    EXPECT_EQ(std::count(fWindow.Calls.begin(), fWindow.Calls.end(), "WriteWindowState(Mireva.ini)"), 0);
}

struct TNameCase {
    const char* Name;
    const char* Chosen;
    const char* Expected;
};

void PrintTo(const TNameCase& c, std::ostream* os) { *os << c.Name; }


class SaveNameTest : public ::testing::TestWithParam<TNameCase> {};

TEST_P(SaveNameTest, AppendsTheSettingsExtension)
{
    EXPECT_EQ(SettingsFileNameForSave(GetParam().Chosen), GetParam().Expected);
}

INSTANTIATE_TEST_SUITE_P(Names, SaveNameTest,
                         ::testing::Values(TNameCase{"NoExtension", "/s/comic", "/s/comic.lys"},
                                           TNameCase{"Lys", "/s/comic.lys", "/s/comic.lys"},
                                           TNameCase{"LysUpperCase", "/s/comic.LYS", "/s/comic.LYS"},
                                           TNameCase{"OtherExtension", "/s/comic.ini", "/s/comic.ini.lys"},
                                           TNameCase{"DotInFolder", "/s.d/comic", "/s.d/comic.lys"}),
                         [](const ::testing::TestParamInfo<TNameCase>& info) { return info.param.Name; });

TEST(SettingsDialogFolder, AFolderThatIsGoneGivesTheDataFolder)
{
    TTempFolder temp;
    TIniFile ini;
    WriteSettingsDialogFolder(ini, temp.Path() + "sets");
    EXPECT_EQ(ReadSettingsDialogFolder(ini, "/data/"), "/data/");
    temp.Write("sets/a.lys", "");
    EXPECT_EQ(ReadSettingsDialogFolder(ini, "/data/"), temp.Path() + "sets/");
}
