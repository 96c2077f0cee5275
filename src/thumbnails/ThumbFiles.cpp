#include "thumbnails/ThumbFiles.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <set>
#include <unordered_set>

#include "common/BfStream.h"
#include "common/BinaryReader.h"
#include "base/Texts.h"

namespace {

constexpr std::string_view DamagedIndexText = "サムネイルの一覧が壊れています";
constexpr std::string_view DamagedDataText = "サムネイルのデータが壊れています";

// Writes little-endian values and counts what went out, so that offsets come
// from the bytes written and never from a seek on a buffered stream.
class TCountingWriter {
public:
    explicit TCountingWriter(TStream& stream) : fStream(stream) {}

    void Bytes(const void* data, int64_t count)
    {
        fStream.WriteBuffer(data, count);
        fWritten += count;
    }
    void U8(uint8_t value) { Bytes(&value, 1); }
    void U32(uint32_t value)
    {
        const uint8_t b[4] = {static_cast<uint8_t>(value), static_cast<uint8_t>(value >> 8),
                              static_cast<uint8_t>(value >> 16), static_cast<uint8_t>(value >> 24)};
        Bytes(b, 4);
    }
    void I32(int32_t value) { U32(static_cast<uint32_t>(value)); }
    void I64(int64_t value)
    {
        const auto u = static_cast<uint64_t>(value);
        U32(static_cast<uint32_t>(u));
        U32(static_cast<uint32_t>(u >> 32));
    }
    void Double(double value)
    {
        uint64_t bits;
        std::memcpy(&bits, &value, sizeof bits);
        I64(static_cast<int64_t>(bits));
    }
    void Text(std::string_view text)
    {
        I32(static_cast<int32_t>(text.size()));
        Bytes(text.data(), static_cast<int64_t>(text.size()));
    }
    int64_t Written() const { return fWritten; }

private:
    TStream& fStream;
    int64_t fWritten = 0;
};

// The fields after the JPEG stream, as the file's version lays them out.
void ReadTrailer(TBinaryReader& reader, int32_t version, TThumbnailRecord& record)
{
    reader.ReadU32("offset");  // where the stream lies is known from the read itself
    record.Width = reader.ReadInt32("width");
    record.Height = reader.ReadInt32("height");
    record.Bits = reader.ReadInt32("bits");
    record.FileSize = version >= 250 ? reader.ReadInt64("file size") : reader.ReadU32("file size");
    record.FileTime = reader.ReadDate("file time");
    record.BoxWidth = reader.ReadInt32("box width");
    record.BoxHeight = version >= 258 ? reader.ReadInt32("box height") : record.BoxWidth;
    reader.ReadBytes(&record.FolderFlag, 1, "folder flag");
}

std::string ReadSignature(TBinaryReader& reader)
{
    return reader.ReadText("signature");
}

}  // namespace

std::string ThumbDataFileName(int32_t number)
{
    char name[32];
    std::snprintf(name, sizeof name, "%.5d/%.4d.ltf", number / 1024 + 1, number % 1024 + 1);
    return name;
}

int32_t ThumbTrailerSize(int32_t version)
{
    if (version >= 258)
        return 41;
    if (version >= 250)
        return 37;
    return 33;
}

