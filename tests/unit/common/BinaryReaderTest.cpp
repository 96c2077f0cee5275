#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "common/BfStream.h"
#include "common/BinaryReader.h"

namespace {

using Bytes = std::vector<uint8_t>;

// Where the reader takes its bytes from. Blocks are copied to a vector of
// exactly their size, so a read past the end is caught by the address
// sanitizer; the buffered stream's three-byte buffer refills inside every
// field; the last stream starts behind bytes that are not the reader's.
enum class TSourceKind { skBlock, skStream, skBuffered, skBehindPreamble };

class TSource {
public:
    TSource(TSourceKind kind, Bytes bytes)
    {
        if (kind == TSourceKind::skBlock) {
            fBlock = std::move(bytes);
            fReader = std::make_unique<TBinaryReader>(fBlock.data(), fBlock.size());
            return;
        }
        if (kind == TSourceKind::skBehindPreamble)
            bytes.insert(bytes.begin(), {'P', 'R', 'E'});
        fStream = std::make_unique<TMemoryStream>(std::move(bytes));
        if (kind == TSourceKind::skBehindPreamble)
            fStream->SetPosition(3);
        if (kind == TSourceKind::skBuffered) {
            fBuffered = std::make_unique<TBufferStream>(*fStream, 3);
            fReader = std::make_unique<TBinaryReader>(*fBuffered);
        } else {
            fReader = std::make_unique<TBinaryReader>(*fStream);
        }
    }

