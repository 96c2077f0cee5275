#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include "browser/DropRules.h"
#include "collections/GroupFolder.h"
#include "collections/Shelf.h"
#include "support/TempFolder.h"

namespace {

using enum TDropEffect;
using enum TDropTargetKind;
using enum TDragSourceKind;

struct TEffectRow {
    const char* Case;
    TDropTargetKind Target;
    TDropKeys Keys;
    bool SameDevice;
    TDragSourceKind Source;
    TDropEffect Expected;
};

class DropEffectTest : public testing::TestWithParam<TEffectRow> {};

TEST_P(DropEffectTest, ChoosesTheEffect)
{
    const TEffectRow& row = GetParam();
    const TDropQuery query{.Target = row.Target,
                           .Keys = row.Keys,
                           .SameDevice = row.SameDevice,
                           .Allowed = DragEffects(row.Source),
                           .Extracted = row.Source == dsArchive};
    EXPECT_EQ(DropEffect(query), row.Expected) << row.Case;
}

constexpr TDropKeys None{};
constexpr TDropKeys Ctrl{.Ctrl = true};
constexpr TDropKeys Shift{.Shift = true};
constexpr TDropKeys CtrlShift{.Ctrl = true, .Shift = true};
constexpr TDropKeys Alt{.Alt = true};

INSTANTIATE_TEST_SUITE_P(
    Table, DropEffectTest,
    testing::Values(TEffectRow{"plain, same device", dtFolder, None, true, dsFolder, deMove},
                    TEffectRow{"plain, other device", dtFolder, None, false, dsFolder, deCopy},
                    TEffectRow{"ctrl, same device", dtFolder, Ctrl, true, dsFolder, deCopy},
                    TEffectRow{"shift, other device", dtFolder, Shift, false, dsFolder, deMove},
                    TEffectRow{"ctrl+shift", dtFolder, CtrlShift, true, dsFolder, deLink},
                    TEffectRow{"alt", dtFolder, Alt, false, dsFolder, deLink},
                    TEffectRow{"shelf members never move", dtFolder, Shift, true, dsShelfMembers, deCopy},
                    TEffectRow{"shelf members, plain", dtFolder, None, true, dsShelfMembers, deCopy},
                    TEffectRow{"shelf members link", dtFolder, Alt, true, dsShelfMembers, deLink},
                    TEffectRow{"search results move", dtFolder, None, true, dsSearchResults, deMove},
                    TEffectRow{"archive members copy", dtFolder, None, true, dsArchive, deCopy},
                    TEffectRow{"archive members never link", dtFolder, CtrlShift, true, dsArchive, deCopy},
                    TEffectRow{"shelf takes any keys as add", dtShelf, Shift, true, dsFolder, deCopy},
                    TEffectRow{"shelf refuses temporary copies", dtShelf, None, true, dsArchive, deNone},
                    TEffectRow{"nothing under the pointer", dtNone, Ctrl, true, dsFolder, deNone}));

TEST(DropEffect, NothingAllowedIsNone)
{
    const TDropQuery query{.Target = dtFolder, .Allowed = {.Copy = false, .Move = false, .Link = false}};
    EXPECT_EQ(DropEffect(query), deNone);
}

struct TSelfRow {
    const char* Case;
    std::vector<std::string> Paths;
    std::string Folder;
    TDropEffect Effect;
    bool Refused;
};

class DropIntoSelfTest : public testing::TestWithParam<TSelfRow> {};

TEST_P(DropIntoSelfTest, RefusesOnlyTransfersThatCannotWork)
{
    const TSelfRow& row = GetParam();
    EXPECT_EQ(DropIntoSelf(row.Paths, row.Folder, row.Effect), row.Refused) << row.Case;
}

INSTANTIATE_TEST_SUITE_P(
    Table, DropIntoSelfTest,
    testing::Values(TSelfRow{"folder into itself", {"/a/b"}, "/a/b", deCopy, true},
                    TSelfRow{"folder into its child", {"/a/b/"}, "/a/b/c", deMove, true},
                    TSelfRow{"similar name is another folder", {"/a/b"}, "/a/bc", deMove, false},
                    TSelfRow{"move where the files lie", {"/a/x.jpg", "/a/y.jpg"}, "/a/", deMove, true},
                    TSelfRow{"copy where the files lie makes copies", {"/a/x.jpg"}, "/a", deCopy, false},
                    TSelfRow{"move from two folders", {"/a/x.jpg", "/b/y.jpg"}, "/a", deMove, false}));

TEST(OnSameDevice, ComparesDevicesAndDoubtsMissingFiles)
{
    const TTempFolder temp;
    const std::string file = temp.Write("x.jpg", "x");
    EXPECT_TRUE(OnSameDevice({file}, temp.Path()));
    EXPECT_FALSE(OnSameDevice({temp.File("missing")}, temp.Path()));
    struct stat proc{};
    struct stat here{};
    if (::stat("/proc", &proc) == 0 && ::stat(temp.Path().c_str(), &here) == 0 && proc.st_dev != here.st_dev)
        EXPECT_FALSE(OnSameDevice({file}, "/proc"));
}

TEST(LinkInto, LinksAndNeverReplaces)
{
    const TTempFolder temp;
    const std::string file = temp.Write("src/x.jpg", "picture");
    temp.Write("dst/x.jpg", "other");
    const std::string second = temp.Write("src/y.jpg", "second");
    const std::vector<std::string> errors = LinkInto({file, second}, temp.File("dst"));
    ASSERT_EQ(errors.size(), 1U);
    EXPECT_NE(errors[0].find("x.jpg"), std::string::npos);
    EXPECT_EQ(temp.Read("dst/x.jpg"), "other");
    char target[256] = {};
    ASSERT_GT(::readlink(temp.File("dst/y.jpg").c_str(), target, sizeof target - 1), 0);
    EXPECT_EQ(std::string(target), second);
}

}  // namespace

namespace {

struct TReorderRow {
    int From, Target, Count, Expected;
};

class ReorderDestinationTest : public testing::TestWithParam<TReorderRow> {};

TEST_P(ReorderDestinationTest, PutsTheShelfInFrontOfTheTarget)
{
    const TReorderRow& row = GetParam();
    EXPECT_EQ(ReorderDestination(row.From, row.Target, row.Count), row.Expected)
        << row.From << " onto " << row.Target << " of " << row.Count;
}

INSTANTIATE_TEST_SUITE_P(Table, ReorderDestinationTest,
                         testing::Values(TReorderRow{0, 2, 4, 1}, TReorderRow{3, 1, 4, 1}, TReorderRow{1, 2, 4, -1},
                                         TReorderRow{1, -1, 4, 3}, TReorderRow{3, -1, 4, -1},
                                         TReorderRow{2, 2, 4, -1}, TReorderRow{0, 4, 4, -1}));

TEST(ShelfReorder, TheNewOrderSurvivesARestart)
{
    const TTempFolder temp;
    {
        TGroupList shelves;
        for (const char* name : {"漫画", "写真", "雑誌"})
            shelves.Add(name, 0, "");
        TShelfStore store(temp.Path());
        // The first shelf dropped below the last one.
        shelves.Move(0, ReorderDestination(0, -1, shelves.Count()));
        store.Save(shelves);
    }
    TGroupList loaded;
    TShelfStore store(temp.Path());
    store.Load(loaded);
    std::vector<std::string> names;
    for (int i = 0; i < loaded.Count(); ++i)
        names.push_back(loaded.Folder(i)->Name());
    EXPECT_EQ(names, (std::vector<std::string>{"写真", "雑誌", "漫画"}));
}

}  // namespace