TThumbIndexContents ReadThumbIndex(TStream& stream)
{
    TThumbIndexContents contents;
    TBinaryReader reader(stream, DamagedIndexText);
    try {
        if (ReadSignature(reader) != ThumbIndexSignature) {
            contents.Outcome = {false, true, "not a thumbnail index"};
            return contents;
        }
    } catch (const EFormatError& e) {
        contents.Outcome = {false, true, e.what()};
        return contents;
    }
    std::unordered_set<std::string> keys;
    std::unordered_set<int32_t> numbers;
    try {
        contents.Version = reader.ReadInt32("version");
        while (!reader.AtEnd()) {
            std::string key = reader.ReadText("key");
            reader.Need(20, "index entry");
            TThumbIndexRow row;
            row.Number = reader.ReadInt32("number");
            row.DataSize = reader.ReadInt32("data size");
            row.Count = reader.ReadInt32("count");
            row.LastUsed = reader.ReadDate("last used");
            if (key.empty() || keys.contains(key))
                continue;
            // A number out of range names no data file; one held already
            // would let two folders write over each other's thumbnails.
            if (!IsValidThumbNumber(row.Number) || numbers.contains(row.Number))
                continue;
            keys.insert(key);
            numbers.insert(row.Number);
            row.Key = std::move(key);
            contents.Rows.push_back(std::move(row));
        }
    } catch (const EFormatError& e) {
        contents.Outcome.Complete = false;
        contents.Outcome.Error = e.what();
    }
    return contents;
}

void WriteThumbIndex(TStream& stream, const std::vector<TThumbIndexRow>& rows)
{
    TCountingWriter out(stream);
    out.Text(ThumbIndexSignature);
    out.I32(ThumbFileVersion);
    for (const TThumbIndexRow& row : rows) {
        out.Text(row.Key);
        out.I32(row.Number);
        out.I32(row.DataSize);
        out.I32(row.Count);
        out.Double(row.LastUsed);
    }
}

bool IsSafeThumbName(std::string_view name, bool inArchive)
{
    if (name.empty() || name.find('\0') != std::string_view::npos)
        return false;
    if (!inArchive)
        return name.find('/') == std::string_view::npos && name != "." && name != "..";
    if (name.front() == '/')
        return false;
    size_t start = 0;
    while (start <= name.size()) {
        size_t end = name.find('/', start);
        if (end == std::string_view::npos)
            end = name.size();
        if (name.substr(start, end - start) == "..")
            return false;
        start = end + 1;
    }
    return true;
}

TThumbDataContents ReadThumbData(TStream& stream, int32_t number, int32_t maxCount, bool inArchive,
                                 const std::function<bool(const std::string&)>& keep)
{
    TThumbDataContents contents;
    TBinaryReader reader(stream, DamagedDataText);
    try {
        if (ReadSignature(reader) != ThumbDataSignature) {
            contents.Outcome = {false, true, "not a thumbnail data file"};
            return contents;
        }
    } catch (const EFormatError& e) {
        contents.Outcome = {false, true, e.what()};
        return contents;
    }
    std::set<std::string> names;
    try {
        contents.Version = reader.ReadInt32("version");
        const int32_t trailer = ThumbTrailerSize(contents.Version);
        while (contents.EntriesRead < maxCount && !reader.AtEnd()) {
            std::string name = reader.ReadText("name");
            const int32_t length = reader.ReadInt32("data length");
            if (length < 0)
                reader.Fail("data length");
            reader.Need(static_cast<int64_t>(length) + trailer, "thumbnail");
            ++contents.EntriesRead;
            const bool taken = IsSafeThumbName(name, inArchive) && !names.contains(name) && (!keep || keep(name));
            if (!taken) {
                reader.Skip(static_cast<int64_t>(length) + trailer, "thumbnail");
                continue;
            }
            TThumbnailRecord record;
            record.Name = name;
            record.Number = number;
            record.DataLength = length;
            record.DataOffset = reader.Consumed();
            reader.Skip(length, "thumbnail");
            ReadTrailer(reader, contents.Version, record);
            names.insert(std::move(name));
            contents.Records.push_back(std::move(record));
        }
    } catch (const EFormatError& e) {
        contents.Outcome.Complete = false;
        contents.Outcome.Error = e.what();
    }
    return contents;
}

