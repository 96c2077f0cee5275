#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <set>

#include "base/PathUtils.h"
#include "base/QueueDispatcher.h"
#include "base/Stream.h"
#include "collections/Media.h"
#include "common/BfStream.h"
#include "platform/FileSystem.h"
#include "support/TempFolder.h"

namespace {

// Little-endian pieces of hand-made files, as older versions wrote them.
struct TBytes {
    std::vector<uint8_t> Data;
    TBytes& I32(int32_t v) { return Raw(&v, 4); }
    TBytes& I64(int64_t v) { return Raw(&v, 8); }
    TBytes& F64(double v) { return Raw(&v, 8); }
    TBytes& U8(uint8_t v) { return Raw(&v, 1); }
    TBytes& Text(std::string_view s)
    {
        I32(static_cast<int32_t>(s.size()));
        return Raw(s.data(), s.size());
    }
    TBytes& Raw(const void* p, size_t n)
    {
        const auto* b = static_cast<const uint8_t*>(p);
        Data.insert(Data.end(), b, b + n);
        return *this;
    }
};

std::unique_ptr<TCtFileInfo> Record(const std::string& path, bool dir, int64_t size = 0, TDateTime modified = 0)
{
    auto r = std::make_unique<TCtFileInfo>();
    r->Path = path;
    r->Item = TItemIdList::FromPath("/media/disc/" + path);
    r->IsDirectory = dir;
    r->Attributes = dir ? 0x10 : 0;
    r->Size = size;
    r->Modified = modified;
    r->Created = modified;
    r->Accessed = modified + 1;
    return r;
}

std::vector<uint8_t> Written(const std::function<void(TStream&)>& write)
{
    TMemoryStream stream;
    write(stream);
    return stream.Bytes();
}

TEST(MediaFiles, ListAndCatalogueRoundTrip)
{
    TMediaList list;
    TMediaFolder& m = *list.Medium(list.Add("Disc", 3, "two\nlines"));
    m.VolumeLabel = "LABEL";
    m.SerialNumber = 0xDEADBEEF;
    m.DriveType = TDriveType::dtCdRom;
    m.FileSystem = "iso9660";
    m.Capacity = int64_t(5) << 32;
    m.FreeSpace = (int64_t(1) << 32) + 7;
    m.CatalogueDate = 45000.25;
    m.StoredRootId = TItemIdList::FromPath("/media/disc");
    m.AddRecord(Record("dir", true));
    m.AddRecord(Record("dir/big.bin", false, (int64_t(1) << 33) + 3, 44000.5));
    m.AddRecord(Record("top.jpg", false, 10, 44001));

    TMemoryStream listStream(Written([&](TStream& s) { WriteMediaList(list, s); }));
    TMediaList back;
    const TMediaReadResult listRead = ReadMediaList(listStream, back, {});
    ASSERT_TRUE(listRead.Complete);
    ASSERT_EQ(back.Count(), 1);
    const TMediaFolder& b = *back.Medium(0);
    EXPECT_EQ(b.Comment(), "two\nlines");
    EXPECT_EQ(b.ImageIndex(), 3);
    EXPECT_EQ(b.SerialNumber, 0xDEADBEEF);
    EXPECT_EQ(b.DriveType, TDriveType::dtCdRom);
    EXPECT_EQ(b.UsedSpace(), m.Capacity - m.FreeSpace);
    EXPECT_EQ(b.CatalogueDate, 45000.25);

    TMemoryStream catStream(Written([&](TStream& s) { WriteCatalogue(m, s); }));
    TMediaFolder c(nullptr, "Disc");
    ASSERT_TRUE(ReadCatalogue(catStream, c).Complete);
    ASSERT_EQ(c.Count(), 3);
    EXPECT_TRUE(c.Loaded);
    EXPECT_EQ(c.StoredRootId, m.StoredRootId);
    const TCtFileInfo* big = c.ItemInfo(c.IndexOf("dir/big.bin"));
    ASSERT_NE(big, nullptr);
    EXPECT_EQ(big->Size, (int64_t(1) << 33) + 3);
    EXPECT_EQ(big->Accessed, 44001.5);
    EXPECT_EQ(big->Item, TItemIdList::FromPath("/media/disc/dir/big.bin"));
    ASSERT_EQ(c.ItemsOf("").size(), 2u);
    ASSERT_EQ(c.ItemsOf("dir").size(), 1u);
    EXPECT_EQ(c.ItemsOf("dir")[0], big);
    EXPECT_TRUE(c.ItemsOf("nowhere").empty());
}

// Lists of version 253 and older number drive types the old way.
TEST(MediaFiles, OldListsRenumberDriveTypes)
{
    const uint8_t expected[] = {0, 1, 4, 5, 6, 7, 8, 9};
    for (uint8_t code = 0; code < 8; ++code) {
        for (const int32_t version : {253, 254}) {
            TBytes f;
            f.Text(MediaListSignature).I32(version).I32(1);
            f.Text("M").I32(0).Text("").Text("L").I32(1).U8(code).Text("vfat").I64(10).I64(4).F64(1);
            TMemoryStream stream(f.Data);
            TMediaList list;
            ASSERT_TRUE(ReadMediaList(stream, list, {}).Complete);
            ASSERT_EQ(list.Count(), 1);
            EXPECT_EQ(static_cast<int>(list.Medium(0)->DriveType), version == 253 ? expected[code] : code)
                << "code " << int(code) << " version " << version;
        }
    }
}

TEST(MediaFiles, OldCataloguesHaveNoDetails)
{
    const TItemIdList root = TItemIdList::FromPath("/d");
    const TItemIdList item = TItemIdList::FromPath("/d/A.JPG");
    TBytes f;
    f.Text(MediaFileSignature).I32(252).I32(int32_t(root.Size())).Raw(root.Bytes().data(), root.Size()).I32(1);
    f.I32(int32_t(item.Size())).Raw(item.Bytes().data(), item.Size()).Text("A.JPG").U8(0);
    TMemoryStream stream(f.Data);
    TMediaFolder m(nullptr, "Old");
    ASSERT_TRUE(ReadCatalogue(stream, m).Complete);
    ASSERT_EQ(m.Count(), 1);
    EXPECT_EQ(m.Record(0)->Attributes, -1);
    EXPECT_EQ(m.ItemsOf("").size(), 1u);
}

// Every truncation of a catalogue loads the records before the cut, never
// more, and completes the catalogue.
TEST(MediaFiles, EveryTruncatedCatalogueLoadsWhatItCan)
{
    TMediaFolder m(nullptr, "T");
    m.AddRecord(Record("a", true));
    m.AddRecord(Record("a/b.jpg", false, 5));
    m.AddRecord(Record("c.jpg", false, 6));
    const std::vector<uint8_t> whole = Written([&](TStream& s) { WriteCatalogue(m, s); });
    int previous = 0;
    for (size_t cut = 0; cut < whole.size(); ++cut) {
        TMemoryStream stream(std::vector<uint8_t>(whole.begin(), whole.begin() + static_cast<long>(cut)));
        TMediaFolder back(nullptr, "T");
        const TMediaReadResult read = ReadCatalogue(stream, back);
        EXPECT_FALSE(read.Complete && read.Signed) << cut;
        EXPECT_GE(back.Count(), previous) << cut;
        EXPECT_LT(back.Count(), 3) << cut;
        previous = back.Count();
        EXPECT_EQ(back.Loaded, read.Signed) << cut;
    }
}

TEST(MediaFiles, BaseNamesAreSafeAndDistinct)
{
    const std::vector<std::pair<std::string, std::string>> rows = {
        {"Disc 1", "Disc 1"}, {"写真", "写真"},     {"a/b", "a%2Fb"}, {"..", "%2E."},
        {".hidden", "%2Ehidden"}, {"100%", "100%25"}, {"", "%"},     {"tab\there", "tab%09here"},
    };
    std::set<std::string> seen;
    for (const auto& [name, base] : rows) {
        EXPECT_EQ(CatalogueBaseName(name), base) << name;
        EXPECT_TRUE(seen.insert(CatalogueBaseName(name)).second);
    }
    const std::string a = CatalogueBaseName(std::string(300, 'x') + "a");
    const std::string b = CatalogueBaseName(std::string(300, 'x') + "b");
    EXPECT_NE(a, b);
    EXPECT_LE(a.size() + std::strlen(".mf$$"), 255u);
    EXPECT_EQ(CatalogueBaseName(std::string(300, 'x')).find('/'), std::string::npos);
}

TEST(MediaStore, MissingCatalogueDropsOnlyItsMedium)
{
    TTempFolder home;
    TMediaStore store(home.Path());
    TMediaList list;
    for (const char* name : {"One", "a/b", "Three"}) {
        TMediaFolder& m = *list.Medium(list.Add(name, 0, ""));
        m.AddRecord(Record("f.jpg", false, 1));
        m.CompleteCatalogue();
        store.SaveCatalogue(m);
    }
    store.SaveList(list);
    // The medium named with a slash has its file inside Media/ all the same.
    EXPECT_TRUE(FileExists(home.File("Media/a%2Fb.mf")));
    ASSERT_TRUE(DeleteFile(store.CataloguePath("One")));

    TMediaStore again(home.Path());
    TMediaList back;
    int skipped = 0;
    again.LoadList(back, &skipped);
    ASSERT_EQ(back.Count(), 2);
    EXPECT_EQ(skipped, 1);
    EXPECT_EQ(back.Medium(0)->Name(), "a/b");
    EXPECT_EQ(back.Medium(1)->Name(), "Three");
    EXPECT_EQ(again.LoadCatalogue(*back.Medium(1)).Kind, TCatalogueLoadKind::clRead);
    EXPECT_EQ(back.Medium(1)->Count(), 1);

    home.Write("Media/Three.mf", "not a catalogue at all");
    EXPECT_EQ(again.LoadCatalogue(*back.Medium(1)).Kind, TCatalogueLoadKind::clForeign);
    ASSERT_TRUE(DeleteFile(again.CataloguePath("Three")));
    EXPECT_EQ(again.LoadCatalogue(*back.Medium(1)).Kind, TCatalogueLoadKind::clMissing);
}

TEST(MediaStore, FailedSaveIsReported)
{
    TTempFolder home;
    home.Write("Media", "a file where the folder belongs");
    TMediaStore store(home.Path());
    TMediaList list;
    TMediaFolder& m = *list.Medium(list.Add("Disc", 0, ""));
    EXPECT_THROW(store.SaveCatalogue(m), EFileError);
    EXPECT_THROW(store.SaveList(list), EFileError);
}

// The walk records a link to a folder, and a folder on another file system,
// without entering either.
TEST(MediaWalk, LinksToFoldersAreNotEntered)
{
    TTempFolder t;
    t.Write("disc/a/pic.jpg", "12345");
    t.Write("outside/secret.jpg", "x");
    ASSERT_EQ(symlink(t.File("outside").c_str(), t.File("disc/a/out").c_str()), 0);
    ASSERT_EQ(symlink("..", t.File("disc/a/up").c_str()), 0);
    ASSERT_EQ(symlink("pic.jpg", t.File("disc/a/same.jpg").c_str()), 0);
    ASSERT_EQ(symlink("gone", t.File("disc/dangling").c_str()), 0);
    TTreeWalkStats stats;
    TMediaFolder m(nullptr, "D");
    m.InstallCatalogue(BuildCatalogue(t.File("disc"), {}, nullptr, &stats));
    std::set<std::string> paths;
    for (int i = 0; i < m.Count(); ++i)
        paths.insert(m.Record(i)->Path);
    EXPECT_EQ(paths, (std::set<std::string>{"a", "a/pic.jpg", "a/out", "a/up", "a/same.jpg", "dangling"}));
    EXPECT_EQ(stats.FoldersSkipped, 2);
    EXPECT_TRUE(m.ItemInfo(m.IndexOf("a/out"))->IsDirectory);
    EXPECT_EQ(m.ItemInfo(m.IndexOf("a/same.jpg"))->Size, 5);
    EXPECT_EQ(m.ItemInfo(m.IndexOf("dangling"))->Attributes, -1);
    EXPECT_EQ(m.ItemInfo(m.IndexOf("a/pic.jpg"))->Item, TItemIdList::FromPath(t.File("disc/a/pic.jpg")));
}

TEST(MediaWalk, StaysOnItsOwnFileSystem)
{
    // Any mount directly below another readable folder will do.
    for (const TMountPoint& mount : ReadMountPoints()) {
        const std::string parent = mount.Path.substr(0, mount.Path.rfind('/'));
        if (parent != "/dev")
            continue;
        std::set<std::string> paths;
        WalkTree(parent, [&](const TTreeWalkEntry& e) { paths.insert(e.RelativePath); });
        const std::string name = mount.Path.substr(parent.size() + 1);
        ASSERT_TRUE(paths.count(name)) << mount.Path;
        for (const std::string& p : paths)
            EXPECT_NE(p.rfind(name + "/", 0), 0u) << p;
        return;
    }
    GTEST_SKIP() << "no mount below /dev here";
}

struct TDiffRow {
    const char* Name;
    std::function<void(TCtFileInfo&)> Change;
    bool Same;
};

class MediaDiff : public testing::TestWithParam<TDiffRow> {};

TEST_P(MediaDiff, ComparesRecords)
{
    TMediaFolder stored(nullptr, "S");
    TMediaFolder live(nullptr, "L");
    stored.AddRecord(Record("d", true));
    stored.AddRecord(Record("d/f", false, 100, 44000));
    live.AddRecord(Record("d", true));
    auto changed = Record("d/f", false, 100, 44000);
    GetParam().Change(*changed);
    live.AddRecord(std::move(changed));
    stored.CompleteCatalogue();
    live.CompleteCatalogue();
    const std::vector<TDiffEntry> diff = CompareCatalogues(live, stored);
    if (GetParam().Same) {
        EXPECT_TRUE(diff.empty());
    } else {
        // A file that became a folder sorts among the folders: it shows as
        // one added and one removed entry.
        ASSERT_FALSE(diff.empty());
        for (const TDiffEntry& entry : diff)
            EXPECT_EQ(entry.Path, "d/f");
        const bool kindChanged = std::string(GetParam().Name) == "BecameFolder";
        EXPECT_EQ(diff.size(), kindChanged ? 2u : 1u);
        EXPECT_EQ(diff[0].Kind, kindChanged ? TDiffKind::dkAdded : TDiffKind::dkChanged);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Rows, MediaDiff,
    testing::Values(TDiffRow{"Alike", [](TCtFileInfo&) {}, true},
                    TDiffRow{"AccessedOnly", [](TCtFileInfo& r) { r.Accessed += 3; }, true},
                    TDiffRow{"SizeAbove32Bits", [](TCtFileInfo& r) { r.Size += int64_t(1) << 32; }, false},
                    TDiffRow{"Modified", [](TCtFileInfo& r) { r.Modified += 1.0 / 86400; }, false},
                    TDiffRow{"Created", [](TCtFileInfo& r) { r.Created += 1; }, false},
                    TDiffRow{"BecameFolder", [](TCtFileInfo& r) { r.IsDirectory = true; }, false},
                    TDiffRow{"Unreadable", [](TCtFileInfo& r) { r.Attributes = -1; }, false}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST(MediaDiffOrder, FoldersFirstThenAddedAndRemovedByPath)
{
    TMediaFolder stored(nullptr, "S");
    TMediaFolder live(nullptr, "L");
    stored.AddRecord(Record("b.jpg", false, 1));
    stored.AddRecord(Record("old", true));
    live.AddRecord(Record("a.jpg", false, 1));
    live.AddRecord(Record("b.jpg", false, 1));
    live.AddRecord(Record("new", true));
    stored.CompleteCatalogue();
    live.CompleteCatalogue();
    const std::vector<TDiffEntry> diff = CompareCatalogues(live, stored);
    ASSERT_EQ(diff.size(), 3u);
    EXPECT_EQ(diff[0].Path, "new");
    EXPECT_EQ(diff[0].Kind, TDiffKind::dkAdded);
    EXPECT_EQ(diff[1].Path, "old");
    EXPECT_EQ(diff[1].Kind, TDiffKind::dkRemoved);
    EXPECT_EQ(diff[2].Path, "a.jpg");
    EXPECT_EQ(CompareCatalogues(live, stored, true).size(), 4u);
}

TEST(MediaVolumes, SerialsFromUuids)
{
    EXPECT_EQ(SerialFromUuid("vfat", "1A2B-3C4D"), 0x1A2B3C4Du);
    EXPECT_EQ(SerialFromUuid("exfat", "0000-00FF"), 0xFFu);
    EXPECT_EQ(SerialFromUuid("ntfs3", "0123456789ABCDEF"), 0x89ABCDEFu);
    // FNV-1a-32 of "a" is 0xE40C292C.
    EXPECT_EQ(SerialFromUuid("ext4", "a"), 0xE40C292Cu);
    EXPECT_EQ(SerialFromUuid("vfat", "a"), 0xE40C292Cu);
    EXPECT_EQ(SerialFromUuid("ext4", ""), 0u);
}

TEST(MediaVolumes, LabelAndUuidFromDiskLinks)
{
    TTempFolder t;
    const std::string device = t.Write("dev/sdz1", "");
    t.Write("disk/by-label/.keep", "");
    t.Write("disk/by-uuid/.keep", "");
    ASSERT_EQ(symlink(device.c_str(), t.File("disk/by-label/MY\\x20DISC").c_str()), 0);
    ASSERT_EQ(symlink(device.c_str(), t.File("disk/by-uuid/1A2B-3C4D").c_str()), 0);
    const TVolumeInfo v = ReadVolumeInfo(TMountPoint{t.Path(), device, "vfat"}, t.File("disk"));
    EXPECT_EQ(v.Label, "MY DISC");
    EXPECT_EQ(v.Serial, 0x1A2B3C4Du);
    EXPECT_GT(v.Capacity, 0);
}

struct TScanRow {
    const char* Name;
    TDriveType MediumType;
    bool Optical;
    std::string Label;
    uint32_t Serial;
    bool FullScanFinds;
    bool ArrivalFinds;
};

class MediaScan : public testing::TestWithParam<TScanRow> {};

TEST_P(MediaScan, RecognisesByLabelSerialAndKind)
{
    const TScanRow& row = GetParam();
    TMediaList list;
    TMediaFolder& m = *list.Medium(list.Add("M", 0, ""));
    m.VolumeLabel = "DISC";
    m.SerialNumber = 0x1234;
    m.FileSystem = "vfat";
    m.DriveType = row.MediumType;
    TVolumeInfo v;
    v.MountPath = "/media/u/DISC";
    v.Device = "/dev/sdz1";
    v.FsType = "vfat";
    v.Label = row.Label;
    v.Serial = row.Serial;
    v.Removable = true;
    v.Optical = row.Optical;
    ScanMedia(list, {v});
    EXPECT_EQ(m.LivePath(), row.FullScanFinds ? v.MountPath : "");
    ScanMedia(list, {});
    EXPECT_FALSE(m.Inserted());
    ApplyMountChanges(list, {}, {v});
    EXPECT_EQ(m.Inserted(), row.ArrivalFinds);
    ApplyMountChanges(list, {v}, {});
    EXPECT_FALSE(m.Inserted());
}

INSTANTIATE_TEST_SUITE_P(
    Rows, MediaScan,
    testing::Values(TScanRow{"Same", TDriveType::dtRemovable, false, "DISC", 0x1234, true, true},
                    TScanRow{"CdForRemovable", TDriveType::dtRemovable, true, "DISC", 0x1234, true, false},
                    TScanRow{"OtherLabel", TDriveType::dtRemovable, false, "disc", 0x1234, false, false},
                    TScanRow{"OtherSerial", TDriveType::dtRemovable, false, "DISC", 0x1235, false, false},
                    TScanRow{"NetworkNeverScanned", TDriveType::dtNetwork, false, "DISC", 0x1234, false, false}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST(MediaScanNotices, InsertAndRemoveAreAnnouncedAndLockRefusesEject)
{
    struct TSpy : TFolderListObserver {
        std::vector<bool> Inserted;
        void FolderListChanged(TCustomFolderList&, const TListChange& c) override
        {
            if (c.Kind == TListChangeKind::lcChangeDevice)
                Inserted.push_back(c.Inserted);
        }
    } spy;
    TMediaList list;
    list.RegisterObserver(&spy);
    TMediaFolder& m = *list.Medium(list.Add("M", 0, ""));
    m.DriveType = TDriveType::dtFixed;
    TVolumeInfo v;
    v.MountPath = "/mnt/x";
    ScanMedia(list, {v});
    ScanMedia(list, {v});
    EXPECT_FALSE(RefusesRemoval(list, "/mnt/x"));
    list.LockedDrive = "/mnt/x";
    EXPECT_TRUE(RefusesRemoval(list, "/mnt/x"));
    ScanMedia(list, {});
    EXPECT_EQ(spy.Inserted, (std::vector<bool>{true, false}));
    list.UnregisterObserver(&spy);
}

// A folder catalogued below its mount is the medium, not the whole volume:
// it is there only while the folder is, and the mount's removal or busy mark
// covers it. A disc catalogued at its top follows its mount anywhere.
TEST(MediaScanFolders, AFolderBelowItsMountIsTheMediumWhileItIsThere)
{
    TTempFolder t;
    const std::string mount = ExcludeTrailingPathDelimiter(t.Path());
    ForceDirectories(t.File("photos/2024"));
    TMediaList list;
    TMediaFolder& folder = *list.Medium(list.Add("Folder", 0, ""));
    TMediaFolder& disc = *list.Medium(list.Add("Disc", 0, ""));
    for (TMediaFolder* m : {&folder, &disc}) {
        m->DriveType = TDriveType::dtFixed;
        m->VolumeLabel = "VOL";
    }
    folder.StoredRootId = TItemIdList::FromPath(t.File("photos/2024"));
    disc.StoredRootId = TItemIdList::FromPath("/media/u/VOL");
    TVolumeInfo v;
    v.MountPath = mount;
    v.Label = "VOL";
    ScanMedia(list, {v});
    EXPECT_EQ(folder.LivePath(), t.File("photos/2024"));
    EXPECT_EQ(disc.LivePath(), mount);
    list.LockedDrive = folder.LivePath();
    EXPECT_TRUE(RefusesRemoval(list, mount));
    list.LockedDrive.clear();
    ApplyMountChanges(list, {v}, {});
    EXPECT_FALSE(folder.Inserted());

    ASSERT_EQ(std::rename(t.File("photos/2024").c_str(), t.File("photos/away").c_str()), 0);
    EXPECT_FALSE(ScanMedium(list, 0, {v}));
    ApplyMountChanges(list, {}, {v});
    EXPECT_FALSE(folder.Inserted());
    EXPECT_EQ(disc.LivePath(), mount);
}

TEST(MediaLoading, ThreadInstallsRecordsOrDiscardsThemWhenStopped)
{
    TTempFolder t;
    for (int i = 0; i < 50; ++i)
        t.Write("disc/d" + std::to_string(i % 5) + "/f" + std::to_string(i), "x");
    TQueueDispatcher dispatcher;
    TMediaList list;
    TMediaFolder& m = *list.Medium(list.Add("M", 0, ""));
    int loaded = 0;
    m.OnLoaded = [&](TMediaFolder&, const std::string& error) {
        EXPECT_EQ(error, "");
        ++loaded;
    };
    StartLoading(m, t.File("disc"), dispatcher, false);
    EXPECT_TRUE(m.Loading());
    const auto deadline = TQueueDispatcher::TClock::now() + std::chrono::seconds(20);
    while (loaded == 0 && dispatcher.RunOne(deadline)) {
    }
    ASSERT_EQ(loaded, 1);
    EXPECT_FALSE(m.Loading());
    EXPECT_TRUE(m.Loaded);
    EXPECT_EQ(m.Count(), 55);
    EXPECT_EQ(m.ItemsOf("d3").size(), 10u);

    StartLoading(m, t.File("disc"), dispatcher, true);
    EXPECT_TRUE(m.Reloading);
    m.StopLoading();
    dispatcher.RunPending();
    while (dispatcher.RunOne(TQueueDispatcher::TClock::now() + std::chrono::milliseconds(50))) {
    }
    EXPECT_EQ(loaded, 1);
    EXPECT_EQ(m.Count(), 55);  // a stopped reload keeps the old catalogue
    EXPECT_FALSE(m.Reloading);
}

}  // namespace
