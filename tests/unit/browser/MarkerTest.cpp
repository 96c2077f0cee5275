// The recent files and markers: their list files both ways, the rules that
// make, replace and trim entries, the menu captions, the jump list, and
// opening an entry.

#include <gtest/gtest.h>

#include "app/OpenPath.h"
#include "base/PathUtils.h"
#include "browser/MarkerList.h"
#include "browser/RecentFiles.h"
#include "platform/FileSystem.h"
#include "support/TempFolder.h"

namespace {

TDateTime At(int y, int mo, int d, int h = 0, int mi = 0, int s = 0)
{
    TDateParts p;
    p.Year = y, p.Month = mo, p.Day = d, p.Hour = h, p.Minute = mi, p.Second = s;
    return EncodeDateTime(p);
}

TMarkerPath Entry(std::string archive, std::string folder, std::string file, int index = 0, int count = 5)
{
    return TMarkerPath{std::move(archive), std::move(folder), std::move(file), index, count, At(2024, 5, 6, 7, 8, 9)};
}

TNotedImage Noted(std::string folder, std::string file, int index, int count, bool atEnd = false)
{
    return TNotedImage{{}, std::move(folder), std::move(file), index, count, atEnd};
}

// ---- the list file, both ways -----------------------------------------------

class MarkerFileRoundTrip : public testing::TestWithParam<TMarkerPath> {};

TEST_P(MarkerFileRoundTrip, ReadsBackWhatItWrote)
{
    const TMarkerPath entry = GetParam();
    const TMarkerPath other = Entry("", "/b/", "next.png", 1, 2);
    const TMarkerListText read = ReadMarkerList(WriteMarkerList({entry, other}));
    EXPECT_TRUE(read.Complete) << read.Error;
    ASSERT_EQ(read.Entries.size(), 2u);
    EXPECT_EQ(read.Entries[0], entry);
    EXPECT_EQ(read.Entries[1], other);
}

INSTANTIATE_TEST_SUITE_P(Names, MarkerFileRoundTrip,
                         testing::Values(Entry("", "/home/u/Books/", "p001.jpg", 0, 20),
                                         Entry("/a/b.zip", "dir/", "say \"hi\".jpg", 3, 9),
                                         Entry("/a/c,d.cbz", "x/in.zip//sub/", "a,b.png", -1, 0),
                                         Entry("", "/two\nlines/", "cr\r\nlf.jpg", 4, 5),
                                         Entry("", "/漫画/第1巻/", "", 0, 1)));

TEST(MarkerFile, WritesQuotedFieldsAndTimesWhateverTheLocale)
{
    EXPECT_EQ(WriteMarkerList({Entry("", "/a/", "x\"y.jpg", 2, 7)}),
              "\"\",\"/a/\",\"x\"\"y.jpg\",\"2\",\"7\",\"2024/05/06 07:08:09\"\n");
}

struct TTimeRow {
    const char* Text;
    bool Valid;
    TDateTime Value;
};

class ListTimes : public testing::TestWithParam<TTimeRow> {};

TEST_P(ListTimes, AreReadTolerantly)
{
    const auto read = ParseListTime(GetParam().Text);
    ASSERT_EQ(read.has_value(), GetParam().Valid) << GetParam().Text;
    if (read) {
        EXPECT_DOUBLE_EQ(*read, GetParam().Value);
    }
}

INSTANTIATE_TEST_SUITE_P(Forms, ListTimes,
                         testing::Values(TTimeRow{"2009/03/07 09:05:01", true, At(2009, 3, 7, 9, 5, 1)},
                                         TTimeRow{"2009/3/7 9:05:01", true, At(2009, 3, 7, 9, 5, 1)},
                                         TTimeRow{"2009-03-07 23:59", true, At(2009, 3, 7, 23, 59)},
                                         TTimeRow{"2009.03.07", true, At(2009, 3, 7)},
                                         TTimeRow{" 2009/03/07 09:05:01 ", true, At(2009, 3, 7, 9, 5, 1)},
                                         TTimeRow{"2009/02/30 09:05:01", false, 0},
                                         TTimeRow{"2009/03-07", false, 0}, TTimeRow{"2009/03/07 24:00", false, 0},
                                         TTimeRow{"2009/03/07 9:05:01 PM", false, 0}, TTimeRow{"", false, 0}));

TEST(MarkerFile, SkipsUnreadableLinesAndStopsAtAnEmptyLine)
{
    const std::string text = "\"\",\"/a/\",\"1.jpg\",\"0\",\"3\",\"2020/01/02 03:04:05\"\r\n"
                             "\"\",\"/b/\",\"2.jpg\",\"x\",\"3\",\"2020/01/02 03:04:05\"\r\n"
                             "\"\",\"/c/\",\"3.jpg\",\"1\",\"3\"\r\n"
                             "\"\",\"/d/\",\"4.jpg\",\"2\",\"3\",\"2020/01/02 03:04:05\"\r\n"
                             "\r\n"
                             "\"\",\"/e/\",\"5.jpg\",\"2\",\"3\",\"2020/01/02 03:04:05\"\r\n";
    const TMarkerListText read = ReadMarkerList(text);
    EXPECT_FALSE(read.Complete);
    ASSERT_EQ(read.Entries.size(), 2u);
    EXPECT_EQ(read.Entries[0].Folder, "/a/");
    EXPECT_EQ(read.Entries[1].Folder, "/d/");
}

TEST(MarkerFile, AnOpenQuoteIsDamage)
{
    const TMarkerListText read = ReadMarkerList("\"\",\"/a/\",\"1.jpg\",\"0\",\"3\",\"2020/01/02 03:04:05\"\n\"\",\"/b");
    EXPECT_FALSE(read.Complete);
    EXPECT_EQ(read.Entries.size(), 1u);
}

TEST(MarkerFile, OlderFilesInCp932AreRead)
{
    // "\x8a\xbf\x8e\x9a" is 漢字 in CP932.
    const TMarkerListText read = ReadMarkerList("\"\",\"/\x8a\xbf\x8e\x9a/\",\"a.jpg\",\"0\",\"1\",\"2001/2/3 4:05:06\"\r\n");
    ASSERT_EQ(read.Entries.size(), 1u);
    EXPECT_EQ(read.Entries[0].Folder, "/漢字/");
}

// ---- the files in the data folder ---------------------------------------------

TEST(RecentStore, LoadsAtMostCountEntries)
{
    TTempFolder home;
    home.Write(RecentFileName, WriteMarkerList({Entry("", "/1/", "a"), Entry("", "/2/", "a"), Entry("", "/3/", "a"),
                                                Entry("", "/4/", "a")}));
    TRecentFiles recent(home.Path());
    recent.Load(3);
    ASSERT_EQ(recent.Entries().size(), 3u);
    EXPECT_EQ(recent.Entries()[2].Folder, "/3/");
}

TEST(MarkerStore, AnEmptyListRemovesTheFileAndKeepsTheBackup)
{
    TTempFolder home;
    const std::string original = WriteMarkerList({Entry("", "/1/", "a")});
    home.Write(MarkerFileName, original);
    TMarkerList markers(home.Path());
    markers.Load();
    markers.Replace({});
    markers.Save();
    EXPECT_FALSE(FileExists(home.File(MarkerFileName)));
    EXPECT_EQ(home.Read(MarkerBackupName), original);
}

TEST(MarkerStore, TheBackupHoldsTheFileAsTheRunFoundIt)
{
    TTempFolder home;
    const std::string original = WriteMarkerList({Entry("", "/1/", "a")});
    home.Write(MarkerFileName, original);
    TMarkerList markers(home.Path());
    markers.Load();
    markers.SetMark(Noted("/2/", "b", 1, 2), At(2024, 1, 1));
    markers.Save();
    markers.SetMark(Noted("/3/", "c", 1, 2), At(2024, 1, 1));
    markers.Save();
    EXPECT_EQ(home.Read(MarkerBackupName), original);
    EXPECT_EQ(ReadMarkerList(home.Read(MarkerFileName)).Entries.size(), 3u);
}

TEST(RecentStore, ADamagedFileIsKeptBeforeASaveReplacesIt)
{
    TTempFolder home;
    const std::string damaged = "\"\",\"/a/\",\"1.jpg\",\"0\",\"3\",\"2020/01/02 03:04:05\"\nbroken\n";
    home.Write(RecentFileName, damaged);
    TRecentFiles recent(home.Path());
    EXPECT_TRUE(recent.Load(10).Damaged);
    ASSERT_EQ(recent.Entries().size(), 1u);
    recent.Replace({});
    recent.Save();
    ASSERT_FALSE(recent.Store().DamagedCopy().empty());
    EXPECT_EQ(home.Read(ExtractFileName(recent.Store().DamagedCopy())), damaged);
    EXPECT_FALSE(FileExists(home.File(RecentFileName)));
}

// ---- the recent files' rules ---------------------------------------------------

TEST(RecentFiles, TwoPicturesOfOnePlaceLeaveOneEntryForTheLater)
{
    TTempFolder home;
    TRecentFiles recent(home.Path());
    recent.Add(Entry("", "/other/", "z.jpg"));
    recent.Note(Noted("/book/", "p1.jpg", 0, 3));
    EXPECT_TRUE(recent.RecordNoted(false, At(2024, 1, 1)));
    EXPECT_FALSE(recent.RecordNoted(false, At(2024, 1, 1)));  // the note is used up
    recent.Note(Noted("/book/", "p2.jpg", 1, 3));
    recent.RecordNoted(false, At(2024, 1, 2));
    ASSERT_EQ(recent.Entries().size(), 2u);
    EXPECT_EQ(recent.Entries()[0].FileName, "p2.jpg");
    EXPECT_EQ(recent.Entries()[1].Folder, "/other/");
    ASSERT_NE(recent.Find("/book/"), nullptr);
    EXPECT_EQ(recent.Find("/book/")->Index, 1);
}

TEST(RecentFiles, AnArchiveEntryReplacesOnlyItsOwnFolder)
{
    TTempFolder home;
    TRecentFiles recent(home.Path());
    recent.Add(Entry("/a.zip", "", "one/x.jpg"));
    recent.Add(Entry("/a.zip", "in.zip", "x.jpg"));
    recent.Add(Entry("/a.zip", "", "two/y.jpg"));
    ASSERT_EQ(recent.Entries().size(), 2u);
    EXPECT_EQ(recent.Entries()[0].FileName, "two/y.jpg");
    EXPECT_EQ(recent.Find("/a.zip//in.zip")->FileName, "x.jpg");
    EXPECT_EQ(recent.Find("/A.zip"), nullptr);  // paths keep their case
}

struct TExceptLastRow {
    bool ExceptLast;
    bool AtEnd;
    const char* Recorded;
};

class RecentExceptLast : public testing::TestWithParam<TExceptLastRow> {};

TEST_P(RecentExceptLast, RemembersOnlyThePlaceOfABookReadToItsEnd)
{
    TTempFolder home;
    TRecentFiles recent(home.Path());
    recent.Note(Noted("/book/", "p9.jpg", 8, 9, GetParam().AtEnd));
    recent.RecordNoted(GetParam().ExceptLast, At(2024, 1, 1));
    EXPECT_EQ(recent.Entries().at(0).FileName, GetParam().Recorded);
}

INSTANTIATE_TEST_SUITE_P(Rows, RecentExceptLast,
                         testing::Values(TExceptLastRow{true, true, ""}, TExceptLastRow{true, false, "p9.jpg"},
                                         TExceptLastRow{false, true, "p9.jpg"}));

TEST(RecentFiles, TrimKeepsTheNewest)
{
    TTempFolder home;
    TRecentFiles recent(home.Path());
    for (const char* folder : {"/1/", "/2/", "/3/", "/4/"})
        recent.Add(Entry("", folder, "a"));
    EXPECT_TRUE(recent.Trim(2));
    EXPECT_FALSE(recent.Trim(2));
    ASSERT_EQ(recent.Entries().size(), 2u);
    EXPECT_EQ(recent.Entries()[1].Folder, "/3/");
}

TEST(RecentFiles, OlderSettingsEntriesJoinBehind)
{
    TTempFolder home;
    TRecentFiles recent(home.Path());
    recent.Add(Entry("", "/kept/", "a.jpg"));
    const int taken = recent.AddOldEntries({"\"\",\"/kept/\",\"b.jpg\",\"1\",\"2\",\"2005/1/2 3:04:05\"",
                                            ",/old/,c.jpg,4,5,2005/01/02 03:04:05", "not an entry",
                                            "\"\",\"/late/\",\"d.jpg\",\"1\",\"2\",\"2005/1/2 3:04:05\""},
                                           2);
    EXPECT_EQ(taken, 1);
    ASSERT_EQ(recent.Entries().size(), 2u);
    EXPECT_EQ(recent.Entries()[0].FileName, "a.jpg");
    EXPECT_EQ(recent.Entries()[1], (TMarkerPath{"", "/old/", "c.jpg", 4, 5, At(2005, 1, 2, 3, 4, 5)}));
}

struct TCaptionRow {
    TMarkerPath Entry;
    bool FullPath;
    const char* Caption;
};

class RecentCaptions : public testing::TestWithParam<TCaptionRow> {};

TEST_P(RecentCaptions, ShowTheEntry)
{
    EXPECT_EQ(RecentCaption(3, GetParam().Entry, GetParam().FullPath), GetParam().Caption);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, RecentCaptions,
    testing::Values(TCaptionRow{Entry("", "/home/u/Book/", "p1.jpg"), true, "3: /home/u/Book/p1.jpg"},
                    TCaptionRow{Entry("", "/home/u/Book/", "p1.jpg"), false, "3: p1.jpg"},
                    TCaptionRow{Entry("", "/home/u/Book/", ""), true, "3: /home/u/Book"},
                    TCaptionRow{Entry("", "/home/u/Book/", ""), false, "3: /home/u/Book"},
                    TCaptionRow{Entry("", "/", ""), true, "3: /"},
                    TCaptionRow{Entry("/c/Book.zip", "", "dir/p1.jpg"), true, "3: /c/Book.zip － dir/p1.jpg"},
                    TCaptionRow{Entry("/c/Book.zip", "", "dir/p1.jpg"), false, "3: Book.zip － dir/p1.jpg"},
                    TCaptionRow{Entry("/c/Book.zip", "x/in.zip", "p1.jpg"), false, "3: Book.zip － x/in.zip/p1.jpg"},
                    TCaptionRow{Entry("/c/Book.zip", "x/in.zip", ""), false, "3: Book.zip － x/in.zip"},
                    TCaptionRow{Entry("/c/Book.zip", "", ""), false, "3: Book.zip"}));

TEST(RecentFiles, TheMenuShowsTheFirstViewEntries)
{
    const std::vector<TMarkerPath> entries{Entry("", "/1/", "a"), Entry("", "/2/", "b"), Entry("", "/3/", "c")};
    EXPECT_EQ(RecentMenuCaptions(entries, 2, false), (std::vector<std::string>{"1: a", "2: b"}));
    EXPECT_EQ(RecentMenuCaptions(entries, 10, false).size(), 3u);
}

// ---- markers -------------------------------------------------------------------

const std::vector<std::string> Pages{"/book/p0.jpg", "/book/p1.jpg", "/book/p2.jpg", "/book/p3.jpg", "/book/p4.jpg",
                                     "/book/p5.jpg", "/book/p6.jpg", "/book/p7.jpg", "/book/p8.jpg", "/book/p9.jpg"};

struct TNextRow {
    std::vector<int> Marked;
    int Current;
    std::optional<int> Next;
};

class NextMarker : public testing::TestWithParam<TNextRow> {};

TEST_P(NextMarker, StepsForwardAndWraps)
{
    TTempFolder home;
    TMarkerList markers(home.Path());
    std::vector<TMarkerPath> entries;
    for (int index : GetParam().Marked)
        entries.push_back(Entry("", "/book/", "p" + std::to_string(index) + ".jpg", -1, 10));
    entries.push_back(Entry("", "/other/", "p0.jpg", 0, 10));
    markers.Replace(entries);
    markers.RebuildJumps("/book/", Pages, false);
    EXPECT_EQ(markers.NextMarker(GetParam().Current), GetParam().Next);
}

INSTANTIATE_TEST_SUITE_P(Rows, NextMarker,
                         testing::Values(TNextRow{{7, 2}, 9, 2}, TNextRow{{7, 2}, 2, 7}, TNextRow{{7, 2}, -1, 2},
                                         TNextRow{{0, 5}, 5, 0}, TNextRow{{0, 5}, 0, 5}, TNextRow{{}, 3, std::nullopt},
                                         // a marker whose file is gone is skipped
                                         TNextRow{{42}, 3, std::nullopt}, TNextRow{{42, 4}, 4, 4}));

TEST(Markers, SettingTheSamePictureTwiceKeepsOne)
{
    TTempFolder home;
    TMarkerList markers(home.Path());
    markers.RebuildJumps("/book/", Pages, false);
    EXPECT_TRUE(markers.SetMark(Noted("/book/", "p7.jpg", 7, 10), At(2024, 1, 1)));
    EXPECT_FALSE(markers.SetMark(Noted("/book/", "p7.jpg", 7, 10), At(2024, 1, 2)));
    EXPECT_TRUE(markers.SetMark(Noted("/book/", "p2.jpg", 2, 10), At(2024, 1, 1)));
    EXPECT_EQ(markers.Entries().size(), 2u);
    EXPECT_EQ(markers.JumpIndices(), (std::vector<int>{2, 7}));
}

TEST(Markers, TheJumpListFindsArchiveMembersAgain)
{
    TTempFolder home;
    TMarkerList markers(home.Path());
    markers.Replace({Entry("/b.zip", "", "dir/c.jpg", 0), Entry("/b.zip", "in.zip", "dir/a.jpg", 5),
                     Entry("/b.zip", "", "dir/gone.jpg", 1)});
    markers.RebuildJumps("/b.zip", {"dir/a.jpg", "dir/b.jpg", "dir/c.jpg"}, true);
    EXPECT_EQ(markers.JumpIndices(), (std::vector<int>{-1, 2}));
    EXPECT_EQ(markers.NextMarker(-1), 2);
}

// ---- opening an entry ------------------------------------------------------------

class TRecordingView : public TPlaceView {
public:
    TShownPlace Shown;
    std::vector<std::string> Calls;