    TBinaryReader& Reader() { return *fReader; }

private:
    Bytes fBlock;
    std::unique_ptr<TMemoryStream> fStream;
    std::unique_ptr<TBufferStream> fBuffered;
    std::unique_ptr<TBinaryReader> fReader;
};

std::string SourceName(TSourceKind kind)
{
    const char* const names[] = {"Block", "Stream", "Buffered", "BehindPreamble"};
    return names[static_cast<int>(kind)];
}

class BinaryReader : public ::testing::TestWithParam<TSourceKind> {};

// One record of every kind of field, written out by hand.
const Bytes Record = {
    0xEF, 0xBE,                                      // u16 0xBEEF
    0xEF, 0xCD, 0xAB, 0x89,                          // u32 0x89ABCDEF
    0xFE, 0xFF, 0xFF, 0xFF,                          // i32 -2
    0x00, 0xD0, 0x10, 0x82, 0x45, 0xFD, 0xFF, 0xFF,  // i64 -3'000'000'000'000
    0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0xF8, 0x3F,  // double 1.5
    'x', 'y', 'z',                                   // three bytes
    0x03, 0x00, 0x00, 0x00, 0xE6, 0xA3, 0x9A,        // text "棚"
    0x02, 0x00, 0x00, 0x00, 'a', 'b',                // two one-byte records
};

// Where each field of Record ends, in reading order.
struct TFieldEnd {
    const char* Field;
    size_t End;
};
const TFieldEnd FieldEnds[] = {{"u16", 2},   {"u32", 6},   {"i32", 10},  {"i64", 18},
                               {"double", 26}, {"bytes", 29}, {"text", 36}, {"records", 42}};

void ReadRecord(TBinaryReader& reader)
{
    EXPECT_EQ(reader.ReadU16("u16"), 0xBEEF);
    EXPECT_EQ(reader.ReadU32("u32"), 0x89ABCDEFu);
    EXPECT_EQ(reader.ReadInt32("i32"), -2);
    EXPECT_EQ(reader.ReadInt64("i64"), -3'000'000'000'000);
    EXPECT_EQ(reader.ReadDouble("double"), 1.5);
    EXPECT_EQ(reader.ReadBytes(3, "bytes"), (Bytes{'x', 'y', 'z'}));
    EXPECT_EQ(reader.ReadText("text"), "棚");
    const int32_t count = reader.ReadCount(1, "records");
    ASSERT_EQ(count, 2);
    char records[2];
    reader.ReadBytes(records, count, "records");
    EXPECT_EQ(std::string(records, 2), "ab");
}

TEST_P(BinaryReader, ReadsEveryFieldOfAWholeRecord)
{
    ASSERT_EQ(Record.size(), FieldEnds[std::size(FieldEnds) - 1].End);
    TSource source(GetParam(), Record);
    ReadRecord(source.Reader());
    EXPECT_TRUE(source.Reader().AtEnd());
    EXPECT_EQ(source.Reader().Consumed(), static_cast<int64_t>(Record.size()));
}

// Every cut of the record raises, names the field it fell into, and never
// reads past the bytes that are there.
TEST_P(BinaryReader, EveryTruncationRaisesNamingTheFieldCut)
{
    for (size_t size = 0; size < Record.size(); ++size) {
        const char* cut = nullptr;
        for (const TFieldEnd& field : FieldEnds) {
            if (field.End > size) {
                cut = field.Field;
                break;
            }
        }
        TSource source(GetParam(), Bytes(Record.begin(), Record.begin() + static_cast<std::ptrdiff_t>(size)));
        try {
            ReadRecord(source.Reader());
            ADD_FAILURE() << "a record cut to " << size << " bytes was read";
        } catch (const EFormatError& e) {
            EXPECT_EQ(std::string(e.what()), std::string("データが壊れています: ") + cut) << "cut to " << size;
        }
        EXPECT_LE(source.Reader().Consumed(), static_cast<int64_t>(size));
    }
}

// A short skip reads through the buffer, a long one seeks; both land on the
// next field.
TEST_P(BinaryReader, SkipLandsOnTheNextField)
{
    for (const size_t gap : {size_t{3}, size_t{100'000}}) {
        Bytes bytes(gap, 0xEE);
        bytes.insert(bytes.end(), {0x78, 0x56, 0x34, 0x12});
        TSource source(GetParam(), bytes);
        source.Reader().Skip(static_cast<int64_t>(gap), "gap");
        EXPECT_EQ(source.Reader().ReadU32("marker"), 0x12345678u) << gap;
        EXPECT_THROW(source.Reader().Skip(1, "gap"), EFormatError);
        EXPECT_THROW(source.Reader().Skip(-1, "gap"), EFormatError);
    }
}

INSTANTIATE_TEST_SUITE_P(Sources, BinaryReader,
                         ::testing::Values(TSourceKind::skBlock, TSourceKind::skStream, TSourceKind::skBuffered,
                                           TSourceKind::skBehindPreamble),
                         [](const auto& info) { return SourceName(info.param); });

struct TCountCase {
    const char* Name;
    int32_t Count;
    size_t Rest;  // bytes behind the count
    int64_t MinRecordBytes;
    bool Accepted;
};

class BinaryReaderCount : public ::testing::TestWithParam<TCountCase> {};

TEST_P(BinaryReaderCount, RefusesACountTheRestCannotHold)
{
    const TCountCase& c = GetParam();
    Bytes bytes(4 + c.Rest, 0);
    for (int i = 0; i < 4; ++i)
        bytes[i] = static_cast<uint8_t>(static_cast<uint32_t>(c.Count) >> (8 * i));
    TBinaryReader reader(bytes.data(), bytes.size());
    if (c.Accepted)
        EXPECT_EQ(reader.ReadCount(c.MinRecordBytes, "count"), c.Count);
    else
        EXPECT_THROW(reader.ReadCount(c.MinRecordBytes, "count"), EFormatError);
}

INSTANTIATE_TEST_SUITE_P(Cases, BinaryReaderCount,
                         ::testing::Values(TCountCase{"Fits", 3, 6, 2, true},
                                           TCountCase{"OneTooMany", 4, 7, 2, false},
                                           TCountCase{"Zero", 0, 0, 6, true},
                                           TCountCase{"Negative", -1, 100, 1, false},
                                           TCountCase{"Largest", INT32_MAX, 100, 1, false},
                                           TCountCase{"ZeroSizedRecordsCountAsOneByte", 7, 6, 0, false},
                                           TCountCase{"BigRecords", 1, 427, 428, false}),
                         [](const auto& info) { return std::string(info.param.Name); });

struct TTextCase {
    const char* Name;
    Bytes Stored;
    std::optional<std::string> Expected;  // nothing: refused
    int64_t Consumed;
};

class BinaryReaderText : public ::testing::TestWithParam<TTextCase> {};

TEST_P(BinaryReaderText, DecodesUtf8OrElseCp932)
{
    const TTextCase& c = GetParam();
    for (const TSourceKind kind : {TSourceKind::skBlock, TSourceKind::skBuffered}) {
        TSource source(kind, c.Stored);
        if (c.Expected) {
            EXPECT_EQ(source.Reader().ReadText("text"), *c.Expected);
            EXPECT_EQ(source.Reader().Consumed(), c.Consumed);
        } else {
            EXPECT_THROW(source.Reader().ReadText("text"), EFormatError);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, BinaryReaderText,
    ::testing::Values(TTextCase{"Utf8", {3, 0, 0, 0, 0xE6, 0xA3, 0x9A, '!'}, "棚", 7},
                      TTextCase{"Cp932OfOlderFiles", {6, 0, 0, 0, 0x83, 0x65, 0x83, 0x58, 0x83, 0x67}, "テスト", 10},
                      TTextCase{"Empty", {0, 0, 0, 0, 'x'}, "", 4},
                      TTextCase{"NegativeCountIsEmpty", {0xFF, 0xFF, 0xFF, 0xFF, 'x'}, "", 4},
                      TTextCase{"CountBeyondTheEnd", {4, 0, 0, 0, 'a', 'b', 'c'}, std::nullopt, 0},
                      TTextCase{"HugeCount", {0xF0, 0xFF, 0xFF, 0x7F, 'a'}, std::nullopt, 0},
                      TTextCase{"CountCut", {3, 0, 0}, std::nullopt, 0}),
    [](const auto& info) { return std::string(info.param.Name); });

}  // namespace
