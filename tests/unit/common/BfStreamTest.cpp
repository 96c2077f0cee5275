#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "common/BfStream.h"

namespace {

// A target that takes at most `capacity` bytes in total, like a full disk.
class TFullDisk : public TMemoryStream {
public:
    explicit TFullDisk(int64_t capacity) : fCapacity(capacity) {}
    int64_t Write(const void* buffer, int64_t count) override
    {
        const int64_t room = std::max<int64_t>(0, fCapacity - Size());
        return TMemoryStream::Write(buffer, std::min(count, room));
    }

private:
    int64_t fCapacity;
};

// Counts calls so tests can tell whether the target was touched.
class TCountingStream : public TMemoryStream {
public:
    int Calls = 0;
    int64_t Read(void* b, int64_t c) override { ++Calls; return TMemoryStream::Read(b, c); }
    int64_t Write(const void* b, int64_t c) override { ++Calls; return TMemoryStream::Write(b, c); }
    int64_t Seek(int64_t o, TSeekOrigin s) override { ++Calls; return TMemoryStream::Seek(o, s); }
};

std::string Digits(int n)
{
    std::string s;
    for (int i = 0; i < n; ++i)
        s += static_cast<char>('0' + i % 10);
    return s;
}

}  // namespace

TEST(BfStream, RejectsBadBufferSizeAndNegativeCounts)
{
    TMemoryStream target;
    EXPECT_THROW(TBufferStream(target, 0), EBfStreamError);
    EXPECT_THROW(TBufferStream(target, -5), EBfStreamError);
    TBufferStream stream(target, 16);
    char c;
    EXPECT_THROW(stream.Read(&c, -1), EBfStreamError);
    EXPECT_THROW(stream.Write(&c, -1), EBfStreamError);
}

TEST(BfStream, ReadThenWriteLandsAtLogicalPosition)
{
    TMemoryStream target;
    const std::string data = Digits(100);
    target.Write(data.data(), 100);
    target.SetPosition(0);
    {
        TBufferStream stream(target, 32);
        char buffer[10];
        ASSERT_EQ(stream.Read(buffer, 10), 10);
        EXPECT_EQ(std::string(buffer, 10), data.substr(0, 10));
        stream.WriteBuffer("WXYZ", 4);
        stream.Flush();
    }
    const std::string result(reinterpret_cast<const char*>(target.Memory()), 100);
    EXPECT_EQ(result.substr(0, 10), data.substr(0, 10));
    EXPECT_EQ(result.substr(10, 4), "WXYZ");
    EXPECT_EQ(result.substr(14), data.substr(14));
}

TEST(BfStream, PositionAfterWriteDoesNotTouchTarget)
{
    TCountingStream target;
    target.Write("abc", 3);
    TBufferStream stream(target, 64);
    stream.Write("12345", 5);
    const int before = target.Calls;
    // The seek asks only for the target's position, never flushes.
    EXPECT_EQ(stream.Position(), 8);
    EXPECT_LE(target.Calls - before, 1);
    EXPECT_EQ(target.Size(), 3);  // still buffered
}

TEST(BfStream, ReadCountZeroSwitchesToReading)
{
    TCountingStream target;
    target.Write("hello", 5);
    target.SetPosition(0);
    TBufferStream stream(target, 64);
    char c;
    EXPECT_EQ(stream.Read(&c, 0), 0);
    EXPECT_GE(target.Calls, 1);  // filled the buffer
    EXPECT_EQ(stream.Position(), 0);
}

TEST(BfStream, ReadsAcrossBufferBoundariesAndStopsAtEnd)
{
    TMemoryStream target;
    const std::string data = Digits(1000);
    target.Write(data.data(), 1000);
    target.SetPosition(0);
    TBufferStream stream(target, 7);
    std::string got(1200, '\0');
    EXPECT_EQ(stream.Read(got.data(), 1200), 1000);
    got.resize(1000);
    EXPECT_EQ(got, data);
    EXPECT_TRUE(stream.AtEnd());
}

