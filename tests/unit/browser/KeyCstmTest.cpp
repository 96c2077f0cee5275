#include <gtest/gtest.h>

#include <filesystem>

#include "browser/KeyCstm.h"
#include "browser/ShortcutText.h"
#include "common/IniFile.h"
#include "support/TempFolder.h"

namespace {

using vk::Letter;
using TCodes = std::vector<TShortCut>;
constexpr TCommandGroup G = TCommandGroup::cgGeneral;
constexpr TCommandGroup I = TCommandGroup::cgImage;
constexpr TCommandGroup M = TCommandGroup::cgMove;
constexpr TCommandGroup S = TCommandGroup::cgScroll;

struct TTextCase {
    TShortCut Code;
    const char* Text;
};

class ShortcutTextTest : public ::testing::TestWithParam<TTextCase> {};

TEST_P(ShortcutTextTest, NamesTheCombination)
{
    EXPECT_EQ(ShortcutText(GetParam().Code), GetParam().Text);
}

INSTANTIATE_TEST_SUITE_P(Rows, ShortcutTextTest,
                         ::testing::Values(TTextCase{scCtrl | Letter('O'), "Ctrl+O"},
                                           TTextCase{scCtrl | vk::Left, "Ctrl+←"},
                                           TTextCase{scAlt | vk::Right, "Alt+→"},
                                           TTextCase{scShift | vk::Up, "Shift+↑"},
                                           TTextCase{vk::Down, "↓"},
                                           TTextCase{scShift | scCtrl | vk::Space, "Ctrl+Shift+Space"},
                                           TTextCase{scCtrl | scAlt | vk::Delete, "Ctrl+Alt+Del"},
                                           TTextCase{scCtrl | 0x13, "Pause"},
                                           TTextCase{scShift | 0x90, "NumLock"},
                                           TTextCase{scCtrl | vk::Next, "Ctrl+PgDown"},
                                           TTextCase{vk::F11, "F11"}, TTextCase{0x87, "F24"},
                                           TTextCase{0x61, "Num+1"}, TTextCase{0x6B, "Num++"},
                                           TTextCase{0xBC, ","}, TTextCase{0, ""}, TTextCase{scCtrl | 0xFF, ""},
                                           TTextCase{0x07, ""}));

struct TLoadCase {
    const char* Name;
    const char* File;
    TCommandGroup Group;
    int Number;
    TCodes Expected;
};

class LoadKeysTest : public ::testing::TestWithParam<TLoadCase> {};

TEST_P(LoadKeysTest, ReadsTheStoredKeys)
{
    const TLoadCase& row = GetParam();
    TIniFile ini;
    ini.LoadFromText(row.File);
    const TKeyBindings keys = LoadKeyBindings(ini, {}, false);
    EXPECT_EQ(keys.KeysOf(row.Group, row.Number), row.Expected);
}

constexpr TShortCut CtrlO = scCtrl | 'O';

INSTANTIATE_TEST_SUITE_P(
    Rows, LoadKeysTest,
    ::testing::Values(
        TLoadCase{"MissingGivesDefault", "[KEYCUSTOMINFO]\nVersion=261\n", G, 1, {CtrlO}},
        TLoadCase{"EmptyMeansNone", "[KEYCUSTOMINFO]\nVersion=261\n[GENERAL KEY]\n1=\n", G, 1, {}},
        TLoadCase{"ZeroSkipped", "[KEYCUSTOMINFO]\nVersion=261\n[GENERAL KEY]\n29=46,0,8238\n", G, 29, {46, 8238}},
        TLoadCase{"NoPrimaryKeepsFurther", "[KEYCUSTOMINFO]\nVersion=261\n[GENERAL KEY]\n29=0,8238\n", G, 29,
                  {0, 8238}},
        TLoadCase{"WideCodeSkipped", "[KEYCUSTOMINFO]\nVersion=261\n[IMAGE KEY]\n2=70000,65\n", I, 2, {0, 65}},
        TLoadCase{"TextSkipped", "[KEYCUSTOMINFO]\nVersion=261\n[MOVE KEY]\n7=abc, 66 ,-3\n", M, 7, {66}},
        TLoadCase{"TwiceInASetFirstWins", "[KEYCUSTOMINFO]\nVersion=261\n[GENERAL KEY]\n2=65\n3=65,66\n", G, 3, {0, 66}},
        // A default never takes a key the file gave to another command.
        TLoadCase{"DefaultYieldsToStored", "[KEYCUSTOMINFO]\nVersion=261\n[GENERAL KEY]\n2=16463\n", G, 1, {}},
        TLoadCase{"MoveBeforeImage", "[KEYCUSTOMINFO]\nVersion=261\n[MOVE KEY]\n2=40\n[IMAGE KEY]\n2=40\n", I, 2, {}},
        TLoadCase{"StoredImageBeforeDefaultMove", "[KEYCUSTOMINFO]\nVersion=261\n[IMAGE KEY]\n2=40\n", M, 2, {}},
        TLoadCase{"SameKeyInBothSets", "[KEYCUSTOMINFO]\nVersion=261\n[GENERAL KEY]\n2=40\n", G, 2, {vk::Down}},
        // Layout 5 and older: general, move and scroll fall back, image stays.
        TLoadCase{"OldGeneral", "[KEYCUSTOMINFO]\nVersion=3\n[GENERAL KEY]\n1=65\n", G, 1, {CtrlO}},
        TLoadCase{"OldMove", "[KEYCUSTOMINFO]\nVersion=3\n[MOVE KEY]\n1=65\n", M, 1, {vk::Home}},
        TLoadCase{"OldImageKept", "[KEYCUSTOMINFO]\nVersion=3\n[IMAGE KEY]\n2=65\n", I, 2, {65}},
        TLoadCase{"AbsentVersionIsOld", "[SCROLL KEY]\n1=65\n", S, 1, {vk::Prior}},
        // Later layouts renumbered the actions only.
        TLoadCase{"MidGeneral", "[KEYCUSTOMINFO]\nVersion=100\n[GENERAL KEY]\n1=65\n", G, 1, {CtrlO}},
        TLoadCase{"MidImage", "[KEYCUSTOMINFO]\nVersion=258\n[IMAGE KEY]\n1=65\n", I, 1, {scCtrl | vk::F4}},
        TLoadCase{"MidMoveKept", "[KEYCUSTOMINFO]\nVersion=6\n[MOVE KEY]\n1=65\n", M, 1, {65}},
        TLoadCase{"MidScrollKept", "[KEYCUSTOMINFO]\nVersion=260\n[SCROLL KEY]\n12=65\n", S, 12, {65}},
        TLoadCase{"NewerUntouched", "[KEYCUSTOMINFO]\nVersion=300\n[GENERAL KEY]\n1=65\n", G, 1, {65}}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST(KeyCstm, ConversionRewritesTheVersionOnlyForOlderLayouts)
{
    for (const auto& [version, expected] : {std::pair{100, 261}, std::pair{300, 300}, std::pair{261, 261}}) {
        TIniFile ini;
        ini.LoadFromText("[KEYCUSTOMINFO]\nVersion=" + std::to_string(version) + "\n[GENERAL KEY]\n1=65\n");
        TKeyLoadResult result;
        LoadKeyBindings(ini, {}, false, &result);
        EXPECT_EQ(ini.ReadInteger("KEYCUSTOMINFO", "Version", 0), expected) << version;
        EXPECT_EQ(result.Converted, version == 100);
        EXPECT_EQ(ini.ValueExists("GENERAL KEY", "1"), version != 100);
    }
}

TEST(KeyCstm, WrittenBindingsReadBackTheSame)
{
    TKeyBindings keys = DefaultKeyBindings();
    keys.General[29] = {0, 8238};
    keys.General[1].clear();
    keys.Image[3] = {65, 66};
    keys.Move[6] = {67};
    keys.Scroll[0].clear();
    keys.MoveExchange = true;
    keys.S_MoveExchange = false;
    TIniFile ini;
    WriteKeyBindings(ini, keys);
    EXPECT_EQ(ini.ReadString("GENERAL KEY", "1", "x"), "");
    EXPECT_EQ(ini.ReadString("GENERAL KEY", "29", ""), "0,8238");
    const TKeyBindings back = LoadKeyBindings(ini, {}, false);
    for (const TCommandGroup group : {G, I, M, S})
        for (int number = 1; number <= CommandCount(group); ++number)
            EXPECT_EQ(back.KeysOf(group, number), keys.KeysOf(group, number)) << int(group) << " " << number;
    EXPECT_TRUE(back.MoveExchange);
    EXPECT_FALSE(back.S_MoveExchange);
    EXPECT_TRUE(back.PageScrollExchange);
}

TEST(KeyCstm, OldKeyFileIsMergedAndDeletedAfterTheWrite)
{
    TTempFolder folder;
    const std::string keyFile = folder.Write("KeyCstm.ini", "[INFO]\nVersion=261\nOther=1\n[GENERAL KEY]\n2=65\n");
    TIniFile ini(folder.Write("Mireva.ini", "[LIST]\nA=1\n"));
    TKeyLoadResult result;
    const TKeyBindings keys = LoadKeyBindings(ini, folder.Path(), true, &result);
    EXPECT_TRUE(result.TookOverKeyFile);
    EXPECT_EQ(result.WriteError, "");
    EXPECT_EQ(keys.KeysOf(G, 2), TCodes{65});
    EXPECT_FALSE(std::filesystem::exists(keyFile));
    const TIniFile written(folder.File("Mireva.ini"));
    EXPECT_EQ(written.ReadString("GENERAL KEY", "2", ""), "65");
    EXPECT_EQ(written.ReadString("KEYCUSTOMINFO", "Version", ""), "261");
    EXPECT_FALSE(written.SectionExists("INFO"));
    EXPECT_EQ(written.ReadString("LIST", "A", ""), "1");
}

TEST(KeyCstm, OldKeyFileStaysWhenTheSettingsCannotBeWritten)
{
    TTempFolder folder;
    const std::string keyFile = folder.Write("KeyCstm.ini", "[INFO]\nVersion=261\n[GENERAL KEY]\n2=65\n");
    TIniFile ini(folder.File("missing/Mireva.ini"));
    TKeyLoadResult result;
    const TKeyBindings keys = LoadKeyBindings(ini, folder.Path(), true, &result);
    EXPECT_NE(result.WriteError, "");
    EXPECT_TRUE(std::filesystem::exists(keyFile));
    EXPECT_EQ(keys.KeysOf(G, 2), TCodes{65});
    // A read-only caller merges in memory and leaves both files alone.
    TIniFile other(folder.File("Other.ini"));
    LoadKeyBindings(other, folder.Path(), false, &result);
    EXPECT_TRUE(result.TookOverKeyFile);
    EXPECT_TRUE(std::filesystem::exists(keyFile));
    EXPECT_FALSE(std::filesystem::exists(folder.File("Other.ini")));
}

TEST(KeyBindings, ACombinationIsBoundOncePerSet)
{
    TKeyBindings keys = DefaultKeyBindings();
    // Taken in the same set: refused, nothing changes, the owner is named.
    EXPECT_EQ(keys.Bind({G, 2}, CtrlO), (TKeyOwner{G, 1}));
    EXPECT_EQ(keys.KeysOf(G, 2), TCodes{});
    EXPECT_EQ(keys.Bind({I, 5}, vk::Down), (TKeyOwner{M, 2}));
    EXPECT_EQ(keys.Bind({S, 10}, scCtrl | vk::F4), (TKeyOwner{I, 1}));
    // The other set may have it too.
    EXPECT_EQ(keys.Bind({I, 5}, CtrlO), std::nullopt);
    EXPECT_EQ(keys.KeysOf(I, 5), TCodes{CtrlO});
    // Taking it over moves it.
    EXPECT_EQ(keys.Bind({G, 2}, CtrlO, true), std::nullopt);
    EXPECT_EQ(keys.KeysOf(G, 1), TCodes{});
    EXPECT_EQ(keys.KeysOf(G, 2), TCodes{CtrlO});
    EXPECT_EQ(keys.Owner(CtrlO, TKeySet::ksGeneral), (TKeyOwner{G, 2}));
    // Out of the catalogue nothing is bound.
    EXPECT_EQ(keys.Bind({G, 86}, 65), std::nullopt);
    EXPECT_EQ(keys.Owner(65, TKeySet::ksGeneral), std::nullopt);
    keys.ResetKeys();
    EXPECT_EQ(keys.KeysOf(G, 1), TCodes{CtrlO});
    EXPECT_EQ(keys.KeysOf(I, 5), TCodes{});
}

TEST(CommandCatalog, AgreesWithTheActionTable)
{
    for (const TCommandGroup group : {G, I})
        for (const TCatalogEntry& entry : CatalogGroup(group)) {
            const TActionList list = group == G ? TActionList::alGeneral : TActionList::alImage;
            EXPECT_EQ(FindActionByCommand(list, entry.Number), entry.Action) << entry.Name;
        }
    EXPECT_EQ(FindCatalogEntry(G, 0), nullptr);
    EXPECT_EQ(FindCatalogEntry(S, 13), nullptr);
    EXPECT_EQ(FindCatalogEntry(TActionId::actJ_Prior)->Number, 8);
}

}  // namespace
