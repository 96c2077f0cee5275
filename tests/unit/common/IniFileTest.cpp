#include <gtest/gtest.h>

#include <unistd.h>

#include "base/Errors.h"
#include "common/IniFile.h"
#include "common/Text.h"
#include "platform/FileSystem.h"
#include "support/TempFolder.h"

TEST(IniFile, MissingFileReadsEmptyAndDefaults)
{
    TTempFolder temp;
    TIniFile ini(temp.File("none.ini"));
    EXPECT_TRUE(ini.ReadSections().empty());
    EXPECT_EQ(ini.ReadInteger("PICTURE", "Stretch", 4), 4);
    EXPECT_EQ(ini.ReadString("A", "B", "x"), "x");
}

struct TIntCase {
    const char* Text;
    int32_t Expected;
};

class IniIntegerTest : public ::testing::TestWithParam<TIntCase> {};

TEST_P(IniIntegerTest, ParsesAsTheSettingsFileWritesThem)
{
    TIniFile ini;
    ini.LoadFromText(std::string("[S]\nK=") + GetParam().Text + "\n");
    EXPECT_EQ(ini.ReadInteger("S", "K", -77), GetParam().Expected);
}

INSTANTIATE_TEST_SUITE_P(Values, IniIntegerTest,
                         ::testing::Values(TIntCase{"12", 12}, TIntCase{"-3", -3}, TIntCase{"$10", 16},
                                           TIntCase{"0x1f", 31}, TIntCase{"$FF000005", int32_t(0xFF000005)},
                                           TIntCase{"abc", -77}, TIntCase{"", -77}, TIntCase{"12x", -77},
                                           TIntCase{" 7 ", 7}, TIntCase{"99999999999", -77},
                                           TIntCase{"$", -77}, TIntCase{"-", -77}));

TEST(IniFile, NamesCompareWithoutCaseAndKeepFileOrder)
{
    TIniFile ini;
    ini.LoadFromText("[Picture]\nstretch=2\nBack=$00000000\n[other]\nx=1\n");
    EXPECT_EQ(ini.ReadInteger("PICTURE", "Stretch", 4), 2);
    EXPECT_TRUE(ini.SectionExists("OTHER"));
    EXPECT_TRUE(ini.ValueExists("picture", "BACK"));
    EXPECT_EQ(ini.ReadSections(), (std::vector<std::string>{"Picture", "other"}));
    EXPECT_EQ(ini.ReadSection("picture"), (std::vector<std::string>{"stretch", "Back"}));
}

TEST(IniFile, TruthValuesAndColours)
{
    TIniFile ini;
    ini.LoadFromText("[S]\nA=1\nB=0\nC=-1\nD=yes\nE=$00FF0000\nF=junk\nG=16711680\n");
    EXPECT_TRUE(ini.ReadBool("S", "A", false));
    EXPECT_FALSE(ini.ReadBool("S", "B", true));
    EXPECT_TRUE(ini.ReadBool("S", "C", false));
    EXPECT_TRUE(ini.ReadBool("S", "D", true));  // not a number: the default
    EXPECT_EQ(ini.ReadColor("S", "E", 0), 0x00FF0000u);
    EXPECT_EQ(ini.ReadColor("S", "F", 0x123u), 0x123u);
    EXPECT_EQ(ini.ReadColor("S", "G", 0), 0x00FF0000u);
    ini.WriteColor("S", "H", 0xFF000005);
    EXPECT_EQ(ini.ReadString("S", "H", ""), "$FF000005");
    ini.WriteBool("S", "I", true);
    EXPECT_EQ(ini.ReadString("S", "I", ""), "1");
}

TEST(IniFile, RangedReadsGiveTheFallback)
{
    TIniFile ini;
    ini.LoadFromText("[PICTURE]\nStretch=7\nOffset=50\n");
    EXPECT_EQ(ini.ReadRanged("PICTURE", "Stretch", 4, 0, 4, 3), 3);
    EXPECT_EQ(ini.ReadRanged("PICTURE", "Offset", 5, 0, 100, 5), 50);
    EXPECT_EQ(ini.ReadRanged("PICTURE", "Absent", 4, 0, 4, 3), 4);
}

TEST(IniFile, UnknownSectionsKeysAndCommentsSurviveASave)
{
    TTempFolder temp;
    const std::string original = "; comment before\n[KNOWN]\nA=1\n; inside\nUnknownKey=keep me\n\n[FUTURE]\nX=y=z\n";
    temp.Write("s.ini", original);
    TIniFile ini(temp.File("s.ini"));
    ini.WriteInteger("KNOWN", "A", 2);
    ini.WriteString("NEW", "K", "v");
    ini.UpdateFile();
    TIniFile again(temp.File("s.ini"));
    EXPECT_EQ(again.ReadString("KNOWN", "UnknownKey", ""), "keep me");
    EXPECT_EQ(again.ReadString("FUTURE", "X", ""), "y=z");
    EXPECT_EQ(again.ReadInteger("KNOWN", "A", 0), 2);
    EXPECT_EQ(again.ReadString("NEW", "K", ""), "v");
    const std::string text = temp.Read("s.ini");
    EXPECT_NE(text.find("; comment before\n[KNOWN]\nA=2\n; inside\nUnknownKey=keep me\n"), std::string::npos);
    EXPECT_LT(text.find("[FUTURE]"), text.find("[NEW]"));
}