int64_t WriteThumbData(TStream& stream, int32_t number, std::vector<TThumbnailRecord>& records,
                       const TThumbBytesSource& source)
{
    TCountingWriter out(stream);
    out.Text(ThumbDataSignature);
    out.I32(ThumbFileVersion);
    std::vector<TThumbnailRecord> written;
    written.reserve(records.size());
    for (TThumbnailRecord& record : records) {
        std::vector<uint8_t> bytes;
        if (record.Origin == TThumbOrigin::toMade || !record.Jpeg.empty()) {
            bytes = std::move(record.Jpeg);
        } else {
            std::optional<std::vector<uint8_t>> got = source ? source(record) : std::nullopt;
            if (!got)
                continue;
            bytes = std::move(*got);
        }
        if (bytes.empty() || bytes.size() > static_cast<size_t>(INT32_MAX))
            continue;
        out.Text(record.Name);
        out.I32(static_cast<int32_t>(bytes.size()));
        const int64_t offset = out.Written();
        // The offset field has 32 bits; a file that outgrew it could no
        // longer be read back as written.
        if (offset > static_cast<int64_t>(UINT32_MAX))
            throw EStreamError(Tx("サムネイルのデータが大きすぎます"));
        out.Bytes(bytes.data(), static_cast<int64_t>(bytes.size()));
        out.U32(static_cast<uint32_t>(offset));
        out.I32(record.Width);
        out.I32(record.Height);
        out.I32(record.Bits);
        out.I64(record.FileSize);
        out.Double(record.FileTime);
        out.I32(record.BoxWidth);
        out.I32(record.BoxHeight);
        out.U8(record.FolderFlag);
        record.Number = number;
        record.DataLength = static_cast<int32_t>(bytes.size());
        record.DataOffset = offset;
        record.Origin = TThumbOrigin::toWritten;
        record.Jpeg.clear();
        written.push_back(std::move(record));
    }
    records = std::move(written);
    return out.Written();
}

std::optional<std::vector<uint8_t>> ReadThumbBytes(TStream& file, const TThumbnailRecord& record)
{
    if (record.DataLength <= 0 || record.DataOffset < 0)
        return std::nullopt;
    const int64_t size = file.Size();
    if (record.DataOffset > size || record.DataLength > size - record.DataOffset)
        return std::nullopt;
    std::vector<uint8_t> bytes(static_cast<size_t>(record.DataLength));
    file.SetPosition(record.DataOffset);
    if (file.Read(bytes.data(), record.DataLength) != record.DataLength)
        return std::nullopt;
    return bytes;
}

TLegacyMediaContents ReadLegacyMediaFile(TStream& stream)
{
    TLegacyMediaContents contents;
    const int64_t size = stream.Remaining();
    std::vector<uint8_t> bytes(static_cast<size_t>(size));
    stream.ReadBuffer(bytes.data(), size);
    TBinaryReader reader(bytes.data(), bytes.size(), DamagedDataText);
    try {
        if (ReadSignature(reader) != LegacyMediaSignature) {
            contents.Outcome = {false, true, "not a media thumbnail file"};
            return contents;
        }
    } catch (const EFormatError& e) {
        contents.Outcome = {false, true, e.what()};
        return contents;
    }
    struct TBlock {
        uint32_t Offset;
    };
    std::vector<TBlock> blocks;
    try {
        contents.Version = reader.ReadInt32("version");
        const int32_t folders = reader.ReadCount(16, "folder count");
        std::set<std::string> paths;
        for (int32_t i = 0; i < folders; ++i) {
            TLegacyMediaFolder folder;
            folder.Path = reader.ReadText("folder path");
            const uint32_t offset = reader.ReadU32("block offset");
            reader.ReadU32("block size");
            folder.Count = reader.ReadInt32("thumbnail count");
            if (!paths.insert(folder.Path).second)
                continue;
            contents.Folders.push_back(std::move(folder));
            blocks.push_back({offset});
        }
        const int32_t trailer = contents.Version > 249 ? 37 : 33;
        for (size_t i = 0; i < contents.Folders.size(); ++i) {
            TLegacyMediaFolder& folder = contents.Folders[i];
            if (blocks[i].Offset >= bytes.size())
                reader.Fail("block offset");
            TBinaryReader block(bytes.data() + blocks[i].Offset, bytes.size() - blocks[i].Offset, DamagedDataText);
            if (block.ReadText("block signature") != LegacyMediaBlockSignature)
                block.Fail("block signature");
            std::set<std::string> names;
            for (int32_t n = 0; n < folder.Count && !block.AtEnd(); ++n) {
                TThumbnailRecord record;
                record.Name = block.ReadText("name");
                const int32_t length = block.ReadInt32("data length");
                if (length < 0)
                    block.Fail("data length");
                block.Need(static_cast<int64_t>(length) + trailer, "thumbnail");
                record.Jpeg = block.ReadBytes(length, "thumbnail");
                record.DataLength = length;
                ReadTrailer(block, contents.Version > 249 ? 250 : 249, record);
                record.Origin = TThumbOrigin::toMade;
                if (length <= 0 || !IsSafeThumbName(record.Name, false) || !names.insert(record.Name).second)
                    continue;
                folder.Records.push_back(std::move(record));
            }
        }
    } catch (const EFormatError& e) {
        contents.Outcome.Complete = false;
        contents.Outcome.Error = e.what();
    }
    return contents;
}

