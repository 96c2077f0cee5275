// Feeds arbitrary bytes to the three thumbnail store readers (index, data
// file, media file of older versions): each must stop cleanly at the first bad
// field, and what it kept must write back and read again unchanged.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "FuzzCheck.h"
#include "thumbnails/ThumbFiles.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size > MaxFuzzInput)
        return 0;
    const std::vector<uint8_t> bytes(data, data + size);

    TMemoryStream indexIn(bytes);
    const TThumbIndexContents index = ReadThumbIndex(indexIn);
    TMemoryStream indexOut;
    WriteThumbIndex(indexOut, index.Rows);
    indexOut.SetPosition(0);
    FUZZ_CHECK(ReadThumbIndex(indexOut).Rows == index.Rows);

    TMemoryStream dataIn(bytes);
    const TThumbDataContents contents = ReadThumbData(dataIn, 0, 1 << 20, size % 2 == 0, {});
    for (const TThumbnailRecord& record : contents.Records) {
        FUZZ_CHECK(record.DataOffset >= 0 && record.DataLength >= 0);
        FUZZ_CHECK(record.DataOffset + record.DataLength <= static_cast<int64_t>(size));
    }

    TMemoryStream legacyIn(bytes);
    ReadLegacyMediaFile(legacyIn);
    JpegFrameSize(data, size);
    return 0;
}