TEST(BfStream, SeekFromEndAndCurrent)
{
    TMemoryStream target;
    const std::string data = Digits(50);
    target.Write(data.data(), 50);
    TBufferStream stream(target, 16);
    EXPECT_EQ(stream.Seek(-4, TSeekOrigin::soEnd), 46);
    char buffer[4];
    ASSERT_EQ(stream.Read(buffer, 4), 4);
    EXPECT_EQ(std::string(buffer, 4), data.substr(46));
    EXPECT_EQ(stream.Seek(-10, TSeekOrigin::soCurrent), 40);
    ASSERT_EQ(stream.Read(buffer, 2), 2);
    EXPECT_EQ(std::string(buffer, 2), data.substr(40, 2));
}

TEST(BfStream, LargeWritesPassThroughInOrder)
{
    TMemoryStream target;
    const std::string data = Digits(10000);
    {
        TBufferStream stream(target, 100);
        for (size_t i = 0; i < data.size(); i += 333)
            stream.WriteBuffer(data.data() + i, static_cast<int64_t>(std::min<size_t>(333, data.size() - i)));
        stream.Flush();
    }
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(target.Memory()), target.Size()), data);
}

TEST(BfStream, FullTargetRaisesInsteadOfTruncatingSilently)
{
    TFullDisk disk(50);
    TBufferStream stream(disk, 32);
    const std::string data = Digits(100);
    EXPECT_THROW(
        {
            stream.WriteBuffer(data.data(), 100);
            stream.Flush();
        },
        EBfStreamError);
}

TEST(BfStream, FinalFlushFailureRaises)
{
    TFullDisk disk(3);
    TBufferStream stream(disk, 32);
    stream.WriteBuffer("abcdef", 6);  // fits the buffer: nothing written yet
    EXPECT_THROW(stream.Flush(), EBfStreamError);
}

struct TStringCase {
    const char* Name;
    std::string Bytes;     // what the stream holds
    std::string Expected;  // what ReadString gives
    int64_t PositionAfter;
};

class ReadStringTest : public ::testing::TestWithParam<TStringCase> {};

TEST_P(ReadStringTest, ReadsAsStored)
{
    const TStringCase& c = GetParam();
    TMemoryStream target;
    target.Write(c.Bytes.data(), static_cast<int64_t>(c.Bytes.size()));
    target.SetPosition(0);
    TBufferStream stream(target, 8);
    EXPECT_EQ(ReadString(stream), c.Expected);
    EXPECT_EQ(stream.Position(), c.PositionAfter);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ReadStringTest,
    ::testing::Values(TStringCase{"Normal", std::string("\x03\0\0\0abcZ", 8), "abc", 7},
                      TStringCase{"Zero", std::string("\0\0\0\0abc", 7), "", 4},
                      TStringCase{"MinusOne", std::string("\xff\xff\xff\xff" "abc", 7), "", 4},
                      TStringCase{"Truncated", std::string("\x0a\0\0\0abc", 7), "abc", 7},
                      // A count of 2 GiB with three bytes behind it must not allocate 2 GiB.
                      TStringCase{"Huge", std::string("\xff\xff\xff\x7f" "abc", 7), "abc", 7},
                      TStringCase{"ShortLength", std::string("\x03\0", 2), "", 2},
                      TStringCase{"Empty", std::string(), "", 0}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST(BfStream, WriteStringEmptyIsFourZeroBytes)
{
    TMemoryStream target;
    {
        TBufferStream stream(target, 16);
        WriteString("", stream);
        WriteString("日本", stream);
        stream.Flush();
    }
    const std::string bytes(reinterpret_cast<const char*>(target.Memory()), target.Size());
    EXPECT_EQ(bytes, std::string("\0\0\0\0\x06\0\0\0", 8) + "日本");
}
