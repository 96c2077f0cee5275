#include "common/BinaryReader.h"

#include <algorithm>
#include <bit>

#include "common/Text.h"
#include "base/Texts.h"

TBinaryReader::TBinaryReader(const uint8_t* data, size_t size, std::string_view damaged)
    : fData(data), fSize(data ? static_cast<int64_t>(size) : 0), fDamaged(damaged)
{
}

TBinaryReader::TBinaryReader(std::span<const uint8_t> bytes, std::string_view damaged)
    : TBinaryReader(bytes.data(), bytes.size(), damaged)
{
}

TBinaryReader::TBinaryReader(TStream& stream, std::string_view damaged) : fStream(&stream), fDamaged(damaged)
{
    fSize = std::max<int64_t>(stream.Size() - stream.Position(), 0);
}

void TBinaryReader::Fail(const char* field) const
{
    std::string message = Tx(fDamaged);
    if (field && *field) {
        message += ": ";
        message += field;
    }
    throw EFormatError(message);
}

void TBinaryReader::TakeFromStream(void* out, int64_t count, const char* field)
{
    // The size was taken when the reader was made; a file cut short since
    // then is damage like any other.
    if (fStream->Read(out, count) != count)
        Fail(field);
}

double TBinaryReader::ReadDouble(const char* field)
{
    return std::bit_cast<double>(ReadLe<uint64_t>(field));
}

TDateTime TBinaryReader::ReadDate(const char* field)
{
    const double value = ReadDouble(field);
    return IsStorableDate(value) ? value : 0;
}

void TBinaryReader::ReadBytes(void* out, int64_t count, const char* field)
{
    Need(count, field);
    if (count > 0)
        Take(out, static_cast<size_t>(count), field);
}

std::vector<uint8_t> TBinaryReader::ReadBytes(int64_t count, const char* field)
{
    // Checked before the allocation, so a damaged count costs nothing.
    Need(count, field);
    std::vector<uint8_t> bytes(static_cast<size_t>(count));
    if (count > 0)
        Take(bytes.data(), bytes.size(), field);
    return bytes;
}

std::string TBinaryReader::ReadText(const char* field)
{
    const int32_t length = ReadInt32(field);
    if (length <= 0)
        return {};
    Need(length, field);
    if (!fStream) {
        const std::string_view bytes(reinterpret_cast<const char*>(fData + fPos), static_cast<size_t>(length));
        fPos += length;
        return DecodeText(bytes);
    }
    std::string bytes(static_cast<size_t>(length), '\0');
    Take(bytes.data(), bytes.size(), field);
    return DecodeText(bytes);
}

int32_t TBinaryReader::ReadCount(int64_t minRecordBytes, const char* field)
{
    const int32_t count = ReadInt32(field);
    if (count < 0 || count > Remaining() / std::max<int64_t>(minRecordBytes, 1))
        Fail(field);
    return count;
}

void TBinaryReader::Skip(int64_t count, const char* field)
{
    Need(count, field);
    if (count == 0)
        return;
    if (!fStream) {
        fPos += count;
        return;
    }
    // A buffered stream keeps its buffer when it is read, not when it is
    // moved; only a long skip is worth a seek.
    constexpr int64_t SeekAbove = 64 * 1024;
    if (count > SeekAbove) {
        const int64_t target = fStream->Position() + count;
        if (fStream->Seek(count, TSeekOrigin::soCurrent) != target)
            Fail(field);
        fPos += count;
        return;
    }
    uint8_t scratch[4096];
    while (count > 0) {
        const int64_t piece = std::min<int64_t>(count, sizeof scratch);
        Take(scratch, static_cast<size_t>(piece), field);
        count -= piece;
    }
}