TEST(IniFile, ValuesCannotInjectKeysOrSections)
{
    TIniFile ini;
    ini.WriteString("S", "Path", "/tmp/a\n[EVIL]\nStretch=0\r\n");
    TIniFile reread;
    reread.LoadFromText(ini.ToText());
    EXPECT_FALSE(reread.SectionExists("EVIL"));
    EXPECT_EQ(reread.ReadSection("S").size(), 1u);
    EXPECT_THROW(ini.WriteString("S", "a=b", "1"), EIniError);
    EXPECT_THROW(ini.WriteString("S", "a\nb", "1"), EIniError);
    EXPECT_THROW(ini.WriteString("S]\n[T", "a", "1"), EIniError);
    EXPECT_THROW(ini.WriteString("S", "", "1"), EIniError);
}

TEST(IniFile, Cp932FileReadsAndIsWrittenBackAsUtf8)
{
    TTempFolder temp;
    // "[INITIALIZE]\r\nInitShelf=本棚\r\n" in code page 932.
    temp.Write("old.ini", std::string("[INITIALIZE]\r\nInitShelf=\x96\x7b\x92\x49\r\n"));
    TIniFile ini(temp.File("old.ini"));
    EXPECT_EQ(ini.ReadString("INITIALIZE", "InitShelf", ""), "本棚");
    ini.UpdateFile();
    const std::string bytes = temp.Read("old.ini");
    EXPECT_TRUE(IsValidUtf8(bytes));
    EXPECT_NE(bytes.find("InitShelf=本棚"), std::string::npos);
}

TEST(IniFile, EraseAndDeleteAndRename)
{
    TTempFolder temp;
    temp.Write("b.ini", "[B]\nk=from b\n");
    TIniFile ini;
    ini.LoadFromText("[A]\nx=1\ny=2\n[C]\nz=3\n[D]\nw=4\n");
    ini.DeleteKey("a", "X");
    EXPECT_EQ(ini.ReadSection("A"), std::vector<std::string>{"y"});
    ini.EraseSection("c");
    EXPECT_FALSE(ini.SectionExists("C"));
    EXPECT_TRUE(ini.Modified());
    // The sections after an erased one are still found where they now are.
    ini.EraseSection("a");
    EXPECT_EQ(ini.ReadString("d", "w", ""), "4");
    ini.WriteString("D", "v", "5");
    ini.WriteString("E", "u", "6");
    EXPECT_EQ(ini.ToText(), "[D]\nw=4\nv=5\n\n[E]\nu=6\n");
    ini.Rename(temp.File("b.ini"), true);
    EXPECT_FALSE(ini.SectionExists("A"));
    EXPECT_EQ(ini.ReadString("B", "k", ""), "from b");
}

TEST(IniFile, DuplicateSectionsMergeAndFirstKeyWins)
{
    TIniFile ini;
    ini.LoadFromText("[A]\nk=1\nk=2\n[B]\n[a]\nm=3\n");
    EXPECT_EQ(ini.ReadInteger("A", "k", 0), 1);
    EXPECT_EQ(ini.ReadInteger("A", "m", 0), 3);
    EXPECT_EQ(ini.ReadSections().size(), 2u);
}

TEST(IniFile, ClearSectionKeepsItsPlace)
{
    TIniFile ini;
    ini.LoadFromText("[A]\nx=1\n[LIST]\n; note\nold=1\n[C]\nz=3\n");
    ini.ClearSection("list");
    EXPECT_TRUE(ini.Modified());
    ini.WriteString("LIST", "new", "2");
    EXPECT_EQ(ini.ToText(), "[A]\nx=1\n\n[LIST]\nnew=2\n\n[C]\nz=3\n");
    ini.ClearModified();
    ini.ClearSection("MISSING");
    EXPECT_FALSE(ini.Modified());
    EXPECT_FALSE(ini.SectionExists("MISSING"));
}

TEST(IniFile, KeyNamesThatCanBeWritten)
{
    for (const char* good : {"a", "ifjpeg.spi", ".jpg;.jpeg", "Use_0", "名前"})
        EXPECT_TRUE(TIniFile::IsValidKeyName(good)) << good;
    for (const char* bad : {"", "a=b", "a\nb", "a\rb", "[a", ";a", " a", "a "})
        EXPECT_FALSE(TIniFile::IsValidKeyName(bad)) << bad;
}

TEST(IniFile, AFileThatCannotBeReadIsNeverOverwritten)
{
    TTempFolder temp;
    const std::string path = temp.Write("huge.ini", "[A]\nx=1\n");
    // Far beyond what a settings file can be; sparse, so it costs no disk.
    ASSERT_EQ(truncate(path.c_str(), int64_t(65) << 20), 0);
    TIniFile ini(path);
    EXPECT_FALSE(ini.ReadError().empty());
    EXPECT_TRUE(ini.ReadSections().empty());
    ini.WriteString("A", "x", "2");
    EXPECT_THROW(ini.UpdateFile(), EFileError);
    EXPECT_EQ(QueryFile(path).Size, int64_t(65) << 20);
    // Pointed at another file, the copy may be written there.
    ini.Rename(temp.File("other.ini"), false);
    EXPECT_TRUE(ini.ReadError().empty());
    EXPECT_NO_THROW(ini.UpdateFile());
}