TThumbSize FitThumbnail(int32_t w, int32_t h, int32_t bw, int32_t bh)
{
    if (w <= 0 || h <= 0 || bw <= 0 || bh <= 0)
        return {};
    const double e = static_cast<double>(bw) / w;
    const double g = static_cast<double>(bh) / h;
    if (e >= 1 && g >= 1)
        return {w, h};
    if (e > g)
        return {std::max<int32_t>(1, static_cast<int32_t>(std::trunc(w * g + 0.5))), bh};
    return {bw, std::max<int32_t>(1, static_cast<int32_t>(std::trunc(h * e + 0.5)))};
}

TThumbCheck CheckThumbnail(const TThumbnailRecord& record, int64_t fileSize, TDateTime fileTime, int32_t boxWidth,
                           int32_t boxHeight)
{
    if (record.FileSize != fileSize)
        return TThumbCheck::tcInvalid;
    // A little slack above 2.5 seconds absorbs the rounding of times kept as
    // fractions of a day.
    if (std::fabs(record.FileTime - fileTime) * 86400.0 > 2.5 + 1e-4)
        return TThumbCheck::tcInvalid;
    if (record.BoxWidth == boxWidth && record.BoxHeight == boxHeight)
        return TThumbCheck::tcValid;
    if (FitThumbnail(record.Width, record.Height, record.BoxWidth, record.BoxHeight) ==
        FitThumbnail(record.Width, record.Height, boxWidth, boxHeight))
        return TThumbCheck::tcValidOtherBox;
    return TThumbCheck::tcInvalid;
}

TThumbSize JpegFrameSize(const uint8_t* data, size_t size)
{
    size_t i = 0;
    auto be16 = [&](size_t at) { return static_cast<int32_t>(data[at] << 8 | data[at + 1]); };
    while (i < size) {
        if (data[i] != 0xFF) {
            ++i;
            continue;
        }
        if (i + 1 >= size)
            break;
        const uint8_t marker = data[i + 1];
        i += 2;
        if (marker == 0xFF) {
            // A fill byte: the marker follows it.
            --i;
            continue;
        }
        if (marker >= 0xC0 && marker <= 0xC3) {
            if (i + 7 > size)
                break;
            return {be16(i + 5), be16(i + 3)};
        }
        // Markers without a length: start and end of picture, restarts, and
        // the stuffed zero inside coded data.
        if (marker == 0xD8 || marker == 0xD9 || marker == 0x00 || marker == 0x01 || (marker >= 0xD0 && marker <= 0xD7))
            continue;
        if (i + 2 > size)
            break;
        const int32_t length = be16(i);
        if (length < 2)
            break;
        i += static_cast<size_t>(length);
    }
    return {};
}
