#include <gtest/gtest.h>

#include "app/Init.h"
#include "app/MusCstm.h"
#include "common/IniFile.h"
#include "platform/FileSystem.h"
#include "support/TempFolder.h"

namespace {

using enum TMouseOperation;
using enum TMouseVariant;

constexpr TMouseHeld Nothing{};
constexpr TMouseHeld Ctrl{.Ctrl = true};

struct TEntryCase {
    TMouseOperation Op;
    TMouseVariant Variant;
    int Image;  // 0: the image view has no such entry
    int List;   // 0: the file list has none
};

class MouseEntryTest : public testing::TestWithParam<TEntryCase> {};

TEST_P(MouseEntryTest, NumbersFollowTheAllowedVariants)
{
    const TEntryCase& c = GetParam();
    EXPECT_EQ(ImageMouseEntry(c.Op, c.Variant), c.Image);
    EXPECT_EQ(ListMouseEntry(c.Op, c.Variant), c.List);
}

INSTANTIATE_TEST_SUITE_P(Entries, MouseEntryTest,
                         testing::Values(TEntryCase{moLeftClick, mvNone, 1, 1},
                                         TEntryCase{moLeftClick, mvLeft, 0, 0},
                                         TEntryCase{moLeftClick, mvRight, 2, 0},
                                         TEntryCase{moLeftClick, mvCtrl, 6, 0},
                                         TEntryCase{moLeftDouble, mvNone, 9, 5},
                                         TEntryCase{moLeftDouble, mvX2, 13, 8},
                                         TEntryCase{moRightClick, mvLeft, 18, 0},
                                         TEntryCase{moRightClick, mvWheel, 19, 0},
                                         TEntryCase{moWheelClick, mvLeft, 34, 10},
                                         TEntryCase{moWheelClick, mvRight, 35, 0},
                                         TEntryCase{moWheelClick, mvShiftCtrl, 40, 15},
                                         TEntryCase{moX1Click, mvWheel, 52, 25},
                                         TEntryCase{moX1Click, mvX1, 0, 0},
                                         TEntryCase{moX2Double, mvShiftCtrl, 80, 50},
                                         TEntryCase{moWheelUp, mvCtrl, 86, 0},
                                         TEntryCase{moWheelDown, mvCtrl, 94, 0},
                                         TEntryCase{moDrag, mvNone, 97, 0},
                                         TEntryCase{moDrag, mvShiftCtrl, 104, 0}));

struct TDefaultCase {
    TMouseOperation Op;
    TMouseHeld Held;
    int Command;
};

class MouseDefaultTest : public testing::TestWithParam<TDefaultCase> {};

TEST_P(MouseDefaultTest, NewUserBindings)
{
    const TDefaultCase& c = GetParam();
    EXPECT_EQ(DefaultMouseBindings().ImageCommand(c.Op, c.Held, 10, 10, 800, 600), c.Command);
}

INSTANTIATE_TEST_SUITE_P(Defaults, MouseDefaultTest,
                         testing::Values(TDefaultCase{moWheelUp, Nothing, 40},       // 前のファイル
                                         TDefaultCase{moWheelUp, Ctrl, 42},          // ひとつ前のファイル
                                         TDefaultCase{moWheelDown, Nothing, 39},
                                         TDefaultCase{moWheelDown, Ctrl, 41},
                                         TDefaultCase{moWheelUp, {.Ctrl = true, .Shift = true}, 0},
                                         TDefaultCase{moWheelUp, {.Left = true}, 0},
                                         TDefaultCase{moLeftDouble, Nothing, 105},   // 全画面表示
                                         TDefaultCase{moLeftDouble, {.Left = true}, 105},
                                         TDefaultCase{moWheelClick, Nothing, 111},   // ルーペの表示
                                         TDefaultCase{moDrag, {.Left = true}, 1},    // スクロール
                                         TDefaultCase{moLeftClick, Nothing, 0}));

TEST(MouseDefaultTest, FileListDoubleClickOpens)
{
    const TMouseBindings b = DefaultMouseBindings();
    for (int kind = 0; kind < MouseItemCount; ++kind)
        EXPECT_EQ(b.ListCommand(moLeftDouble, {.Left = true}, static_cast<TMouseItem>(kind)), ListOpenCommand);
    EXPECT_EQ(b.ListCommand(moLeftClick, Nothing, TMouseItem::miImage), 0);
}

struct TQuarterCase {
    int X, Y;
    int Command;
};

class MouseQuarterTest : public testing::TestWithParam<TQuarterCase> {};

// In an 800x600 view the halves are split at 400 and 300; the middle
// belongs to the left and the top.
TEST_P(MouseQuarterTest, PointerPicksTheQuarter)
{
    TMouseBindings b = DefaultMouseBindings();
    b.ImageEntry(1) = {true, {39, 41, 40, 42}};
    const TQuarterCase& c = GetParam();
    EXPECT_EQ(b.ImageCommand(moLeftClick, Nothing, c.X, c.Y, 800, 600), c.Command);
}

INSTANTIATE_TEST_SUITE_P(Quarters, MouseQuarterTest,
                         testing::Values(TQuarterCase{100, 100, 39}, TQuarterCase{400, 300, 39},
                                         TQuarterCase{401, 300, 41}, TQuarterCase{700, 50, 41},
                                         TQuarterCase{100, 500, 40}, TQuarterCase{400, 301, 40},
                                         TQuarterCase{401, 301, 42}, TQuarterCase{799, 599, 42}));

TEST(MouseBindingsTest, WithoutTheFlagTheFirstCommandAppliesEverywhere)
{
    TMouseBindings b = DefaultMouseBindings();
    b.ImageEntry(1) = {false, {39, 41, 40, 42}};
    EXPECT_EQ(b.ImageCommand(moLeftClick, Nothing, 700, 500, 800, 600), 39);
    b.ListEntry(1) = {false, {26, 1, 2, 3, 4}};
    EXPECT_EQ(b.ListCommand(moLeftClick, Nothing, TMouseItem::miNone), 26);
    b.ListEntry(1).Target = true;
    EXPECT_EQ(b.ListCommand(moLeftClick, Nothing, TMouseItem::miArchive), 2);
}

TEST(MouseBindingsTest, RightPopupHidesTheRightClickEntries)
{
    TMouseBindings b = DefaultMouseBindings();
    b.ImageEntry(ImageMouseEntry(moRightClick, mvNone)).Commands[0] = 39;
    b.ImageEntry(ImageMouseEntry(moRightDouble, mvNone)).Commands[0] = 40;
    EXPECT_EQ(b.ImageCommand(moRightClick, Nothing, 0, 0, 800, 600), 0);
    EXPECT_EQ(b.ImageCommand(moRightDouble, {.Right = true}, 0, 0, 800, 600), 0);
    b.RightPopup = false;
    EXPECT_EQ(b.ImageCommand(moRightClick, Nothing, 0, 0, 800, 600), 39);
    EXPECT_EQ(b.ImageCommand(moRightDouble, {.Right = true}, 0, 0, 800, 600), 40);
}

TEST(MouseBindingsTest, WrittenBindingsReadBackTheSame)
{
    TMouseBindings b = DefaultMouseBindings();
    b.ImageEntry(1) = {true, {39, 0, 40, 130}};
    b.ImageEntry(104) = {false, {3, 0, 0, 0}};
    b.ListEntry(50) = {true, {66, 1, 63, 0, 22}};
    b.RightPopup = false;
    TIniFile ini;
    WriteMouseBindings(ini, b);
    EXPECT_EQ(ini.ReadString("MOUSECOMMAND", "1", ""), "39, 0, 40, 130");
    EXPECT_EQ(ini.ReadString("LISTCOMMAND", "50", ""), "66, 1, 63, 0, 22");
    EXPECT_EQ(ReadMouseBindings(ini), b);
}

struct TStoredCase {
    const char* Section;
    int Entry;
    const char* Value;
    std::array<int, 5> Expected;  // the image entries use the first four
};

class MouseStoredValueTest : public testing::TestWithParam<TStoredCase> {};

// Numbers outside their catalogue read as none; missing numbers are none;
// unreadable items are skipped over, not fatal.
TEST_P(MouseStoredValueTest, ValuesAreMended)
{
    const TStoredCase& c = GetParam();
    TIniFile ini;
    ini.WriteInteger("MOUSECUSTOMINFO", "Version", MouseLayoutVersion);
    ini.WriteString(c.Section, std::to_string(c.Entry), c.Value);
    const TMouseBindings b = ReadMouseBindings(ini);
    if (std::string_view(c.Section) == "LISTCOMMAND") {
        EXPECT_EQ(b.ListEntry(c.Entry).Commands, c.Expected);
    } else {
        const std::array<int, 4> expected{c.Expected[0], c.Expected[1], c.Expected[2], c.Expected[3]};
        EXPECT_EQ(b.ImageEntry(c.Entry).Commands, expected);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Stored, MouseStoredValueTest,
    testing::Values(TStoredCase{"MOUSECOMMAND", 1, "39, 0, 40, 0", {39, 0, 40, 0}},
                    TStoredCase{"MOUSECOMMAND", 1, "131, 130, 0, -1", {0, 130, 0, 0}},
                    TStoredCase{"MOUSECOMMAND", 9, "", {0, 0, 0, 0}},
                    TStoredCase{"MOUSECOMMAND", 9, "7", {7, 0, 0, 0}},
                    TStoredCase{"MOUSECOMMAND", 2, "x, 7,, 8, 9", {0, 7, 0, 8}},
                    TStoredCase{"MOUSECOMMAND", 97, "4, 3, 2, 39", {0, 3, 2, 0}},
                    TStoredCase{"LISTCOMMAND", 5, "67, 66, 1, 0", {0, 66, 1, 0, 0}},
                    TStoredCase{"LISTCOMMAND", 5, "0", {0, 0, 0, 0, 0}}));

TEST(MouseBindingsTest, OlderLayoutFallsBackToTheDefaultCommands)
{
    TIniFile ini;
    ini.WriteString("MOUSECOMMAND", "81", "0");
    ini.WriteString("MOUSECOMMAND", "RightPopup", "0");
    ini.WriteString("MOUSEDIVIDE", "1", "1");
    ini.WriteString("LISTCOMMAND", "5", "0");
    TMouseBindings b;
    EXPECT_EQ(LoadMouseBindings(ini, "/nonexistent/", b), "");
    EXPECT_EQ(b.ImageEntry(81).Commands[0], 40);
    EXPECT_TRUE(b.RightPopup);
    EXPECT_FALSE(ini.SectionExists("MOUSECOMMAND"));
    // Only the commands depend on the layout.
    EXPECT_TRUE(b.ImageEntry(1).Divide);
    EXPECT_EQ(b.ListEntry(5).Commands[0], 0);
}

constexpr const char* OldFile =
    "[INFO]\nVersion=261\n[COMMAND]\n1=39, 0, 40, 0\nRightPopup=0\n[DIVIDE]\n1=1\n";

TEST(MouseBindingsTest, OldSeparateFileIsTakenOver)
{
    TTempFolder folder;
    const std::string old = folder.Write("MusCstm.ini", OldFile);
    TIniFile ini(folder.File("Mireva.ini"));
    TMouseBindings b;
    EXPECT_EQ(LoadMouseBindings(ini, folder.Path(), b), "");
    EXPECT_FALSE(FileExists(old));
    EXPECT_TRUE(b.ImageEntry(1).Divide);
    EXPECT_EQ(b.ImageCommand(moLeftClick, Nothing, 100, 500, 800, 600), 40);
    EXPECT_FALSE(b.RightPopup);
    const TIniFile written(folder.File("Mireva.ini"));
    EXPECT_EQ(written.ReadString("MOUSECOMMAND", "1", ""), "39, 0, 40, 0");
    EXPECT_EQ(written.ReadInteger("MOUSECUSTOMINFO", "Version", 0), MouseLayoutVersion);
}

TEST(MouseBindingsTest, OldFileStaysWhenTheMergedSettingsCannotBeWritten)
{
    TTempFolder folder;
    const std::string old = folder.Write("MusCstm.ini", OldFile);
    TIniFile ini(folder.File("no-such-folder/Mireva.ini"));
    TMouseBindings b;
    EXPECT_NE(LoadMouseBindings(ini, folder.Path(), b), "");
    EXPECT_TRUE(FileExists(old));
    // This run still uses what it took over.
    EXPECT_TRUE(b.ImageEntry(1).Divide);
    EXPECT_FALSE(b.RightPopup);
}

TEST(MouseBindingsTest, SavingWritesTheDialogsOptionsAndNothingElse)
{
    TTempFolder folder;
    folder.Write("Mireva.ini", "[SCROLL]\nScrollAnimate=1\n");
    TIniFile ini(folder.File("Mireva.ini"));
    TScrollOptions scroll;
    scroll.PageScrollQuantity = 420;
    scroll.DragScrollQuantity = 7;
    scroll.ScrollAnimate = false;
    TMouseOptions mouse;
    mouse.EdgeWheelCount = 5;
    mouse.HideCursor = true;
    TMouseBindings b = DefaultMouseBindings();
    b.RightPopup = false;
    SaveMouseBindings(ini, b, scroll, mouse);
    const TIniFile written(folder.File("Mireva.ini"));
    EXPECT_EQ(ReadMouseBindings(written), b);
    EXPECT_EQ(written.ReadInteger("SCROLL", "PageScrollQuantity", 0), 420);
    EXPECT_EQ(written.ReadInteger("SCROLL", "DragScrollQuantity", 0), 7);
    EXPECT_EQ(written.ReadInteger("MOUSE", "EdgeWheelCount", 0), 5);
    // Options the dialog does not show keep what the file said.
    EXPECT_EQ(written.ReadString("SCROLL", "ScrollAnimate", ""), "1");
    EXPECT_FALSE(written.ValueExists("MOUSE", "HideCursor"));
}

}  // namespace
