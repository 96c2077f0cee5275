#include <gtest/gtest.h>

#include <bit>

#include "thumbnails/ThumbFiles.h"
#include "unit/thumbnails/ThumbBytes.h"

namespace {

TThumbnailRecord Made(std::string name, std::string jpeg, int64_t size, uint8_t flag = 0)
{
    TThumbnailRecord r;
    r.Name = std::move(name);
    r.Jpeg.assign(jpeg.begin(), jpeg.end());
    r.Width = 1234;
    r.Height = 567;
    r.Bits = 24;
    r.FileSize = size;
    r.FileTime = 45000.25;
    r.BoxWidth = 100;
    r.BoxHeight = 80;
    r.FolderFlag = flag;
    r.Origin = TThumbOrigin::toMade;
    return r;
}

TThumbDataContents ReadAll(const std::vector<uint8_t>& bytes, bool inArchive = false, int32_t count = 1000)
{
    TMemoryStream stream(bytes);
    return ReadThumbData(stream, 7, count, inArchive, {});
}

struct TNumberRow {
    int32_t Number;
    const char* Name;
};
class ThumbNumbering : public testing::TestWithParam<TNumberRow> {};

TEST_P(ThumbNumbering, NamesTheFolderAndFileOfANumber)
{
    EXPECT_EQ(ThumbDataFileName(GetParam().Number), GetParam().Name);
}
INSTANTIATE_TEST_SUITE_P(Rows, ThumbNumbering,
                         testing::Values(TNumberRow{0, "00001/0001.ltf"}, TNumberRow{1023, "00001/1024.ltf"},
                                         TNumberRow{1024, "00002/0001.ltf"},
                                         TNumberRow{ThumbNumberLimit - 1, "99999/1024.ltf"}));

TEST(ThumbFiles, IndexAndDataRoundTripByteForByte)
{
    const std::vector<TThumbIndexRow> rows = {{"/pics/", 0, 120, 2, 45001.5}, {"/pics/book.zip", 1025, 99, 1, 45002.75},
                                              {"/写真/", 3, 7, 0, 0}};
    TMemoryStream first;
    WriteThumbIndex(first, rows);
    first.SetPosition(0);
    const TThumbIndexContents read = ReadThumbIndex(first);
    EXPECT_TRUE(read.Outcome.Complete);
    EXPECT_EQ(read.Rows, rows);
    TMemoryStream second;
    WriteThumbIndex(second, read.Rows);
    EXPECT_EQ(second.Bytes(), first.Bytes());

    std::vector<TThumbnailRecord> records = {Made("a.jpg", "JPEG-A", 10), Made("sub", "JPEG-BB", 1ll << 40, 1)};
    TMemoryStream data;
    const int64_t size = WriteThumbData(data, 4, records, {});
    EXPECT_EQ(size, data.Size());
    const TThumbDataContents back = ReadAll(data.Bytes());
    ASSERT_EQ(back.Records.size(), 2u);
    EXPECT_EQ(back.Version, ThumbFileVersion);
    EXPECT_EQ(back.Records[1].FileSize, 1ll << 40);
    EXPECT_EQ(back.Records[1].FolderFlag, 1);
    EXPECT_EQ(back.Records[0].BoxHeight, 80);
    std::vector<TThumbnailRecord> again = back.Records;
    TMemoryStream rewritten;
    WriteThumbData(rewritten, 7, again, [&](const TThumbnailRecord& r) {
        TMemoryStream source(data.Bytes());
        return ReadThumbBytes(source, r);
    });
    EXPECT_EQ(rewritten.Bytes(), data.Bytes());
}

struct TVersionRow {
    int32_t Version;
    int64_t FileSize;
};
class ThumbDataVersions : public testing::TestWithParam<TVersionRow> {};

TEST_P(ThumbDataVersions, OlderLayoutsReadAndRewriteAsCurrent)
{
    const TVersionRow row = GetParam();
    TThumbBytes file;
    file.Text(ThumbDataSignature).I32(row.Version);
    file.Entry(row.Version, "one.jpg", "J1", row.FileSize, 44000.5, 96, 64, 0);
    file.Entry(row.Version, "two.jpg", "JPG2", 5, 44001.0, 96, 64, 1);
    const TThumbDataContents read = ReadAll(file.Data);
    ASSERT_TRUE(read.Outcome.Complete) << read.Outcome.Error;
    ASSERT_EQ(read.Records.size(), 2u);
    EXPECT_EQ(read.Records[0].FileSize, row.FileSize);
    EXPECT_EQ(read.Records[0].BoxHeight, row.Version >= 258 ? 64 : 96);
    EXPECT_EQ(read.Records[1].FolderFlag, 1);
    EXPECT_EQ(read.Records[1].DataLength, 4);

    std::vector<TThumbnailRecord> records = read.Records;
    TMemoryStream out;
    WriteThumbData(out, 7, records, [&](const TThumbnailRecord& r) {
        TMemoryStream source(file.Data);
        return ReadThumbBytes(source, r);
    });
    const TThumbDataContents current = ReadAll(out.Bytes());
    EXPECT_EQ(current.Version, ThumbFileVersion);
    ASSERT_EQ(current.Records.size(), 2u);
    EXPECT_EQ(current.Records[0].FileSize, row.FileSize);
    EXPECT_EQ(current.Records[0].BoxHeight, read.Records[0].BoxHeight);
    TMemoryStream whole(out.Bytes());
    EXPECT_EQ(ReadThumbBytes(whole, current.Records[1]), std::vector<uint8_t>({'J', 'P', 'G', '2'}));
}
INSTANTIATE_TEST_SUITE_P(Rows, ThumbDataVersions,
                         testing::Values(TVersionRow{249, 4000000000}, TVersionRow{250, 1ll << 33},
                                         TVersionRow{257, 12}, TVersionRow{258, 1ll << 35}));

// A damaged index or data file may hold any bit pattern where a date belongs;
// what is not a date reads as 0, so that the index writes back unchanged and
// the "unused for N days" cleaning sees an old entry instead of one that
// compares false with every day.
struct TDateRow {
    uint64_t Stored;
    double Read;
};
class ThumbDates : public testing::TestWithParam<TDateRow> {};

TEST_P(ThumbDates, WhatIsNoDateReadsAsZero)
{
    const double stored = std::bit_cast<double>(GetParam().Stored);
    TThumbBytes index;
    index.Text(ThumbIndexSignature).I32(ThumbFileVersion).Text("/u/pictures").I32(0).I32(4000).I32(63).Dbl(stored);
    TMemoryStream indexIn(index.Data);
    const TThumbIndexContents read = ReadThumbIndex(indexIn);
    ASSERT_TRUE(read.Outcome.Complete) << read.Outcome.Error;
    ASSERT_EQ(read.Rows.size(), 1u);
    EXPECT_EQ(read.Rows[0].LastUsed, GetParam().Read);
    TMemoryStream indexOut;
    WriteThumbIndex(indexOut, read.Rows);
    indexOut.SetPosition(0);
    EXPECT_EQ(ReadThumbIndex(indexOut).Rows, read.Rows);

    TThumbBytes data;
    data.Text(ThumbDataSignature).I32(ThumbFileVersion).Entry(ThumbFileVersion, "a.jpg", "J", 5, stored, 96, 64);
    const TThumbDataContents records = ReadAll(data.Data);
    ASSERT_EQ(records.Records.size(), 1u);
    EXPECT_EQ(records.Records[0].FileTime, GetParam().Read);
}
INSTANTIATE_TEST_SUITE_P(Rows, ThumbDates,
                         testing::Values(TDateRow{0xFFFFFF4D00000000, 0},  // a NaN, as found by fuzzing
                                         TDateRow{0x7FF8000000000000, 0}, TDateRow{0x7FF0000000000000, 0},
                                         TDateRow{0xFFF0000000000000, 0}, TDateRow{0x7E37E43C8800759C, 0},  // 1e300
                                         TDateRow{std::bit_cast<uint64_t>(45001.5), 45001.5}));

TEST(ThumbFiles, EveryTruncationKeepsWhatCameBefore)
{
    // Where whole entries end: a cut there is indistinguishable from a
    // shorter file; anywhere else the reader must say it stopped at damage.
    auto indexOf = [](const std::vector<TThumbIndexRow>& rows) {
        TMemoryStream s;
        WriteThumbIndex(s, rows);
        return s.Bytes();
    };
    const std::vector<TThumbIndexRow> rows = {{"/a/", 0, 1, 1, 1.0}, {"/b/", 1, 1, 1, 2.0}};
    const std::vector<size_t> indexEnds = {indexOf({}).size(), indexOf({rows[0]}).size()};
    const std::vector<uint8_t> index = indexOf(rows);
    for (size_t cut = 0; cut < index.size(); ++cut) {
        TMemoryStream part(std::vector<uint8_t>(index.begin(), index.begin() + static_cast<long>(cut)));
        const TThumbIndexContents read = ReadThumbIndex(part);
        EXPECT_EQ(read.Outcome.Complete, cut == indexEnds[0] || cut == indexEnds[1]) << cut;
        ASSERT_EQ(read.Rows.size(), cut >= indexEnds[1] ? 1u : 0u) << cut;
    }

    auto dataOf = [](std::vector<TThumbnailRecord> records) {
        TMemoryStream s;
        WriteThumbData(s, 0, records, {});
        return s.Bytes();
    };
    const std::vector<size_t> dataEnds = {dataOf({}).size(), dataOf({Made("a.jpg", "AAAA", 1)}).size()};
    const std::vector<uint8_t> data = dataOf({Made("a.jpg", "AAAA", 1), Made("b.jpg", "BBBB", 2)});
    for (size_t cut = 0; cut < data.size(); ++cut) {
        const TThumbDataContents read =
            ReadAll(std::vector<uint8_t>(data.begin(), data.begin() + static_cast<long>(cut)));
        EXPECT_EQ(read.Outcome.Complete, cut == dataEnds[0] || cut == dataEnds[1]) << cut;
        ASSERT_EQ(read.Records.size(), cut >= dataEnds[1] ? 1u : 0u) << cut;
    }
}

TEST(ThumbFiles, DamagedIndexEntriesAreDropped)
{
    TThumbBytes file;
    file.Text(ThumbIndexSignature).I32(200);
    auto entry = [&](std::string_view key, int32_t number) { file.Text(key).I32(number).I32(9).I32(1).Dbl(3.0); };
    entry("/ok/", 5);
    entry("/ok/", 6);           // the same key again
    entry("/twice/", 5);        // a number held already
    entry("/negative/", -1);
    entry("/beyond/", ThumbNumberLimit);
    entry("/last/", ThumbNumberLimit - 1);
    file.I32(0x7FFFFFF0);       // a key longer than the file
    TMemoryStream stream(file.Data);
    const TThumbIndexContents read = ReadThumbIndex(stream);
    EXPECT_FALSE(read.Outcome.Complete);
    ASSERT_EQ(read.Rows.size(), 2u);
    EXPECT_EQ(read.Rows[0].Key, "/ok/");
    EXPECT_EQ(read.Rows[0].Number, 5);
    EXPECT_EQ(read.Rows[1].Key, "/last/");

    TMemoryStream foreign(TThumbBytes().Text("Something else").I32(258).Data);
    EXPECT_TRUE(ReadThumbIndex(foreign).Outcome.Foreign);
}

struct TNameRow {
    const char* Name;
    bool InArchive;
    bool Kept;
};
class ThumbDataNames : public testing::TestWithParam<TNameRow> {};

TEST_P(ThumbDataNames, UnsafeNamesAreSkippedAndReadingGoesOn)
{
    const TNameRow row = GetParam();
    TThumbBytes file;
    file.Text(ThumbDataSignature).I32(258);
    file.Entry(258, row.Name, "XX", 1, 1.0, 80, 80);
    file.Entry(258, "after.jpg", "YY", 1, 1.0, 80, 80);
    const TThumbDataContents read = ReadAll(file.Data, row.InArchive);
    EXPECT_TRUE(read.Outcome.Complete);
    EXPECT_EQ(read.EntriesRead, 2);
    ASSERT_EQ(read.Records.size(), row.Kept ? 2u : 1u);
    EXPECT_EQ(read.Records.back().Name, "after.jpg");
}
INSTANTIATE_TEST_SUITE_P(Rows, ThumbDataNames,
                         testing::Values(TNameRow{"plain.jpg", false, true}, TNameRow{"a/b.jpg", false, false},
                                         TNameRow{"..", false, false}, TNameRow{"", false, false},
                                         TNameRow{"after.jpg", false, false},  // a name taken before
                                         TNameRow{"dir/page.jpg", true, true}, TNameRow{"../x.jpg", true, false},
                                         TNameRow{"a/../../x.jpg", true, false}, TNameRow{"/etc/x", true, false}));

TEST(ThumbFiles, HugeLengthsAndCountsStopCleanly)
{
    TThumbBytes file;
    file.Text(ThumbDataSignature).I32(258);
    file.Entry(258, "a.jpg", "AA", 1, 1.0, 80, 80);
    file.Text("b.jpg").I32(0x7FFFFFFF).Raw("short");
    TThumbBytes negative;
    negative.Text(ThumbDataSignature).I32(258).Text("a/b").I32(-41);
    negative.Entry(258, "c.jpg", "CC", 1, 1.0, 80, 80);
    EXPECT_FALSE(ReadAll(negative.Data).Outcome.Complete);
    EXPECT_TRUE(ReadAll(negative.Data).Records.empty());
    const TThumbDataContents read = ReadAll(file.Data, false, INT32_MAX);
    EXPECT_FALSE(read.Outcome.Complete);
    ASSERT_EQ(read.Records.size(), 1u);

    // The index's count limits what is read.
    EXPECT_TRUE(ReadAll(file.Data, false, 0).Records.empty());

    TThumbBytes mtf;
    mtf.Text(LegacyMediaSignature).I32(250).I32(0x10000000);
    TMemoryStream stream(mtf.Data);
    const TLegacyMediaContents legacy = ReadLegacyMediaFile(stream);
    EXPECT_FALSE(legacy.Outcome.Complete);
    EXPECT_TRUE(legacy.Folders.empty());
}

struct TFitRow {
    int32_t W, H, BW, BH;
    TThumbSize Fitted;
};
class ThumbFit : public testing::TestWithParam<TFitRow> {};

TEST_P(ThumbFit, FitsWithoutEnlarging)
{
    const TFitRow r = GetParam();
    EXPECT_EQ(FitThumbnail(r.W, r.H, r.BW, r.BH), r.Fitted);
}
INSTANTIATE_TEST_SUITE_P(Rows, ThumbFit,
                         testing::Values(TFitRow{4000, 3000, 80, 80, {80, 60}}, TFitRow{60, 40, 80, 80, {60, 40}},
                                         TFitRow{1, 1000, 80, 80, {1, 80}}, TFitRow{1000, 1, 80, 80, {80, 1}},
                                         TFitRow{300, 200, 100, 80, {100, 67}}, TFitRow{0, 10, 80, 80, {0, 0}}));

struct TCheckRow {
    int32_t W, H;
    int64_t Size;
    double SecondsLater;
    int32_t BW, BH;
    TThumbCheck Expected;
};
class ThumbCheck : public testing::TestWithParam<TCheckRow> {};

TEST_P(ThumbCheck, TellsAStillValidRecord)
{
    const TCheckRow r = GetParam();
    TThumbnailRecord record = Made("x", "J", 500);
    record.Width = r.W;
    record.Height = r.H;
    record.BoxWidth = 80;
    record.BoxHeight = 80;
    EXPECT_EQ(CheckThumbnail(record, r.Size, record.FileTime + r.SecondsLater / 86400.0, r.BW, r.BH), r.Expected);
}
INSTANTIATE_TEST_SUITE_P(
    Rows, ThumbCheck,
    testing::Values(TCheckRow{60, 40, 500, 0, 80, 80, TThumbCheck::tcValid},
                    TCheckRow{60, 40, 500, 2, 80, 80, TThumbCheck::tcValid},
                    TCheckRow{60, 40, 500, -2, 80, 80, TThumbCheck::tcValid},
                    TCheckRow{60, 40, 500, 3, 80, 80, TThumbCheck::tcInvalid},
                    TCheckRow{60, 40, 501, 0, 80, 80, TThumbCheck::tcInvalid},
                    TCheckRow{60, 40, 500, 0, 100, 80, TThumbCheck::tcValidOtherBox},
                    TCheckRow{800, 400, 500, 0, 100, 80, TThumbCheck::tcInvalid},
                    TCheckRow{400, 800, 500, 0, 100, 80, TThumbCheck::tcValidOtherBox}));

TEST(ThumbFiles, JpegFrameSizeSkipsSegmentsAndStopsAtTheEnd)
{
    TThumbBytes jpeg;
    jpeg.U8(0xFF).U8(0xD8).U8(0xFF).U8(0xE0).U8(0).U8(6).Raw(std::string("\xFF\xC0\xFF\xC0", 4));  // APP0 hides a fake frame
    jpeg.U8(0xFF).U8(0xFF).U8(0xC0).U8(0).U8(17).U8(8).U8(0x0B).U8(0xB8).U8(0x0F).U8(0xA0);
    EXPECT_EQ(JpegFrameSize(jpeg.Data.data(), jpeg.Data.size()), (TThumbSize{4000, 3000}));
    for (size_t cut = 0; cut < jpeg.Data.size(); ++cut)
        EXPECT_EQ(JpegFrameSize(jpeg.Data.data(), cut), TThumbSize{}) << cut;
}

}  // namespace
