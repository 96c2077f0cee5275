#pragma once

// TBinaryReader is how the program reads bytes that came from outside: its own
// list files, bitmap files, and the blocks plug-ins hand back. Every integer,
// text, count and block is checked against the bytes that remain before it is
// read or allocated, so damage raises EFormatError naming the field that ran
// short, and never costs a read past the end or more memory than the data
// could fill. Integers and doubles are little-endian, as every format it reads
// stores them.

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <span>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

#include "base/Errors.h"
#include "base/Stream.h"
#include "common/DateTime.h"
#include "base/Texts.h"

class TBinaryReader {
public:
    // Leads the message of every failure unless the reader is given its own.
    static constexpr std::string_view DamagedDataText = "データが壊れています";

    // Reads a block in memory, which must outlive the reader. damaged leads
    // every failure's message (the field follows it) and must outlive the
    // reader as well; a literal does.
    TBinaryReader(const uint8_t* data, size_t size, std::string_view damaged = DamagedDataText);
    explicit TBinaryReader(std::span<const uint8_t> bytes, std::string_view damaged = DamagedDataText);
    // Reads from the stream's position to its end as it is now. The stream's
    // own failures (a disk error) pass through unchanged; a stream that gives
    // fewer bytes than its size promised counts as damage.
    explicit TBinaryReader(TStream& stream, std::string_view damaged = DamagedDataText);

    int64_t Remaining() const { return fSize - fPos; }
    bool AtEnd() const { return fPos >= fSize; }
    // Bytes read or skipped since the reader was made.
    int64_t Consumed() const { return fPos; }

    // The field names the part of the format being read ("width", "shelf
    // name"); it ends the message when the bytes run short.
    uint16_t ReadU16(const char* field) { return ReadLe<uint16_t>(field); }
    uint32_t ReadU32(const char* field) { return ReadLe<uint32_t>(field); }
    int32_t ReadInt32(const char* field) { return static_cast<int32_t>(ReadLe<uint32_t>(field)); }
    int64_t ReadInt64(const char* field) { return static_cast<int64_t>(ReadLe<uint64_t>(field)); }
    double ReadDouble(const char* field);
    // A date as the program stores it. One that is not storable (not a
    // number, or beyond the years 1 to 9999) reads as 0, the value of a date
    // never set, so that it compares, sorts, prints and
    // writes back the same as any other date; the rest of the file is sound.
    TDateTime ReadDate(const char* field);
    void ReadBytes(void* out, int64_t count, const char* field);
    std::vector<uint8_t> ReadBytes(int64_t count, const char* field);
    // The program's texts: a 32-bit byte count and that many bytes, taken as
    // UTF-8 when they are valid UTF-8 and decoded from CP932 (files of older
    // versions) otherwise. A count of 0 or less is the empty text.
    std::string ReadText(const char* field);
    // A count of records that take at least minRecordBytes each (1 when less
    // is given); raises when it is negative or the rest cannot hold that many,
    // before the caller reserves room for them.
    int32_t ReadCount(int64_t minRecordBytes, const char* field);
    void Skip(int64_t count, const char* field);
    // Raises unless count more bytes remain, for a record checked whole
    // before its fields are read.
    void Need(int64_t count, const char* field) const
    {
        if (count < 0 || count > Remaining())
            Fail(field);
    }

    // Raises EFormatError with this reader's message and the field.
    [[noreturn]] void Fail(const char* field) const;

private:
    template <typename T>
    T ReadLe(const char* field)
    {
        static_assert(std::is_unsigned_v<T>);
        uint8_t b[sizeof(T)];
        Take(b, sizeof(T), field);
        T value = 0;
        for (size_t i = sizeof(T); i-- > 0;)
            value = static_cast<T>(value << 8 | b[i]);
        return value;
    }
    void Take(void* out, size_t count, const char* field)
    {
        if (static_cast<int64_t>(count) > Remaining())
            Fail(field);
        if (fStream)
            TakeFromStream(out, static_cast<int64_t>(count), field);
        else
            std::memcpy(out, fData + fPos, count);
        fPos += static_cast<int64_t>(count);
    }
    void TakeFromStream(void* out, int64_t count, const char* field);

    const uint8_t* fData = nullptr;
    TStream* fStream = nullptr;  // nullptr when reading a block
    int64_t fSize = 0;
    int64_t fPos = 0;
    std::string_view fDamaged;
};