    TShownPlace ShownPlace() const override { return Shown; }
    void SetPendingSelection(const TPendingSelection& s) override
    {
        Calls.push_back("pending " + s.FilePath + s.ArchiveFileName);
    }
    bool ShowFolder(const std::string& folder) override
    {
        Calls.push_back("folder " + folder);
        return true;
    }
    bool ShowArchive(const std::string& archive, const std::string& inner) override
    {
        Calls.push_back("archive " + archive + " at " + inner);
        return true;
    }
    bool SelectAndShow(const std::string& name) override
    {
        Calls.push_back("show " + name);
        return true;
    }
    void ShowFirstImage() override { Calls.push_back("first"); }
    std::string SingleTopFolder() const override { return {}; }
};

TEST(OpenMarkerEntry, OpensTheArchiveAtTheFilesFolder)
{
    TTempFolder home;
    const std::string archive = home.Write("b.zip", "PK");
    TRecordingView view;
    ASSERT_TRUE(OpenMarkerEntry(Entry(archive, "", "sub/p.jpg"), true, view));
    EXPECT_EQ(view.Calls, (std::vector<std::string>{"pending sub/p.jpg", "archive " + archive + " at sub/"}));
    view.Calls.clear();
    view.Shown = TShownPlace{TPlaceKind::pkArchive, {}, archive, "sub/"};
    ASSERT_TRUE(OpenMarkerEntry(Entry(archive, "", "sub/p.jpg"), true, view));
    EXPECT_EQ(view.Calls, (std::vector<std::string>{"show sub/p.jpg"}));
    view.Calls.clear();
    ASSERT_TRUE(OpenMarkerEntry(Entry(archive, "in.zip", "sub/p.jpg"), true, view));
    EXPECT_EQ(view.Calls, (std::vector<std::string>{"pending sub/p.jpg", "archive " + archive + " at in.zip//sub/"}));
}

TEST(OpenMarkerEntry, DoesNothingForAPlaceThatIsGone)
{
    TTempFolder home;
    home.Write("book/p.jpg", "x");
    TRecordingView view;
    EXPECT_FALSE(OpenMarkerEntry(Entry(home.File("gone.zip"), "", "p.jpg"), true, view));
    EXPECT_FALSE(OpenMarkerEntry(Entry("", home.File("book/"), "q.jpg"), true, view));
    EXPECT_TRUE(view.Calls.empty());
    EXPECT_TRUE(OpenMarkerEntry(Entry("", home.File("book/"), "p.jpg"), true, view));
    EXPECT_EQ(view.Calls, (std::vector<std::string>{"pending " + home.File("book/p.jpg"), "folder " + home.File("book/")}));
}

struct TRememberedRow {
    TMarkerPath Entry;
    TShownPlace Place;
    bool ArchiveFolder;
    bool SameArchive;
    TRememberedPicture Expected;
};

class RememberedPicture : public testing::TestWithParam<TRememberedRow> {};

TEST_P(RememberedPicture, FollowsWhereTheListStands)
{
    const TRememberedRow& row = GetParam();
    EXPECT_EQ(PlaceKey(row.Place), MarkerKey(row.Entry));
    EXPECT_EQ(FindRememberedPicture(&row.Entry, row.Place, row.ArchiveFolder, row.SameArchive), row.Expected);
}

const TShownPlace BookFolder{TPlaceKind::pkFolder, "/b/", {}, {}};
TShownPlace InArchive(std::string inner) { return TShownPlace{TPlaceKind::pkArchive, {}, "/a.zip", std::move(inner)}; }

INSTANTIATE_TEST_SUITE_P(
    Rows, RememberedPicture,
    testing::Values(TRememberedRow{Entry("", "/b/", "p.jpg"), BookFolder, true, false, {"", "/b/p.jpg"}},
                    TRememberedRow{Entry("", "/b/", ""), BookFolder, true, false, {}},
                    TRememberedRow{Entry("/a.zip", "", "d/p.jpg"), InArchive("d/"), true, false, {"", "d/p.jpg"}},
                    TRememberedRow{Entry("/a.zip", "", "d/p.jpg"), InArchive(""), true, false, {"d/", "d/p.jpg"}},
                    TRememberedRow{Entry("/a.zip", "", "d/p.jpg"), InArchive("e/"), true, false, {}},
                    TRememberedRow{Entry("/a.zip", "", "d/p.jpg"), InArchive("d/"), true, true, {}},
                    TRememberedRow{Entry("/a.zip", "x.zip", "d/p.jpg"), InArchive("x.zip"), true, false,
                                   {"x.zip//d/", "d/p.jpg"}},
                    TRememberedRow{Entry("/a.zip", "", "d/p.jpg"), InArchive(""), false, false, {"", "d/p.jpg"}},
                    TRememberedRow{Entry("/a.zip", "", "d/p.jpg"), InArchive("d/"), false, false, {"", "d/p.jpg"}},
                    TRememberedRow{Entry("/a.zip", "", "d/p.jpg"), InArchive("e/"), false, false, {}}));

}  // namespace
