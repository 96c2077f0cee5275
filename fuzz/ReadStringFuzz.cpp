// Texts of the program's binary files read through TBufferStream: a 32-bit
// count, then the bytes. Every text read must equal what a plain reading of
// the same bytes gives, the position must follow exactly, and a damaged count
// must never cost more than the bytes that are there. The first input byte
// picks the buffer size, so refills fall everywhere.

#include <cstring>
#include <string>

#include "FuzzCheck.h"
#include "common/BfStream.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 1 || size > MaxFuzzInput)
        return 0;
    const int bufferSize = 1 + data[0] % 97;
    TMemoryStream file(std::vector<uint8_t>(data + 1, data + size));
    const size_t length = size - 1;
    const uint8_t* bytes = data + 1;
    TBufferStream stream(file, bufferSize);
    TMemoryStream copyTarget;
    size_t pos = 0;
    {
        TBufferStream copy(copyTarget, bufferSize);
        while (true) {
            const std::string text = ReadString(stream);
            if (length - pos < 4) {
                FUZZ_CHECK(text.empty());
                break;
            }
            int32_t count;
            std::memcpy(&count, bytes + pos, 4);
            pos += 4;
            if (count <= 0) {
                FUZZ_CHECK(text.empty());
            } else {
                const size_t take = std::min<size_t>(static_cast<size_t>(count), length - pos);
                FUZZ_CHECK(text.size() == take);
                FUZZ_CHECK(std::memcmp(text.data(), bytes + pos, take) == 0);
                pos += take;
            }
            FUZZ_CHECK(stream.Position() == static_cast<int64_t>(pos));
            WriteString(text, copy);
            if (pos >= length)
                break;
        }
        copy.Flush();
    }
    // What was read writes back and reads again the same.
    copyTarget.SetPosition(0);
    TBufferStream again(copyTarget, bufferSize);
    while (again.Position() < copyTarget.Size()) {
        const int64_t before = again.Position();
        const std::string text = ReadString(again);
        FUZZ_CHECK(again.Position() == before + 4 + static_cast<int64_t>(text.size()));
    }
    return 0;
}
